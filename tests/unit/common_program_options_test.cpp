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
        {{"--fit=spline"}, false, 2, "", "tarlisen: --fit takes cosine or hermite, not 'spline'\nTry 'tarlisen --help' for the options.\n"},
        {{"--fit"}, false, 2, "", "tarlisen: option --fit needs a value\nTry 'tarlisen --help' for the options.\n"},
        {{"--colour"}, false, 2, "", "tarlisen: unknown option --colour\nTry 'tarlisen --help' for the options.\n"},
        {{"fort.1"}, false, 2, "", "tarlisen: unexpected argument 'fort.1'\nTry 'tarlisen --help' for the options.\n"},
        {{"--version=2"}, false, 2, "", "tarlisen: option --version takes no value\n"},
        {{"--output", "out/bands.pdf"}, true, 0, "", ""},
        {{"--output=bands.plt"}, true, 0, "", ""},
        {{"--output", "bands.PDF"}, false, 2, "", "tarlisen: --output takes a file ending in .eps, .plt, .pdf, .png or .svg, not 'bands.PDF'\n"},
        {{"--output", "out/.eps"}, false, 2, "", "tarlisen: --output takes a file ending in"},
        {{"--output", "bands.eps", "--fit", "cosine"}, false, 2, "", "tarlisen: --fit does not go with --output"},
        {{"--output", "bands.pdf", "--width", "8.5"}, true, 0, "", ""},
        {{"--output=bands.eps", "--width=4"}, true, 0, "", ""},
        {{"--output", "bands.png", "--width", "50"}, true, 0, "", ""},
        {{"--width", "8.5"}, false, 2, "", "tarlisen: --width goes with --output, which makes the picture\nTry 'tarlisen --help' for the options.\n"},
        {{"--output", "bands.pdf", "--width", "wide"}, false, 2, "", "tarlisen: --width takes a number, not 'wide'\nTry 'tarlisen --help' for the options.\n"},
        {{"--output", "bands.pdf", "--width="}, false, 2, "", "tarlisen: --width takes a number, not ''\n"},
        {{"--output", "bands.pdf", "--width", "3.99"}, false, 2, "", "tarlisen: --width takes a width from 4 to 50 cm, not '3.99'\n"},
        {{"--output", "bands.pdf", "--width", "50.01"}, false, 2, "", "tarlisen: --width takes a width from 4 to 50 cm, not '50.01'\n"},
        {{"--output", "bands.pdf", "--width", "-8.5"}, false, 2, "", "tarlisen: --width takes a width from 4 to 50 cm"},
        {{"--output", "bands.plt", "--width", "8.5"}, false, 2, "", "tarlisen: --width makes EPS, PDF, PNG or SVG pictures"},
        {{"--output", "bands.svg", "--width", "8.5"}, true, 0, "", ""},
        {{"--output", "bands.gif", "--width", "8.5"}, false, 2, "", "tarlisen: --output takes a file ending in"},
    };
    const Case morvane[] = {
        {{}, true, 0, "", ""},
        {{"--help"}, false, 0, "Usage: morvane\n", ""},
        {{"--version"}, false, 0, "morvane 1.1\n", ""},
        {{"--fit", "hermite"}, false, 2, "", "morvane: unknown option --fit\nTry 'morvane --help' for the options.\n"},
        {{"--output=dos.png"}, true, 0, "", ""},
        {{"--output", "dos"}, false, 2, "", "morvane: --output takes a file ending in .eps, .plt, .pdf, .png or .svg, not 'dos'\nTry 'morvane --help' for the options.\n"},
        {{"--output=dos.png", "--width=17"}, true, 0, "", ""},
        {{"--width", "17"}, false, 2, "", "morvane: --width goes with --output, which makes the picture\nTry 'morvane --help' for the options.\n"},
        {{"--output", "dos.pdf", "--width", "1.7e1x"}, false, 2, "", "morvane: --width takes a number, not '1.7e1x'\n"},
        {{"--output", "dos.eps", "--width", "0"}, false, 2, "", "morvane: --width takes a width from 4 to 50 cm"},
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
        // a usage error is its line and the line pointing at --help
        if (c.status == 2) {
            const std::string e = err.str();
            EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 2) << what << "\n" << e;
            EXPECT_NE(e.find("' for the options.\n"), std::string::npos) << what;
        }
    };
    for (const Case& c : tarlisen) check(c, true);
    for (const Case& c : morvane) check(c, false);
    // the usage names what the programs read and write and the screen device
    for (const std::string& u : {band::tarlisenUsage(), dos::morvaneUsage()})
        for (const char* word : {"fort.1", "--help", "--version", "--output FILE", ".pdf", "--width CM", "8.5", "PGPLOT_DEV"})
            EXPECT_NE(u.find(word), std::string::npos) << word;
    EXPECT_NE(band::tarlisenUsage().find("fort.2"), std::string::npos);
}
