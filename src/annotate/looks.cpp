#include "annotate/looks.h"

#include <functional>
#include <string>

#include "common/console.h"
#include "common/plot.h"

namespace annotate {

using namespace common;

namespace {

struct Rgb {
    int ci;
    float r, g, b;
};

// Okabe and Ito's colours; their grey levels (0.30 R + 0.59 G + 0.11 B)
// run from 0.34 (blue) to 0.84 (yellow).
constexpr Rgb kPalette[] = {
    {kOrange, 0.902f, 0.624f, 0.0f},        {kSkyBlue, 0.337f, 0.706f, 0.914f},
    {kBluishGreen, 0.0f, 0.620f, 0.451f},   {kYellow, 0.941f, 0.894f, 0.259f},
    {kBlue, 0.0f, 0.447f, 0.698f},          {kVermillion, 0.835f, 0.369f, 0.0f},
    {kReddishPurple, 0.8f, 0.475f, 0.655f},
};

std::function<bool(long)> within(long lo, long hi) {
    return [lo, hi](long v) { return v >= lo && v <= hi; };
}

// The prompts line up their answers in one column.
std::string prompt(const std::string& what, int highest) {
    std::string p = " " + what + " (1-" + std::to_string(highest) + "):";
    p.resize(37, ' ');
    return p;
}

}  // namespace

void definePalette(Plot& plot) {
    for (const Rgb& c : kPalette) plot.scr(c.ci, c.r, c.g, c.b);
}

std::array<float, 3> paletteRgb(int ci) {
    for (const Rgb& c : kPalette)
        if (c.ci == ci) return {c.r, c.g, c.b};
    return {0.0f, 0.0f, 0.0f};
}

void showColours(Console& con) {
    con.line(" Colours: 1 black, 2 red, 3 green, 4 blue, 5 cyan, 6 magenta, 7 yellow,");
    con.line("  8 orange, 9 yellow-green, 10 green-cyan, 11 blue-cyan, 12 blue-magenta,");
    con.line("  13 red-magenta, 14 dark grey, 15 light grey; and apart also in grey print");
    con.line("  and to colour-blind eyes: 16 orange, 17 sky blue, 18 bluish green,");
    con.line("  19 yellow, 20 blue, 21 vermillion, 22 reddish purple.");
}

int askColour(Console& con) { return static_cast<int>(con.askInt(prompt("Colour index", kMaxColour), 2, within(1, kMaxColour))); }

int askLineWidth(Console& con) {
    return static_cast<int>(con.askInt(prompt("Line width", kMaxLineWidth), 3, within(1, kMaxLineWidth)));
}

int askLineStyle(Console& con) {
    return static_cast<int>(con.askInt(prompt("Line style", kMaxLineStyle), 1, within(1, kMaxLineStyle)));
}

}  // namespace annotate
