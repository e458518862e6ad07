#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "band/core/band_input.h"
#include "band/core/setup_file.h"
#include "common/records.h"
#include "e2e_support.h"

using namespace common;
using namespace band;

using e2e::Outcome;
using e2e::ScratchDir;

namespace {

const std::string kExample = std::string(SOURCE_DIR) + "/examples/si-bands/";

// Set-up answers for the five silicon lines in the order L-G, G-X, X-W, W-K,
// K-G: label, direction, crossing menu, end-point answers.
std::string lineAnswers(int label, char direction, const std::string& crossing = "") {
    std::ostringstream s;
    s << label << "\n" << direction << "\n" << crossing << "5\n0\n0\n0\n";
    return s.str();
}

std::string allLines(const std::string& crossingOfLine2 = "") {
    return "0\n10\n" + lineAnswers(1, 'D') + lineAnswers(2, 'A', crossingOfLine2) + lineAnswers(3, 'A') +
           lineAnswers(4, 'D') + lineAnswers(5, 'D') + "0\n";
}

void copyExample(const ScratchDir& dir) {
    dir.copyIn(kExample + "fort.1");
    dir.copyIn(kExample + "fort.14");
}

// The x of each k point of a line as the interpolation places it.
std::vector<double> positions(const BandInput& in, const SetupBlock& b) {
    const auto& k1 = in.block(b.kfile.front()).k;
    const auto& kn = in.block(b.kfile.back()).k;
    const double scale = b.end_ns >= 1 ? 2.0 : 1.0;
    std::vector<double> x;
    for (int kf : b.kfile) {
        const auto& k = in.block(kf).k;
        double t = 0;
        for (int j = 0; j < 3; ++j) {
            double d = (static_cast<double>(kn[j]) - k1[j]) * scale;
            if (std::fabs(d) >= 0.003) t = 0.5 * (static_cast<double>(k[j]) - k1[j]) / d;
        }
        x.push_back(std::fabs(t));
    }
    return x;
}

// Every curve of fort.2 passes through the computed energies at the k points
// that fall on its grid, band by band as fort.3 connects them.
void expectCurvesThroughEnergies(const ScratchDir& dir) {
    Result<BandInput> read = readBandInput((dir / "fort.1").string(), 36, 10);
    ASSERT_TRUE(read) << read.error();
    const BandInput& in = *read;
    auto f3 = RecordFile::load((dir / "fort.3").string());
    auto f2 = RecordFile::load((dir / "fort.2").string());
    ASSERT_TRUE(f3 && f2);
    Result<SetupFile> stored = parseSetup(*f3);
    ASSERT_TRUE(stored) << stored.error();
    const SetupFile& setup = *stored;
    ASSERT_EQ(FieldCursor(f2->record(1)).I(2), static_cast<long>(setup.blocks.size()));
    size_t rec = 2;
    int checked = 0;
    for (const SetupBlock& b : setup.blocks) {
        FieldCursor h(f2->record(rec++));
        const int npts = static_cast<int>(*h.I(3)), nb = static_cast<int>(*h.I(3));
        ASSERT_EQ(nb, setup.ninterp);
        const std::vector<double> x = positions(in, b);
        for (int q = 1; q <= nb; ++q) {
            const int band = b.order[0][static_cast<size_t>(setup.nlower + q - 1)];
            for (size_t i = 0; i < b.kfile.size(); ++i) {
                const double p = x[i] * 100.0;
                if (std::fabs(p - std::round(p)) > 1e-4) continue;
                int level = 0;
                for (int l = 1; l <= setup.nbands; ++l)
                    if (b.order[i][static_cast<size_t>(l - 1)] == band) level = l;
                ASSERT_GT(level, 0);
                const double e = in.block(b.kfile[i]).bands[static_cast<size_t>(level - 1)].energy;
                const size_t r = rec + static_cast<size_t>((q - 1) * npts) + static_cast<size_t>(std::lround(p));
                EXPECT_NEAR(*FieldCursor(f2->record(r)).F(10, 5), e, 0.00002)
                    << "line " << b.label << ", curve " << q << ", k point " << i + 1;
                ++checked;
            }
        }
        rec += static_cast<size_t>(nb * npts);
    }
    EXPECT_EQ(rec, f2->size() + 1);
    EXPECT_GT(checked, 200);
}

// Console cursor answer for level `level` of k point `kpos` of the Γ-X line
// in the crossing display, `shift` eV above the level.
std::string pickOnLine2(const BandInput& in, const SetupBlock& gx, int kpos, int level, double shift) {
    const double x0 = 0.11785, y0 = 0.125, w = 0.58926, h = 0.75;
    double emin = 1000, emax = -1000;
    for (int kf : gx.kfile) {
        emin = std::min(emin, static_cast<double>(in.block(kf).bands[0].energy));
        emax = std::max(emax, static_cast<double>(in.block(kf).bands[9].energy));
    }
    const double e = in.block(gx.kfile[static_cast<size_t>(kpos - 1)]).bands[static_cast<size_t>(level - 1)].energy + shift;
    const double kd = 0.1 * (kpos - 1);  // Γ-X: k points 0.1 apart, length 1
    std::ostringstream s;
    s.precision(8);
    s << x0 + kd * w << ", " << y0 + (e - emin) / (emax - emin) * h << "\n";
    return s.str();
}

}  // namespace

TEST(TarlisenSession, FirstSetUpInterpolatesEveryLineThroughTheComputedEnergies) {
    ScratchDir dir("band-first-setup");
    copyExample(dir);
    e2e::spit(dir / "fort.3", "stale set-up, replaced\n");
    Outcome r = e2e::run(dir, "tarlisen", allLines() + "1\n\nY\n-13\n9\n0\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, e2e::slurp(std::string(SOURCE_DIR) + "/tests/e2e/golden/tarlisen-first-setup.txt"));
    EXPECT_FALSE(dir.has("fort.4"));
    expectCurvesThroughEnergies(dir);
}

// The same session with the Hermite fit: the same dialogue, other curves
// through the same energies; the command line itself is read as documented.
TEST(TarlisenSession, HermiteFitAndTheCommandLine) {
    ScratchDir first("band-cosine"), dir("band-hermite");
    copyExample(first);
    copyExample(dir);
    const std::string script = allLines() + "1\n\nY\n-13\n9\n0\n";
    Outcome cosine = e2e::run(first, "tarlisen", script);
    ASSERT_EQ(cosine.status, 0);
    const std::string cosineBands = e2e::slurp(first / "fort.2");
    Outcome r = e2e::run(dir, "tarlisen", script, "--fit=hermite");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, cosine.out);
    EXPECT_NE(e2e::slurp(dir / "fort.2"), cosineBands);
    expectCurvesThroughEnergies(dir);

    for (const char* program : {"tarlisen", "morvane"}) {
        Outcome help = e2e::run(dir, program, "", "--help");
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind(std::string("Usage: ") + program, 0), 0u) << help.out;
        EXPECT_EQ(help.err, "");
        Outcome bad = e2e::run(dir, program, "", "--fit spline");
        EXPECT_EQ(bad.status, 2);
        EXPECT_EQ(bad.out, "");
        EXPECT_EQ(bad.err.substr(bad.err.find('\n') + 1), std::string("Try '") + program + " --help' for the options.\n");
    }
}

TEST(TarlisenSession, CrossingGraphOptionsOutputAndLayoutReload) {
    ScratchDir dir("band-full");
    copyExample(dir);
    // first a plain set-up, whose fort.3 the crossing session must reproduce
    ASSERT_EQ(e2e::run(dir, "tarlisen", allLines() + "0\n").status, 0);
    const std::string plainSetup = e2e::slurp(dir / "fort.3");
    Result<BandInput> read = readBandInput((dir / "fort.1").string(), 36, 10);
    ASSERT_TRUE(read);
    const BandInput& in = *read;
    Result<SetupFile> stored = parseSetup(*RecordFile::load((dir / "fort.3").string()));
    ASSERT_TRUE(stored);
    const SetupFile& setup = *stored;
    const SetupBlock& gx = setup.blocks[1];
    ASSERT_EQ(gx.label, 2);

    // a change of the stored set-up that takes every line over and crosses
    // levels 9 and 10 of the Γ-X line from k point 6 and back again,
    // picked through the console cursor
    const std::string pick9 = pickOnLine2(in, gx, 6, 9, -0.3), pick10 = pickOnLine2(in, gx, 6, 10, 0.3);
    const std::string crossing = "2\n" + pick9 + pick10 + "2\n" + pick9 + pick10;
    std::string change = "2\n1\nn\n5\n2\nn\n" + crossing + "5\n3\nn\n5\n4\nn\n5\n5\nn\n5\n0\n";
    const std::string graph =
        "1\n\nN\n1\n2\n1\n1\n2\n-14\n10\n"  // display: 5 lines, lengths, window
        "1\n-13\n9\n"                          // energy range
        "2\n"                                  // border: nothing with five lines
        "3\n-12\n8\n1\n1\n2\n0\n0\n0\n0\n3\n"  // tic marks
        "4\nL\n\\GAMMA\nX\nW\nK\n\\GAMMA\n"     // symmetry-point labels
        "5\n\n\n\n\n\nEnergy (eV)\n"            // titles
        "6\nSi\n1\n0\n0.5, 0.9\n\n"            // free text placed with the console cursor
        "7\n0\ny\n"                            // Fermi level
        "8\n1\n1\n1\n1\n1\n"                   // equal line lengths again
        "9\n11\n12\n10\n1\n10\n2\n0\n";
    Outcome r = e2e::run(dir, "tarlisen", change + graph);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find(" Band    9 selected.\n"), std::string::npos);
    EXPECT_NE(r.out.find(" Band   10 selected. Crossing at k-point  6.\n"), std::string::npos);
    EXPECT_NE(r.out.find(" Band    9 selected. Crossing at k-point  6.\n"), std::string::npos);
    EXPECT_EQ(e2e::slurp(dir / "fort.3"), plainSetup);
    expectCurvesThroughEnergies(dir);
    ASSERT_TRUE(dir.has("tarlisen.eps") && dir.has("tarlisen.plt") && dir.has("fort.15"));
    const std::string eps = e2e::slurp(dir / "tarlisen.eps");
    EXPECT_NE(eps.find("%!PS-Adobe"), std::string::npos);
    EXPECT_GT(e2e::slurp(dir / "tarlisen.plt").size(), 1000u);

    // a second run loads the layout and writes the same picture
    std::filesystem::remove(dir / "tarlisen.eps");
    Outcome again = e2e::run(dir, "tarlisen", "1\n\nY\n-13\n9\n12\n10\n1\n0\n");
    ASSERT_EQ(again.status, 0) << again.out;
    EXPECT_EQ(e2e::withoutCreationDate(e2e::slurp(dir / "tarlisen.eps")), e2e::withoutCreationDate(eps));
}

TEST(TarlisenSession, MissingInputAndEndOfInputStopWithStatusOne) {
    ScratchDir dir("band-errors");
    Outcome r = e2e::run(dir, "tarlisen", "");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(" Inputfiles name.EH1 or name.EHE could not be opened.\n"), std::string::npos);

    copyExample(dir);
    Outcome cut = e2e::run(dir, "tarlisen", "0\n10\n2\nA\n5\n");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.out.substr(cut.out.size() - 16), "\n End of input.\n");
    EXPECT_FALSE(dir.has("fort.3"));
    EXPECT_FALSE(dir.has("fort.2"));

    e2e::spit(dir / "fort.14", "  abc\n");
    Outcome bad = e2e::run(dir, "tarlisen", "");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find(" fort.14, record 1: unreadable counts record\n"), std::string::npos);

    // A directory is no input file: the one line, status 1.
    for (const char* name : {"fort.1", "fort.14"}) {
        ScratchDir d("band-directory");
        copyExample(d);
        std::filesystem::remove(d / name);
        std::filesystem::create_directory(d / name);
        Outcome r = e2e::run(d, "tarlisen", "0\n");
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.out.find(" Inputfiles name.EH1 or name.EHE could not be opened.\n"), std::string::npos) << name;
        EXPECT_EQ(r.err, "") << name;
    }
}

TEST(TarlisenSession, ASetUpWithoutLinesLeavesNothingToDisplay) {
    ScratchDir dir("band-no-lines");
    copyExample(dir);
    // label 0 at once: an interpolation of no line, then the display
    Outcome r = e2e::run(dir, "tarlisen", "0\n10\n0\n1\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(e2e::slurp(dir / "fort.2"), " 0\n");
    EXPECT_NE(r.out.find(" fort.2, record 1: no symmetry line to display.\n"), std::string::npos) << r.out;
    EXPECT_FALSE(dir.has("fort.15"));
}
