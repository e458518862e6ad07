// Plain-word text markup (\GAMMA, \super, \arrowrgt, ...) translated into
// PGPLOT escapes and drawn. Every text either program draws goes through here.
#pragma once

#include <string>

namespace common {
class Plot;
}  // namespace common

namespace annotate {

// The 80-character translation of an 80-character marked-up line. Greek
// names are read in upper case, lower case or capitalised (\Gamma as
// \GAMMA); a name followed directly by more characters (\arrowupX) is
// translated and the rest kept as text.
std::string translateMarkup(const std::string& text);

// Draws `text` translated at (x, y) in the current window, at `angle` degrees;
// position 1 centres it, 2 puts its right end at the point, anything else its
// left end. Sets the character height to 1.0 first.
void tltrap(common::Plot& plot, const std::string& text, float x, float y, float angle, int position);

}  // namespace annotate
