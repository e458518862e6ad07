#include "import/formats/kpoints.h"

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

// "k1 k2 k3 [!] NAME": the point and its name ("" without one).
common::Result<std::pair<KVector, std::string>> kpointLine(const common::RecordFile& f, size_t r) {
    std::string text = f.record(r);
    std::string name;
    const size_t bang = text.find('!');
    if (bang != std::string::npos) {
        const auto after = words(text.substr(bang + 1));
        if (!after.empty()) name = after.front();
        text = text.substr(0, bang);
    }
    std::vector<std::string> w = words(text);
    if (w.size() == 4 && name.empty() && !number(w[3])) {
        name = w[3];
        w.pop_back();
    }
    if (w.size() < 3) return at(f, r, "expected a k point (three numbers, then its name)");
    const auto k = numbersOn(f, r, std::vector<std::string>(w.begin(), w.begin() + 3));
    if (!k) return common::Failure{k.error()};
    return std::pair<KVector, std::string>{{(*k)[0], (*k)[1], (*k)[2]}, name};
}

common::Result<KpointsPath> kpointsOf(const common::RecordFile& f) {
    KpointsPath kp;
    kp.name = f.name();
    if (f.size() < 4) return endsBefore(f, f.size() + 1, "the first point of the path");
    // a mesh ("0", "Monkhorst-Pack") or a list of points is no path, whatever line 2 holds
    const std::vector<std::string> mode = words(f.record(3));
    if (mode.empty() || (mode[0][0] != 'L' && mode[0][0] != 'l'))
        return at(f, 3, "not a path: line mode ('Line-mode') expected, the band import needs a path");
    const std::vector<std::string> first = words(f.record(2));  // "40 ! intersections"
    if (first.empty()) return at(f, 2, "expected the number of points a segment");
    const auto n = numbersOn(f, 2, std::vector<std::string>{first.front()});
    if (!n) return common::Failure{n.error()};
    const auto per = count(f, 2, "points a segment", n->front(), 2, 100000);
    if (!per) return common::Failure{per.error()};
    kp.perSegment = static_cast<int>(*per);
    const std::vector<std::string> coord = words(f.record(4));
    const char c = coord.empty() ? ' ' : coord[0][0];
    if (c != 'R' && c != 'r' && c != 'C' && c != 'c' && c != 'K' && c != 'k')
        return at(f, 4, "expected 'Reciprocal' or 'Cartesian'");
    kp.fractional = c == 'R' || c == 'r';
    size_t r = 5;
    while ((r = nextFilled(f, r)) <= f.size()) {
        const auto start = kpointLine(f, r);
        if (!start) return common::Failure{start.error()};
        const size_t second = r + 1;
        if (second > f.size() || blank(f.record(second))) return endsBefore(f, second, "the end of the segment");
        const auto end = kpointLine(f, second);
        if (!end) return common::Failure{end.error()};
        kp.ends.push_back({start->first, end->first});
        kp.names.push_back({start->second, end->second});
        kp.line.push_back(r);
        r = second + 1;
    }
    if (kp.ends.empty()) return endsBefore(f, 5, "the first segment");
    return kp;
}

}  // namespace

common::Result<KpointsPath> parseKpoints(const std::string& name, const std::string& text) {
    return kpointsOf(common::RecordFile::fromText(name, text));
}

common::Result<KpointsPath> readKpoints(const std::string& path) { return loadText(path).and_then(kpointsOf); }

}  // namespace importer
