#include "import/formats/qe_projwfc.h"

#include <algorithm>

#include "import/text/text_table.h"

namespace importer {

using common::Failure;
using common::RecordFile;
using common::Result;

namespace {

constexpr const char* kOrbitals = "spdf";

// The first word of `text`; "" when there is none.
std::string firstWord(const std::string& text) {
    const std::vector<std::string> w = words(text);
    return w.empty() ? "" : w.front();
}

bool startsWith(const std::string& line, const std::string& what) {
    const size_t a = line.find_first_not_of(' ');
    return a != std::string::npos && line.compare(a, what.size(), what) == 0;
}

// "state #   5: atom   2 (As ), wfc  1 (l=0 m= 1)".
Result<AtomicState> stateOn(const RecordFile& f, size_t n, size_t expected) {
    const std::string& line = f.record(n);
    const size_t hash = line.find('#'), colon = line.find(':'), atom = line.find("atom"), open = line.find('(');
    const size_t close = line.find(')', open), l = line.find("l=", close == std::string::npos ? 0 : close);
    if (colon == std::string::npos || atom == std::string::npos || open == std::string::npos ||
        close == std::string::npos || l == std::string::npos || l + 2 >= line.size())
        return at(f, n, "expected 'state #  N: atom  A (X ), wfc  W (l=L ...)'");
    const auto number = integer(firstWord(line.substr(hash + 1, colon - hash - 1)));
    const auto a = integer(firstWord(line.substr(atom + 4, open - atom - 4)));
    const auto lValue = integer(line.substr(l + 2, 1));
    if (!number || *number != static_cast<long>(expected)) return at(f, n, "expected state " + std::to_string(expected));
    if (!a || *a < 1) return at(f, n, "unreadable atom number");
    if (!lValue || *lValue < 0 || *lValue > 3) return at(f, n, "unreadable angular momentum l");
    const std::vector<std::string> label = words(line.substr(open + 1, close - open - 1));
    AtomicState s;
    s.atom = static_cast<int>(*a);
    s.element = label.empty() ? "" : label[0];
    s.orbital = std::string(1, kOrbitals[*lValue]);
    return s;
}

// The terms "0.651*[#   5]" of a psi line into `w`.
common::Status termsOn(const RecordFile& f, size_t n, std::vector<float>& w) {
    const std::string& line = f.record(n);
    size_t from = line.find('=') == std::string::npos || !startsWith(line, "psi") ? 0 : line.find('=') + 1;
    for (size_t star; (star = line.find("*[#", from)) != std::string::npos;) {
        size_t begin = line.find_last_of("=+ ", star - 1);
        begin = begin == std::string::npos ? 0 : begin + 1;
        const size_t close = std::min(line.find(']', star), line.size());
        const std::string term = line.substr(begin, close + 1 - begin);
        const std::optional<double> v = number(line.substr(begin, star - begin));
        const std::optional<long> s = integer(firstWord(line.substr(star + 3, close - star - 3)));
        if (close == line.size() || !v || !s) return at(f, n, "unreadable term '" + term + "'");
        from = close + 1;
        if (*s < 1 || static_cast<size_t>(*s) > w.size())
            return at(f, n, "state " + std::to_string(*s) + " where the list has 1 ... " + std::to_string(w.size()));
        if (*v < 0 || *v > 1) return at(f, n, "weight " + plain(*v, 3) + " outside 0 ... 1");
        w[static_cast<size_t>(*s - 1)] += static_cast<float>(*v);
    }
    return {};
}

// One level from its "==== e(" line on: its energy and weights; `n` ends
// past its "|psi|^2" line.
common::Status levelOn(const RecordFile& f, size_t& n, size_t states, ProjectedPoint& point) {
    const std::string& head = f.record(n);
    const size_t eq = head.find('=', head.find(')'));
    const auto e = eq == std::string::npos ? std::nullopt : number(firstWord(head.substr(eq + 1)));
    if (!e) return at(f, n, "unreadable energy");
    point.energy.push_back(*e);
    point.levelLine.push_back(n);
    std::vector<float>& w = point.w.emplace_back(states, 0.0f);
    for (++n; n <= f.size(); ++n) {
        const std::string& line = f.record(n);
        if (startsWith(line, "|psi|^2")) {
            ++n;
            return {};
        }
        if (startsWith(line, "====") || startsWith(line, "k =")) break;
        if (auto s = termsOn(f, n, w); !s) return s;
    }
    const std::string what = "the |psi|^2 line of level " + std::to_string(point.w.size());
    return n > f.size() ? endsBefore(f, n, what) : at(f, n, "expected " + what);
}

Result<LevelProjections> projectionsOf(RecordFile f) {
    LevelProjections p;
    p.file = f.name();
    size_t n = 1;
    while (n <= f.size() && !startsWith(f.record(n), "state #")) ++n;
    if (n > f.size()) return at(f, 1, "no list of atomic states ('state #'): not a projwfc.x output");
    for (; n <= f.size() && startsWith(f.record(n), "state #"); ++n) {
        auto s = stateOn(f, n, p.states.size() + 1);
        if (!s) return Failure{s.error()};
        p.states.push_back(*s);
    }
    while (n <= f.size()) {
        const std::string& line = f.record(n);
        if (startsWith(line, "Lowdin Charges")) break;
        if (!startsWith(line, "k =")) {
            ++n;
            continue;
        }
        auto k = numbersOn(f, n, line.substr(line.find('=') + 1));
        if (!k) return Failure{k.error()};
        if (k->size() != 3) return at(f, n, "expected the three coordinates of a k point");
        ProjectedPoint& point = p.points.emplace_back();
        point.k = {(*k)[0], (*k)[1], (*k)[2]};
        point.line = n;
        for (n = nextFilled(f, n + 1); n <= f.size() && startsWith(f.record(n), "==== e("); n = nextFilled(f, n))
            if (auto s = levelOn(f, n, p.states.size(), point); !s) return s.failure();
        if (point.w.empty()) return at(f, point.line, "k point " + std::to_string(p.points.size()) + " has no levels");
        if (point.w.size() != p.points.front().w.size())
            return at(f, point.line, "k point " + std::to_string(p.points.size()) + " has " +
                                         std::to_string(point.w.size()) + " levels, the first " +
                                         std::to_string(p.points.front().w.size()));
    }
    if (p.points.empty()) return endsBefore(f, n, "the first k point (' k = ')");
    return p;
}

}  // namespace

Result<LevelProjections> readQeProjections(const std::string& path) { return loadText(path).and_then(projectionsOf); }

Result<LevelProjections> parseQeProjections(const std::string& name, const std::string& text) {
    return projectionsOf(RecordFile::fromText(name, text));
}

}  // namespace importer
