// The DOS graph: 16 curve buffers (DOS 1-8, COOP 9-16), the panel geometry,
// the common ranges and every annotation the graph menu has switched on.
// One DosGraph is owned by main and passed by reference.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "annotate/settings.h"
#include "common/page.h"
#include "dos/core/dos_input.h"
#include "dos/core/limits.h"

namespace dos {

enum class Panel { DOS = 1, COOP = 2 };

struct CurveBuffer {
    int curve = 0;           // curve number in fort.1
    int line_type = 1;       // PGPLOT line style 1-5
    int brush = 0;           // fill colour index 1-15, 0 = no fill
    int colour = 1;          // line colour index 1 ... annotate::kMaxColour
    int width = common::kLineWidth;  // PGPLOT line width 1 ... annotate::kMaxLineWidth, as heavy as the frame
    bool own_scale = false;  // drawn on its own range, outside the common one
    bool closed = false;     // closed down to the zero of the value axis
    float offset = 0;        // added to every value when drawn (DOS only)
    float min = 0, max = 0;  // the buffer's range
    std::string title = std::string(kTitleWidth, ' ');
    CurveValues values{};

    // The attributes a buffer starts with (start-up, "Create new", a slot
    // freed by a deletion).
    void resetAttributes() {
        line_type = 1;
        brush = 0;
        colour = 1;
        width = common::kLineWidth;
        own_scale = false;
        closed = false;
        offset = 0;
    }
};

// Display flags, one per option of the graph modification menu.
enum GraphFlag {
    kFlagBorder = 3,
    kFlagTics = 4,
    kFlagTitles = 5,
    kFlagText = 6,
    kFlagFermi = 10,
};
constexpr int kFlags = 13;

// Tic sides, one per axis.
enum TicAxis {
    kSideLeft = 0,
    kSideMiddle = 1,
    kSideRight = 2,
    kSideDosUpper = 3,
    kSideDosLower = 4,
    kSideCoopUpper = 5,
    kSideCoopLower = 6,
};
constexpr int kSides = 7;

// Portrait (screen) geometry, fractions of the view surface.
constexpr float kPageWidth = common::kPortraitWidth;
constexpr float kPageHeight = common::kPortraitHeight;
constexpr float kDefaultX0 = common::kFrameX0;
constexpr float kDefaultW0 = common::kFrameWidth;
constexpr float kPanelBottom = common::kFrameY0;
constexpr float kPanelHeight = common::kFrameHeight;

struct DosGraph {
    // geometry
    float page_w = kPageWidth, page_h = kPageHeight;
    float x0 = kDefaultX0, w0 = kDefaultW0;  // default panel left edge and width
    float y0 = kPanelBottom, h = kPanelHeight;
    float dos_x = kDefaultX0, dos_w = kDefaultW0;
    float coop_x = kDefaultX0, coop_w = kDefaultW0;

    // common ranges and the x range factor
    float dos_min = 1000.0f, dos_max = 0.0f, coop_max = 0.0f;
    float xfactor = 1.0f;

    // buffers: DOS slots 0 ... nd-1, COOP slots 8 ... 8+nc-1
    int nd = 0, nc = 0;
    std::array<CurveBuffer, kBuffers> buf;

    // energy axis
    float emin = 0, emax = 0;

    std::array<bool, kFlags> flags{};
    annotate::TicRange energy_tics, dos_tics, coop_tics;
    float dos_axis_min = 0, dos_axis_max = 0, coop_axis_max = 0;
    std::array<int, kSides> sides{};
    std::string dos_title = std::string(kTextWidth, ' ');
    std::string coop_title = std::string(kTextWidth, ' ');
    std::string energy_title = std::string(kTextWidth, ' ');
    std::string picture_title;  // marked up, centred above the frame; empty: none
    std::vector<annotate::FreeText> texts;
    float efermi = 0;
    bool fermi_line = false;
    annotate::LegendPlace legend;  // the curves named (graph menu option 15)
    // The calculation's Fermi energy (eV, absolute) the energies are
    // relative to, when the import recorded it.
    std::optional<float> source_fermi = std::nullopt;

    // Subintervals between labelled tics, held from one axis to the next.
    int nsub = 0;

    bool flag(int n) const { return flags[static_cast<size_t>(n - 1)]; }
    void setFlag(int n, bool v) { flags[static_cast<size_t>(n - 1)] = v; }

    // Buffer number 1-16 to its record.
    CurveBuffer& buffer(int b) { return buf[static_cast<size_t>(b - 1)]; }
    const CurveBuffer& buffer(int b) const { return buf[static_cast<size_t>(b - 1)]; }
    int count(Panel p) const { return p == Panel::DOS ? nd : nc; }
    // Number of the first buffer of a panel: 1 or 9.
    static int first(Panel p) { return p == Panel::DOS ? 1 : kBuffersPerPanel + 1; }
    // Number of the last buffer in use in a panel (first - 1 when it has none).
    int last(Panel p) const { return first(p) + count(p) - 1; }
    // Whether buffer b is in use: in a panel, up to its last one.
    bool inUse(long b) const {
        return (b >= first(Panel::DOS) && b <= last(Panel::DOS)) || (b >= first(Panel::COOP) && b <= last(Panel::COOP));
    }
    bool anyOwnScale(Panel p) const {
        for (int k = 0; k < count(p); ++k)
            if (buffer(first(p) + k).own_scale) return true;
        return false;
    }
    float yt() const { return y0 + h; }
    float xr() const { return x0 + w0; }
    common::Box frame() const { return {x0, y0, w0, h}; }
    common::Box page() const { return {0.0f, 0.0f, page_w, page_h}; }
    // A panel of curves and how many it holds.
    annotate::CurvePanel panel(Panel p) const {
        return p == Panel::DOS ? annotate::CurvePanel{{dos_x, y0, dos_w, h}, nd}
                               : annotate::CurvePanel{{coop_x, y0, coop_w, h}, nc};
    }
    annotate::AxisTitles titles() const { return {dos_title, coop_title, energy_title}; }
    // The tics and the side codes of the value axes below and above a panel.
    annotate::TicRange& valueTics(Panel p) { return p == Panel::DOS ? dos_tics : coop_tics; }
    const annotate::TicRange& valueTics(Panel p) const { return p == Panel::DOS ? dos_tics : coop_tics; }
    int& lowerSide(Panel p) { return sides[p == Panel::DOS ? kSideDosLower : kSideCoopLower]; }
    int& upperSide(Panel p) { return sides[p == Panel::DOS ? kSideDosUpper : kSideCoopUpper]; }
    int lowerSide(Panel p) const { return sides[p == Panel::DOS ? kSideDosLower : kSideCoopLower]; }
    int upperSide(Panel p) const { return sides[p == Panel::DOS ? kSideDosUpper : kSideCoopUpper]; }
};

// A new graph for the input: start geometry and counts, energy axis E(1) ... E(NE).
void initGraph(DosGraph& g, const DosInput& in);

}  // namespace dos
