#include <gtest/gtest.h>

#include <sstream>

#include "common/console.h"
#include "common/dialog.h"
#include "common/records.h"

using namespace common;

TEST(ConsoleFields, IntegerFieldLooksAtItsColumnsOnly) {
    EXPECT_EQ(field::readInt(field::columns("12345", 2)), 12);
    EXPECT_EQ(field::readInt(field::columns(" 1 2", 4)), 12);   // blanks ignored
    EXPECT_EQ(field::readInt(field::columns("", 2)), 0);        // blank is zero
    EXPECT_EQ(field::readInt("-7"), -7);
    EXPECT_EQ(field::readInt("+"), std::nullopt);
    EXPECT_EQ(field::readInt("1a"), std::nullopt);
    EXPECT_EQ(field::readInt("1.0"), std::nullopt);
}

TEST(ConsoleFields, RealTypedWithoutPointIsTheWholeNumber) {
    EXPECT_DOUBLE_EQ(*field::readReal("15"), 15.0);
    EXPECT_DOUBLE_EQ(*field::readReal("-1.5"), -1.5);
    EXPECT_DOUBLE_EQ(*field::readReal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(*field::readReal("5."), 5.0);
    EXPECT_DOUBLE_EQ(*field::readReal("1e-3"), 1e-3);
    EXPECT_DOUBLE_EQ(*field::readReal("1.5D+01"), 15.0);
    EXPECT_DOUBLE_EQ(*field::readReal("   "), 0.0);
    EXPECT_EQ(field::readReal("."), std::nullopt);
    EXPECT_EQ(field::readReal("1e"), std::nullopt);
    EXPECT_EQ(field::readReal("abc"), std::nullopt);
    EXPECT_EQ(field::readReal("1e999"), std::nullopt);
}

TEST(ConsoleFields, FileFieldsKeepTheImpliedDecimals) {
    std::string rec = "    15  -1.50000  3";
    FieldCursor c(rec);
    EXPECT_DOUBLE_EQ(*c.F(6, 5), 0.00015);
    EXPECT_DOUBLE_EQ(*c.F(10, 5), -1.5);
    EXPECT_EQ(c.I(3), 3);
    EXPECT_EQ(c.I(3), 0);  // past the end: blank
    // whole numbers as written and as typed: blanks inside, a plus, too long
    const struct {
        std::string rec;
        std::optional<long> value;
    } ints[] = {{"  -12", -12}, {"   7 ", 7}, {" 1 2 ", 12}, {"  +3 ", 3}, {"   - ", std::nullopt},
                {"  1x ", std::nullopt}, {"-", std::nullopt}, {"999999999999", 999999999999L},
                {"9999999999999", std::nullopt}, {"  4", 4}};
    for (const auto& row : ints) {
        FieldCursor f(row.rec);
        EXPECT_EQ(f.I(static_cast<int>(row.rec.size() < 5 ? 5 : row.rec.size())), row.value) << "'" << row.rec << "'";
    }
}

TEST(Console, AsksAgainUntilAnswerReadsAndFits) {
    std::istringstream in("x\n9\n2\n");
    std::ostringstream out;
    Console con(in, out);
    long v = con.askInt(" Selection: ", 2, [](long x) { return x >= 0 && x <= 3; });
    EXPECT_EQ(v, 2);
    EXPECT_EQ(out.str(), " Selection:  Selection:  Selection: ");
}

TEST(Console, YesNoComparesBothCasesAndEndOfInputThrows) {
    std::istringstream in("maybe\nY\nn\n");
    std::ostringstream out;
    Console con(in, out);
    EXPECT_TRUE(con.askYesNo("? "));
    EXPECT_FALSE(con.askYesNo("? "));
    EXPECT_THROW(con.askYesNo("? "), EndOfInput);
}

// The highest selection of a menu is read from its own lines.
TEST(Menu, HighestOptionComesFromTheTable) {
    const std::vector<std::pair<std::vector<std::string>, int>> rows = {
        {{" (1) Display", " (3) Interpolate bands", "", " (0) Exit"}, 3},
        {{" (12) Redraw", " (13) Change band colours", " ( 0) Quit program"}, 13},
        {{" Are you including (because of symmetry)", "  (0) both (def.)", "  (1) left"}, 1},
        {{" Mark with line? (y/n)", " ( ) nothing", " (-1) no"}, 0},
    };
    for (const auto& [lines, highest] : rows) EXPECT_EQ(highestOption(lines), highest) << lines.front();
    std::istringstream in("13\n6\n");
    std::ostringstream out;
    Console con(in, out);
    EXPECT_EQ(askMenu(con, {" ( 5) Exit", " ( 6) Last"}, 2, 0), 6);  // 13 lies above the table
}
