// Number fields as the programs print and write them (gfortran edit
// descriptors). Nothing else in the programs formats numbers by hand.
#pragma once

#include <string>

namespace common {

namespace fortran {
std::string I(long v, int w);                 // Iw, right-justified, asterisks when too wide
std::string F(double v, int w, int d);        // Fw.d, leading 0 when it fits
std::string D(double v, int w, int d);        // Dw.d, 0.ddddD+ee
std::string L(bool v);                        // L1: T or F
std::string A(const std::string& s, int w);   // Aw: cut or blank-padded to w
std::string trimRight(const std::string& s);  // without trailing blanks
}  // namespace fortran

}  // namespace common
