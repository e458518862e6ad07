#include "band/dialog/setup.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "band/core/ordering.h"
#include "band/core/band_input.h"
#include "band/core/setup_file.h"
#include "band/dialog/crossing.h"
#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"

namespace band {

using namespace common;

namespace {

struct SetupRun {
    Plot& plot;
    Console& con;
    BandState& st;
    const FrameGeom& geom;
    BandInput input;
    SetupFile stored;  // blocks of the old fort.3 (change of the stored set-up)
    std::vector<int> labels;
    std::string fort4;  // fort.4 as written so far
    LineState line;
    LineTables t;
};

bool stop(Console& con, const std::string& message) {
    con.line(" " + message);
    con.line(" The set-up stops; fort.3 is unchanged.");
    return false;
}

bool writeFort4(SetupRun& r) {
    Status written = writeFileAtomic("fort.4", r.fort4);
    if (written) return true;
    return stop(r.con, written.error());
}

bool collectLabels(SetupRun& r) {
    for (int n = 1; n <= r.input.nkpt; ++n) {
        for (const Membership& m : r.input.block(n).member) {
            if (m.label == 0) continue;
            bool known = false;
            for (int l : r.labels) known = known || l == m.label;
            if (known) continue;
            if (static_cast<int>(r.labels.size()) == band::kMaxLabels)
                return stop(r.con, "fort.1, k point " + std::to_string(n) + ": more than " +
                                       std::to_string(band::kMaxLabels) + " different line labels.");
            r.labels.push_back(m.label);
        }
    }
    return true;
}

// Label list and prompt until a known label or 0.
int chooseLabel(SetupRun& r) {
    for (;;) {
        std::string list = " Symmetry line labels: ";
        for (int l : r.labels) list += fortran::I(l, 3);
        r.con.line(list);
        r.con.line();
        long label = r.con.askInt(" Choose label of line (0=exit and interpolate \n all previously chosen lines): ", 2);
        if (label == 0) return 0;
        for (int l : r.labels)
            if (l == label) return l;
    }
}

const Membership* memberOf(const KBlock& b, int label) {
    for (const Membership& m : b.member)
        if (m.label == label) return &m;
    return nullptr;
}

// A stored line can be taken over when its header holds values the
// interpolation accepts, its k points are in fort.1 and its order rows are
// permutations of the interpolated levels.
std::string damagedRow(const SetupBlock& b, const BandState& st, int nkpt) {
    if (!band::headerInRange(b))
        return "line " + std::to_string(b.label) + ", record " + std::to_string(b.headerRecord) +
               ": end-point values in its header out of range";
    for (size_t k = 0; k < b.kfile.size(); ++k) {
        const std::string where = "line " + std::to_string(b.label) + ", k point " + std::to_string(k + 1);
        if (b.kfile[k] < 1 || b.kfile[k] > nkpt) return where + ": k point not in fort.1";
        if (!band::isOrderRow(b.order[k], st.nbands, st.nlower, st.ninterp))
            return where + ": band order is no permutation of the interpolated bands";
    }
    return "";
}

// Searches the stored set-up for the label; returns the block taken over.
const SetupBlock* offerStored(SetupRun& r, int label) {
    for (const SetupBlock& b : r.stored.blocks) {
        if (b.label != label) continue;
        char c = r.con.askChar(" Use .BIN information for line " + fortran::I(label, 2) + " (default=yes): ");
        if (c != 'N' && c != 'n') continue;
        std::string bad = damagedRow(b, r.st, r.input.nkpt);
        if (bad.empty()) return &b;
        r.con.line(" fort.3, " + bad + "; the line is built from fort.1.");
        return nullptr;
    }
    return nullptr;
}

bool beforeInOrder(const LineTables::KPoint& a, const LineTables::KPoint& b) {
    if (a.x != b.x) return a.x < b.x;
    if (a.y != b.y) return a.y < b.y;
    return a.z < b.z;
}

bool buildFromInput(SetupRun& r) {
    LineState& ln = r.line;
    ln.nkl = 0;
    for (int n = 1; n <= r.input.nkpt; ++n) {
        const KBlock& b = r.input.block(n);
        const Membership* m = memberOf(b, ln.label);
        if (!m) continue;
        if (ln.nkl == band::kMaxLinePoints)
            return stop(r.con, "fort.1, k point " + std::to_string(n) + ": line " + std::to_string(ln.label) +
                                   " has more than " + std::to_string(band::kMaxLinePoints) + " k points.");
        LineTables::KPoint p;
        p.x = b.k[0];
        p.y = b.k[1];
        p.z = b.k[2];
        p.kfile = n;
        p.nsel = m->nsel;
        p.sel = m->sel;
        int pos = ln.nkl + 1;
        for (int i = 1; i <= ln.nkl; ++i) {
            if (beforeInOrder(p, r.t.kpts[i])) {
                pos = i;
                break;
            }
        }
        for (int i = ln.nkl; i >= pos; --i) r.t.kpts[i + 1] = r.t.kpts[i];
        r.t.kpts[pos] = p;
        ++ln.nkl;
    }
    ln.kfirst = 1;
    ln.klast = ln.nkl;
    ln.kstep = 1;
    const auto& lo = r.t.kpts[1];
    const auto& hi = r.t.kpts[ln.nkl];
    r.con.line(" Line " + fortran::I(ln.label, 2) + ": " + fortran::I(ln.nkl, 2) + " k-points.");
    r.con.line(" Lowest k-point  (" + fortran::F(lo.x, 10, 5) + fortran::F(lo.y, 10, 5) + fortran::F(lo.z, 10, 5) + "),");
    r.con.line(" Highest k-point (" + fortran::F(hi.x, 10, 5) + fortran::F(hi.y, 10, 5) + fortran::F(hi.z, 10, 5) + ").");
    r.con.line();
    char c = r.con.askChar(" k points in ascending or descending order? (A/D) ");
    if (c == 'D' || c == 'd') {
        ln.kfirst = ln.nkl;
        ln.klast = 1;
        ln.kstep = -1;
    }
    return true;
}

void takeOver(SetupRun& r, const SetupBlock& b) {
    LineState& ln = r.line;
    ln.nkl = b.nkl;
    ln.begin_ns = b.begin_ns;
    ln.end_ns = b.end_ns;
    ln.drop_sel = b.drop_sel;
    ln.ns_incl = b.ns_incl;
    ln.kfirst = 1;
    ln.klast = b.nkl;
    ln.kstep = 1;
    for (int i = 1; i <= b.nkl; ++i) {
        LineTables::KPoint& p = r.t.kpts[i];
        p = LineTables::KPoint{};
        p.kfile = b.kfile[static_cast<size_t>(i - 1)];
        const KBlock& kb = r.input.block(p.kfile);
        p.x = kb.k[0];
        p.y = kb.k[1];
        p.z = kb.k[2];
        if (const Membership* m = memberOf(kb, ln.label)) {
            p.nsel = m->nsel;
            p.sel = m->sel;
        }
        for (int lev = 1; lev <= r.st.nbands; ++lev)
            r.t.band_order(lev, i) = b.order[static_cast<size_t>(i - 1)][static_cast<size_t>(lev - 1)];
    }
}

// Energies and symmetry codes of the line's k points, level by level.
void readEnergies(SetupRun& r) {
    const LineState& ln = r.line;
    const int lo = r.st.nlower + 1, hi = r.st.nlower + r.st.ninterp;
    for (int i = 1; i <= ln.nkl; ++i) {
        const LineTables::KPoint& p = r.t.kpts[i];
        const KBlock& kb = r.input.block(p.kfile);
        for (int lev = 1; lev <= r.st.nbands; ++lev) {
            const BandRecord& br = kb.bands[static_cast<size_t>(lev - 1)];
            const bool inside = lev >= lo && lev <= hi;
            if (ln.use_bin) r.t.band_order(lev, i) = inside ? lev : 0;
            r.t.energy_cur(lev, i) = br.energy;
            r.t.sym_code(lev, i) = band::makeSymCode(br, p.nsel, p.sel);
        }
    }
    if (ln.use_bin)
        band::tlbsrt(r.t.band_order, ln.kfirst, ln.klast, ln.kstep, r.st.nlower, r.st.ninterp, r.t.sym_code);
    band::tlsrt2(r.t.energy_cur, r.t.energy_orig, r.t.band_order, r.st.nlower, r.st.ninterp, r.st.nbands, ln.nkl);
}

float distance(const LineTables::KPoint& a, const LineTables::KPoint& b) {
    const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

void measureLine(SetupRun& r) {
    const LineState& ln = r.line;
    LineTables& t = r.t;
    t.line_length = distance(t.kpts[ln.nkl], t.kpts[1]);
    const auto& start = t.kpts[ln.kfirst];
    for (int i = ln.kfirst; ln.kstep > 0 ? i <= ln.klast : i >= ln.klast; i += ln.kstep) {
        const auto& p = t.kpts[i];
        t.kdist[i] = distance(p, start);
        r.con.line(" Read k-point: " + fortran::F(p.x, 10, 5) + fortran::F(p.y, 10, 5) + fortran::F(p.z, 10, 5) +
                   ", length: " + fortran::F(t.kdist[i], 10, 5));
    }
    t.emin = 1000.0f;
    t.emax = -1000.0f;
    for (int k = 1; k <= ln.nkl; ++k) {
        t.emin = std::min(t.emin, t.energy_cur(r.st.nlower + 1, k));
        t.emax = std::max(t.emax, t.energy_cur(r.st.nlower + r.st.ninterp, k));
    }
    t.elow = t.emin;
    t.ehigh = t.emax;
}

int askSelection(Console& con, std::vector<std::string> lines, bool emptyFirst) {
    if (emptyFirst) {
        lines.insert(lines.begin(), "");
        lines.push_back("");
    }
    return askMenu(con, lines, 1, 0);
}

void finishingQuestions(SetupRun& r) {
    LineState& ln = r.line;
    const std::string l = fortran::I(ln.label, 2);
    ln.end_ns = askSelection(r.con, {" Enter if bands at end of line " + l + " are",
                                      "   (0) symmorphic (derivative=0)", "   (1) nonsymmorphic (nonzero derivative)", ""},
                             false);
    ln.begin_ns = askSelection(r.con, {" Enter if the beginning of the line " + l + " is", "   (0) symmorphic",
                                        "   (1) nonsymmorphic", ""},
                               false);
    ln.drop_sel = askSelection(
        r.con,
        {" The derivatives should NOT be used as interpolation procedure information at",
         " (because they are zero or incorrect due to the  degeneracy at the zone boundary)",
         "  (0) both left and right hand end points (def.)", "  (1) the left hand end point",
         "  (2) the right hand end point", "  (3) neither end point"},
        true);
    ln.ns_incl = 0;
    if (ln.begin_ns + ln.end_ns >= 1) {
        ln.ns_incl = 1;
        r.con.line();
        char c = r.con.askChar(" Are you including the nonsymmorphic k points default=yes)? ");
        if (c == 'N' || c == 'n') ln.ns_incl = 0;
    }
}

std::string lineBlock(const SetupRun& r) {
    const LineState& ln = r.line;
    SetupBlock b;
    b.label = ln.label;
    b.nkl = ln.nkl;
    b.begin_ns = ln.begin_ns;
    b.end_ns = ln.end_ns;
    b.drop_sel = ln.drop_sel;
    b.ns_incl = ln.ns_incl;
    for (int i = ln.kfirst; ln.kstep > 0 ? i <= ln.klast : i >= ln.klast; i += ln.kstep) {
        b.kfile.push_back(r.t.kpts[i].kfile);
        std::vector<int> row;
        for (int lev = 1; lev <= r.st.nbands; ++lev) row.push_back(r.t.band_order(lev, i));
        b.order.push_back(row);
    }
    return formatSetupBlock(b, r.st.nbands);
}

bool setUpLine(SetupRun& r, int label) {
    r.line = LineState{};
    r.line.label = label;
    r.line.use_bin = true;
    const SetupBlock* stored = r.st.stored_setup ? offerStored(r, label) : nullptr;
    if (stored) {
        r.line.use_bin = false;
        takeOver(r, *stored);
    } else if (!buildFromInput(r)) {
        return false;
    }
    readEnergies(r);
    measureLine(r);
    r.con.line();
    r.con.line(" Displaying bands of symmetry line " + fortran::I(label, 2) + " ...");
    r.con.line();
    crossingDialogue(r.plot, r.con, r.t, r.line, r.st, r.geom);
    if (r.line.use_bin) finishingQuestions(r);
    r.fort4 += lineBlock(r);
    return writeFort4(r);
}

bool askBandCounts(SetupRun& r) {
    BandState& st = r.st;
    if (!st.stored_setup) {
        st.nlower = static_cast<int>(r.con.askInt(" Number of lower bands not to be interpolated: ", 4,
                                                  [&](long v) { return v >= 0 && v < st.nbands; }));
        st.ninterp = static_cast<int>(r.con.askInt(" Number of bands to be interpolated:           ", 4,
                                                   [&](long v) { return v >= 1 && v <= st.nbands - st.nlower; }));
    } else if (st.nlower < 0 || st.ninterp < 1 || st.nlower + st.ninterp > st.nbands) {
        return stop(r.con, "fort.3, record 1: " + std::to_string(st.nlower) + " lower and " +
                               std::to_string(st.ninterp) + " interpolated bands do not fit the " +
                               std::to_string(st.nbands) + " bands of fort.14.");
    }
    return true;
}

// The blocks of the stored set-up that can be offered: those before the
// first one that cannot be read (which is named).
bool readStoredLines(SetupRun& r) {
    auto f3 = RecordFile::load("fort.3");
    if (!f3) return stop(r.con, "fort.3: cannot be opened");
    Result<SetupFile> counts = readSetupCounts(*f3);
    if (!counts) return stop(r.con, counts.error());
    r.stored = *counts;
    for (size_t h = 2; f3->has(h);) {
        Result<SetupBlock> block = readSetupBlock(*f3, h, r.st.nbands);
        if (!block) {
            r.con.line(" " + block.error() + "; the stored lines from there on are not offered.");
            break;
        }
        h += static_cast<size_t>(blockRecords(block->nkl, r.st.nbands));
        r.stored.blocks.push_back(std::move(*block));
    }
    return true;
}

}  // namespace

bool runSetup(Plot& plot, Console& con, BandState& st, const FrameGeom& geom) {
    SetupRun r{plot, con, st, geom, {}, {}, {}, {}, {}, {}};
    // fort.4 lives only while the set-up runs: a set-up that stops early,
    // also at the end of the input, takes it away again.
    struct RemoveWorkFile {
        ~RemoveWorkFile() { std::remove("fort.4"); }
    } removeFort4;
    con.line();
    con.line(" Read/change symmetry information and interpolate bands");
    con.line(" ------------------------------------------------------");
    con.line();
    Result<BandCounts> counts = readCounts("fort.14");
    if (!counts) return stop(con, counts.error());
    st.nkpt = counts->nkpt;
    st.nbands = counts->nbands;
    con.line(" Total number of k points: " + fortran::I(st.nkpt, 4));
    con.line(" Total number of bands:    " + fortran::I(st.nbands, 4));
    if (!askBandCounts(r)) return false;
    if (st.stored_setup && !readStoredLines(r)) return false;
    Result<BandInput> input = readBandInput("fort.1", st.nkpt, st.nbands);
    if (!input) return stop(con, input.error());
    r.input = std::move(*input);
    r.fort4 = formatSetupCounts(st.nbands, st.nlower, st.ninterp);
    if (!writeFort4(r)) return false;
    if (!collectLabels(r)) return false;
    con.line(" Total number of different symmetry lines: " + fortran::I(static_cast<long>(r.labels.size()), 2));
    con.line();
    st.nlines = 0;
    for (;;) {
        int label = chooseLabel(r);
        if (label == 0) break;
        ++st.nlines;
        if (!setUpLine(r, label)) return false;
    }
    if (Status written = writeFileAtomic("fort.3", padRecordsTo80(r.fort4)); !written)
        return stop(con, written.error());
    return true;
}

}  // namespace band
