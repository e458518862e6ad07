#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <sstream>

#include "band/core/cosine_fit.h"
#include "band/core/eread.h"
#include "silicon_bands.h"

using band::FitWork;
using band::LineConditions;

using namespace silicon_bands;

namespace {

// The fitted series of band b and its slope at x, summed as the grid is.
double seriesValue(const FitWork& w, int b, double x) {
    double v = w.c0[static_cast<size_t>(b)];
    for (int m = band::kTerms; m >= 1; --m) v = v + w.lam(m, b) * band::fit::a(w.omega, x, m);
    return v;
}

double seriesSlope(const FitWork& w, int b, double x) {
    double v = 0.0;
    for (int m = band::kTerms; m >= 1; --m) v = v + w.lam(m, b) * band::fit::da(w.omega, x, m);
    return v;
}

using band::Drops;

// Conditions of nk equally spaced points from 0 to xend, one band per row
// of `energies`, slopes from `slopes` (used only where not dropped).
LineConditions line(int nk, double xend, const std::vector<std::vector<double>>& energies,
                    const std::vector<std::vector<double>>& slopes = {}) {
    LineConditions c;
    c.nk = nk;
    c.ninterp = static_cast<int>(energies.size());
    for (int i = 1; i <= nk; ++i) c.x[static_cast<size_t>(i)] = nk == 1 ? 0.0 : xend * (i - 1) / (nk - 1);
    for (int b = 1; b <= c.ninterp; ++b)
        for (int i = 1; i <= nk; ++i) {
            c(i, b) = energies[static_cast<size_t>(b - 1)][static_cast<size_t>(i - 1)];
            c(nk + i, b) = slopes.empty() ? 0.0 : slopes[static_cast<size_t>(b - 1)][static_cast<size_t>(i - 1)];
        }
    return c;
}

// Packs the used slopes behind the energies as the interpolation does.
void pack(LineConditions& c, const Drops& drop) {
    int row = c.nk;
    for (int i = 1; i <= c.nk; ++i)
        if (drop[static_cast<size_t>(i)] == 0) {
            ++row;
            for (int b = 1; b <= c.ninterp; ++b) c(row, b) = c(c.nk + i, b);
        }
}

}  // namespace

TEST(FitTwoPoints, ClosedFormWithBothEndSlopesDropped) {
    const double e1 = -1.3, e2 = 2.7;
    LineConditions c = line(2, 0.5, {{e1, e2}});
    Drops drop{};
    drop[1] = drop[2] = 1;
    auto w = std::make_unique<FitWork>();
    ASSERT_TRUE(band::fitCosineSeries(c, drop, 2, 0, 2, *w));
    EXPECT_NEAR(w->c0[1], (e1 + e2) / 2, 1e-12);
    double godd = 0;
    for (int m = 1; m <= band::kTerms; ++m) {
        const double g = std::exp(std::max(-1.2 * m, -13.0));
        if (m % 2 == 0) {
            EXPECT_NEAR(w->lam(m, 1), 0.0, 1e-12) << m;
        } else {
            godd += g;
        }
    }
    EXPECT_EQ(w->npts, 51);
    for (int p = 1; p <= 51; ++p) {
        const double x = (p - 1) / 100.0;
        double s = 0;
        for (int m = 1; m <= band::kTerms; m += 2) s += std::exp(std::max(-1.2 * m, -13.0)) * std::cos(band::kTwoPi * m * x);
        EXPECT_NEAR(w->out(p, 1), (e1 + e2) / 2 + (e1 - e2) / 2 * s / godd, 1e-10) << p;
    }
    EXPECT_NEAR(w->out(1, 1), e1, 1e-10);
    EXPECT_NEAR(w->out(51, 1), e2, 1e-6);  // 6.2831855 is not quite 2 pi
    EXPECT_NEAR(seriesSlope(*w, 1, 0.0), 0.0, 1e-12);
}

TEST(FitGrid, SymmorphicEnd51PointsNonsymmorphic26) {
    Drops drop{};
    drop[1] = drop[3] = 1;
    auto w = std::make_unique<FitWork>();
    LineConditions sym = line(3, 0.5, {{0.0, 1.0, 0.5}}, {{0.0, 3.0, 0.0}});
    pack(sym, drop);
    ASSERT_TRUE(band::fitCosineSeries(sym, drop, 4, 0, 2, *w));
    EXPECT_EQ(w->npts, 51);
    EXPECT_NEAR(w->out(26, 1), 1.0, 1e-9);
    EXPECT_NEAR(w->out(51, 1), 0.5, 1e-5);

    LineConditions ns = line(3, 0.25, {{0.0, 1.0, 0.5}}, {{0.0, 3.0, 0.0}});
    pack(ns, drop);
    ASSERT_TRUE(band::fitCosineSeries(ns, drop, 4, 1, 2, *w));
    EXPECT_EQ(w->npts, 26);
    EXPECT_NEAR(w->out(1, 1), 0.0, 1e-9);
    EXPECT_NEAR(w->out(26, 1), 0.5, 1e-9);
    EXPECT_NEAR(seriesSlope(*w, 1, 0.125), 3.0, 1e-9);
}

TEST(FitElevenPoints, EveryConditionMetInDouble) {
    // Eleven points 0 .. 0.5, slopes used at the nine inner points: twenty
    // conditions, the most the twenty terms can meet. Random values of +-5 eV
    // and slopes of +-20 eV are far rougher than real bands; the Gram matrix,
    // whose weights span five decades, still meets them to 1e-10 of their range.
    std::mt19937 gen(99);
    std::uniform_real_distribution<double> u(-5.0, 5.0);
    std::vector<std::vector<double>> e(30, std::vector<double>(11)), s = e;
    for (auto& band : e)
        for (auto& v : band) v = u(gen);
    for (auto& band : s)
        for (auto& v : band) v = 4 * u(gen);
    LineConditions c = line(11, 0.5, e, s);
    Drops drop{};
    drop[1] = drop[11] = 1;
    pack(c, drop);
    auto w = std::make_unique<FitWork>();
    ASSERT_TRUE(band::fitCosineSeries(c, drop, 20, 0, 2, *w));
    for (int b = 1; b <= 30; ++b)
        for (int i = 1; i <= 11; ++i) {
            const double x = c.x[static_cast<size_t>(i)];
            EXPECT_NEAR(seriesValue(*w, b, x), e[static_cast<size_t>(b - 1)][static_cast<size_t>(i - 1)], 5e-10);
            if (i > 1 && i < 11) {
                EXPECT_NEAR(seriesSlope(*w, b, x), s[static_cast<size_t>(b - 1)][static_cast<size_t>(i - 1)], 1e-8);
            }
            EXPECT_NEAR(w->out(1 + 5 * (i - 1), b), seriesValue(*w, b, x), 1e-12);
        }
}

TEST(FitFailures, SlopeKeptAtTheStartAndWrongDropCount) {
    LineConditions c = line(3, 0.5, {{0.0, 1.0, 0.5}});
    Drops drop{};
    drop[3] = 1;  // the slope at x = 0 is kept: its basis column is zero
    auto w = std::make_unique<FitWork>();
    Status singular = band::fitCosineSeries(c, drop, 5, 0, 1, *w);
    EXPECT_EQ(singular.error(), "\n This matrix is null.");
    EXPECT_EQ(w->inversion.status, band::InvStatus::null_row);

    drop[1] = 1;
    Status mismatch = band::fitCosineSeries(c, drop, 4, 0, 1, *w);
    EXPECT_EQ(mismatch.error(), "  Input error: Wrong number of derivatives dropped.");
    EXPECT_TRUE(w->inversion.ok());
}

// ---- eread on the silicon example, Gamma-X line ----

TEST(Eread, GammaXPositionsEnergiesSlopesAndEcho) {
    Report con;
    LineConditions c;
    ASSERT_TRUE(band::eread(silicon(), kGammaX, 10, 2, 5, 11, 2, 0, con, c));
    EXPECT_EQ(c.nk, 11);
    EXPECT_EQ(c.ninterp, 5);
    for (int i = 1; i <= 11; ++i) EXPECT_NEAR(c.x[static_cast<size_t>(i)], 0.05 * (i - 1), 1e-7);
    // column 1 is band 3 (two lower bands left out)
    const BandRecord& x5band3 = silicon().block(1).bands[2];
    EXPECT_DOUBLE_EQ(c(5, 1), x5band3.energy);
    EXPECT_DOUBLE_EQ(c(11 + 5, 1), 2.0 * static_cast<double>(x5band3.grad[0]));  // d = (1, 0, 0)
    EXPECT_DOUBLE_EQ(c(11, 5), silicon().block(16).bands[6].energy);
    const std::string echo = con.text();
    EXPECT_EQ(echo.substr(0, 32), "\n k points of symmetry line:  2\n");
    EXPECT_NE(echo.find(" k point   5:    0.4000000060   0.0000000000   0.0000000000\n"), std::string::npos) << echo;

    // A nonsymmorphic end halves the span: 0 .. 0.25, slopes doubled.
    LineConditions h;
    ASSERT_TRUE(band::eread(silicon(), kGammaX, 10, 2, 5, 11, 2, 1, con, h));
    EXPECT_NEAR(h.x[11], 0.25, 1e-7);
    EXPECT_DOUBLE_EQ(h(11 + 5, 1), 2 * c(11 + 5, 1));
}

TEST(Eread, RefusesPointsOutsideTheFileAndLinesWithoutLength) {
    Report con;
    LineConditions c;
    std::vector<int> bad = kGammaX;
    bad[3] = 37;
    Status r = band::eread(silicon(), bad, 10, 0, 10, 11, 2, 0, con, c);
    EXPECT_EQ(r.error(), " Line  2, k point  4: k point 37 of fort.3 is not in fort.1 (1 ... 36).");
    EXPECT_TRUE(con.text().empty());
    bad[3] = 0;
    EXPECT_EQ(band::eread(silicon(), bad, 10, 0, 10, 11, 2, 0, con, c).error(),
              " Line  2, k point  4: k point 0 of fort.3 is not in fort.1 (1 ... 36).");

    // Gamma to Gamma: no component spans 0.003
    EXPECT_EQ(band::eread(silicon(), {32, 12, 32}, 10, 0, 10, 3, 2, 0, con, c).error(),
              " Line  2: first and last k points differ by less than 0.003 in every component.");
    // counts that do not fit the input
    const std::string counts = " Line  2: band counts of fort.3 do not fit fort.1.";
    EXPECT_EQ(band::eread(silicon(), kGammaX, 10, 5, 6, 11, 2, 0, con, c).error(), counts);
    EXPECT_EQ(band::eread(silicon(), kGammaX, 11, 0, 10, 11, 2, 0, con, c).error(), counts);
}

TEST(FitOnSilicon, GammaXMeetsEnergiesAndInnerSlopes) {
    Report con;
    LineConditions c;
    ASSERT_TRUE(band::eread(silicon(), kGammaX, 10, 0, 10, 11, 2, 0, con, c));
    LineConditions given = c;
    Drops drop{};
    drop[1] = drop[11] = 1;
    pack(c, drop);
    auto w = std::make_unique<FitWork>();
    ASSERT_TRUE(band::fitCosineSeries(c, drop, 20, 0, 2, *w));
    for (int b = 1; b <= 10; ++b)
        for (int i = 1; i <= 11; ++i) {
            const double x = c.x[static_cast<size_t>(i)];
            EXPECT_NEAR(seriesValue(*w, b, x), given(i, b), 1e-10) << b << "," << i;
            if (i > 1 && i < 11) {
                EXPECT_NEAR(seriesSlope(*w, b, x), given(11 + i, b), 1e-6) << b << "," << i;
            }
        }
}
