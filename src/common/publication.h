// Pictures for publication. PGPLOT writes the bounding box of its PostScript
// at the end of the file ("(atend)"), which croppers and LaTeX routes ignore:
// it is moved into the header once the device has closed. PDF and PNG are
// made from that EPS by ghostscript, cropped to the drawing, a landscape
// picture turned upright; every file is written whole or not at all.
#pragma once

#include <optional>
#include <iosfwd>
#include <string>

#include "common/program_options.h"

#include "common/error.h"
#include "common/plot.h"

namespace common {

class Console;

enum class PictureKind { Pdf, Png };

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

// The ghostscript program found on PATH, or "" when there is none.
std::string findGhostscript();

// The file name of a PGPLOT device string ("tarlisen.eps/CPS  " gives
// "tarlisen.eps") and the picture beside it ("tarlisen.pdf").
std::string deviceFile(const std::string& device);
std::string pictureFile(const std::string& eps, PictureKind kind);

// Converts the EPS (box in the header) to PDF or to a 300 dpi PNG with
// anti-aliasing on white, cropped to the box; a landscape EPS
// ("%%Orientation: Landscape") gives an upright wide picture. ghostscript
// writes to a temporary name renamed to `out` only when it succeeded.
Status convertEps(const std::string& gs, const std::string& eps, const std::string& out, PictureKind kind);

// After a PostScript device closed: the box into the header of its file,
// then, when asked, the PDF or PNG beside it. The failure is one line
// (without ghostscript the EPS is kept).
Status publishPostScript(const std::string& device, std::optional<PictureKind> convert);

// publishPostScript, saying on the console, in one line, what went wrong.
void finishPostScript(Console& con, const std::string& device, std::optional<PictureKind> convert);

// A picture made for a given printed width (--width CM): it is drawn with
// character heights and line widths such that, the picture scaled to that
// width, text is at least kLeastTextPoints high and lines at least
// kLeastLinePoints wide; the EPS then carries that scale and a box that
// wide, and the PDF page and the PNG (at its 300 dpi) follow from it.
constexpr double kLeastTextPoints = 7.0;
constexpr double kLeastLinePoints = 0.5;
constexpr double kLeastWidthCm = 4.0;
constexpr double kMostWidthCm = 50.0;

// The sizes for a picture whose drawing, `drawnPoints` wide as PGPLOT draws
// it, is shown `cm` wide.
PictureSizes sizesForWidth(double drawnPoints, double cm);

// The width, in points, of the bounding box in the head of an EPS text;
// none when it has no box there.
std::optional<double> boxWidth(const std::string& eps);

// The EPS text scaled to be `cm` wide: the scale put before the page's own
// and every box of the head scaled with it. One without a box in its head
// is refused (`name` names the file).
Result<std::string> scaledToWidth(const std::string& eps, double cm, const std::string& name);

// The pictures an output file name asks for by its suffix: ".eps", ".plt"
// (HPGL), ".pdf", ".png"; none for any other name.
enum class PictureFormat { Eps, Hpgl, Pdf, Png };
std::optional<PictureFormat> pictureFormat(const std::string& path);

// A graph menu's output device ("tarlisen.eps/VCPS ") writing to the name
// of `path` instead: its stem with the device's own suffix
// ("bands.pdf" gives "bands.eps/VCPS"), so PDF and PNG keep their EPS beside them.
std::string deviceNamed(const std::string& menuDevice, const std::string& path);

// A program's start with --output FILE [--width CM]: a usage error (status
// 2) when FILE names no picture of pictureFormat, or --width comes without
// --output, with an HPGL file, or is no number from kLeastWidthCm to
// kMostWidthCm; `s` as it is otherwise.
ProgramStart checkPictureOption(const std::string& name, const std::string& usage, ProgramStart s,
                                std::ostream& err);

// The width --width asks for, once checkPictureOption has let the command
// line through; none without it.
std::optional<double> pictureWidth(const CommandLine& args);

}  // namespace common
