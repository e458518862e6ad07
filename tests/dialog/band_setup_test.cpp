#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "band/core/band_input.h"
#include "band/core/setup_file.h"
#include "band/dialog/setup.h"
#include "common/console.h"
#include "fixtures.h"

using namespace common;
using namespace band;

namespace fs = std::filesystem;

namespace {

// Runs the set-up on the silicon example in a scratch directory.
struct SetupSession {
    fixture::ScratchDir scratch;
    fs::path home = fs::current_path();
    const fs::path& dir = scratch.path;
    std::istringstream in;
    std::ostringstream out;
    Console con{in, out};
    RecordingPlot plot;
    BandState st;
    explicit SetupSession(const std::string& name) : scratch("setup-" + name) {
        for (const char* f : {"fort.1", "fort.14"}) scratch.copyIn(fs::path(SOURCE_DIR) / "examples/si-bands" / f);
        fs::current_path(dir);
    }
    ~SetupSession() { fs::current_path(home); }
    bool run(const std::string& answers) {
        in.str(answers);
        return runSetup(plot, con, st, FrameGeom{});
    }
    // fort.3 as written; every block must read
    SetupFile stored() {
        Result<SetupFile> s = parseSetup(*RecordFile::load("fort.3"));
        EXPECT_TRUE(s) << s.error();
        return s ? *s : SetupFile{};
    }
};

}  // namespace

TEST(Setup, LabelZeroAtOnceStoresOnlyTheCounts) {
    SetupSession s("empty");
    ASSERT_TRUE(s.run("1\n9\n0\n"));
    EXPECT_EQ(s.st.nlines, 0);
    SetupFile f = s.stored();
    EXPECT_EQ(f.nbands, 10);
    EXPECT_EQ(f.nlower, 1);
    EXPECT_EQ(f.ninterp, 9);
    EXPECT_TRUE(f.blocks.empty());
    EXPECT_FALSE(fs::exists("fort.4"));
}

TEST(Setup, CountsOutsideTheBandsAreAskedAgain) {
    SetupSession s("counts");
    // ten lower bands would leave none to interpolate; 10 of 9 remaining too many
    ASSERT_TRUE(s.run("10\n1\n10\n9\n0\n"));
    EXPECT_EQ(s.st.nlower, 1);
    EXPECT_EQ(s.st.ninterp, 9);
}

TEST(Setup, SameLabelTwiceGivesTwoBlocksAndUnknownLabelsAreRefused) {
    SetupSession s("twice");
    ASSERT_TRUE(s.run("0\n10\n7\n3\nA\n5\n0\n0\n0\n3\nD\n5\n0\n0\n0\n0\n"));
    EXPECT_EQ(s.st.nlines, 2);
    SetupFile f = s.stored();
    ASSERT_EQ(f.blocks.size(), 2u);
    EXPECT_EQ(f.blocks[0].label, 3);
    EXPECT_EQ(f.blocks[1].label, 3);
    // descending order stores the k points from the highest to the lowest
    std::vector<int> reversed(f.blocks[0].kfile.rbegin(), f.blocks[0].kfile.rend());
    EXPECT_EQ(f.blocks[1].kfile, reversed);
    // a label not in fort.1 brings back the label list
    const std::string text = s.out.str();
    size_t lists = 0;
    for (size_t p = text.find(" Symmetry line labels:"); p != std::string::npos; p = text.find(" Symmetry line labels:", p + 1)) ++lists;
    EXPECT_EQ(lists, 4u);  // first, after 7, after each of the two lines
}

TEST(Setup, TakeOverKeepsTheStoredLineAndNewLabelsComeFromTheInput) {
    SetupSession s("change");
    ASSERT_TRUE(s.run("0\n10\n3\nD\n5\n1\n0\n2\n\n0\n"));
    const SetupFile first = s.stored();
    // a change of the stored set-up: line 3 taken over (no questions), line 1
    // is not stored and is built from fort.1 without the .BIN question
    s.st.stored_setup = true;
    s.out.str("");
    ASSERT_TRUE(s.run("3\nn\n5\n1\nA\n5\n0\n0\n0\n0\n"));
    SetupFile again = s.stored();
    ASSERT_EQ(again.blocks.size(), 2u);
    EXPECT_EQ(again.blocks[0].kfile, first.blocks[0].kfile);
    EXPECT_EQ(again.blocks[0].order, first.blocks[0].order);
    EXPECT_EQ(again.blocks[0].end_ns, 1);
    EXPECT_EQ(again.blocks[0].drop_sel, 2);
    EXPECT_EQ(again.blocks[1].label, 1);
    const std::string text = s.out.str();
    EXPECT_NE(text.find(" Use .BIN information for line  3 (default=yes): "), std::string::npos);
    EXPECT_EQ(text.find(" Use .BIN information for line  1"), std::string::npos);
    EXPECT_EQ(text.find("ascending or descending"), text.rfind("ascending or descending"));
}

TEST(Setup, DamagedStoredLineIsRebuiltFromTheInput) {
    SetupSession s("damaged");
    ASSERT_TRUE(s.run("0\n10\n3\nA\n5\n0\n0\n0\n0\n"));
    // band 1 and 2 both given band number 1 at the first k point
    std::ifstream f3("fort.3");
    std::stringstream text;
    text << f3.rdbuf();
    std::string t = text.str();
    t.replace(t.find("   1   2   3"), 12, "   1   1   3");
    std::ofstream("fort.3") << t;
    s.st.stored_setup = true;
    s.out.str("");
    ASSERT_TRUE(s.run("3\nn\nA\n5\n0\n0\n0\n0\n"));
    EXPECT_NE(s.out.str().find(" fort.3, line 3, k point 1: band order is no permutation of the interpolated bands;"
                               " the line is built from fort.1.\n"),
              std::string::npos);
    EXPECT_TRUE(parseSetup(*RecordFile::load("fort.3")));
}

TEST(Setup, StoredLineWithAHeaderOutOfRangeIsRebuiltFromTheInput) {
    SetupSession s("badheader");
    ASSERT_TRUE(s.run("0\n10\n3\nA\n5\n0\n0\n0\n0\n"));
    const SetupFile good = s.stored();
    ASSERT_EQ(good.blocks.size(), 1u);
    struct Damage {
        int SetupBlock::*field;
        int value;
    };
    const Damage cases[] = {{&SetupBlock::drop_sel, 7}, {&SetupBlock::drop_sel, -1}, {&SetupBlock::begin_ns, 2},
                            {&SetupBlock::end_ns, -1},  {&SetupBlock::ns_incl, 5}};
    for (const Damage& d : cases) {
        SetupBlock b = good.blocks[0];
        b.*d.field = d.value;
        std::ofstream("fort.3") << padRecordsTo80(formatSetupCounts(10, 0, 10) + formatSetupBlock(b, 10));
        s.st.stored_setup = true;
        s.out.str("");
        ASSERT_TRUE(s.run("3\nn\nA\n5\n1\n1\n3\n\n0\n"));
        EXPECT_NE(s.out.str().find(" fort.3, line 3, record 2: end-point values in its header out of range;"
                                   " the line is built from fort.1.\n"),
                  std::string::npos)
            << d.value;
        // the new set-up holds the answers given, not the damaged header
        const SetupFile again = s.stored();
        ASSERT_EQ(again.blocks.size(), 1u);
        const SetupBlock& n = again.blocks[0];
        EXPECT_EQ(std::vector<int>({n.begin_ns, n.end_ns, n.drop_sel, n.ns_incl}), std::vector<int>({1, 1, 3, 1}))
            << d.value;
    }
}

TEST(Setup, TooManyKPointsOnALineStopsWithoutTouchingTheStoredSetUp) {
    SetupSession s("toomany");
    std::ofstream("fort.3") << "previous\n";
    // give all 36 k points label 2 in their first membership record
    std::ifstream f1("fort.1");
    std::string line, out;
    int rec = 0;
    while (std::getline(f1, line)) {
        if (rec % 14 == 1) line = "  2" + line.substr(3);
        out += line + "\n";
        ++rec;
    }
    f1.close();
    std::ofstream("fort.1") << out;
    EXPECT_FALSE(s.run("0\n10\n2\n"));
    EXPECT_NE(s.out.str().find(" fort.1, k point 12: line 2 has more than 11 k points.\n"), std::string::npos);
    std::ifstream f3("fort.3");
    std::getline(f3, line);
    EXPECT_EQ(line, "previous");
}
