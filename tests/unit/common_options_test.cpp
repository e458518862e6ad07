#include <gtest/gtest.h>

#include "common/options.h"

using namespace common;

using common::CommandLine;
using common::OptionSpec;
using common::parseCommandLine;
using common::UsageError;

namespace {
const OptionSpec kSpec{{"--fit", "-o", "--fermi"}, {"--help", "--version"}};
}

TEST(CommandLine, ValuesFlagsAndPositionalInBothForms) {
    CommandLine a = parseCommandLine({"qe", "--fit", "hermite", "bands.dat", "-o", "out", "--fermi=-1.5", "--help"},
                                     kSpec);
    EXPECT_EQ(a.positional, (std::vector<std::string>{"qe", "bands.dat"}));
    EXPECT_EQ(a.value("--fit"), "hermite");
    EXPECT_EQ(a.value("-o"), "out");
    EXPECT_DOUBLE_EQ(a.real("--fermi"), -1.5);
    EXPECT_TRUE(a.has("--help"));
    EXPECT_FALSE(a.has("--version"));
    EXPECT_EQ(a.value("--missing", "x"), "x");
    // "-" alone and everything after "--" are positional
    CommandLine b = parseCommandLine({"-", "--", "--fit"}, kSpec);
    EXPECT_EQ(b.positional, (std::vector<std::string>{"-", "--fit"}));
}

TEST(CommandLine, BadUsageIsRefused) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"--colour"}, {"--fit"}, {"--help=yes"}, {"--fit", "a", "--fit=b"}, {"-x"}})
        EXPECT_THROW(parseCommandLine(words, kSpec), UsageError);
    EXPECT_THROW(parseCommandLine({"--fermi", "abc"}, kSpec).real("--fermi"), UsageError);
}
