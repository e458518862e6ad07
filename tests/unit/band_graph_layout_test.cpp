#include <gtest/gtest.h>

#include <filesystem>

#include "band/dialog/graph_menu.h"
#include "band/core/layout_file.h"
#include "band/draw/redraw.h"
#include "band_graph_support.h"

using namespace common;
using namespace annotate;
using namespace band;

using bandtest::bandsText;
using bandtest::graphFor;
using bandtest::readText;
using bandtest::writeText;

namespace {

class Layout : public bandtest::InScratchDir {
protected:
    void SetUp() override {
        InScratchDir::SetUp();
        writeText("fort.2", bandsText(3, {51, 51, 51}, 2));
    }
};

// A finished three-line picture with every element on. The file keeps five
// decimals, so the page width is given as it comes back from the file.
BandGraph finished() {
    BandGraph g = graphFor(3);
    g.geom.view_right = 0.70711f;
    for (int k = kFlagBorder; k <= kFlagFermi; ++k) g.flags[static_cast<size_t>(k)] = true;
    g.range = 20;
    g.tics = TicRange{-11.5f, 7.25f, 0.25f, 1.0f};
    g.tic_side = {3, 0, 2, 1};
    g.labels[1] = fortran::A("L", 80);
    g.labels[2] = fortran::A("\\GAMMA", 80);
    g.labels[3] = fortran::A("X", 80);
    g.labels[4] = fortran::A("W", 80);
    g.titles[2] = fortran::A("\\DELTA", 80);
    g.vtitle = fortran::A("Energy (eV)", 80);
    g.texts = {FreeText{fortran::A("K \\sub 1 \\endsub", 80), 0.25f, 0.5f, 90.0f, 2},
               FreeText{fortran::A("note", 80), 0.125f, 0.0625f, -30.5f, 0}};
    g.efermi = -1.5f;
    g.fermi_line = true;
    g.border = true;
    return g;
}

std::vector<std::string> records(const std::string& text) {
    std::vector<std::string> r;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) r.push_back(line);
    return r;
}

std::string layoutOf(const BandGraph& g) {
    Result<std::string> text = formatLayout(g);
    EXPECT_TRUE(text) << text.error();
    return text ? *text : std::string();
}

// The layout of `path` loaded into g, as graph menu option 12 does.
Status loadFrom(const std::string& path, BandGraph& g) {
    auto file = RecordFile::load(path);
    if (!file) return Failure{path + " missing"};
    return loadLayout(*file, g);
}

}  // namespace

TEST_F(Layout, RecordsAndTheirLengths) {
    BandGraph g = finished();
    auto r = records(layoutOf(g));
    // 1 + 1 + 1 + 4 + 1 + 1 + 1 + 4 + 3 + 1 + 1 + 2 + 1
    ASSERT_EQ(r.size(), 22u);
    EXPECT_EQ(r[0], " 3");
    EXPECT_EQ(r[1], "FTTTTTTFFFFF");
    EXPECT_EQ(r[2], "   0.11785   0.12500   0.58926   0.75000   0.70711   1.00000");
    EXPECT_EQ(r[3], "   0.00000");
    EXPECT_EQ(r[6], "   0.58926");
    EXPECT_EQ(r[7], " -12.00000   8.00000  -1.50000");
    EXPECT_EQ(r[8], " -11.50000   7.25000   0.25000   1.00000");
    EXPECT_EQ(r[9], "3021");
    for (size_t i = 10; i <= 17; ++i) EXPECT_EQ(r[i].size(), 80u) << i;
    EXPECT_EQ(r[11], fortran::A("\\GAMMA", 80));
    EXPECT_EQ(r[16], fortran::A("", 80));
    EXPECT_EQ(r[18], "   2");
    EXPECT_EQ(r[19].size(), 112u);
    EXPECT_EQ(r[19].substr(0, 32), "   0.25000   0.50000  90.00000 2");
    EXPECT_EQ(r[20].substr(0, 32), "   0.12500   0.06250 -30.50000 0");
    EXPECT_EQ(r[21], "TT");
}

TEST_F(Layout, SavedBeforeAnyAnnotationAllFlagsFalse) {
    auto r = records(layoutOf(graphFor(1)));
    EXPECT_EQ(r[1], "FFFFFFFFFFFF");
    EXPECT_EQ(r[r.size() - 2], "   0");
    EXPECT_EQ(r.back(), "FF");
    EXPECT_EQ(r[6], "   0.00000   0.00000   0.00000   0.00000");
}

TEST_F(Layout, RoundTripGivesTheSameSettingsAndTheSameDrawing) {
    BandGraph g = finished();
    ASSERT_TRUE(saveLayout("fort.15", g));
    BandGraph h;
    h.bands = g.bands;  // the display's bands stay through a load
    ASSERT_TRUE(loadFrom("fort.15", h));
    EXPECT_EQ(h.nshow, 3);
    EXPECT_EQ(h.flags, g.flags);
    EXPECT_EQ(h.tic_side, g.tic_side);
    EXPECT_EQ(h.labels, g.labels);
    for (size_t i = 1; i <= 3; ++i) EXPECT_EQ(h.titles[i], fortran::A(g.titles[i], 80)) << i;
    EXPECT_EQ(h.vtitle, g.vtitle);
    ASSERT_EQ(h.texts.size(), 2u);
    EXPECT_EQ(h.texts[0].text, g.texts[0].text);
    EXPECT_EQ(h.texts[0].pos, 2);
    EXPECT_FLOAT_EQ(h.texts[0].angle, 90.0f);
    EXPECT_FLOAT_EQ(h.texts[1].angle, -30.5f);
    EXPECT_FLOAT_EQ(h.efermi, -1.5f);
    EXPECT_FLOAT_EQ(h.range, 20.0f);
    EXPECT_FLOAT_EQ(h.tics.label_distance, 1.0f);
    EXPECT_TRUE(h.border);
    EXPECT_TRUE(h.fermi_line);
    EXPECT_EQ(layoutOf(h), layoutOf(g));

    RecordingPlot a, b;
    tlrdrw(a, g);
    tlrdrw(b, h);
    ASSERT_EQ(a.calls.size(), b.calls.size());
    for (size_t i = 0; i < a.calls.size(); ++i) EXPECT_EQ(a.calls[i], b.calls[i]) << i;
    EXPECT_GT(a.matching("ptxt").size(), 8u);
}

TEST_F(Layout, NumbersComeBackWithFiveDecimals) {
    ASSERT_TRUE(saveLayout("fort.15", graphFor(2)));
    BandGraph h;
    ASSERT_TRUE(loadFrom("fort.15", h));
    EXPECT_FLOAT_EQ(h.geom.view_right, 0.70711f);
    EXPECT_FLOAT_EQ(h.line_pos[2], 0.29463f);
    EXPECT_FLOAT_EQ(h.geom.right(), 0.70711f);
}

TEST_F(Layout, SavingTwiceKeepsOnlyTheSecond) {
    ASSERT_TRUE(saveLayout("fort.15", finished()));
    ASSERT_TRUE(saveLayout("fort.15", graphFor(1)));
    EXPECT_EQ(readText("fort.15"), layoutOf(graphFor(1)));
}

TEST_F(Layout, ANumberTooWideIsNotSavedAndTheOldFileStays) {
    ASSERT_TRUE(saveLayout("fort.15", graphFor(2)));
    BandGraph g = finished();
    g.texts[1].angle = 123456.0f;
    Status saved = saveLayout("fort.15", g);
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.error(), "fort.15 not written: text angle 123456.00000 does not fit the layout file");
    EXPECT_EQ(readText("fort.15"), layoutOf(graphFor(2)));
}

TEST_F(Layout, DamagedFilesAreRefusedNamingTheRecord) {
    const auto good = records(layoutOf(finished()));
    struct Case {
        const char* what;
        size_t record;  // 1-based record to replace, 0: cut the file there
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"short", 0, "20", "fort.15, record 20: missing (the file ends early)"},
        {"too many lines", 1, "11", "fort.15, record 1: number of symmetry lines outside 1 ... 10"},
        {"no lines", 1, " 0", "fort.15, record 1: number of symmetry lines outside 1 ... 10"},
        {"bad flag", 2, "FTTXTTTFFFFF", "fort.15, record 2: unreadable element flags"},
        {"bad real", 3, "   0.11785   0.1250x", "fort.15, record 3: unreadable frame geometry"},
        {"zero width", 3, "   0.11785   0.12500   0.00000   0.75000   0.70711   1.00000",
         "fort.15, record 3: frame or page size not positive"},
        {"backwards", 5, "   0.50000", "fort.15, record 6: symmetry line positions not in ascending order"},
        {"window", 8, "   8.00000   8.00000   1.00000", "fort.15, record 8: minimum energy not below maximum"},
        {"side", 10, "3041", "fort.15, record 10: tic side outside 0 ... 3"},
        {"side letter", 10, "30a1", "fort.15, record 10: unreadable tic side"},
        {"texts", 19, " 201", "fort.15, record 19: number of free texts outside 0 ... 200"},
        {"position", 20, "   0.25000   0.50000  90.00000 3K", "fort.15, record 20: position code outside 0 ... 2"},
        {"text count beyond the file", 19, "   3", "fort.15, record 22: unreadable free text"},
        {"last flags", 22, "T", "fort.15, record 22: unreadable border and Fermi line flags"},
    };
    BandGraph before = graphFor(2);
    before.labels[1] = fortran::A("kept", 80);
    const std::string was = layoutOf(before);
    for (const Case& c : cases) {
        std::string text;
        for (size_t i = 1; i <= good.size(); ++i) {
            if (c.record == 0 && i == std::stoul(c.text)) break;
            text += (i == c.record ? c.text : good[i - 1]) + "\n";
        }
        writeText("fort.15", text);
        BandGraph g = before;
        Status loaded = loadFrom("fort.15", g);
        EXPECT_FALSE(loaded) << c.what;
        EXPECT_EQ(loaded.error(), c.message) << c.what;
        EXPECT_EQ(layoutOf(g), was) << c.what;
    }
}

TEST_F(Layout, MenuLoadMissingFileChangesNothing) {
    BandGraph g = graphFor(2);
    g.flags[kFlagLabels] = true;
    bandtest::Session s("12\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_NE(s.out.str().find(" Layout file does not exist. First use option (11).\n"), std::string::npos);
    EXPECT_TRUE(g.flags[kFlagLabels]);
    EXPECT_TRUE(s.plot.matching("page").empty());
}

TEST_F(Layout, MenuSaveThenLoadRedrawsTheSavedPicture) {
    BandGraph g = finished();
    bandtest::Session s("11\n1\n-5\n5\n12\n0\n");
    tlgrph(s.plot, s.con, g);
    // the energy change cleared the flags; the load brings the saved ones back
    EXPECT_TRUE(g.flags[kFlagTics]);
    EXPECT_FLOAT_EQ(g.elow, -12.0f);
    EXPECT_FLOAT_EQ(g.range, 20.0f);
    EXPECT_NE(s.out.str().find(" The layout's energy window -12 ... 8 eV replaces the one typed, -5 ... 5 eV.\n"),
              std::string::npos)
        << s.out.str();
    RecordingPlot expect;
    BandGraph saved = finished();
    tlrdrw(expect, saved);
    const auto& c = s.plot.calls;
    size_t last = 0;
    for (size_t i = 0; i < c.size(); ++i)
        if (c[i] == "page") last = i;
    EXPECT_EQ(std::vector<std::string>(c.begin() + static_cast<long>(last) + 1, c.end()), expect.calls);
}

// Leaving the graph menu says so when the settings changed since they were
// last saved or loaded, or, never saved, since the menu opened.
TEST_F(Layout, LeavingSaysWhatWasNotSaved) {
    const std::string never = " The graph settings were not saved; option 11 keeps them in fort.15 for the next run.\n";
    const std::string since = " The graph settings changed since they were last saved; option 11 keeps them in fort.15.\n";
    const struct {
        const char* answers;
        std::string said;
    } cases[] = {
        {"0\n", ""},
        {"\n", ""},
        {"1\n-5\n5\n0\n", never},
        {"1\n-5\n5\n\n", never},  // the empty answer that ends the menu
        {"1\n-5\n5\n11\n0\n", ""},
        {"11\n1\n-5\n5\n0\n", since},
        {"11\n1\n-5\n5\n12\n0\n", ""},  // loaded back as saved
    };
    for (const auto& c : cases) {
        std::filesystem::remove("fort.15");
        BandGraph g = finished();
        bandtest::Session s(c.answers);
        tlgrph(s.plot, s.con, g);
        const std::string out = s.out.str();
        EXPECT_EQ(out.find(never) != std::string::npos || out.find(since) != std::string::npos, !c.said.empty())
            << c.answers;
        if (!c.said.empty()) {
            EXPECT_NE(out.find(c.said), std::string::npos) << c.answers;
        }
    }
}

// A frame off its page still loads, as every layout that reads does, and
// the load says how much of the frame is lost.
TEST_F(Layout, MenuLoadOfAFrameOffThePageSaysSo) {
    const struct {
        float x0, y0;
        const char* said;
    } cases[] = {
        {100.0f, 0.17f, " fort.15, record 3: nothing of the frame is on the page.\n"},
        {0.16f, -0.5f, " fort.15, record 3: part of the frame lies outside the page.\n"},
        {common::kFrameX0, common::kFrameY0, ""},
    };
    for (const auto& c : cases) {
        BandGraph off = finished();
        off.geom.frame_x0 = c.x0;
        off.geom.frame_y0 = c.y0;
        writeText("fort.15", layoutOf(off));
        BandGraph g = graphFor(2);
        bandtest::Session s("12\n0\n");
        tlgrph(s.plot, s.con, g);
        const std::string out = s.out.str();
        const std::string said = *c.said ? c.said : " fort.15, record 3";
        EXPECT_EQ(out.find(said) != std::string::npos, *c.said != 0) << said;
        EXPECT_FLOAT_EQ(g.geom.frame_y0, c.y0);
    }
}

TEST_F(Layout, MenuLoadOfADamagedFileKeepsTheSettings) {
    writeText("fort.15", " 3\nFTT\n");
    BandGraph g = graphFor(2);
    bandtest::Session s("12\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_NE(s.out.str().find(" fort.15, record 2: unreadable element flags\n"), std::string::npos);
    EXPECT_EQ(g.nshow, 2);
    EXPECT_TRUE(s.plot.matching("page").empty());
}

TEST_F(Layout, MoreLinesThanTheBandFileHoldsDrawsTheBlocksThatExist) {
    BandGraph four = graphFor(4);
    four.flags[kFlagLabels] = true;
    ASSERT_TRUE(saveLayout("fort.15", four));
    BandGraph g = graphFor(3);
    bandtest::Session s("12\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_EQ(g.nshow, 4);
    EXPECT_FLOAT_EQ(g.geom.frame_x0, 0.16f);
    EXPECT_EQ(s.plot.matching("swin 1 51").size(), 3u);
    EXPECT_NE(s.out.str().find(": ends after 3 of 4 symmetry lines; bands drawn up to there.\n"), std::string::npos);
}

// Band colours and line widths: records after the older ones, absent when
// none are set, so an older file loads with plain lines.
TEST_F(Layout, BandStylesFollowTheOlderRecordsAndAreChecked) {
    BandGraph plain = finished();
    const std::string old = layoutOf(plain);
    BandGraph styled = finished();
    styled.styles = {BandStyle{1, 4, 4, 3, 1}, BandStyle{5, 1000, 2, 201, 5}};
    const std::string text = layoutOf(styled);
    ASSERT_EQ(text.substr(0, old.size()), old);
    EXPECT_EQ(text.substr(old.size()), "   2\n    1    4  4   3 1\n    5 1000  2 201 5\n");

    writeText("fort.15", text);
    BandGraph back = graphFor(2);
    ASSERT_TRUE(loadFrom("fort.15", back));
    EXPECT_EQ(layoutOf(back), text);

    writeText("fort.15", old);  // a file of the older layout
    ASSERT_TRUE(loadFrom("fort.15", back));
    EXPECT_TRUE(back.styles.empty());
    EXPECT_EQ(layoutOf(back), old);

    // both spin channels: the spin-down bands of each line and their look,
    // after an empty list of ranges
    BandGraph spin = finished();
    spin.spin.bands = {{false, true, true}, {true, false}, {}};
    spin.spin.look = BandStyle{0, 0, 4, 2, 3};
    const std::string spinText = layoutOf(spin);
    EXPECT_EQ(spinText.substr(old.size()), "   0\n    3    0  4   2 3\n122\n21\n\n");
    writeText("fort.15", spinText);
    ASSERT_TRUE(loadFrom("fort.15", back));
    EXPECT_EQ(back.spin.bands, spin.spin.bands);
    EXPECT_EQ(layoutOf(back), spinText);
    const BandLooks looks{back.styles, back.spin};
    EXPECT_EQ(looks.of(1, 2).colour, 4);
    EXPECT_EQ(looks.of(1, 1).colour, 1);
    EXPECT_EQ(looks.of(3, 1).colour, 1);

    // the calculation's Fermi energy: a keyword record after all others,
    // also after a layout without styles, whose next record it is not
    for (BandGraph recorded : {plain, spin}) {
        recorded.source_fermi = -5.4321f;
        const std::string withFermi = layoutOf(recorded);
        EXPECT_EQ(withFermi.substr(withFermi.size() - 18), "fermi    -5.43210\n");
        writeText("fort.15", withFermi);
        ASSERT_TRUE(loadFrom("fort.15", back));
        EXPECT_FLOAT_EQ(*back.source_fermi, -5.4321f);
        EXPECT_EQ(back.spin.bands, recorded.spin.bands);
        EXPECT_EQ(layoutOf(back), withFermi);
    }
    writeText("fort.15", old);
    ASSERT_TRUE(loadFrom("fort.15", back));
    EXPECT_FALSE(back.source_fermi);

    const size_t n = records(old).size();
    const std::string at = "fort.15, record ";
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"  21\n", at + std::to_string(n + 1) + ": number of band line styles 21 outside 0 ... 20"},
        {"   1\n", at + std::to_string(n + 2) + ": missing (the file ends early)"},
        {"   1\n    5    4  2   1 1\n", at + std::to_string(n + 2) + ": last band 4 outside 5 ... 1000"},
        {"   1\n    1    4 23   1 1\n", at + std::to_string(n + 2) + ": colour index 23 outside 1 ... 22"},
        {"   1\n    1    4  2   0 1\n", at + std::to_string(n + 2) + ": line width 0 outside 1 ... 201"},
        {"   1\n    1    4  2   1 6\n", at + std::to_string(n + 2) + ": line style 6 outside 1 ... 5"},
        {"   1\n    1    x  2   1 1\n", at + std::to_string(n + 2) + ": unreadable last band"},
        {"   0\n    2    0  2   1 2\n", at + std::to_string(n + 2) + ": number of lines of the spin channels 2 outside 3 ... 3"},
        {"   0\n    3    0  2   1 2\n12\n", at + std::to_string(n + 4) + ": missing (the file ends early)"},
        {"   0\n    3    0  2   1 2\n12\n\n103\n", at + std::to_string(n + 5) + ": spin channel digit '0' is neither 1 (up) nor 2 (down)"},
        {"   0\n    3    0  0   1 2\n", at + std::to_string(n + 2) + ": colour index 0 outside 1 ... 22"},
        {"fermi\n", at + std::to_string(n + 1) + ": unreadable fermi value"},
        {"fermi  -5.4.3\n", at + std::to_string(n + 1) + ": unreadable fermi value"},
        {"   1\nfermi 1.0\n", at + std::to_string(n + 2) + ": unreadable first band"},
    };
    for (const auto& [tail, message] : damaged) {
        writeText("fort.15", old + tail);
        BandGraph kept = styled;
        Status loaded = loadFrom("fort.15", kept);
        EXPECT_FALSE(loaded) << tail;
        EXPECT_EQ(loaded.error(), message);
        EXPECT_EQ(kept.styles.size(), 2u) << tail;
    }
}

// The legend is a keyword record after every older record: a picture of
// both spin channels has it after the spin-down block, a plain one right
// after the border record; a layout without it loads with the legend off.
TEST_F(Layout, TheLegendRecordFollowsTheOlderRecordsAndIsChecked) {
    const std::string old = layoutOf(finished());
    BandGraph spin = finished();
    spin.spin.bands = {{false, true}, {true}, {}};
    spin.legend = {true, LegendCorner::BottomLeft};
    spin.picture_title = "bcc Fe, \\gG-H";
    spin.show = {CharacterMode::fat, 2};
    const std::string text = layoutOf(spin);
    ASSERT_EQ(text.substr(0, old.size()), old);
    EXPECT_EQ(text.substr(old.size()),
              "   0\n    3    0 21   4 1\n12\n2\n\nlegend 1 3\ntitle bcc Fe, \\gG-H\ncharacter 2 2\n");
    BandGraph plain = finished();
    plain.legend = {false, LegendCorner::TopLeft};
    EXPECT_EQ(layoutOf(plain).substr(old.size()), "legend 0 2\n");
    for (const std::string& t : {text, layoutOf(plain)}) {
        writeText("fort.15", t);
        BandGraph back = graphFor(2);
        ASSERT_TRUE(loadFrom("fort.15", back));
        EXPECT_EQ(layoutOf(back), t);
    }
    writeText("fort.15", old);
    BandGraph back = spin;
    ASSERT_TRUE(loadFrom("fort.15", back));
    EXPECT_EQ(back.legend, LegendPlace{});
    EXPECT_EQ(back.picture_title, "");
    EXPECT_EQ(back.show, CharacterView{});

    const size_t n = records(old).size();
    auto at = [](size_t r, const std::string& what) { return "fort.15, record " + std::to_string(r) + ": " + what; };
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"legend 1\n", at(n + 1, "'legend' record with 1 numbers (2 wanted)")},
        {"legend 2 0\n", at(n + 1, "legend switch 2 outside 0 ... 1")},
        {"legend 1 5\n", at(n + 1, "legend corner 5 outside 0 ... 4")},
        {"legend 1 x\n", at(n + 1, "unreadable record 'legend 1 x' (a keyword and whole numbers wanted)")},
        {"legend 1 0\nshade 1\n", at(n + 2, "unknown record 'shade'")},
        {"character 3 1\n", at(n + 1, "character mode 3 outside 0 ... 2")},
        {"character 2 7\n", at(n + 1, "character group 7 outside 1 ... 6")},
        {"legend 1 0\ncharacter 1\n", at(n + 2, "'character' record with 1 numbers (2 wanted)")},
        {"   0\n    3    0 21   2 1\n1\n2\n\nlegend 1 0\n   4\n", at(n + 7, "unreadable record '   4' (a keyword and whole numbers wanted)")},
    };
    for (const auto& [tail, message] : damaged) {
        writeText("fort.15", old + tail);
        BandGraph kept = spin;
        Status loaded = loadFrom("fort.15", kept);
        EXPECT_FALSE(loaded) << tail;
        EXPECT_EQ(loaded.error(), message);
        EXPECT_EQ(kept.legend, spin.legend) << tail;
    }
}

// A landscape layout stored when the frame reached the right edge of the
// view surface loads narrowed, its lines in proportion, so that the Fermi
// text beside it stays on the surface; a portrait one loads as it was.
TEST_F(Layout, AnOldLandscapeFrameLoadsNarrowedForTheFermiText) {
    BandGraph old = graphFor(3);
    old.geom = FrameGeom{1.0f, 1.0f, 0.83333f, 0.75f, 0.16f, 0.17f};
    equalLines(old.line_pos, old.geom.frame_w, 3);
    ASSERT_TRUE(saveLayout("fort.15", old));
    BandGraph h;
    ASSERT_TRUE(loadFrom("fort.15", h));
    EXPECT_NEAR(h.geom.right(), 0.92f, 1e-5);
    EXPECT_NEAR(h.line_pos[2], h.geom.frame_w / 3, 1e-5);
    EXPECT_NEAR(h.line_pos[4], h.geom.frame_w, 1e-5);
    EXPECT_FLOAT_EQ(h.geom.frame_x0, 0.16f);

    BandGraph portrait = finished();
    ASSERT_TRUE(saveLayout("fort.15", portrait));
    ASSERT_TRUE(loadFrom("fort.15", h));
    EXPECT_FLOAT_EQ(h.geom.frame_w, portrait.geom.frame_w);
}

// A picture of both spin channels names them, each beside a sample in its
// look; option 14 switches the legend; a picture of one channel has nothing
// to name and says so.
TEST_F(Layout, TheSpinChannelsAreNamedBesideTheirSamples) {
    BandGraph g = graphFor(3);
    g.spin.bands = {{false, true}, {false, true}, {false, true}};
    g.legend.on = true;
    RecordingPlot p;
    ASSERT_TRUE(tlrdrw(p, g));
    const auto texts = p.matching("ptxt ");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find("'spin up'"), std::string::npos);
    EXPECT_NE(texts[1].find("'spin down'"), std::string::npos);
    // the spin-down sample: vermillion, full, heavier than the spin-up one
    const long down = bandtest::findCall(p.calls, "sci 21", bandtest::findCall(p.calls, "ptxt "));
    ASSERT_GE(down, 0);
    EXPECT_EQ(p.calls[static_cast<size_t>(down) + 1], "slw 4");
    EXPECT_EQ(p.calls[static_cast<size_t>(down) + 2], "sls 1");

    // a frame too low for the two rows has the legend below it
    BandGraph full = g;
    full.geom.frame_h = 0.04f;
    RecordingPlot q;
    ASSERT_TRUE(tlrdrw(q, full));
    const auto below = q.matching("ptxt ");
    ASSERT_EQ(below.size(), 2u);
    for (const std::string& t : below)
        EXPECT_LT(std::stof(t.substr(t.find(' ', 5) + 1)), full.geom.frame_y0 - 0.1f) << t;

    bandtest::Session s("14\nn\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_FALSE(g.legend.on);
    EXPECT_TRUE(s.plot.matching("ptxt ").empty());

    BandGraph one = graphFor(3);
    bandtest::Session t("14\n0\n");
    tlgrph(t.plot, t.con, one);
    EXPECT_NE(t.out.str().find(" The bands are of one kind: a legend would name nothing.\n"), std::string::npos);
}
