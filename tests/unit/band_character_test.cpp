// fort.16, the bands' orbital character: its reader and writer, and the
// weights carried onto the grid of a line.
#include <gtest/gtest.h>

#include <algorithm>

#include "band/core/character.h"
#include "common/records.h"

using namespace common;
using namespace band;

namespace {

// Two k points of two levels, groups "Si s" and "Si p".
CharacterFile small() { return CharacterFile{2, 2, {"Si s", "Si p"}, {0.9f, 0.1f, 0.25f, 0.75f, 0.0f, 1.0f, 0.5f, 0.5f}}; }

std::string smallText() { return *formatCharacter(small()); }

}  // namespace

TEST(CharacterFile, WrittenAndReadBack) {
    const std::string text = smallText();
    EXPECT_EQ(text, "     2     2     2\nSi s\nSi p\n 0.90000 0.10000\n 0.25000 0.75000\n 0.00000 1.00000\n 0.50000 0.50000\n");
    Result<CharacterFile> back = parseCharacter(RecordFile::fromText("fort.16", text), 2, 2);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->names, small().names);
    EXPECT_EQ(back->w, small().w);
    EXPECT_FLOAT_EQ(back->weight(2, 1, 2), 1.0f);
    EXPECT_EQ(back->recordOf(2, 1), 6);

    CharacterFile bad = small();
    bad.w[3] = 1.5f;
    EXPECT_EQ(formatCharacter(bad).error(), "fort.16, k point 1, band 2: weight of group 2 outside 0 ... 1");
    bad = small();
    bad.names.assign(7, "x");
    EXPECT_EQ(formatCharacter(bad).error(), "fort.16: 7 groups; 1 ... 6 fit");
}

TEST(CharacterFile, DamagedCopiesNameTheRecord) {
    struct Case {
        const char* what;
        int record;  // 1-based record to replace; 0: cut the file before `text`'s record
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"other k points", 1, "     3     2     2", "fort.16, record 1: 3 k points and 2 bands; fort.14 has 2 and 2"},
        {"other bands", 1, "     2    10     2", "fort.16, record 1: 2 k points and 10 bands; fort.14 has 2 and 2"},
        {"no groups", 1, "     2     2     0", "fort.16, record 1: number of groups 0 outside 1 ... 6"},
        {"seven groups", 1, "     2     2     7", "fort.16, record 1: number of groups 7 outside 1 ... 6"},
        {"counts unreadable", 1, "     2     x     2", "fort.16, record 1: unreadable counts record"},
        {"blank name", 3, "   ", "fort.16, record 3: group 2 has no name"},
        {"weight above 1", 5, " 0.25000 1.20000", "fort.16, record 5: weight 1.20000 of group 2 outside 0 ... 1"},
        {"weight below 0", 6, "-0.10000 1.00000", "fort.16, record 6: weight -0.10000 of group 1 outside 0 ... 1"},
        {"weight unreadable", 7, " 0.5000x 0.50000", "fort.16, record 7: unreadable weight of group 1"},
        {"cut short", 0, "7", "fort.16, record 7: missing (the file ends early)"},
        {"a record too many", 8, " 0.50000 0.50000", "fort.16, record 8: more records than 2 k points of 2 levels hold"},
    };
    std::vector<std::string> good;
    {
        std::istringstream in(smallText());
        for (std::string r; std::getline(in, r);) good.push_back(r);
    }
    for (const Case& c : cases) {
        std::string text;
        for (int i = 1; i <= std::max<int>(static_cast<int>(good.size()), c.record); ++i) {
            if (c.record == 0 && i == std::stoi(c.text)) break;
            text += (i == c.record ? c.text : good[static_cast<size_t>(i - 1)]) + "\n";
        }
        Result<CharacterFile> read = parseCharacter(RecordFile::fromText("fort.16", text), 2, 2);
        ASSERT_FALSE(read) << c.what;
        EXPECT_EQ(read.error(), c.message) << c.what;
    }
}

// The weights at a line's k points onto its grid (x = 0, 0.01, ...): through
// every point, never beyond the values either side of an interval (so within
// 0 ... 1), flat beyond the ends; unsorted points are taken in order of x,
// two at one place refused.
TEST(CharacterFile, WeightsOnTheGridFollowTheirPointsWithoutOvershoot) {
    const std::vector<double> x{0.0, 0.1, 0.2, 0.3, 0.4};
    const std::vector<double> step{0.0, 0.0, 1.0, 1.0, 1.0};
    std::optional<std::vector<double>> g = weightsOnGrid(x, step, 51);
    ASSERT_TRUE(g);
    ASSERT_EQ(g->size(), 51u);
    for (size_t i = 0; i < x.size(); ++i) EXPECT_NEAR((*g)[i * 10], step[i], 1e-12) << i;
    for (size_t p = 1; p < g->size(); ++p) EXPECT_GE((*g)[p], (*g)[p - 1]) << p << ": a rising step rises";
    for (size_t p = 0; p <= 10; ++p) EXPECT_EQ((*g)[p], 0.0) << p << ": flat where the points are";
    for (size_t p = 40; p <= 50; ++p) EXPECT_EQ((*g)[p], 1.0) << p << ": and beyond the last";

    const std::vector<double> peak{0.0, 1.0, 0.0, 1.0, 0.0};
    g = weightsOnGrid(x, peak, 51);
    ASSERT_TRUE(g);
    for (double v : *g) EXPECT_TRUE(v >= 0.0 && v <= 1.0) << v;

    const std::vector<double> backwards{0.4, 0.3, 0.2, 0.1, 0.0};
    std::vector<double> reversed(step.rbegin(), step.rend());
    EXPECT_EQ(weightsOnGrid(backwards, reversed, 51), weightsOnGrid(x, step, 51));
    EXPECT_FALSE(weightsOnGrid({0.0, 0.1, 0.1}, {0.0, 0.5, 1.0}, 51));
    EXPECT_FALSE(weightsOnGrid({0.0}, {0.5}, 51));
}
