#include "import/model/level_character.h"

#include <algorithm>

namespace importer {

namespace {

std::string stateName(const AtomicState& s) {
    return (s.element.empty() ? "atom " + std::to_string(s.atom) : s.element + "(" + std::to_string(s.atom) + ")") + " " +
           s.orbital;
}

bool severalElements(const std::vector<AtomicState>& states) {
    for (const AtomicState& s : states)
        if (!s.element.empty() && s.element != states.front().element) return true;
    return false;
}

}  // namespace

common::Result<LevelGroups> groupLevels(const LevelProjections& p, std::optional<SumBy> by) {
    const SumBy sum = by ? *by : severalElements(p.states) ? SumBy::Element : SumBy::Orbital;
    // Each state as a projection whose values are its weights at every level.
    std::vector<Projected> states;
    for (size_t s = 0; s < p.states.size(); ++s) {
        Projected q;
        q.name = stateName(p.states[s]);
        q.element = p.states[s].element;
        q.orbital = p.states[s].orbital;
        for (const ProjectedPoint& point : p.points)
            for (const std::vector<float>& level : point.w) q.up.push_back(level[s]);
        states.push_back(std::move(q));
    }
    const auto groups = sumProjections(states, sum, p.file);
    if (!groups) return common::Failure{groups.error()};
    // Groups without weight anywhere (the d column of an sp element) are left out.
    std::vector<size_t> kept, empty;
    for (size_t g = 0; g < groups->size(); ++g) {
        const std::vector<double>& w = (*groups)[g].up;
        (std::any_of(w.begin(), w.end(), [](double v) { return v > 0; }) ? kept : empty).push_back(g);
    }
    const size_t held = kept.size();
    if (held == 0) return common::Failure{p.file + ": no level has weight on any atomic state"};
    if (kept.size() > kMaxCharacterGroups) kept.resize(kMaxCharacterGroups);
    LevelGroups out;
    for (size_t g : kept) out.names.push_back((*groups)[g].name);
    size_t at = 0;
    for (const ProjectedPoint& point : p.points) {
        std::vector<std::vector<double>>& levels = out.w.emplace_back();
        for (size_t l = 0; l < point.w.size(); ++l, ++at) {
            std::vector<double>& w = levels.emplace_back();
            for (size_t g : kept) w.push_back(std::clamp((*groups)[g].up[at], 0.0, 1.0));
        }
    }
    std::string note = "Orbital character from " + p.file + ": " + std::to_string(p.states.size()) +
                       " atomic states added up by " +
                       (sum == SumBy::Element ? "element" : sum == SumBy::Orbital ? "orbital" : "element and orbital") +
                       " into " + std::to_string(held) + (held == 1 ? " group" : " groups");
    note += held > kept.size() ? ", the first " + std::to_string(kept.size()) + " kept (fort.16 holds " +
                                     std::to_string(kMaxCharacterGroups) + "):"
                               : ":";
    for (const std::string& n : out.names) note += " " + n + ",";
    note.pop_back();
    if (!empty.empty()) {
        note += " (no weight in";
        for (size_t g : empty) note += " " + (*groups)[g].name + ",";
        note.back() = ')';
    }
    out.notes.push_back(note + ".");
    return out;
}

}  // namespace importer
