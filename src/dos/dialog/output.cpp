#include "dos/dialog/output.h"

#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"
#include "common/publication.h"
#include "dos/draw/drawing.h"

namespace dos {

using namespace common;
using annotate::FreeText;

namespace {
// PDF, PNG and SVG are made from the colour PostScript written to the EPS name.
const char* const kDevices[6][2] = {
    {"morvane.eps/PS   ", "morvane.eps/VPS  "}, {"morvane.eps/CPS  ", "morvane.eps/VCPS "},
    {"morvane.plt/HPGL ", "morvane.plt/VHPGL"}, {"morvane.eps/CPS  ", "morvane.eps/VCPS "},
    {"morvane.eps/CPS  ", "morvane.eps/VCPS "}, {"morvane.eps/CPS  ", "morvane.eps/VCPS "},
};

// The picture the output type makes from its colour EPS: none for the
// PostScript types and HPGL.
std::optional<PictureKind> madeFromEps(int type) {
    switch (type) {
    case 4: return PictureKind::Pdf;
    case 5: return PictureKind::Png;
    case 6: return PictureKind::Svg;
    default: return std::nullopt;
    }
}
}  // namespace

void setGreyBrushes(Plot& plot) {
    // from light to darker, all well clear of the black lines drawn on them
    for (int ci = 2; ci <= kMaxBrush; ++ci) {
        const float grey = 0.92f - 0.04f * static_cast<float>(ci - 2);
        plot.scr(ci, grey, grey, grey);
    }
}

std::string outputDevice(int type, bool landscape) {
    return kDevices[type - 1][landscape ? 0 : 1];
}

void setLandscape(DosGraph& g) {
    const Box portrait = g.frame();
    const bool both = g.nd > 0 && g.nc > 0;
    const bool dosRight = g.dos_x > g.coop_x;
    g.page_w = 1.0f;
    g.page_h = kPortraitWidth;
    g.h = kLandscapePanelHeight;
    g.y0 = kLandscapePanelBottom;
    g.x0 = kLandscapeX0;
    g.w0 = kLandscapeWidth;
    g.dos_x = g.coop_x = g.x0;
    g.dos_w = g.coop_w = g.w0;
    if (both) {
        (dosRight ? g.dos_x : g.coop_x) = g.x0 + g.w0 / 2;
        g.dos_w = g.coop_w = g.w0 / 2;
    }
    // the free texts keep their place relative to the frame
    const Box landscape = g.frame();
    for (FreeText& t : g.texts) {
        t.x = landscape.x0 + (t.x - portrait.x0) * landscape.w / portrait.w;
        t.y = landscape.y0 + (t.y - portrait.y0) * landscape.h / portrait.h;
    }
}

void setPortraitPage(DosGraph& g) {
    g.page_w = kPageWidth;
    g.page_h = kPageHeight;
    g.w0 = kDefaultW0;
    g.h = kPanelHeight;
    g.x0 = kDefaultX0;
    g.y0 = kPanelBottom;
}

void generateOutput(Plot& plot, Console& con, const DosInput& in, DosGraph& g, int screen) {
    const int type = askMenu(con,
                             {"", " Output file options:", " (1) Gray scale postscript/encapsulated postscript",
                              " (2) Color postscript/encapsulated postscript", " (3) HPGL", " (4) PDF",
                              " (5) PNG", " (6) SVG", ""},
                             1, 1, true);
    const float dx = g.dos_x, dw = g.dos_w, cx = g.coop_x, cw = g.coop_w;
    const std::vector<FreeText> texts = g.texts;
    char o = ' ';
    while (o != 'P' && o != 'p' && o != 'L' && o != 'l') o = con.askChar(" Portrait or landscape plot (p/l)? ");
    const bool landscape = o == 'L' || o == 'l';
    if (landscape) setLandscape(g);
    const std::string device = outputDevice(type, landscape);
    const bool written = drawOnFileDevice(plot, device, screen, [&] {
        if (type == kGreyPostScript) setGreyBrushes(plot);
        mvrdrw(plot, in, g);
    });
    if (!written)
        con.line(" Output device " + fortran::trimRight(device) + " could not be opened; no output file written.");
    else if (type != 3)
        finishPostScript(con, device, madeFromEps(type));
    setPortraitPage(g);
    g.dos_x = dx;
    g.dos_w = dw;
    g.coop_x = cx;
    g.coop_w = cw;
    g.texts = texts;
    if (written) mvrdrw(plot, in, g);
}

}  // namespace dos
