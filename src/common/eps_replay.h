// PDF, PNG and SVG made in the program from the colour EPS PGPLOT wrote.
// The EPS is read into drawing operations (readEps: a pure reader of the
// small PostScript dialect of PGPLOT's prolog, its page set-up and its
// markers), which renderPicture then draws: the SVG with cairo, the PDF
// as its own page description, the PNG with the strokes of round ends as
// the pixels' coverage and the rest with cairo, encoded by PngEncoder.
// The EPS stays the one picture PGPLOT draws; everything made from it
// follows its bounding box.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "common/error.h"

namespace common {

enum class PictureKind { Pdf, Png, Svg };

// The resolution of the PNG.
constexpr double kPngDotsPerInch = 300;

// One step of a path, in points on the page (PostScript's axes: y up).
struct PathStep {
    enum Kind { Move, Line, Close, Circle } kind = Move;
    double x = 0, y = 0;
    double r = 0;  // Circle: a whole circle about (x, y), a subpath of its own
};

// A path stroked or filled in one colour, as PostScript's graphics state
// had it at the stroke or the fill.
struct Shape {
    std::vector<PathStep> path;
    bool fill = false;
    bool evenOdd = false;       // eofill
    double red = 0, green = 0, blue = 0;
    double width = 0;           // line width in points
    int cap = 0, join = 0;      // PostScript's setlinecap, setlinejoin

    // The width it is stroked at, in points: PostScript's 0, the thinnest
    // line the device draws, as one pixel of the PNG.
    double pen() const { return std::max(width, 72.0 / kPngDotsPerInch); }
};

// The drawing of an EPS: its bounding box (the high-resolution one where
// the head has it) and its shapes in the order they are drawn. A stroke
// that goes on from where the previous one ended, with the same pen and
// round ends, is joined to it: one polyline instead of many short ones,
// drawn exactly as they would be one by one.
struct EpsPicture {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::vector<Shape> shapes;
    double width() const { return x1 - x0; }
    double height() const { return y1 - y0; }
};

// Reads a PGPLOT EPS (`name` for the complaints): one line naming the file
// and, where it applies, the line of the file, for a text that is no
// PGPLOT PostScript, has no box in its head, uses an operator outside the
// dialect, lacks an operand or ends before its page is shown.
Result<EpsPicture> readEps(const std::string& text, const std::string& name);

// Draws the picture into `out` as a PDF page (pdfPage) or an SVG (cairo)
// the size of its box, or a 300 dpi PNG of it, anti-aliased on white
// (lossless, encoded for speed); written to a temporary name and renamed
// when whole.
Status renderPicture(const EpsPicture& picture, const std::string& out, PictureKind kind);

// The PDF file of one page the size of the picture's box, its shapes
// written as the page's paths (renderPicture writes it); the failure says
// what went wrong, without a file name.
Result<std::string> pdfPage(const EpsPicture& picture);

// The pixels of a PNG of `points` at the resolution renderPicture uses.
int pngPixels(double points);

}  // namespace common
