#include "annotate/marks.h"

#include "annotate/markup.h"
#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"

namespace annotate {

using namespace common;

// The Fermi level as the starter layouts' energy titles name it (E - E_F).
const char* const kFermiText = "\\arrowlft E\\sub F \\endsub";

void selectPageWindow(Plot& plot, float a, float b) {
    plot.swin(0.0f, a, 0.0f, b);
    plot.svp(0.0f, a, 0.0f, b);
}

void tlbrdr(Plot& plot, const Box& frame) {
    const float x0 = frame.x0, y0 = frame.y0, w = frame.w, h = frame.h;
    plot.sci(1);
    plot.swin(0.0f, w, 0.0f, h);
    plot.svp(x0, x0 + w, y0, y0 + h);
    plot.sclp(0);  // on the viewport's edges: unclipped, as the frame
    plot.move(w, 0.0f);
    plot.draw(w, h);
    plot.draw(0.0f, h);
    plot.sclp(1);
}

void mvbrdr(Plot& plot, const CurvePanel& dos, const CurvePanel& coop) {
    plot.sls(1);
    const float y0 = dos.box.y0;
    const float top = y0 + dos.box.h;
    const float xs[2] = {dos.box.x0, coop.box.x0}, ws[2] = {dos.box.w, coop.box.w};
    const int ns[2] = {dos.curves, coop.curves};
    for (int k = 0; k < 2; ++k) {
        if (ns[k] < 1) continue;
        plot.swin(xs[k], xs[k] + ws[k], y0, top);
        plot.svp(xs[k], xs[k] + ws[k], y0, top);
        plot.sclp(0);  // on the viewport's edges: unclipped, as the frame
        plot.move(xs[k], top);
        plot.draw(xs[k] + ws[k], top);
        plot.draw(xs[k] + ws[k], y0);
        plot.sclp(1);
    }
}

namespace {
// Character height 1.0 on the square view surface of both programs, in the
// page window's units (1/40 of the surface).
constexpr float kCharHeight = 0.025f;
// The arrow of the Fermi text stands this far above its baseline: the
// baseline lies so much below the level the arrow points at.
constexpr float kArrowHeight = 0.35f * kCharHeight;
// The Fermi text begins this far right of the frame, clear of outward tics.
constexpr float kFermiGap = 0.6f * kCharHeight;
// The marks of the level on the frame edges, without the dashed line.
constexpr float kFermiMarkLength = 0.8f * kCharHeight;
// The baseline of a title below a panel lies so far below the panel: clear
// of the numbers of a lower axis (their baseline 1.2 character heights down)
// with a superscript of its own.
constexpr float kTitleDrop = 3.0f * kCharHeight;
// The baseline of the picture's title above the frame: clear of the
// numbers of an upper axis.
constexpr float kTitleRise = 2.2f * kCharHeight;

// A short mark at `level` from the edge at x inwards by `length` (negative:
// to the left), drawn in view-surface coordinates.
void edgeMark(Plot& plot, float x, float level, float length) {
    plot.move(x, level);
    plot.draw(x + length, level);
}
}  // namespace

void tlfrmi(Plot& plot, const EnergyFrame& frame, const Box& page, const FermiMark& fermi) {
    (void)page;
    const Box& b = frame.box;
    const float emin = frame.emin, emax = frame.emax, efermi = fermi.energy;
    if (!(efermi >= emin && efermi <= emax)) return;  // outside a narrowed window: no marker
    const float level = b.y0 + b.h * (efermi - emin) / (emax - emin);
    // Outside the frame, just right of its right edge, the arrow at the
    // level: no band or curve lies there. The whole view surface is the
    // window, so that a text right of a portrait page is not clipped away.
    selectPageWindow(plot, 1.0f, 1.0f);
    plot.sci(1);
    const float scale = plot.textScale();
    tltrap(plot, kFermiText, b.right() + kFermiGap * scale, level - kArrowHeight * scale, 0.0f, 0);
    if (!fermi.line) {
        plot.sls(1);
        edgeMark(plot, b.x0, level, kFermiMarkLength);
        edgeMark(plot, b.right(), level, -kFermiMarkLength);
        return;
    }
    plot.swin(0.0f, b.w, emin, emax);
    plot.svp(b.x0, b.right(), b.y0, b.top());
    plot.sls(2);
    plot.move(0.0f, efermi);
    plot.draw(b.w, efermi);
    plot.sls(1);
}

void askFermi(Console& con, float emin, float emax, bool emptyLineFirst, float& efermi, bool& line) {
    if (emptyLineFirst) con.line();
    efermi = static_cast<float>(
        con.askReal(" Fermi energy: ", 10, [&](double v) { return v >= emin && v <= emax; }));
    line = con.askYesNo(" Mark with line? (y/n) ");
}

void drawFreeTexts(Plot& plot, float a, float b, const std::vector<FreeText>& texts) {
    selectPageWindow(plot, a, b);
    for (const FreeText& t : texts) tltrap(plot, t.text, t.x, t.y, t.angle, t.pos);
}

namespace {
// The coordinates a free text's position is given in, as the prompt says.
std::string pageCoordinates(const Box& page) {
    auto n = [](float v) {
        std::string s = fortran::F(v, 5, 2);
        return s.substr(s.find_first_not_of(' '));
    };
    return " (Page coordinates from its lower left corner: x 0 ... " + n(page.w) + " across, y 0 ... " + n(page.h) +
           " up.)";
}
}  // namespace

void enterFreeTexts(Plot& plot, Console& con, const Box& page, std::vector<FreeText>& texts,
                    size_t capacity, const std::function<std::string(float)>& refusal) {
    auto why = [&refusal](float v) { return refusal ? refusal(v) : std::string(); };
    selectPageWindow(plot, page.w, page.h);
    for (;;) {
        if (texts.size() >= capacity) {
            con.line(" The text table is full (" + std::to_string(capacity) + " texts).");
            return;
        }
        FreeText t;
        t.text = con.askLabel(" Text: ", 80);
        bool visible = false;
        for (char c : t.text)
            if (static_cast<unsigned char>(c) > ' ') visible = true;
        if (!visible) return;
        t.pos = static_cast<int>(con.askInt(" Position (left=0, center=1, right=2): ", 2,
                                            [](long v) { return v >= 0 && v <= 2; }));
        t.angle = static_cast<float>(con.askReal(
            " Text angle: ", 10, [&](double v) { return acceptedUnless(con, why(static_cast<float>(v))); }));
        for (;;) {
            con.line(" Position mouse pointer, then type any key.");
            con.line(pageCoordinates(page));
            float x = 0.5f, y = 0.5f;
            char ch = ' ';
            readCursor(plot, con, x, y, ch);
            t.x = x;
            t.y = y;
            const bool onPage = x >= 0.0f && x <= page.w && y >= 0.0f && y <= page.h;
            const std::string refused =
                !onPage ? " That position lies off the page; the text would not be seen."
                        : (why(x).empty() ? why(y) : why(x));
            if (refused.empty()) break;
            con.line(refused);
        }
        texts.push_back(t);
        tltrap(plot, t.text, t.x, t.y, t.angle, t.pos);
    }
}

void mvtitl(Plot& plot, const CurvePanel& dos, const CurvePanel& coop, float x0, const AxisTitles& titles) {
    const float y0 = dos.box.y0, h = dos.box.h;
    const float below = y0 - kTitleDrop * plot.textScale();
    plot.swin(0.0f, 1.0f, 0.0f, 1.0f);
    plot.svp(0.0f, 1.0f, 0.0f, 1.0f);
    if (dos.curves > 0) tltrap(plot, titles.dos, dos.box.x0 + 0.5f * dos.box.w, below, 0.0f, 1);
    if (coop.curves > 0) tltrap(plot, titles.coop, coop.box.x0 + 0.5f * coop.box.w, below, 0.0f, 1);
    tltrap(plot, titles.energy, energyTitleX(x0, plot.textScale()), y0 + 0.5f * h, 90.0f, 1);
}

float energyTitleX(float frameX0, float textScale) {
    // at the text's own size a fifth of the margin from the surface's edge;
    // larger text moves it out by the growth of the room the numbers and
    // the title take, about four character heights
    constexpr float kTitleRoom = 3.8f * kCharHeight;
    return 0.2f * frameX0 - kTitleRoom * (textScale - 1.0f);
}

void drawPictureTitle(Plot& plot, const std::string& title, const Box& frame) {
    if (title.find_first_not_of(' ') == std::string::npos) return;
    selectPageWindow(plot, 1.0f, 1.0f);
    plot.sci(1);
    tltrap(plot, title, frame.x0 + 0.5f * frame.w, frame.top() + kTitleRise * plot.textScale(), 0.0f, 1);
}

}  // namespace annotate
