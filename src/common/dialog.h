// The pieces every dialogue of both programs is made of: the program's
// frame (screen opened, end of input and stops caught), a numbered menu, a
// range question, and a picture drawn once more on a file device.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/error.h"
#include "common/publication.h"

namespace common {

class Console;
class Plot;

// Opens the screen device: $PGPLOT_DEV when set, else /XWINDOW; when that
// fails, says so on the console and opens /NULL. Returns the device id.
int openScreen(Plot& plot, Console& con);

// Reads a graphics cursor position in world coordinates starting at (x, y).
// On a device without a cursor the position is asked on the console:
// " Cursor position (x, y): " with two reals; the key is then a blank.
void readCursor(Plot& plot, Console& con, float& x, float& y, char& ch);

// The start-up both programs share: the screen device (see openScreen),
// no page prompts, white background, black foreground, the screen's view
// surface. Returns the screen's device id, selected.
int startScreen(Plot& plot, Console& con);

// Runs `dialogue` and returns its status. End of input prints " End of
// input." and gives status 1. The graphics are closed in every case.
int runDialogue(Plot& plot, Console& con, const std::function<int()>& dialogue);

// The highest option of a menu table: the largest n of the "(n)" or "( n)"
// its lines offer; 0 when there is none.
int highestOption(const std::vector<std::string>& lines);

// Prints the menu lines, then asks " Selection: " in an Iw field until the
// answer lies in lo ... highestOption(lines). With `wholeMenuAgain` an
// unusable answer brings back the whole menu, otherwise only the prompt.
int askMenu(Console& con, const std::vector<std::string>& lines, int width, int lo, bool wholeMenuAgain = false);

// A range question: the prompts of its lower and upper value, read in Fw.d
// fields of `width`. `beforeEach` runs before every pair of questions,
// `refused` after a pair whose upper value does not lie above the lower
// one. A pair for which `refusal` gives a line (a file could not keep it) is
// asked again after that line.
struct RangeQuestion {
    std::string low, high;
    int width = 10;
    std::function<void()> beforeEach = nullptr;
    std::function<void(float, float)> refused = nullptr;
    std::function<std::string(float, float)> refusal = nullptr;
};

// Asks the range until the upper value lies above the lower one.
std::pair<float, float> askRange(Console& con, const RangeQuestion& q);

// For the checks of Console::askReal and askInt: true when `why` is empty;
// otherwise prints it (the one-line reason) and gives false, so that the
// question is asked again.
bool acceptedUnless(Console& con, const std::string& why);

// Opens the file device (a PGPLOT device name such as
// "tarlisen.eps/VPS"), gives it the paper's square view surface, runs
// `draw` on it and closes it; then the screen device is selected again.
// False, with nothing drawn, when the device cannot be opened.
bool drawOnFileDevice(Plot& plot, const std::string& device, int screen, const std::function<void()>& draw);

// A picture without a dialogue: draws on the file device as
// drawOnFileDevice does, with /NULL standing in for the screen, and makes
// the picture `format` asks for from it (the box of the EPS into its
// header, PDF or PNG beside it). With `widthCm` (PostScript only) the
// picture is made that wide: `draw` draws on the Plot it is given, which
// sizes text and lines for that width (see sizesForWidth), and the EPS is
// scaled to it. The failure is one line.
Status writePictureFile(Plot& plot, const std::string& device, PictureFormat format,
                        const std::function<void(Plot&)>& draw, std::optional<double> widthCm = std::nullopt);

}  // namespace common
