#include <gtest/gtest.h>

#include "annotate/markup.h"
#include "common/fortran_format.h"
#include "recording_plot.h"

using namespace common;
using namespace annotate;

namespace {
std::string tr(const std::string& s) { return fortran::trimRight(translateMarkup(s)); }
}  // namespace

TEST(Markup, GreekNamesGiveTheLetterPgplotDrawsForThem) {
    const std::pair<const char*, const char*> cases[] = {
        {"\\GAMMA", "\\gG"}, {"\\gamma", "\\gg"}, {"\\pi", "\\gp"},
        // PGPLOT's \gX is chi, its \gC xi
        {"\\CHI \\chi \\XI \\xi", "\\gX\\gx\\gC\\gc"}, {"\\ETA \\PSI", "\\gY\\gQ"},
        // the capitalised spelling is the capital letter
        {"\\Gamma", "\\gG"}, {"\\Delta \\Chi \\Xi \\Mu", "\\gD\\gX\\gC\\gM"},
        {"\\Omikron", "\\gO"},
        // other mixtures are no Greek name
        {"\\gAMMA", "\\gAMMA"}, {"\\GaMMA", "\\GaMMA"},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(tr(in), want) << in;
}

TEST(Markup, ANameDirectlyFollowedByTextIsTranslatedAndTheRestKept) {
    const std::pair<const char*, const char*> cases[] = {
        {"\\arrowupX", "\\(2262)X"},   {"\\arrowupX Y", "\\(2262)X Y"},  // its blank stays
        {"\\alpha2", "\\ga2"},         {"\\Pix", "\\gPx"},
        {"\\+-1", "\\(2233)1"},        {"\\subscript", "\\dscript"},
        {"\\alphabetical", "\\gabetical"},  // the longest name wins over none
        {"\\etax\\sub 1", "\\gyx\\d1"}, {"\\\\alpha", "\\\\alpha"},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(tr(in), want) << in;
}

TEST(Markup, KeywordsInAnyCaseAndOneBlankSwallowed) {
    EXPECT_EQ(tr("\\epsilon \\sub f \\endsub \\arrowrgt"), "\\ge\\df \\u\\(2261)");
    EXPECT_EQ(tr("E\\SUPER 2"), "E\\u2");
    EXPECT_EQ(tr("a\\Sub  b"), "a\\d b");          // two blanks keep one
    EXPECT_EQ(tr("\\arrowrgtX"), "\\(2261)X");     // 8 letters need no blank
    EXPECT_EQ(tr("\\+- 1"), "\\(2233)1");
    EXPECT_EQ(tr("\\piovera"), "\\u\\gp\\b\\d\\(0240)\\b\\da\\u");
    EXPECT_EQ(tr("\\piovera").size(), 23u);
}

TEST(Markup, UnknownWordsPassThroughAsTyped) {
    EXPECT_EQ(tr("\\fi x"), "\\fi x");
    EXPECT_EQ(tr("\\fr\\gx"), "\\fr\\gx");  // PGPLOT's own escapes
    EXPECT_EQ(tr("\\(0240)"), "\\(0240)");
}

TEST(Markup, BackslashEdges) {
    EXPECT_EQ(tr("\\\\ x"), "\\\\x");
    EXPECT_EQ(tr("\\\\"), "\\\\");
    EXPECT_EQ(tr("\\\\x"), "\\\\x");
    // an empty word equals the blank entries J and V of the upper-case table
    EXPECT_EQ(tr("a\\ b"), "a\\gJ\\gVb");
    EXPECT_EQ(tr("a\\"), "a\\gJ\\gV");
    EXPECT_EQ(tr(""), "");
}

TEST(Markup, OutputStopsAtEightyCharacters) {
    std::string many;
    for (int i = 0; i < 8; ++i) many += "\\piovera ";
    std::string out = translateMarkup(many);
    EXPECT_EQ(out.size(), 80u);
    EXPECT_EQ(out.substr(0, 23), "\\u\\gp\\b\\d\\(0240)\\b\\da\\u");
}

TEST(Markup, DrawSetsHeightAndJustification) {
    RecordingPlot p;
    tltrap(p, "\\GAMMA", 0.1f, 0.2f, 90.0f, 2);
    tltrap(p, "X", 0.1f, 0.2f, 0.0f, 1);
    tltrap(p, "X", 0.1f, 0.2f, 0.0f, 3);
    tltrap(p, "X", 0.1f, 0.2f, 0.0f, -1);
    ASSERT_EQ(p.calls.size(), 8u);
    EXPECT_EQ(p.calls[0], "sch 1");
    EXPECT_EQ(p.calls[1], "ptxt 0.1 0.2 90 1 '\\gG'");
    EXPECT_EQ(p.calls[3], "ptxt 0.1 0.2 0 0.5 'X'");
    EXPECT_EQ(p.calls[5], "ptxt 0.1 0.2 0 0 'X'");
    EXPECT_EQ(p.calls[7], "ptxt 0.1 0.2 0 0 'X'");
}
