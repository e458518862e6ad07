#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "band/core/ordering.h"

using namespace common;
using namespace band;

using band::tlbsrt;
using band::tlsrt2;
using band::tsort;

namespace {

// Codes given as one string per k point, one letter per interpolated level.
struct Line {
    int nlower = 0, ninterp = 0, nkl = 0;
    BandTable<int> order;
    BandTable<std::string> code;
};

Line makeLine(int nlower, const std::vector<std::string>& perK) {
    Line l;
    l.nlower = nlower;
    l.nkl = static_cast<int>(perK.size());
    l.ninterp = static_cast<int>(perK[0].size());
    for (int k = 1; k <= l.nkl; ++k)
        for (int i = 1; i <= l.nlower + l.ninterp; ++i) {
            const bool in = i > nlower;
            l.order(i, k) = in ? i : 0;  // the set-up starts from the identity
            l.code(i, k) = in ? std::string(1, perK[static_cast<size_t>(k - 1)][static_cast<size_t>(i - nlower - 1)]) : "?";
        }
    return l;
}

// band_order of the interpolated levels at k point k, as a list.
std::vector<int> column(const Line& l, int k) {
    std::vector<int> v;
    for (int i = l.nlower + 1; i <= l.nlower + l.ninterp; ++i) v.push_back(l.order(i, k));
    return v;
}

bool isPermutation(const Line& l, int k) {
    std::vector<int> v = column(l, k);
    std::sort(v.begin(), v.end());
    for (int j = 0; j < l.ninterp; ++j)
        if (v[static_cast<size_t>(j)] != l.nlower + 1 + j) return false;
    return true;
}

}  // namespace

TEST(SymCode, SelectedFieldsInThreeColumnsEach) {
    BandRecord rec;
    for (int j = 0; j <= 10; ++j) rec.code[static_cast<size_t>(j)] = j * 11;
    std::array<int, band::kMaxCodeFields> sel{4, 0, 10};
    EXPECT_EQ(band::makeSymCode(rec, 3, sel), " 44  0110" + std::string(23, ' '));
    EXPECT_EQ(band::makeSymCode(rec, 0, sel), std::string(32, ' '));
    std::array<int, band::kMaxCodeFields> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::string full = band::makeSymCode(rec, 10, all);
    EXPECT_EQ(full.size(), 32u);
    EXPECT_EQ(full.substr(0, 9), " 11 22 33");
    EXPECT_EQ(full.substr(27), "110  ");
    // a wide value shows asterisks instead of running into its neighbour
    rec.code[1] = 1234;
    EXPECT_EQ(band::makeSymCode(rec, 2, all).substr(0, 6), "*** 22");
}

TEST(Tlbsrt, DistinctUnchangedCodesKeepTheIdentity) {
    for (int kstep : {1, -1}) {
        Line l = makeLine(2, {"ABCD", "ABCD", "ABCD", "ABCD"});
        const int kfirst = kstep > 0 ? 1 : l.nkl, klast = kstep > 0 ? l.nkl : 1;
        tlbsrt(l.order, kfirst, klast, kstep, l.nlower, l.ninterp, l.code);
        for (int k = 1; k <= l.nkl; ++k) {
            EXPECT_EQ(column(l, k), (std::vector<int>{3, 4, 5, 6})) << "k " << k << " step " << kstep;
            EXPECT_EQ(l.order(1, k), 0);
            EXPECT_EQ(l.order(2, k), 0);
        }
    }
}

TEST(Tlbsrt, CrossingAndEqualCodesInPositionOrder) {
    // A and C cross between the first two points; the two B levels keep
    // their order (equal codes go to the lowest free position).
    Line l = makeLine(0, {"ABBC", "CBBA", "BCBA"});
    tlbsrt(l.order, 1, 3, 1, 0, 4, l.code);
    EXPECT_EQ(column(l, 2), (std::vector<int>{4, 2, 3, 1}));
    EXPECT_EQ(column(l, 3), (std::vector<int>{2, 4, 3, 1}));
}

TEST(Tlbsrt, VanishingCodeResetsTheReferencePoint) {
    // C exists only at the first point: band 3 moves the reference to point
    // 2, which becomes the identity; from there on D is followed.
    Line up = makeLine(0, {"ABC", "ABD", "BAD", "BAD"});
    tlbsrt(up.order, 1, 4, 1, 0, 3, up.code);
    EXPECT_EQ(column(up, 2), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(column(up, 3), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(column(up, 4), (std::vector<int>{2, 1, 3}));

    // The same line run from its other end.
    Line down = makeLine(0, {"BAD", "BAD", "ABD", "ABC"});
    tlbsrt(down.order, 4, 1, -1, 0, 3, down.code);
    EXPECT_EQ(column(down, 3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(column(down, 2), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(column(down, 1), (std::vector<int>{2, 1, 3}));

    // A code lost at the last point: every band there keeps its level.
    Line end = makeLine(1, {"AB", "BA", "BC"});
    tlbsrt(end.order, 1, 3, 1, 1, 2, end.code);
    EXPECT_EQ(column(end, 2), (std::vector<int>{2, 3}));
    EXPECT_EQ(column(end, 3), (std::vector<int>{2, 3}));
}

TEST(Tlbsrt, AlwaysAPermutationWhateverTheCodesDo) {
    std::mt19937 gen(7);
    for (int trial = 0; trial < 3000; ++trial) {
        const int nkl = 1 + static_cast<int>(gen() % 11);
        const int ninterp = 1 + static_cast<int>(gen() % 8);
        const int nlower = static_cast<int>(gen() % 3);
        const int letters = 1 + static_cast<int>(gen() % 4);
        std::vector<std::string> perK(static_cast<size_t>(nkl));
        for (auto& s : perK)
            for (int i = 0; i < ninterp; ++i) s += static_cast<char>('A' + gen() % letters);
        for (int kstep : {1, -1}) {
            Line l = makeLine(nlower, perK);
            tlbsrt(l.order, kstep > 0 ? 1 : nkl, kstep > 0 ? nkl : 1, kstep, nlower, ninterp, l.code);
            for (int k = 1; k <= nkl; ++k) {
                ASSERT_TRUE(isPermutation(l, k)) << "trial " << trial << " step " << kstep << " k " << k;
                for (int i = 1; i <= nlower; ++i) ASSERT_EQ(l.order(i, k), 0);
            }
        }
    }
}

TEST(Tlsrt2, EnergiesFollowTheirBands) {
    Line l = makeLine(1, {"ABC", "CAB", "BCA"});
    tlbsrt(l.order, 1, 3, 1, 1, 3, l.code);
    BandTable<float> cur, orig;
    const int nbands = 5;  // one lower, three interpolated, one upper
    for (int k = 1; k <= 3; ++k)
        for (int b = 1; b <= nbands; ++b) cur(b, k) = static_cast<float>(10 * b + k);
    tlsrt2(cur, orig, l.order, 1, 3, nbands, 3);
    for (int k = 1; k <= 3; ++k) {
        for (int b = 1; b <= nbands; ++b) EXPECT_EQ(orig(b, k), static_cast<float>(10 * b + k));
        for (int b = 2; b <= 4; ++b) EXPECT_EQ(cur(l.order(b, k), k), orig(b, k)) << b << "," << k;
        EXPECT_EQ(cur(1, k), orig(1, k));  // levels outside the range stay in place
        EXPECT_EQ(cur(5, k), orig(5, k));
    }
    // band 2 (code A) is level 3 at point 2 and level 4 at point 3
    EXPECT_EQ(cur(2, 2), 32.0f);
    EXPECT_EQ(cur(2, 3), 43.0f);
}

TEST(OrderRows, OnlyPermutationsOfTheInterpolatedRange) {
    EXPECT_TRUE(band::isOrderRow({0, 3, 2, 4, 0}, 5, 1, 3));
    EXPECT_TRUE(band::isOrderRow({1, 2}, 2, 0, 2));
    EXPECT_FALSE(band::isOrderRow({0, 3, 3, 4, 0}, 5, 1, 3));  // repeated band
    EXPECT_FALSE(band::isOrderRow({0, 2, 3, 5, 0}, 5, 1, 3));  // band outside the range
    EXPECT_FALSE(band::isOrderRow({1, 3, 2, 4, 0}, 5, 1, 3));  // lower level not 0
    EXPECT_FALSE(band::isOrderRow({0, 3, 2, 4, 5}, 5, 1, 3));  // upper level not 0
    EXPECT_FALSE(band::isOrderRow({0, 3, 2, 0, 0}, 5, 1, 3));  // a level without band
    EXPECT_FALSE(band::isOrderRow({0, 3, 2, 4}, 5, 1, 3));     // short row
}

TEST(Tsort, FirstPointZerosThenPositionsOfTheFirstPointsBands) {
    SetupBlock b;
    b.nkl = 4;
    b.kfile = {5, 6, 7, 8};
    b.order = {{0, 2, 3, 4, 0},   // reference
               {0, 2, 3, 4, 0},   // unchanged
               {0, 2, 4, 3, 0},   // bands 3 and 4 crossed
               {0, 4, 2, 3, 0}};  // all three moved
    auto p = tsort(b, 5);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0], (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(p[1], (std::vector<int>{2, 3, 4, 0, 0}));
    EXPECT_EQ(p[2], (std::vector<int>{2, 4, 3, 0, 0}));
    EXPECT_EQ(p[3], (std::vector<int>{3, 4, 2, 0, 0}));

    // Each k point stands on its own: the same row gives the same record
    // whatever came before it.
    SetupBlock alone = b;
    alone.order = {b.order[0], b.order[3]};
    alone.kfile = {5, 8};
    EXPECT_EQ(tsort(alone, 5)[1], p[3]);

    // A reference row that is not the identity: entry q follows the band
    // that holds position q at the first point.
    SetupBlock r;
    r.order = {{3, 1, 2}, {1, 2, 3}};
    EXPECT_EQ(tsort(r, 3)[1], (std::vector<int>{3, 1, 2}));
}
