#include "import/pipeline/band_picture.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>

#include "annotate/settings.h"
#include "common/options.h"
#include "import/model/lattice_points.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

// The names the markup draws as Greek capitals (its own spelling of omicron).
const std::array<const char*, 24> kGreek = {"alpha", "beta",    "gamma",   "delta", "epsilon", "zeta",
                                            "eta",   "theta",   "iota",    "kappa", "lambda",  "mu",
                                            "nu",    "xi",      "omikron", "pi",    "rho",     "sigma",
                                            "tau",   "upsilon", "phi",     "chi",   "psi",     "omega"};

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string onePoint(const std::string& name) {
    // "\Gamma" as the codes' k point files write it, "Γ" in UTF-8
    std::string low = lower(!name.empty() && name[0] == '\\' ? name.substr(1) : name);
    if (low == "g" || low == "\xCE\x93") low = "gamma";
    if (low == "omicron") low = "omikron";
    for (const char* g : kGreek)
        if (low == g) return "\\" + std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(low[0])))) + low.substr(1);
    return name;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(sep, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

// The points between the lines, as (end of the line before, start of the
// line after); a point of both when the path goes on there.
struct Boundary {
    std::optional<size_t> before, after;
    // The points it stands for: the end of the line before and, where the
    // path jumps, the start of the line after.
    std::vector<size_t> points() const {
        std::vector<size_t> p;
        if (before) p.push_back(*before);
        if (after && after != before) p.push_back(*after);
        return p;
    }
};

std::vector<Boundary> boundaries(const DensePath& path, const std::vector<ChosenLine>& lines) {
    std::vector<Boundary> b(lines.size() + 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        b[i].after = lines[i].line.first;
        b[i + 1].before = lines[i].line.last;
    }
    for (Boundary& x : b)
        if (x.before && x.after && distance(path.points[*x.before].k, path.points[*x.after].k) < 1e-6) x.after = x.before;
    return b;
}

std::vector<std::string> givenLabels(const std::string& text, size_t count) {
    std::vector<std::string> names = split(text, ',');
    if (names.size() != count)
        throw common::UsageError("--labels " + text + ": " + std::to_string(count - 1) + " lines need " +
                                 std::to_string(count) + " points, not " + std::to_string(names.size()));
    for (std::string& n : names) {
        if (n.empty()) throw common::UsageError("--labels " + text + ": an empty name");
        const std::string drawn = labelMarkup(n);
        if (drawn.size() > 20) throw common::UsageError("--labels " + text + ": '" + n + "' is longer than a label keeps");
        n = drawn;
    }
    return names;
}

// The label of every boundary from the names of its points ("K|U" where
// the path jumps); nullopt when a point has no name.
std::optional<std::vector<std::string>> boundaryLabels(const std::vector<Boundary>& bounds,
                                                       const std::function<std::string(size_t)>& nameOf) {
    std::vector<std::string> labels;
    for (const Boundary& b : bounds) {
        std::string label;
        for (size_t at : b.points()) {
            const std::string name = nameOf(at);
            if (name.empty()) return std::nullopt;
            label += (label.empty() ? "" : "|") + onePoint(name);
        }
        labels.push_back(label);
    }
    return labels;
}

// The factors that bring the path's Cartesian k to units of 2 pi / alat:
// 1 when they are in those units already (`inAlat`); else, from the
// reciprocal lattice vectors, the alat of each standard lattice they could
// belong to (|b| is sqrt3, sqrt2, 1 or 2/sqrt3 times 2 pi / alat for the
// face-centred, body-centred, simple cubic or tetragonal, hexagonal ones).
std::vector<double> alatScales(const DensePath& path, bool inAlat) {
    if (inAlat) return {1.0};
    std::vector<double> scales;
    if (!path.reciprocal) return scales;
    for (const KVector& b : *path.reciprocal) {
        const double length = norm(b);
        if (!(length > 0)) continue;
        for (double m : {std::sqrt(3.0), std::sqrt(2.0), 1.0, 2.0 / std::sqrt(3.0)}) scales.push_back(m / length);
    }
    return scales;
}

// The reciprocal lattice vectors a lattice that names the points must
// take for Gamma points too, so that it is the calculation's own lattice,
// in its own orientation: every one not along z (the height of a hexagonal
// or tetragonal lattice is taken from the path's points).
std::vector<KVector> latticeChecks(const std::array<KVector, 3>& b) {
    std::vector<KVector> checks;
    for (const KVector& v : b)
        if (std::hypot(v[0], v[1]) > 1e-6 * norm(v)) checks.push_back(v);
    return checks;
}

// The standard names when every point between the lines is a standard point
// of one lattice, the calculation's own; nullopt otherwise.
std::optional<std::vector<std::string>> latticeLabels(const DensePath& path, const std::vector<Boundary>& bounds,
                                                      bool inAlat, std::string& lattice) {
    std::vector<size_t> at;
    std::vector<KVector> points;
    for (const Boundary& b : bounds)
        for (size_t q : b.points()) {
            at.push_back(q);
            points.push_back(path.points[q].k);
        }
    if (!inAlat && path.reciprocal)
        for (const KVector& b : latticeChecks(*path.reciprocal)) points.push_back(b);
    std::optional<PointNames> named;
    for (double scale : alatScales(path, inAlat)) {
        std::vector<KVector> scaled = points;
        for (KVector& k : scaled)
            for (double& x : k) x *= scale;
        named = nameHighSymmetryPoints(scaled);
        if (named && std::all_of(named->names.begin() + static_cast<long>(at.size()), named->names.end(),
                                 [](const std::string& n) { return n == "Gamma"; }))
            break;
        named.reset();
    }
    if (!named) return std::nullopt;
    lattice = named->lattice;
    std::map<size_t, std::string> nameOf;
    for (size_t i = 0; i < at.size(); ++i) nameOf[at[i]] = named->names[i];
    return boundaryLabels(bounds, [&](size_t q) { return nameOf[q]; });
}

// The names the path gives its points between the lines, when it names
// every one of them; nullopt otherwise.
std::optional<std::vector<std::string>> pathLabels(const DensePath& path, const std::vector<Boundary>& bounds) {
    return boundaryLabels(bounds, [&](size_t q) { return path.points[q].name; });
}

// Which bands of the line are spin down: bands are numbered by their level
// at the line's first point, as the stored set-up numbers them.
std::vector<bool> spinDownBands(const DensePath& path, const PathLine& line) {
    std::vector<bool> down;
    for (const Level& level : path.points[line.first].levels) down.push_back(level.channel == 1);
    return down;
}

// The energy of the highest level of each channel at the point.
std::array<double, 2> topLevels(const std::vector<Level>& levels) {
    std::array<double, 2> top{-HUGE_VAL, -HUGE_VAL};
    for (const Level& l : levels) top[l.channel == 1] = std::max(top[l.channel == 1], l.energy);
    return top;
}

}  // namespace

void printSpikes(std::ostream& out, const std::string& input, const DensePath& path, const std::vector<Spike>& found,
                 bool withoutTop) {
    const size_t shown = std::min<size_t>(found.size(), 3);
    for (size_t i = 0; i < shown; ++i) {
        const Spike& s = found[i];
        const PathPoint& p = path.points[s.point];
        out << "Band " << s.band << (path.channels() == 2 ? (s.channel == 1 ? " (spin down)" : " (spin up)") : "")
            << " at k point " << s.point + 1 << " (" << input;
        if (p.line > 0) out << ", line " << p.line;
        out << ") lies " << plain(std::fabs(s.off), 2) << " eV " << (s.off > 0 ? "above" : "below")
            << " its neighbours' mean: unconverged or damaged?\n";
    }
    if (found.size() > shown) out << "... and " << found.size() - shown << " more such levels.\n";
    if (withoutTop) out << "The starter window leaves out the highest band, which jumps so.\n";
}

std::string labelMarkup(const std::string& name) {
    std::string drawn;
    for (const std::string& part : split(name, '|')) drawn += (drawn.empty() ? "" : "|") + onePoint(part);
    return drawn;
}

StarterPicture starterPicture(bool inAlat, const DensePath& path, const std::vector<ChosenLine>& lines,
                              const std::string& labels, const std::optional<std::pair<double, double>>& window,
                              bool relative, bool withoutTop) {
    StarterPicture pic;
    band::StarterBands& b = pic.bands;
    b.relative = relative;
    if (!relative) b.efermi.reset();
    const std::vector<Boundary> bounds = boundaries(path, lines);
    std::string lattice;
    std::optional<std::vector<std::string>> named;
    if (!labels.empty()) {
        b.labels = givenLabels(labels, bounds.size());
        pic.labelsFrom = "given";
    } else if ((named = pathLabels(path, bounds))) {
        b.labels = *named;
        pic.labelsFrom = "named by the k point file";
    } else if ((named = latticeLabels(path, bounds, inAlat, lattice))) {
        b.labels = *named;
        pic.labelsFrom = "the standard points of the " + lattice + " lattice";
    } else {
        for (size_t i = 0; i < bounds.size(); ++i) b.labels.push_back(std::to_string(i + 1));
        pic.labelsFrom = "numbered; --labels names them";
    }
    // fractions of different reciprocal vectors are no lengths: without the
    // lattice every line is drawn as long as the others
    for (const ChosenLine& c : lines)
        b.lengths.push_back(path.units == KUnits::fractions ? 1.0
                                                            : distance(path.points[c.line.first].k, path.points[c.line.last].k));
    if (path.channels() == 2)
        for (const ChosenLine& c : lines) b.spinDown.push_back(spinDownBands(path, c.line));

    if (window) {
        b.emin = static_cast<float>(window->first);
        b.emax = static_cast<float>(window->second);
        return pic;
    }
    double lo = 0, hi = 0;
    bool first = true;
    for (const ChosenLine& c : lines)
        for (size_t q = c.line.first; q <= c.line.last; ++q) {
            const std::array<double, 2> top = topLevels(path.points[q].levels);
            for (const Level& level : path.points[q].levels) {
                if (withoutTop && level.energy >= top[level.channel == 1]) continue;
                const double e = level.energy;
                lo = first ? e : std::min(lo, e);
                hi = first ? e : std::max(hi, e);
                first = false;
            }
        }
    if (relative) {
        const annotate::EnergyWindow w = annotate::starterWindow(lo, hi);
        lo = w.lo;
        hi = w.hi;
    }
    b.emin = static_cast<float>(std::floor(lo));
    b.emax = static_cast<float>(std::ceil(hi));
    if (b.emax <= b.emin) b.emax = b.emin + 1;
    return pic;
}

void printPicture(std::ostream& out, const StarterPicture& pic) {
    const band::StarterBands& b = pic.bands;
    double total = 0;
    for (double x : b.lengths) total += x;
    out << "Picture (fort.15): points";
    for (const std::string& l : b.labels) out << " " << l;
    out << " (" << pic.labelsFrom << ");\n  line lengths";
    for (double x : b.lengths) out << " " << plain(total > 0 ? x / total : 0.0, 3);
    out << " of the width; energies " << plain(b.emin, 1) << " ... " << plain(b.emax, 1) << " eV"
        << (b.relative ? ", the Fermi level at 0" : "") << ".\n";
}

BandsAtFermi bandsAtFermi(const DensePath& path, const std::vector<ChosenLine>& lines) {
    BandsAtFermi at;
    bool first = true;
    int most = 0;
    std::optional<double> top, bottom;  // the highest level below the Fermi level, the lowest above
    for (const ChosenLine& c : lines)
        for (size_t q : c.points) {
            const std::vector<Level>& levels = path.points[q].levels;
            int n = 0, up = 0;
            for (const Level& level : levels) {
                if (level.energy <= kAtFermi) {
                    ++n;
                    up += level.channel == 0;
                    top = std::max(top.value_or(level.energy), level.energy);
                } else {
                    bottom = std::min(bottom.value_or(level.energy), level.energy);
                }
            }
            if (first || n < at.below) {
                at.below = n;
                at.belowUp = up;
                at.belowDown = n - up;
            }
            most = first ? n : std::max(most, n);
            at.total = static_cast<int>(levels.size());
            first = false;
        }
    at.crossing = most - at.below;
    if (at.crossing == 0 && top && bottom && *bottom > *top) at.gap = *bottom - *top;
    return at;
}

void colourValenceAndConduction(band::StarterBands& bands, const BandsAtFermi& at) {
    if (at.gap <= 0 || !bands.spinDown.empty() || bands.projections) return;
    const int width = band::kPlainLook.width;
    bands.styles = {{1, at.below, annotate::kBlue, width, 1}, {at.below + 1, at.total, annotate::kVermillion, width, 1}};
}

void printBandNumbers(std::ostream& out, const BandsAtFermi& at, bool coloured) {
    auto range = [](int a, int b) { return a == b ? std::to_string(a) : std::to_string(a) + " ... " + std::to_string(b); };
    const bool two = at.belowDown > 0;
    const std::string split =
        two ? " (" + std::to_string(at.belowUp) + " spin up, " + std::to_string(at.belowDown) + " spin down)" : "";
    out << "Band numbers (from the lowest, as the band program counts them): ";
    if (at.gap > 0)
        out << "valence " << range(1, at.below) << split << ", conduction " << range(at.below + 1, at.total)
            << ", a gap of " << plain(at.gap, 2) << " eV" << (coloured ? "; drawn blue and vermillion" : "") << ".\n";
    else if (at.below == 0 && at.crossing == 0)
        out << "all " << at.total << " lie above the Fermi level.\n";
    else {
        if (at.below > 0) out << range(1, at.below) << " below the Fermi level" << split << ", ";
        if (at.crossing > 0) out << range(at.below + 1, at.below + at.crossing) << " cross it, ";
        const int above = at.below + at.crossing + 1;
        out << (above <= at.total ? range(above, at.total) + " above it" : std::string("none above it")) << ".\n";
    }
}

}  // namespace importer
