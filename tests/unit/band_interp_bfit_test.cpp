#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "band/draw/frame.h"
#include "band/core/interpolation.h"
#include "band/core/ordering.h"
#include "common/fortran_format.h"
#include "recording_plot.h"
#include "fixtures.h"
#include "silicon_bands.h"

namespace fs = std::filesystem;

using namespace silicon_bands;

namespace {

using TempDir = fixture::ScratchDir;

struct LineChoice {
    int label = 2;
    std::vector<int> kfile = kGammaX;  // in ascending order along the line
    bool descending = false;
    int begin_ns = 0, end_ns = 0, drop_sel = 0, ns_incl = 0;
};

// A stored line as the set-up builds it: codes from fort.1, bands connected
// by tlbsrt, k points and order rows in display order.
SetupBlock buildBlock(const LineChoice& s, int nlower, int ninterp) {
    const int nkl = static_cast<int>(s.kfile.size());
    auto t = std::make_unique<LineTables>();
    for (int i = 1; i <= nkl; ++i) {
        const KBlock& blk = silicon().block(s.kfile[static_cast<size_t>(i - 1)]);
        Membership mem;
        for (const Membership& m : blk.member)
            if (m.label == s.label) mem = m;
        for (int b = 1; b <= silicon().nbands; ++b) {
            const bool in = b > nlower && b <= nlower + ninterp;
            t->band_order(b, i) = in ? b : 0;
            t->sym_code(b, i) = band::makeSymCode(blk.bands[static_cast<size_t>(b - 1)], mem.nsel, mem.sel);
        }
    }
    const int kfirst = s.descending ? nkl : 1, klast = s.descending ? 1 : nkl, kstep = s.descending ? -1 : 1;
    band::tlbsrt(t->band_order, kfirst, klast, kstep, nlower, ninterp, t->sym_code);
    SetupBlock out;
    out.label = s.label;
    out.nkl = nkl;
    out.begin_ns = s.begin_ns;
    out.end_ns = s.end_ns;
    out.drop_sel = s.drop_sel;
    out.ns_incl = s.ns_incl;
    for (int i = kfirst, n = 0; n < nkl; ++n, i += kstep) {
        out.kfile.push_back(s.kfile[static_cast<size_t>(i - 1)]);
        std::vector<int> row;
        for (int b = 1; b <= silicon().nbands; ++b) row.push_back(t->band_order(b, i));
        out.order.push_back(row);
    }
    return out;
}

std::string setupText(int nlower, int ninterp, const std::vector<SetupBlock>& blocks) {
    std::string s = formatSetupCounts(10, nlower, ninterp);
    for (const SetupBlock& b : blocks) s += formatSetupBlock(b, 10);
    return padRecordsTo80(s);
}

struct Fort2Line {
    int npts = 0, nb = 0;
    std::vector<std::vector<double>> curve;  // [band][point]
};

std::vector<Fort2Line> parseFort2(const std::string& text, int& count) {
    RecordFile f = RecordFile::fromText("fort.2", text);
    std::vector<Fort2Line> lines;
    size_t r = 1;
    count = static_cast<int>(*FieldCursor(f.record(r++)).I(2));
    while (f.has(r)) {
        Fort2Line l;
        FieldCursor h(f.record(r++));
        l.npts = static_cast<int>(*h.I(3));
        l.nb = static_cast<int>(*h.I(3));
        for (int b = 0; b < l.nb; ++b) {
            l.curve.emplace_back();
            for (int p = 0; p < l.npts; ++p) l.curve.back().push_back(*FieldCursor(f.record(r++)).F(10, 5));
        }
        lines.push_back(l);
    }
    return lines;
}

// Each curve q of a written line passes through the energy of its band at
// every k point whose position falls on the output grid.
void expectThroughEnergies(const Fort2Line& out, const SetupBlock& blk, int nlower, int ninterp, double span) {
    ASSERT_EQ(out.nb, ninterp);
    const auto& k1 = silicon().block(blk.kfile.front()).k;
    const auto& kn = silicon().block(blk.kfile.back()).k;
    int checked = 0;
    for (int i = 1; i <= blk.nkl; ++i) {
        const auto& k = silicon().block(blk.kfile[static_cast<size_t>(i - 1)]).k;
        double len = 0, dist = 0;
        for (size_t j = 0; j < 3; ++j) {
            len += (kn[j] - k1[j]) * (kn[j] - k1[j]);
            dist += (k[j] - k1[j]) * (k[j] - k1[j]);
        }
        const double x = span * std::sqrt(dist / len) * 100.0;
        if (std::fabs(x - std::round(x)) > 1e-4) continue;
        const int p = static_cast<int>(std::round(x)) + 1;
        for (int q = 1; q <= ninterp; ++q) {
            const int band = blk.order[0][static_cast<size_t>(nlower + q - 1)];
            const std::vector<int>& row = blk.order[static_cast<size_t>(i - 1)];
            const int h = static_cast<int>(std::find(row.begin(), row.end(), band) - row.begin()) + 1;
            const float e = silicon().block(blk.kfile[static_cast<size_t>(i - 1)]).bands[static_cast<size_t>(h - 1)].energy;
            EXPECT_NEAR(out.curve[static_cast<size_t>(q - 1)][static_cast<size_t>(p - 1)], e, 0.00002)
                << "line " << blk.label << " k point " << i << " curve " << q;
        }
        ++checked;
    }
    EXPECT_GE(checked, 3);
}

bool reordered(const SetupBlock& b) {
    for (const auto& row : b.order)
        if (row != b.order.front()) return true;
    return false;
}

// The counts and the first n line blocks of a fort.3 text.
band::StoredLines storedLines(const std::string& text, int n) {
    Result<band::StoredLines> stored = band::readSetupLines(RecordFile::fromText("fort.3", text), n);
    EXPECT_TRUE(stored) << stored.error();
    return stored ? *stored : band::StoredLines{};
}

struct Session {
    Report con;
    std::string said() const { return con.text(); }
};

}  // namespace

TEST(Bfit, GammaXPassesThroughTheComputedEnergies) {
    TempDir dir;
    SetupBlock gx = buildBlock(LineChoice{}, 0, 10);
    EXPECT_TRUE(reordered(gx));  // the codes connect a crossing
    fs::copy_file(kExample + "fort.1", dir.file("fort.1"));
    dir.write("fort.3", setupText(0, 10, {gx}));
    Session run;
    common::Result<band::BfitSummary> s = band::bfit(1, 36, run.con, dir.path.string());
    ASSERT_TRUE(s) << s.error();
    EXPECT_EQ(s->written, 1);
    EXPECT_TRUE(s->left_out.empty());
    EXPECT_EQ(run.said().find("left out"), std::string::npos) << run.said();
    EXPECT_NE(run.said().find(" k points of symmetry line:  2\n"), std::string::npos);

    const std::string fort2 = dir.read("fort.2");
    EXPECT_EQ(fort2, s->fort2);
    EXPECT_EQ(fort2.substr(0, 10), " 1\n 51 10\n");
    int count = 0;
    auto lines = parseFort2(fort2, count);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].npts, 51);
    expectThroughEnergies(lines[0], gx, 0, 10, 0.5);
    // no temporary file is left behind
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator{}), 3);
}

TEST(Bfit, LowerBandsDescendingLinesAndNonsymmorphicEnd) {
    LineChoice down;
    down.descending = true;
    LineChoice ns;  // every second point of the line, its end taken as nonsymmorphic
    ns.kfile = {32, 35, 1, 30, 31, 16};
    ns.end_ns = 1;
    ns.ns_incl = 1;
    ns.drop_sel = 1;
    const int nlower = 2, ninterp = 6;
    std::vector<SetupBlock> blocks{buildBlock(down, nlower, ninterp), buildBlock(ns, nlower, ninterp)};
    EXPECT_TRUE(reordered(blocks[0]));
    const auto [counts, lines] = storedLines(setupText(nlower, ninterp, blocks), 2);
    Session run;
    band::BfitSummary s = band::interpolate(counts, lines, silicon(), 2, run.con);
    EXPECT_EQ(s.written, 2) << run.said();
    int count = 0;
    auto out = parseFort2(s.fort2, count);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].npts, 51);
    EXPECT_EQ(out[1].npts, 26);
    expectThroughEnergies(out[0], blocks[0], nlower, ninterp, 0.5);
    expectThroughEnergies(out[1], blocks[1], nlower, ninterp, 0.25);
}

TEST(Bfit, NullRowLineIsFittedThroughEnergiesAndSlopesAndTheOthersKept) {
    LineChoice keepStart;
    keepStart.drop_sel = 3;  // the slope at x = 0 is kept
    LineChoice lg;
    lg.label = 1;
    lg.kfile = kLGamma;
    std::vector<SetupBlock> blocks{buildBlock(LineChoice{}, 0, 10), buildBlock(keepStart, 0, 10), buildBlock(lg, 0, 10)};
    TempDir dir;
    fs::copy_file(kExample + "fort.1", dir.file("fort.1"));
    dir.write("fort.3", setupText(0, 10, blocks));
    Session run;
    common::Result<band::BfitSummary> s = band::bfit(3, 36, run.con, dir.path.string());
    ASSERT_TRUE(s) << s.error();
    EXPECT_EQ(s->written, 3);
    EXPECT_TRUE(s->left_out.empty());
    EXPECT_EQ(s->fallback, std::vector<int>{2});
    EXPECT_NE(run.said().find("\n\n This matrix is null.\n Line  2 fitted through its energies and slopes instead.\n"),
              std::string::npos)
        << run.said();
    int count = 0;
    auto out = parseFort2(dir.read("fort.2"), count);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(out.size(), 3u);
    expectThroughEnergies(out[0], blocks[0], 0, 10, 0.5);
    expectThroughEnergies(out[1], blocks[1], 0, 10, 0.5);
    expectThroughEnergies(out[2], blocks[2], 0, 10, 0.5);
}

TEST(Bfit, DamagedLinesAreNamedAndLeftOut) {
    const SetupBlock good = buildBlock(LineChoice{}, 0, 10);
    SetupBlock badRow = good;
    badRow.order[2][4] = badRow.order[2][5];  // a band twice at k point 3
    SetupBlock badK = good;
    badK.kfile[6] = 40;
    SetupBlock shortLine = good;
    shortLine.nkl = 2;
    shortLine.kfile = {32, 32};
    shortLine.order = {good.order[0], good.order[0]};
    SetupBlock badHeader = good;
    badHeader.drop_sel = 5;
    std::string text = formatSetupCounts(10, 0, 10) + formatSetupBlock(good, 10);
    // line 2: an order record that cannot be read
    std::string unreadable = formatSetupBlock(good, 10);
    unreadable.replace(unreadable.find('\n', unreadable.find('\n') + 1) + 3, 1, "x");
    text += unreadable + formatSetupBlock(badRow, 10) + formatSetupBlock(badK, 10) + formatSetupBlock(shortLine, 10) +
            formatSetupBlock(badHeader, 10) + "xx\n" + formatSetupBlock(good, 10);

    TempDir dir;
    fs::copy_file(kExample + "fort.1", dir.file("fort.1"));
    dir.write("fort.3", padRecordsTo80(text));
    Session run;
    // nine lines asked for, eight blocks (one a stray record) in the file
    common::Result<band::BfitSummary> s = band::bfit(9, 36, run.con, dir.path.string());
    const std::string log = run.said();
    ASSERT_TRUE(s) << s.error();
    EXPECT_EQ(s->written, 2) << log;
    EXPECT_EQ(s->left_out, (std::vector<int>{2, 3, 4, 5, 6, 7, 9}));
    EXPECT_NE(log.find("/fort.3, record 27: unreadable band order\n Line  2 left out of fort.2.\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find(" Line  2, k point  3: band order in fort.3 is not a permutation of bands 1 ... 10.\n"), std::string::npos);
    EXPECT_NE(log.find(" Line  2, k point  7: k point 40 of fort.3 is not in fort.1 (1 ... 36).\n"), std::string::npos);
    EXPECT_NE(log.find(" Line  2: first and last k points differ by less than 0.003 in every component.\n"),
              std::string::npos);
    EXPECT_NE(log.find(" Line  2: end-point values in its header"), std::string::npos);
    EXPECT_NE(log.find(" unreadable line header\n Line block 7 of fort.3 left out of fort.2.\n"), std::string::npos);
    EXPECT_NE(log.find("file ends before the block of this line\n Line block 9 of fort.3 left out"), std::string::npos);
    int count = 0;
    auto out = parseFort2(dir.read("fort.2"), count);
    EXPECT_EQ(count, 2);  // the count record gives the blocks written
    ASSERT_EQ(out.size(), 2u);
    expectThroughEnergies(out[1], good, 0, 10, 0.5);
}

TEST(Bfit, PreviousFort2StaysWhenThePassCannotStart) {
    TempDir dir;
    dir.write("fort.2", "previous\n");
    fs::copy_file(kExample + "fort.1", dir.file("fort.1"));
    Session run;
    // no fort.3
    common::Result<band::BfitSummary> s = band::bfit(1, 36, run.con, dir.path.string());
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().find("fort.3: cannot be opened"), std::string::npos);
    EXPECT_NE(run.said().find(" fort.2 is left as it was.\n"), std::string::npos);
    EXPECT_EQ(dir.read("fort.2"), "previous\n");
    // an unreadable counts record
    dir.write("fort.3", " 10  x0 10\n");
    EXPECT_FALSE(band::bfit(1, 36, run.con, dir.path.string()));
    EXPECT_EQ(dir.read("fort.2"), "previous\n");
    // fort.1 shorter than fort.14 says
    dir.write("fort.3", setupText(0, 10, {buildBlock(LineChoice{}, 0, 10)}));
    s = band::bfit(1, 37, run.con, dir.path.string());
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().find("fort.1, record"), std::string::npos);
    EXPECT_EQ(dir.read("fort.2"), "previous\n");
    // and a pass that can run replaces it
    EXPECT_TRUE(band::bfit(1, 36, run.con, dir.path.string()));
    EXPECT_EQ(dir.read("fort.2").substr(0, 10), " 1\n 51 10\n");
}

TEST(Bfit, IllConditionedLineIsFittedThroughEnergiesAndSlopes) {
    // E = sin(3x) on eleven points along kx, the second one 0.0002 from the
    // first: the matrix inverts, but the curve misses the energies.
    const std::vector<double> kx{0, 0.0002, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0};
    BandInput in;
    in.nkpt = 11;
    in.nbands = 1;
    for (double k : kx) {
        KBlock b;
        b.k = {static_cast<float>(k), 0.0f, 0.0f};
        BandRecord r;
        r.energy = static_cast<float>(std::sin(1.5 * k));
        r.grad = {static_cast<float>(1.5 * std::cos(1.5 * k)), 0.0f, 0.0f};
        b.bands.push_back(r);
        in.blocks.push_back(b);
    }
    SetupBlock blk;
    blk.label = 4;
    blk.nkl = 11;
    for (int i = 1; i <= 11; ++i) {
        blk.kfile.push_back(i);
        blk.order.push_back({1});
    }
    SetupBlock spaced = blk;  // without the close point the same data fit well
    spaced.nkl = 10;
    spaced.kfile.erase(spaced.kfile.begin() + 1);
    spaced.order.pop_back();
    std::string text = formatSetupCounts(1, 0, 1) + formatSetupBlock(blk, 1) + formatSetupBlock(spaced, 1);
    const auto [counts, lines] = storedLines(text, 2);
    Session run;
    band::BfitSummary s = band::interpolate(counts, lines, in, 2, run.con);
    EXPECT_EQ(s.written, 2);
    EXPECT_TRUE(s.left_out.empty());
    EXPECT_EQ(s.fallback, std::vector<int>{1});
    EXPECT_NE(run.said().find(" Line  4: ill-conditioned fit, band 1 misses k point "), std::string::npos)
        << run.said();
    EXPECT_NE(run.said().find(" by more than 0.001 eV.\n Line  4 fitted through its energies and slopes instead.\n"),
              std::string::npos);
    int count = 0;
    auto out = parseFort2(s.fort2, count);
    ASSERT_EQ(out.size(), 2u);
    for (const Fort2Line& l : out)  // the Hermite curve, then the series
        for (int p = 1; p <= 51; p += 10)
            EXPECT_NEAR(l.curve[0][static_cast<size_t>(p - 1)], std::sin(3 * (p - 1) / 100.0), 0.00002) << p;
}

// A thousand bands do not fit the three columns of the line header; the
// count takes a fourth and the display reads all of them back.
TEST(Bfit, AThousandBandsAreWrittenAndDrawnInFull) {
    TempDir dir;
    std::string f1;
    for (int k = 0; k < 2; ++k) {
        f1 += fortran::F(0.5 * k, 10, 7) + fortran::F(0, 10, 7) + fortran::F(0, 10, 7) + "\n";
        f1 += "  1  1  1" + std::string(27, ' ') + "\n" + std::string(36, ' ') + "\n" + std::string(36, ' ') + "\n";
        for (int b = 1; b <= 1000; ++b)
            f1 += fortran::F(0.01 * b + k, 10, 5) + fortran::F(0, 10, 5) + fortran::F(0, 10, 5) + fortran::F(0, 10, 5) +
                  fortran::I(b, 4) + fortran::I(b % 100, 3) + std::string(27, ' ') + "\n";
    }
    dir.write("fort.1", f1);
    SetupBlock blk;
    blk.label = 1;
    blk.nkl = 2;
    blk.kfile = {1, 2};
    std::vector<int> identity(1000);
    for (int b = 0; b < 1000; ++b) identity[static_cast<size_t>(b)] = b + 1;
    blk.order = {identity, identity};
    dir.write("fort.3", formatSetupCounts(1000, 0, 1000) + formatSetupBlock(blk, 1000));
    Session run;
    common::Result<band::BfitSummary> s = band::bfit(1, 2, run.con, dir.path.string());
    ASSERT_TRUE(s) << run.said();
    EXPECT_EQ(s->written, 1);
    EXPECT_EQ(dir.read("fort.2").substr(0, 11), " 1\n 511000\n");
    RecordingPlot plot;
    LinePos p{};
    p[2] = 0.5f;
    Result<BandsFile> bands = readBandsFile(dir.file("fort.2"));
    ASSERT_TRUE(bands) << bands.error();
    Status drawn = tlband(plot, {{0.1f, 0.1f, 0.5f, 0.5f}, 0.0f, 12.0f}, p, 1, *bands);
    EXPECT_TRUE(drawn) << drawn.error();
    EXPECT_EQ(plot.matching("line ").size(), 1000u);
}

// Γ-X of the silicon model, whose slope at X is not zero: the largest
// distance of the curves (sorted at each point) from the exact bands of
// examples/si-bands/truth.txt.
TEST(Bfit, HermiteFitFollowsTheExactBands) {
    std::ifstream truth(kExample + "truth.txt");
    std::string text;
    while (std::getline(truth, text) && text != "line 2 32 16 51") {
    }
    std::vector<std::vector<double>> exact(51);
    for (auto& row : exact) {
        std::getline(truth, text);
        std::istringstream in(text);
        double v = 0;
        in >> v;
        while (in >> v) row.push_back(v);
    }
    const SetupBlock gx = buildBlock(LineChoice{}, 0, 10);
    const auto [counts, lines] = storedLines(setupText(0, 10, {gx}), 1);
    double worst[2] = {0, 0};  // cosine, Hermite
    for (band::FitKind kind : {band::FitKind::cosine, band::FitKind::hermite}) {
        double& w = worst[kind == band::FitKind::hermite];
        Session run;
        int count = 0;
        auto out = parseFort2(band::interpolate(counts, lines, silicon(), 1, run.con, kind).fort2, count);
        ASSERT_EQ(out.size(), 1u);
        expectThroughEnergies(out[0], gx, 0, 10, 0.5);
        for (size_t p = 0; p < 51; ++p) {
            std::vector<double> e;
            for (const auto& c : out[0].curve) e.push_back(c[p]);
            std::sort(e.begin(), e.end());
            ASSERT_EQ(e.size(), exact[p].size());
            for (size_t b = 0; b < e.size(); ++b) w = std::max(w, std::fabs(e[b] - exact[p][b]));
        }
    }
    EXPECT_LT(worst[1], 0.001);  // the series misses by 91 meV
    EXPECT_GT(worst[0], 0.05);
}

// All eleven points of Γ-X with a nonsymmorphic end: no cosine series fits
// them, the Hermite curve does, on the half grid.
TEST(Bfit, NonsymmorphicElevenPointLineIsFittedThroughEnergiesAndSlopes) {
    LineChoice ns;
    ns.end_ns = 1;
    ns.ns_incl = 1;
    ns.drop_sel = 1;
    const SetupBlock blk = buildBlock(ns, 0, 10);
    const auto [counts, lines] = storedLines(setupText(0, 10, {blk}), 1);
    Session run;
    band::BfitSummary s = band::interpolate(counts, lines, silicon(), 1, run.con);
    EXPECT_EQ(s.written, 1);
    EXPECT_EQ(s.fallback, std::vector<int>{1});
    EXPECT_NE(run.said().find(" This matrix is noninvertible.\n"), std::string::npos) << run.said();
    EXPECT_NE(run.said().find(" Line  2 fitted through its energies and slopes instead.\n"), std::string::npos);
    int count = 0;
    auto out = parseFort2(s.fort2, count);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].npts, 26);
    expectThroughEnergies(out[0], blk, 0, 10, 0.25);
}

// The Hermite curve takes the k points in the order of their positions; two
// at one place leave the line out, and the count record says so.
TEST(Bfit, HermiteFitOrdersTheKPointsAndRefusesTwoAtOnePlace) {
    const SetupBlock good = buildBlock(LineChoice{}, 0, 10);
    SetupBlock swapped = good;  // two inner points exchanged, with their band order
    std::swap(swapped.kfile[3], swapped.kfile[4]);
    std::swap(swapped.order[3], swapped.order[4]);
    SetupBlock twice = good;
    twice.kfile[4] = twice.kfile[3];
    twice.order[4] = twice.order[3];
    const auto [counts, lines] = storedLines(setupText(0, 10, {good, swapped, twice}), 3);
    Session run;
    band::BfitSummary s = band::interpolate(counts, lines, silicon(), 3, run.con, band::FitKind::hermite);
    EXPECT_EQ(s.written, 2);
    EXPECT_EQ(s.left_out, std::vector<int>{3});
    EXPECT_NE(run.said().find(" Line  2: two of its k points lie at the same place on the line.\n Line  2 left out"),
              std::string::npos)
        << run.said();
    int count = 0;
    auto out = parseFort2(s.fort2, count);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].curve, out[1].curve);
}
