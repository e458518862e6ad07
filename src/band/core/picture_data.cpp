#include "band/core/picture_data.h"

#include "band/core/graph.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

namespace {

// A number with five decimals, without the field's blanks.
std::string number(double v) {
    const std::string f = fortran::F(v, 20, 5);
    return f.substr(f.find_first_not_of(' '));
}

// A CSV cell: quoted when it holds a comma, a quote or a line end.
std::string cell(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string q = "\"";
    for (char c : text) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

const char* spinOf(const BandGraph& g, int l, int b) {
    if (g.spin.bands.empty()) return "";
    return g.spin.holds(l, b) ? "down" : "up";
}

}  // namespace

std::string formatPictureData(const BandGraph& g) {
    std::string csv = "line,band,spin,distance,energy";
    for (const std::string& name : g.character.names) csv += "," + cell(name);
    csv += "\n";
    const int groups = g.character.groups();
    for (int l = 1; l <= g.nshow && g.bands.missing(l, g.nshow).empty(); ++l) {
        const BandLine& line = g.bands.lines[static_cast<size_t>(l - 1)];
        const LineCharacter* c = g.character.line(l, line.npts, line.nbands);
        const float from = g.line_pos[l], length = g.line_pos[l + 1] - g.line_pos[l];
        for (int b = 1; b <= line.nbands; ++b)
            for (int p = 1; p <= line.npts; ++p) {
                const double along = line.npts > 1 ? static_cast<double>(p - 1) / (line.npts - 1) : 0.0;
                csv += std::to_string(l) + "," + std::to_string(b) + "," + spinOf(g, l, b) + "," +
                       number(from + along * length) + "," +
                       number(line.e[static_cast<size_t>(b - 1) * static_cast<size_t>(line.npts) + static_cast<size_t>(p - 1)]);
                for (int k = 1; k <= groups; ++k) csv += "," + (c ? number(c->at(p, b, k)) : std::string());
                csv += "\n";
            }
    }
    return csv;
}

}  // namespace band
