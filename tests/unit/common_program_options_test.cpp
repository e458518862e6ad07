#include <gtest/gtest.h>

#include <sstream>

#include "band/main/tarlisen.h"
#include "common/program_options.h"
#include "dos/main/morvane.h"

namespace {

struct Case {
    std::vector<std::string> words;
    bool run;
    int status;
    const char* out;  // expected start of standard output, "" for none
    const char* err;  // expected start of standard error, "" for none
};

}  // namespace

TEST(ProgramStart, HelpVersionFitAndUsageErrors) {
    const Case tarlisen[] = {
        {{}, true, 0, "", ""},
        {{"--fit", "hermite"}, true, 0, "", ""},
        {{"--fit=cosine"}, true, 0, "", ""},
        {{"--help"}, false, 0, "Usage: tarlisen [--fit cosine|hermite]\n", ""},
        {{"--fit", "spline", "--help"}, false, 0, "Usage: tarlisen", ""},
        {{"--version"}, false, 0, "tarlisen 1.1\n", ""},
        {{"--fit=spline"}, false, 2, "", "tarlisen: --fit takes cosine or hermite, not 'spline'\nUsage: tarlisen"},
        {{"--fit"}, false, 2, "", "tarlisen: option --fit needs a value\nUsage: tarlisen"},
        {{"--colour"}, false, 2, "", "tarlisen: unknown option --colour\nUsage: tarlisen"},
        {{"fort.1"}, false, 2, "", "tarlisen: unexpected argument 'fort.1'\nUsage: tarlisen"},
        {{"--version=2"}, false, 2, "", "tarlisen: option --version takes no value\n"},
        {{"--output", "out/bands.pdf"}, true, 0, "", ""},
        {{"--output=bands.plt"}, true, 0, "", ""},
        {{"--output", "bands.PDF"}, false, 2, "", "tarlisen: --output takes a file ending in .eps, .plt, .pdf or .png, not 'bands.PDF'\n"},
        {{"--output", "out/.eps"}, false, 2, "", "tarlisen: --output takes a file ending in"},
        {{"--output", "bands.eps", "--fit", "cosine"}, false, 2, "", "tarlisen: --fit does not go with --output"},
    };
    const Case morvane[] = {
        {{}, true, 0, "", ""},
        {{"--help"}, false, 0, "Usage: morvane\n", ""},
        {{"--version"}, false, 0, "morvane 1.1\n", ""},
        {{"--fit", "hermite"}, false, 2, "", "morvane: unknown option --fit\nUsage: morvane"},
        {{"--output=dos.png"}, true, 0, "", ""},
        {{"--output", "dos"}, false, 2, "", "morvane: --output takes a file ending in .eps, .plt, .pdf or .png, not 'dos'\nUsage: morvane"},
    };
    auto check = [](const Case& c, bool band) {
        std::ostringstream out, err;
        const common::ProgramStart s =
            band ? band::startTarlisen(c.words, out, err) : dos::startMorvane(c.words, out, err);
        std::string what = band ? "tarlisen" : "morvane";
        for (const auto& w : c.words) what += " " + w;
        EXPECT_EQ(s.run, c.run) << what;
        EXPECT_EQ(s.status, c.status) << what;
        EXPECT_EQ(out.str().rfind(c.out, 0), 0u) << what << "\n" << out.str();
        EXPECT_EQ(err.str().rfind(c.err, 0), 0u) << what << "\n" << err.str();
        if (!*c.out) {
            EXPECT_EQ(out.str(), "") << what;
        }
        if (!*c.err) {
            EXPECT_EQ(err.str(), "") << what;
        }
    };
    for (const Case& c : tarlisen) check(c, true);
    for (const Case& c : morvane) check(c, false);
    // the usage names what the programs read and write and the screen device
    for (const std::string& u : {band::tarlisenUsage(), dos::morvaneUsage()})
        for (const char* word : {"fort.1", "--help", "--version", "--output FILE", ".pdf", "PGPLOT_DEV"})
            EXPECT_NE(u.find(word), std::string::npos) << word;
    EXPECT_NE(band::tarlisenUsage().find("fort.2"), std::string::npos);
}
