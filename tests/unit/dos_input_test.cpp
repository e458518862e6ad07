#include <gtest/gtest.h>

#include "dos_fixture.h"

using dostest::Shape;

namespace {
std::string readError(const std::string& text) {
    Result<DosInput> in = readDosInput(RecordFile::fromText("fort.1", text));
    EXPECT_FALSE(in);
    return in.error();
}
// The file of `s` with record n replaced.
std::string withRecord(const Shape& s, size_t n, const std::string& rec) {
    std::istringstream in(dostest::text(s));
    std::string line, out;
    for (size_t k = 1; std::getline(in, line); ++k) out += (k == n ? rec : line) + "\n";
    return out;
}
}  // namespace

TEST(DosCurveNumbers, WorkedExampleRecordArithmetic) {
    Shape s;
    s.ne = 200;  // NTOT 3, NAO 1, NFMO 0, NCOOP 1
    DosInput in = dostest::input(s);
    EXPECT_EQ(curveCount(in), 7);
    EXPECT_EQ(curveNumber(in, ProjKind::AO, 1, false), 4);
    EXPECT_EQ(curveNumber(in, ProjKind::AO, 1, true), 5);
    EXPECT_EQ(curveNumber(in, ProjKind::COOP, 1, false), 6);
    EXPECT_EQ(curveNumber(in, ProjKind::COOP, 1, true), 7);
    EXPECT_EQ(valueRecord(200, 0, 1), 305);   // the grid
    EXPECT_EQ(valueRecord(200, 0, 200), 504);
    EXPECT_EQ(valueRecord(200, 6, 1), 1505);
    EXPECT_EQ(valueRecord(200, 7, 200), 1904);  // the last record of the file
    EXPECT_EQ(in.file.size(), 1904u);
    Result<CurveValues> v = fetchCurve(in, 6);
    ASSERT_TRUE(v) << v.error();
    EXPECT_FLOAT_EQ((*v)[0], 6.01f);
    EXPECT_FLOAT_EQ((*v)[199], 8.0f);
    EXPECT_FALSE(fetchCurve(in, 8));
    EXPECT_FALSE(fetchCurve(in, 0));
}

TEST(DosCurveNumbers, EveryKindInFileOrderAndWithoutTotals) {
    Shape s;
    s.ntot = 0;
    s.nao = 2;
    s.nfmo = 3;
    s.ncoop = 5;
    DosInput in = dostest::input(s);
    EXPECT_EQ(curveNumber(in, ProjKind::AO, 1, false), 1);
    EXPECT_EQ(curveNumber(in, ProjKind::AO, 1, true), 2);
    EXPECT_EQ(curveNumber(in, ProjKind::AO, 2, true), 4);
    EXPECT_EQ(curveNumber(in, ProjKind::FMO, 1, false), 5);
    EXPECT_EQ(curveNumber(in, ProjKind::FMO, 3, true), 10);
    EXPECT_EQ(curveNumber(in, ProjKind::COOP, 1, false), 11);
    EXPECT_EQ(curveNumber(in, ProjKind::COOP, 5, true), 20);
    EXPECT_EQ(curveCount(in), 20);
    EXPECT_EQ(fortran::trimRight(curveTitle(in, 10)), "FMOPROJ fmo 3 line 1");
    EXPECT_EQ(fortran::trimRight(curveTitle(in, 11)), "OVLPROJ coop 1 line 1");
    EXPECT_EQ(fortran::trimRight(curveTitle(in, 2)), "AOPROJ  ao 1 line 1");
}

TEST(DosInputFile, HeaderGridAndTitles) {
    Shape s;
    s.ne = 1;
    s.desc = [](int, int, int j) { return j == 1 ? std::string(70, 'x') + "0123456789" : "second"; };
    DosInput in = dostest::input(s);
    EXPECT_EQ(in.ne, 1);
    EXPECT_FLOAT_EQ(in.egrid_low, -2.0f);
    EXPECT_FLOAT_EQ(in.egrid_high, -2.0f);  // one point: equal bounds
    EXPECT_EQ(in.lineCount(ProjKind::COOP, 5), 2);
    EXPECT_EQ(in.description(ProjKind::AO, 1, 1).size(), 80u);
    EXPECT_EQ(fortran::trimRight(curveTitle(in, 1)), "Density of states");
    EXPECT_EQ(fortran::trimRight(curveTitle(in, 2)), "Integrated density of states");
    EXPECT_EQ(fortran::trimRight(curveTitle(in, 3)), "Total energy");
    const std::string t = curveTitle(in, 5);
    EXPECT_EQ(t.size(), 72u);
    EXPECT_EQ(t, "AOPROJ  " + std::string(64, 'x'));  // only 64 characters of line 1
}

TEST(DosInputFile, RefusedHeadersNameTheRecord) {
    Shape s;
    const std::string counts = [&] {
        std::istringstream in(dostest::text(s));
        std::string l;
        std::getline(in, l);
        return l;
    }();
    EXPECT_EQ(readError(withRecord(s, 1, "   2   1   0   1   5")), "fort.1, record 1: NTOT 2 is neither 0 nor 3");
    EXPECT_EQ(readError(withRecord(s, 1, "   3   6   0   1   5")), "fort.1, record 1: NAO 6 outside 0 ... 5");
    EXPECT_EQ(readError(withRecord(s, 1, "   3   1  -1   1   5")), "fort.1, record 1: NFMO -1 outside 0 ... 5");
    EXPECT_EQ(readError(withRecord(s, 1, "   3   1   0   1   0")), "fort.1, record 1: NE 0 outside 1 ... 900");
    EXPECT_EQ(readError(withRecord(s, 1, "   3   1   0   1 901")), "fort.1, record 1: NE 901 outside 1 ... 900");
    EXPECT_EQ(readError(withRecord(s, 1, "   3   1   x   1   5")), "fort.1, record 1: unreadable counts");
    EXPECT_EQ(readError(withRecord(s, 3, "   2   2  21   2   2")),
              "fort.1, record 3: description line count 21 outside 0 ... 20");
    EXPECT_EQ(readError(""), "fort.1, record 1: missing (the file is empty)");
    EXPECT_EQ(readError(counts + "\n"), "fort.1, record 2: missing (the file ends early)");
}

TEST(DosInputFile, RefusedGridAndCurvesNameTheRecord) {
    Shape s;  // NE 5, 7 curves: records 305-309 grid, 310-344 curves
    EXPECT_EQ(readError(withRecord(s, 305, "  -1.0x")), "fort.1, record 305: unreadable energy");
    EXPECT_EQ(readError(withRecord(s, 307, "    -9.00000")),
              "fort.1, record 307: energy below the one before (the grid must ascend)");
    EXPECT_EQ(readError(withRecord(s, 316, "       abc")), "fort.1, record 316: unreadable value of curve 2");
    std::string text = dostest::text(s);
    text.erase(text.rfind("\n", text.size() - 2) + 1);  // the last record gone
    EXPECT_EQ(readError(text),
              "fort.1, record 344: missing (the header announces 7 curves of 5 values, 344 records)");
    // a blank value reads as 0, records beyond the curves are ignored
    EXPECT_TRUE(readDosInput(RecordFile::fromText("fort.1", withRecord(s, 316, "") + "extra\n")));
}
