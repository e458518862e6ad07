#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/fortran_format.h"
#include "common/records.h"

using namespace common;

TEST(Format, IntegerFieldsRightJustifiedOrStars) {
    EXPECT_EQ(fortran::I(5, 2), " 5");
    EXPECT_EQ(fortran::I(-5, 3), " -5");
    EXPECT_EQ(fortran::I(100, 2), "**");
    EXPECT_EQ(fortran::I(0, 4), "   0");
}

TEST(Format, RealFieldsFollowGfortran) {
    EXPECT_EQ(fortran::F(0.11785, 10, 5), "   0.11785");
    EXPECT_EQ(fortran::F(-0.5, 10, 5), "  -0.50000");
    EXPECT_EQ(fortran::F(12.5, 12, 5), "    12.50000");
    EXPECT_EQ(fortran::F(0.5, 6, 5), ".50000");     // no room for the leading zero
    EXPECT_EQ(fortran::F(-0.5, 7, 5), "-.50000");
    EXPECT_EQ(fortran::F(1234567.0, 10, 5), "**********");
    EXPECT_EQ(fortran::F(1.5, 6, 3), " 1.500");
    EXPECT_EQ(fortran::F(-12.5, 7, 2), " -12.50");
    // rounded as the binary value stands: 2.675 is 2.67499..., 99.995 is 99.99500...05
    EXPECT_EQ(fortran::F(2.675, 6, 2), "  2.67");
    EXPECT_EQ(fortran::F(99.995, 7, 2), " 100.00");
    EXPECT_EQ(fortran::F(1.0 / 3.0, 12, 9), " 0.333333333");
    EXPECT_EQ(fortran::F(-0.0001, 6, 3), "-0.000");  // a negative value keeps its sign
    EXPECT_EQ(fortran::F(-0.0001, 5, 3), "-.000");
    EXPECT_EQ(fortran::F(123456.789, 11, 3), " 123456.789");
    EXPECT_EQ(fortran::F(12345678901.5, 14, 1), " 12345678901.5");  // past 10^9 units
}

// What a field holds, read without writing it, is what its text reads back
// as: ties, the dropped leading zero, negative zero, too wide, no decimals.
TEST(Format, ValueOfARealFieldIsWhatItsTextReadsBack) {
    std::vector<double> values = {0.5, -0.5, 2.675, 99.995, -0.0001, -0.0, 0.0, 9999.99999, 999.999995,
                                  1e9, -1234.5, 0.000005, 0.0000149999, 123.456789, 123456.7890123456789};
    for (int k = -2000; k <= 2000; ++k) values.push_back(k * 0.000005);
    unsigned long long seed = 12345;
    for (int k = 0; k < 3000; ++k) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        values.push_back((static_cast<double>(seed >> 11) / 9007199254740992.0 - 0.5) * std::pow(10.0, k % 9 - 3));
    }
    for (double v : values)
        for (auto [w, d] : {std::pair{10, 5}, {7, 5}, {6, 5}, {6, 3}, {5, 0}, {12, 9}, {4, 2}, {20, 12}}) {
            const std::string text = fortran::F(v, w, d);
            const std::optional<double> back = fortran::valueOfF(v, w, d);
            if (text.find('*') != std::string::npos) {
                EXPECT_FALSE(back) << v << " " << w << " " << d;
                continue;
            }
            ASSERT_TRUE(back) << v << " " << w << " " << d;
            const double read = std::strtod(text.c_str(), nullptr);
            EXPECT_EQ(std::memcmp(&read, &*back, sizeof read), 0) << v << " F" << w << "." << d << " '" << text << "'";
            // and the record reader reads that text as strtod does
            const std::optional<double> field = FieldCursor(text).F(w, d);
            ASSERT_TRUE(field) << text;
            if (d > 0) {
                EXPECT_EQ(std::memcmp(&read, &*field, sizeof read), 0) << "'" << text << "'";
            }
        }
}

TEST(Format, DoublePrecisionExponentForm) {
    EXPECT_EQ(fortran::D(1.2345, 20, 5), "         0.12345D+01");
    EXPECT_EQ(fortran::D(0.0, 20, 5), "         0.00000D+00");
    EXPECT_EQ(fortran::D(3.0e-11, 20, 5), "         0.30000D-10");
    EXPECT_EQ(fortran::D(-0.99999999, 12, 5), "-0.10000D+01");
}

TEST(Format, LogicalAndCharacterFields) {
    EXPECT_EQ(fortran::L(true), "T");
    EXPECT_EQ(fortran::L(false), "F");
    EXPECT_EQ(fortran::A("abc", 5), "abc  ");
    EXPECT_EQ(fortran::A("abcdef", 3), "abc");
    EXPECT_EQ(fortran::trimRight("ab  "), "ab");
    EXPECT_EQ(fortran::trimRight("   "), "");
}
