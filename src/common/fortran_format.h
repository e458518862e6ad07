// Number fields as the programs print and write them (gfortran edit
// descriptors), and as a typed answer or a record gives them. Nothing else in
// the programs formats or reads numbers by hand.
#pragma once

#include <optional>
#include <string>

namespace common {

namespace fortran {
std::string I(long v, int w);                 // Iw, right-justified, asterisks when too wide
std::string F(double v, int w, int d);        // Fw.d, leading 0 when it fits
// The same fields appended to `out`; appendF says whether v fits.
void appendI(std::string& out, long v, int w);
bool appendF(std::string& out, double v, int w, int d);
// The value the Fw.d field of v reads back as; nullopt when v does not fit.
std::optional<double> valueOfF(double v, int w, int d);
std::string D(double v, int w, int d);        // Dw.d, 0.ddddD+ee
std::string L(bool v);                        // L1: T or F
std::string A(const std::string& s, int w);   // Aw: cut or blank-padded to w
std::string trimRight(const std::string& s);  // without trailing blanks
// A number quoted in a message, as the user would type it: six significant
// digits, no trailing zeros ("0.1", "1e+30").
std::string general(double v);
}  // namespace fortran

// Fixed-width fields of one line (a typed answer or a record). Only the
// first w characters count; a short line is padded with blanks.
namespace field {
std::string columns(const std::string& line, int w);
// Iw: blanks ignored, all blank is 0, optional sign and digits.
std::optional<long> readInt(const std::string& text);
// Fw.d as typed at the console: blanks ignored, all blank is 0, a number
// without a decimal point is the whole number, exponents with E or D.
std::optional<double> readReal(const std::string& text);
}  // namespace field

}  // namespace common
