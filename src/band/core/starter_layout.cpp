#include "band/core/starter_layout.h"

#include <cmath>

#include "annotate/settings.h"
#include "band/core/layout_file.h"

namespace band {

using namespace common;

namespace {

// Axis titles and labels as the markup writes them.
const char* const kRelativeTitle = "E - E\\sub F \\endsub (eV)";
const char* const kAbsoluteTitle = "Energy (eV)";
constexpr size_t kTextField = 80;

// Element flags of the graph menu that the starter graph switches on.
enum : size_t { kBorderFlag = 2, kTicsFlag = 3, kLabelsFlag = 4, kTitlesFlag = 5, kFermiFlag = 7 };

std::string checked(const StarterBands& s) {
    const size_t n = s.lengths.size();
    if (n < 1 || n > static_cast<size_t>(kMaxShown))
        return std::to_string(n) + " symmetry lines: a graph shows 1 ... " + std::to_string(kMaxShown);
    if (s.labels.size() != n + 1)
        return std::to_string(s.labels.size()) + " labels for " + std::to_string(n) + " symmetry lines (" +
               std::to_string(n + 1) + " needed)";
    for (double l : s.lengths)
        if (!(l > 0) || !std::isfinite(l)) return "a symmetry line length not above 0";
    for (const std::string& l : s.labels)
        if (l.size() > kTextField) return "label longer than 80 characters: " + l;
    if (!s.spinDown.empty() && s.spinDown.size() != n)
        return "spin channels of " + std::to_string(s.spinDown.size()) + " lines for " + std::to_string(n) +
               " symmetry lines";
    if (!(s.emin < s.emax)) return "energy window: minimum not below maximum";
    if (std::string why = energyWindowRefusal(s.emin, s.emax); !why.empty()) return why;
    return s.efermi ? valueRefusal(*s.efermi) : "";
}

}  // namespace

void linesInProportion(OneBased<float, kMaxShown + 1>& p, const std::vector<double>& lengths, float w) {
    double sum = 0;
    for (double l : lengths) sum += l;
    const double scale = w / sum;
    const int n = static_cast<int>(lengths.size());
    double at = 0;
    p[1] = 0.0f;
    for (int l = 1; l <= n; ++l) {
        at += lengths[static_cast<size_t>(l - 1)] * scale;
        p[l + 1] = static_cast<float>(at);
    }
    p[n + 1] = w;  // no rounding left over at the right edge
}

Result<BandGraph> starterGraph(const StarterBands& s) {
    if (std::string why = checked(s); !why.empty()) return Failure{why};
    BandGraph g;
    g.nshow = static_cast<int>(s.lengths.size());
    g.geom = FrameGeom::forLines(g.nshow);
    if (g.nshow == 1) g.geom.frame_w = g.geom.frame_w * 2.0f / 3.0f;
    linesInProportion(g.line_pos, s.lengths, g.geom.frame_w);
    g.elow = s.emin;
    g.ehigh = s.emax;
    g.range = s.emax - s.emin;

    g.border = true;
    g.flags[kBorderFlag] = g.nshow == 1;  // wider graphs have their right edge and top already
    g.flags[kTicsFlag] = true;
    g.tics = annotate::labelledTics(s.emin, s.emax, annotate::kMostEnergyLabels);
    // outward on both edges, as the DOS pictures' energy axes
    g.tic_side[1] = 1;            // left of the left edge, with the labels
    g.tic_side[g.nshow + 1] = 2;  // right of the right edge

    g.flags[kLabelsFlag] = true;
    for (int i = 1; i <= g.nshow + 1; ++i) g.labels[i] = s.labels[static_cast<size_t>(i - 1)];
    g.flags[kTitlesFlag] = true;
    g.vtitle = s.relative ? kRelativeTitle : kAbsoluteTitle;

    g.spin.bands = s.spinDown;
    g.styles = s.styles;
    g.legend.on = !s.spinDown.empty() || s.projections;  // the two channels or the groups named
    if (s.projections) g.show.mode = CharacterMode::colours;
    g.source_fermi = s.sourceFermi;
    g.picture_title = s.title;

    if (s.efermi && *s.efermi >= s.emin && *s.efermi <= s.emax) {
        g.flags[kFermiFlag] = true;
        g.efermi = *s.efermi;
        g.fermi_line = true;
    }
    return g;
}

Result<std::string> formatStarterLayout(const StarterBands& s) {
    Result<BandGraph> g = starterGraph(s);
    if (!g) return Failure{g.error()};
    return formatLayout(*g);
}

}  // namespace band
