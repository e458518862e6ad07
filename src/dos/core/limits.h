// Capacities of the DOS program. Every table is sized by these; an input or
// layout file that asks for more is refused with a message.
#pragma once

namespace dos {

constexpr int kMaxEnergies = 900;      // energy points of the grid and of every curve
constexpr int kMaxProjections = 5;     // AO, FMO and COOP projections each
constexpr int kMaxDescLines = 20;      // description lines per projection block
constexpr int kDescWidth = 80;         // characters per description line
constexpr int kBuffersPerPanel = 8;    // DOS buffers 1-8, COOP buffers 9-16
constexpr int kBuffers = 2 * kBuffersPerPanel;
constexpr int kMaxTexts = 10;          // free texts
constexpr int kTitleWidth = 72;        // curve buffer titles
constexpr int kTextWidth = 80;         // axis titles and free texts
constexpr int kMaxLineType = 5;        // PGPLOT line styles 1-5
constexpr int kMaxBrush = 15;          // fill colour indices 1-15, 0 = none

}  // namespace dos
