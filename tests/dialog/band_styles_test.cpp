#include <gtest/gtest.h>

#include "band/dialog/graph_menu.h"
#include "band_graph_support.h"

using namespace common;
using namespace band;

using bandtest::bandsText;
using bandtest::graphFor;
using bandtest::Session;
using bandtest::writeText;

namespace {

class BandStyles : public bandtest::InScratchDir {
protected:
    void SetUp() override {
        InScratchDir::SetUp();
        writeText("fort.2", bandsText(2, {51, 51}, 3));
    }
};

// The attribute calls and polylines of the last redraw (frame, then bands).
std::vector<std::string> bandCalls(const RecordingPlot& p) {
    std::vector<std::string> r;
    size_t last = 0;
    for (size_t i = 0; i < p.calls.size(); ++i)
        if (p.calls[i] == "page") last = i;
    for (size_t i = last; i < p.calls.size(); ++i) {
        const std::string& c = p.calls[i];
        if (c.rfind("line ", 0) == 0) r.push_back("line");
        if (c.rfind("sci", 0) == 0 || c.rfind("slw", 0) == 0 || c.rfind("sls", 0) == 0) r.push_back(c);
    }
    return r;
}

}  // namespace

TEST_F(BandStyles, RangesAreAskedCheckedAndDrawnBandByBand) {
    BandGraph g = graphFor(2);
    // out-of-range answers ask again: band 1001, last below first, colour 23
    // (beyond the palette), width 0, style 6
    Session s("13\n2\n1\n3\n23\n4\n0\n5\n6\n2\n1001\n3\n3\n3\n1\n1\n0\n0\n");
    tlgrph(s.plot, s.con, g);
    ASSERT_EQ(g.styles.size(), 2u);
    EXPECT_EQ(g.styles[0].first, 2);
    EXPECT_EQ(g.styles[0].last, 3);
    EXPECT_EQ(g.styles[0].colour, 4);
    EXPECT_EQ(g.styles[0].width, 5);
    EXPECT_EQ(g.styles[0].style, 2);
    EXPECT_EQ(g.styles[1].first, 3);
    EXPECT_EQ(g.styles[1].colour, 3);
    EXPECT_NE(s.out.str().find(" First band of the range (0 = done): "), std::string::npos);
    // band 1 plain, band 2 the first range, band 3 the later range; plain again after
    const std::vector<std::string> first = {"sci 1", "sci 1", "slw 3", "line", "sci 4", "slw 5", "sls 2", "line",
                                            "sci 3", "slw 1", "sls 1", "line"};
    const auto calls = bandCalls(s.plot);
    ASSERT_GE(calls.size(), first.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + static_cast<long>(first.size())), first);

    // the present ranges are shown; N clears them before the new ones
    Session again("13\nN\n1\n1\n2\n1\n1\n0\n0\n");
    tlgrph(again.plot, again.con, g);
    EXPECT_NE(again.out.str().find(" ( 1)     2     3      4     5     2\n ( 2)     3     3      3     1     1\n"),
              std::string::npos)
        << again.out.str();
    ASSERT_EQ(g.styles.size(), 1u);
    EXPECT_EQ(g.styles[0].colour, 2);
}

// Both spin channels: the spin-down bands keep their look on Y (the
// default), take the answers on N, and are drawn in it whatever the ranges.
TEST_F(BandStyles, SpinDownBandsHaveTheirOwnLook) {
    BandGraph g = graphFor(2);
    g.spin.bands = {{false, true, false}, {true, false, false}};
    Session keep("13\n\n0\n0\n");
    tlgrph(keep.plot, keep.con, g);
    EXPECT_NE(keep.out.str().find(" The spin-down bands (both spin channels are drawn): colour 21, width 4, style 1.\n"),
              std::string::npos)
        << keep.out.str();
    EXPECT_EQ(g.spin.look.colour, annotate::kVermillion);

    Session change("13\nN\n6\n3\n4\n1\n3\n1\n1\n1\n0\n0\n");
    tlgrph(change.plot, change.con, g);
    EXPECT_EQ(g.spin.look.colour, 6);
    EXPECT_EQ(g.spin.look.style, 4);
    // line 1: band 2 spin down over the range 1-3 (drawn thin); line 2: band 1
    const std::vector<std::string> drawn = {"sci 1", "sci 1", "slw 3", "slw 1", "line", "sci 6", "slw 3", "sls 4", "line",
                                            "sci 1", "slw 1", "sls 1", "line", "sci 6", "slw 3", "sls 4", "line",
                                            "sci 1", "slw 1", "sls 1", "line"};
    const auto calls = bandCalls(change.plot);
    ASSERT_GE(calls.size(), drawn.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + static_cast<long>(drawn.size())), drawn);
}
