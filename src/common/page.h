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

// Square view surfaces, inches: the screen window and the output files.
constexpr float kScreenInches = 7.5f;
constexpr float kPaperInches = 8.267f;

}  // namespace common
