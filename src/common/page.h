// The page geometry both programs share, in fractions of the view surface
// (normalized device coordinates), and the sizes of the view surfaces.
#pragma once

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

// Square view surfaces, inches: the screen window and the output files.
constexpr float kScreenInches = 7.5f;
constexpr float kPaperInches = 8.267f;

}  // namespace common
