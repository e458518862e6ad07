// The band graph written through the real PGPLOT library to an EPS file.
#include <gtest/gtest.h>

#include "band/dialog/graph_menu.h"
#include "band_graph_support.h"

using namespace common;
using namespace band;

using bandtest::readText;
using bandtest::writeText;

namespace {

// Two lines L - Gamma - X of a silicon-like band structure, 51 points each.
std::string siliconLike() {
    std::string s = fortran::I(2, 2) + "\n";
    const double pi = 3.14159265358979;
    for (int line = 1; line <= 2; ++line) {
        s += fortran::I(51, 3) + fortran::I(8, 3) + "\n";
        for (int b = 1; b <= 8; ++b)
            for (int i = 1; i <= 51; ++i) {
                double t = (i - 1) / 50.0;  // 0 at the line's start
                double k = line == 1 ? 1.0 - t : t;  // distance from Gamma
                double e = b <= 4 ? -12.0 + 3.2 * b - (5.0 - b) * 1.1 * (1 - std::cos(pi * k)) * (b == 1 ? -1.0 : 1.0)
                                  : 0.6 + 1.3 * (b - 4) + 1.2 * (b - 4) * (1 - std::cos(pi * k * 0.8));
                s += fortran::F(e, 10, 5) + "\n";
            }
    }
    return s;
}

class Eps : public bandtest::InScratchDir {};

}  // namespace

TEST_F(Eps, FinishedGraphWrittenToEncapsulatedPostScript) {
    writeText("fort.2", siliconLike());
    BandGraph g = bandtest::graphFor(2);
    g.elow = -13.0f;
    g.ehigh = 8.0f;
    // labels, energy axis title, tics on every axis, Fermi line, one free
    // text, then the output file (PostScript, portrait for two lines)
    std::istringstream in(
        "4\nL\n\\GAMMA\nX\n"
        "5\n\\LAMBDA\n\\DELTA\nEnergy (eV)\n"
        "3\n-12\n8\n1\n1\n4\n3\n2\n"
        "7\n0\ny\n"
        "6\nSi\n1\n0\n0.6 0.82\n\n"
        "13\n1\n4\n4\n3\n1\n0\n"
        "10\n1\n0\n");
    std::ostringstream out;
    Console con(in, out);
    CpgPlot plot;
    ASSERT_GT(plot.open("/NULL"), 0);
    plot.slw(3);
    tlgrph(plot, con, g);
    plot.end();
    const std::string eps = readText("tarlisen.eps");
    ASSERT_FALSE(eps.empty()) << out.str();
    EXPECT_EQ(eps.rfind("%!PS-Adobe", 0), 0u);
    EXPECT_NE(eps.find("%%BoundingBox"), std::string::npos);
    EXPECT_NE(eps.find("%%EOF"), std::string::npos);
    EXPECT_EQ(out.str().find("could not"), std::string::npos) << out.str();
    // the PostScript choice keeps the colours of option 13: the blue bands
    EXPECT_NE(eps.find("0 0 1024 K"), std::string::npos);
    writeText(std::string(BINARY_DIR) + "/band_graph_sample.eps", eps);
}
