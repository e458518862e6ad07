// The importers' text toolkit: the one number grammar, words, counts and
// the form of a complaint.
#include <gtest/gtest.h>

#include <optional>

#include "import/text/text_table.h"

using namespace importer;

TEST(TextToolkit, OneNumberGrammarForEveryReader) {
    struct Row {
        const char* word;
        std::optional<double> value;
    } rows[] = {
        {"1.5", 1.5}, {"-2.0E+01", -20}, {".5", 0.5}, {"5.", 5}, {"+7", 7}, {"1.5D-3", 1.5e-3}, {"2d2", 200},
        {"0.1234-100", 0.0}, {"-0.5-123", 0.0},  // Fortran's exponent of three digits without its letter
        {"", std::nullopt}, {".", std::nullopt}, {"1.5E", std::nullopt}, {"1-5", std::nullopt},
        {"0.1234+100", std::nullopt}, {"1.5.3", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt},
        {"1e999", std::nullopt}, {"--1", std::nullopt}, {"0x10", std::nullopt}, {"1.0ev", std::nullopt},
        {"NaN", std::nullopt}, {"-Inf", std::nullopt}, {"0x1p3", std::nullopt},
        {"1e10", 1e10}, {"-1.0D+10", -1e10}, {"1.00001e10", std::nullopt}, {"-2D300", std::nullopt},  // kLargestNumber
    };
    for (const Row& r : rows) EXPECT_EQ(number(r.word), r.value) << "'" << r.word << "'";
    EXPECT_EQ(integer("-12"), -12);
    for (const char* bad : {"", "1.0", "1e3", "+", "12345678901234567890"}) EXPECT_FALSE(integer(bad)) << bad;
}

TEST(TextToolkit, WordsFieldsCountsAndComplaints) {
    EXPECT_EQ(words("  a\tb  c \r"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(*wordsAfter(" &plot nbnd=   8, nks=   251 /", "nbnd="), (std::vector<std::string>{"8", "nks=", "251", "/"}));
    EXPECT_FALSE(wordsAfter("no marker", "nbnd="));
    // Fields run together are cut at the first width that divides the line.
    EXPECT_EQ(*numbers("-1000.123-1001.456", {9, 8}), (std::vector<double>{-1000.123, -1001.456}));
    EXPECT_EQ(*numbers("  1.0  2.0"), (std::vector<double>{1, 2}));
    EXPECT_FALSE(numbers("-100.123-101.456"));
    EXPECT_FALSE(numbers("-100.12x-101.456", {8}));

    const auto f = common::RecordFile::fromText("F", "1 2.5\n 1 x\n");
    EXPECT_EQ(numbersOn(f, 2).error(), "F, line 2: unreadable number 'x'");
    EXPECT_EQ(numbersOn(f, 1, "1 -3D12").error(), "F, line 1: -3D12 is beyond 1e10 (no value of this file is that large)");
    EXPECT_EQ(*count(f, 1, "NEDOS", 2.0, 2, 10), 2u);
    EXPECT_EQ(count(f, 1, "NEDOS", 1, 2, 10).error(), "F, line 1: NEDOS = 1 is not a count from 2 to 10");
    EXPECT_EQ(count(f, 1, "spins", 2.5, 1, 2).error(), "F, line 1: spins = 2.5000 is not a count from 1 to 2");
    EXPECT_EQ(loadText("/nonexistent/x").error(), "/nonexistent/x: cannot be opened");
    EXPECT_EQ(loadText("/tmp").error(), "/tmp: cannot be opened");  // a directory is no file
}
