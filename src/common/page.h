// The page geometry both programs share, in fractions of the view surface
// (normalized device coordinates), and the sizes of the view surfaces.
#pragma once

#include <string>

namespace common {

// Portrait page: the screen and the portrait output files.
constexpr float kPortraitWidth = 0.707107f;  // 1 / sqrt 2: an A4 page in a square view surface
constexpr float kPortraitHeight = 1.0f;
// The frame (band diagram) or panel area (DOS graph) on a portrait page.
constexpr float kFrameX0 = 0.11785f;
constexpr float kFrameWidth = 0.58926f;
constexpr float kFrameY0 = 0.125f;
constexpr float kFrameHeight = 0.75f;

// Room a frame leaves right of it on the view surface, for the Fermi text
// written just outside its right edge.
constexpr float kFrameRightRoom = 0.08f;

// A rectangle of the view surface in normalized device coordinates: a frame,
// a panel, or the page window from the origin (0 ... w by 0 ... h).
struct Box {
    float x0 = 0, y0 = 0, w = 0, h = 0;
    float right() const { return x0 + w; }
    float top() const { return y0 + h; }
};

// How much of a box lies on a page (both from the page's origin): all of
// it, part of it, or nothing. A box whose edge lies on the page's edge, to
// a ten-thousandth of the view surface, is on it.
enum class OnPage { Whole, Part, Nothing };
inline OnPage onPage(const Box& b, const Box& page) {
    constexpr float slack = 1e-4f;
    if (b.x0 >= page.right() || b.right() <= page.x0 || b.y0 >= page.top() || b.top() <= page.y0)
        return OnPage::Nothing;
    const bool whole = b.x0 >= page.x0 - slack && b.right() <= page.right() + slack && b.y0 >= page.y0 - slack &&
                       b.top() <= page.top() + slack;
    return whole ? OnPage::Whole : OnPage::Part;
}

// The line that says where a part of a picture (`what`: "frame", "DOS
// panel") lies against its page, after `where` (the file and record that
// place it): "" when it is all on the page. A picture that cannot be made
// of it says "the frame lies outside the page" (`refusal`).
inline std::string placementLine(OnPage fit, const std::string& what, const std::string& where, bool refusal) {
    if (fit == OnPage::Whole) return "";
    if (refusal) return where + ": the " + what + " lies outside the page";
    if (fit == OnPage::Nothing) return where + ": nothing of the " + what + " is on the page";
    return where + ": part of the " + what + " lies outside the page";
}

// The weight of the frame, the tics and the data curves (bands, DOS curves)
// unless a layout gives a curve a width of its own: PGPLOT line width 3.
constexpr int kLineWidth = 3;

// Square view surfaces, inches: the screen window and the output files.
constexpr float kScreenInches = 7.5f;
constexpr float kPaperInches = 8.267f;

}  // namespace common
