// Pictures for publication. PGPLOT writes the bounding box of its PostScript
// at the end of the file ("(atend)"), which croppers and LaTeX routes ignore:
// it is moved into the header once the device has closed. PDF, PNG and SVG
// are made from that EPS in the program (eps_replay.h), cropped to the
// drawing, a landscape picture upright; every file is written whole or not
// at all.
#pragma once

#include <optional>
#include <iosfwd>
#include <string>

#include "common/program_options.h"

#include "common/eps_replay.h"
#include "common/error.h"
#include "common/plot.h"

namespace common {

class Console;

// The EPS text with its "(atend)" header comments (bounding box, page
// bounding box, fonts, pages) filled from the trailer, which loses them,
// and a %%HiResBoundingBox after the box. A text with its box in the header
// comes back unchanged; one whose trailer lacks the box is refused
// (`name` names the file in the complaint).
Result<std::string> boxInHeader(const std::string& eps, const std::string& name);

// A landscape EPS of PGPLOT (its picture turned on a portrait page) turned
// upright: the picture unturned, "%%Orientation: Portrait" and every box of
// the head the landscape one, so that croppers and LaTeX show it upright
// and wide. Any other text comes back unchanged.
Result<std::string> uprightLandscape(const std::string& eps, const std::string& name);

// Rewrites the EPS file at `path` with boxInHeader and uprightLandscape, whole.
Status moveBoundingBoxToHeader(const std::string& path);

// The file name of a PGPLOT device string ("tarlisen.eps/CPS  " gives
// "tarlisen.eps") and the picture beside it ("tarlisen.pdf", ".png", ".svg").
std::string deviceFile(const std::string& device);
std::string pictureFile(const std::string& eps, PictureKind kind);

// Makes the PDF, the 300 dpi PNG or the SVG of the EPS (box in the header,
// upright) at `out`, cropped to the box: read by readEps, drawn by
// renderPicture. The failure is one line naming the file.
Status renderEps(const std::string& eps, const std::string& out, PictureKind kind);

// After a PostScript device closed: the box into the header of its file,
// then, when asked, the PDF, PNG or SVG beside it. The failure is one line;
// the EPS is kept whatever happens to the picture made from it.
Status publishPostScript(const std::string& device, std::optional<PictureKind> convert);

// publishPostScript, saying on the console, in one line, what went wrong.
void finishPostScript(Console& con, const std::string& device, std::optional<PictureKind> convert);

// A picture made for a given printed width (--width CM): it is drawn with
// character heights and line widths such that, the picture scaled to that
// width, the text is kTextPoints high (PGPLOT draws sub- and superscripts
// at 0.6 of it: 5.1 pt) at every width, and the thinnest line is at least
// kLeastLinePoints wide, the others in proportion to it; the EPS then
// carries that scale and a box that wide, and the PDF and SVG page and the
// PNG (at its 300 dpi) follow from it.
constexpr double kTextPoints = 8.5;
constexpr double kLeastLinePoints = 0.5;
constexpr double kLeastWidthCm = 4.0;
constexpr double kMostWidthCm = 50.0;

// The sizes for a picture whose drawing, `drawnPoints` wide as PGPLOT draws
// it, is shown `cm` wide, its thinnest stroke `thinnest` wide (PGPLOT line
// width); the drawing's content as `content` (see PictureSizes).
PictureSizes sizesForWidth(double drawnPoints, double cm, int thinnest, float content = 1.0f);

// The bounding box in the head of an EPS text (up to the end of its page
// set-up), the high-resolution one where there is one: false without one.
bool headBox(const std::string& eps, double box[4]);

// Whether the drawing of a PGPLOT EPS (its box in the head, not yet
// scaled) reaches an edge of the view surface, where PGPLOT cuts it off.
bool reachesSurfaceEdge(const std::string& eps);

// The width, in points, of the bounding box in the head of an EPS text;
// none when it has no box there.
std::optional<double> boxWidth(const std::string& eps);

// The EPS text scaled to be `cm` wide: the scale put before the page's own
// and every box of the head scaled with it. One without a box in its head
// is refused (`name` names the file).
Result<std::string> scaledToWidth(const std::string& eps, double cm, const std::string& name);

// The pictures an output file name asks for by its suffix: ".eps", ".plt"
// (HPGL), ".pdf", ".png", ".svg"; none for any other name.
enum class PictureFormat { Eps, Hpgl, Pdf, Png, Svg };
std::optional<PictureFormat> pictureFormat(const std::string& path);

// A graph menu's output device ("tarlisen.eps/VCPS ") writing to the name
// of `path` instead: its stem with the device's own suffix
// ("bands.pdf" gives "bands.eps/VCPS"), so PDF, PNG and SVG keep their EPS beside them.
std::string deviceNamed(const std::string& menuDevice, const std::string& path);

// A program's start with --output FILE [--width CM]: a usage error (status
// 2) when FILE names no picture of pictureFormat, or --width comes without
// --output, with an HPGL file, or is no number from kLeastWidthCm to
// kMostWidthCm, or --title comes without --output or is longer than a text
// line (80 characters); `s` as it is otherwise.
ProgramStart checkPictureOption(const std::string& name, ProgramStart s, std::ostream& err);

// The title --title gives the picture; "" without it.
std::string pictureTitle(const CommandLine& args);

// The width --width asks for, once checkPictureOption has let the command
// line through; none without it.
std::optional<double> pictureWidth(const CommandLine& args);

}  // namespace common
