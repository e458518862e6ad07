#include "import/model/dos_projection.h"

#include <algorithm>

#include "dos/core/limits.h"
#include "import/model/dos_grid.h"

namespace importer {

namespace {

std::string keyOf(const Projected& p, SumBy by) {
    switch (by) {
    case SumBy::Element: return p.element;
    case SumBy::Orbital: return orbitalLetter(p.orbital);
    case SumBy::ElementOrbital: return p.element + " " + orbitalLetter(p.orbital);
    case SumBy::None: break;
    }
    return p.name;
}

// Sums `from` into `to`, which may still be empty.
void add(std::vector<double>& to, const std::vector<double>& from) {
    if (to.empty()) to.assign(from.size(), 0.0);
    for (size_t i = 0; i < from.size() && i < to.size(); ++i) to[i] += from[i];
}

}  // namespace

common::Result<std::vector<Projected>> sumProjections(const std::vector<Projected>& all, SumBy by,
                                                      const std::string& source) {
    if (by == SumBy::None) return all;
    std::vector<Projected> out;
    std::vector<std::vector<std::string>> members;
    for (const Projected& p : all) {
        if ((by != SumBy::Orbital && p.element.empty()) || (by != SumBy::Element && p.orbital.empty()))
            return common::Failure{source + ": " + p.name + " names no " +
                                   (p.element.empty() && by != SumBy::Orbital ? "element" : "orbital") +
                                   " to add it up by"};
        const std::string key = keyOf(p, by);
        auto it = std::find_if(out.begin(), out.end(), [&](const Projected& q) { return q.name == key; });
        if (it == out.end()) {
            Projected q;
            q.name = key;
            q.element = by == SumBy::Orbital ? "" : p.element;
            q.orbital = by == SumBy::Element ? "" : orbitalLetter(p.orbital);
            q.rows = p.rows;
            out.push_back(std::move(q));
            members.emplace_back();
            it = out.end() - 1;
        }
        add(it->up, p.up);
        if (!p.down.empty()) add(it->down, p.down);
        members[static_cast<size_t>(it - out.begin())].push_back(p.name);
    }
    for (size_t g = 0; g < out.size(); ++g) {
        std::string line = "sum of " + std::to_string(members[g].size()) + ":";
        for (const std::string& m : members[g]) line += " " + m + ",";
        line.pop_back();
        out[g].more = {line};
    }
    return out;
}

namespace {

SourceProjection curveOf(const Projected& p, const std::string& suffix, const std::vector<double>& y, double sign) {
    SourceProjection s;
    s.description = {p.name + suffix};
    s.description.insert(s.description.end(), p.more.begin(), p.more.end());
    s.rows = p.rows;
    for (double v : y) s.curve.push_back(sign * v);
    return s;
}

std::string counted(size_t n) {
    static const char* const kWords[] = {"none", "one", "two", "three", "four", "five"};
    return n < 6 ? kWords[n] : std::to_string(n);
}

}  // namespace

std::optional<SumBy> sumNamed(const std::string& word) {
    if (word == "element") return SumBy::Element;
    if (word == "orbital") return SumBy::Orbital;
    if (word == "element,orbital") return SumBy::ElementOrbital;
    return std::nullopt;
}

std::string orbitalLetter(const std::string& orbital) {
    const size_t a = orbital.find_first_not_of("0123456789");
    if (a == std::string::npos) return orbital;
    if (orbital.compare(a, 5, "x2-y2") == 0) return "d";  // VASP's d(x2-y2)
    const char l = orbital[a];
    if (l == 's' || l == 'p' || l == 'd' || l == 'f') return std::string(1, l);
    return orbital;
}

namespace {

// The projections of fort.1 from `all` as `c` asks, `slots` of them at most.
common::Result<std::vector<SourceProjection>> chooseProjections(const std::vector<Projected>& all, const Choice& c,
                                                                size_t slots, const std::string& source,
                                                                std::vector<std::string>& notes) {
    const auto groups = sumProjections(all, c.sum, source);
    if (!groups) return common::Failure{groups.error()};
    const bool mirror = c.spin == Spin::Mirror;
    const size_t fit = mirror ? slots / 2 : slots;
    const std::string what = c.sum == SumBy::None ? c.what : "sum";
    std::vector<int> chosen = c.chosen;
    if (chosen.size() > fit)
        return common::Failure{source + ": " + std::to_string(chosen.size()) + " " + what + "s asked for; " +
                               counted(fit) + " fit in fort.1" +
                               (mirror ? " with each spin apart (--spin mirror)" : "")};
    if (chosen.empty())
        for (size_t i = 1; i <= std::min(fit, groups->size()); ++i) chosen.push_back(static_cast<int>(i));
    std::vector<SourceProjection> out;
    for (int k : chosen) {
        if (k > static_cast<int>(groups->size()))
            return common::Failure{source + ": there is no " + what + " " + std::to_string(k) + " (the file has " +
                                   std::to_string(groups->size()) + ")"};
        const Projected& p = (*groups)[static_cast<size_t>(k - 1)];
        if (mirror) {
            out.push_back(curveOf(p, " up", p.up, 1.0));
            out.push_back(curveOf(p, " down", p.down, -1.0));
        } else {
            std::vector<double> y = p.up;
            if (!p.down.empty()) add(y, p.down);
            out.push_back(curveOf(p, "", y, 1.0));
        }
    }
    if (groups->size() > chosen.size()) {
        std::string note = std::to_string(groups->size()) + " " + what + "s" +
                           (c.sum == SumBy::None ? " in the file" : "") + ", " +
                           std::to_string(chosen.size()) + " written (choose up to " + counted(fit) + " with " +
                           c.option + ")";
        if (c.option.empty()) {  // nothing to choose with: say which were taken
            note = std::to_string(groups->size()) + " " + what + "s, the first " + counted(chosen.size()) +
                   " written:";
            for (int k : chosen) note += " " + (*groups)[static_cast<size_t>(k - 1)].name + ",";
            note.pop_back();
            if (c.sum == SumBy::None) note += " (--sum element|orbital adds them up)";
        }
        notes.push_back(note);
    }
    if (c.sum != SumBy::None)
        notes.push_back(std::string("projections added up by ") +
                        (c.sum == SumBy::Element ? "element" : c.sum == SumBy::Orbital ? "orbital" : "element and orbital"));
    return out;
}

}  // namespace

common::Status addChosenProjections(const std::vector<Projected>& all, const Choice& c, const std::string& source,
                                    DosSource& src) {
    const size_t slots = static_cast<size_t>(dos::kMaxProjections) - src.ao.size();
    return chooseProjections(all, c, slots, source, src.notes).transform([&](const std::vector<SourceProjection>& ao) {
        src.ao.insert(src.ao.end(), ao.begin(), ao.end());
    });
}

void applySpin(DosSource& src, Spin spin, const std::vector<double>& up, const std::vector<double>& down,
               const std::vector<double>& upIntegral, const std::vector<double>& downIntegral) {
    if (spin == Spin::Mirror) {
        mirrorTotals(src, up, down, upIntegral, downIntegral);
        src.notes.push_back("spin mirrored: spin up to the right, spin down as negative values to the left");
        return;
    }
    src.dos = spin == Spin::Up ? up : down;
    src.idos = spin == Spin::Up ? upIntegral : downIntegral;
    src.notes.push_back(std::string("spin channel: ") + (spin == Spin::Up ? "up" : "down"));
}

void mirrorTotals(DosSource& src, const std::vector<double>& up, const std::vector<double>& down,
                  const std::vector<double>& upIntegral, const std::vector<double>& downIntegral) {
    src.dos = up;
    src.idos = upIntegral;
    SourceProjection d;
    d.description = {"Total DOS, spin down", "drawn as negative values: spin up to the right, down to the left"};
    d.rows = src.rows;
    for (double v : down) d.curve.push_back(-v);
    for (double v : downIntegral) d.integral.push_back(-v);
    src.ao.insert(src.ao.begin(), std::move(d));
    src.mirrored = true;
}

}  // namespace importer
