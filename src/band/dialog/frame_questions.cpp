#include "band/core/layout_file.h"
#include "band/core/starter_layout.h"
#include "band/dialog/frame_questions.h"
#include "common/one_based.h"

#include <tuple>
#include <vector>

#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

void tlener(Console& con, float& emin, float& emax) {
    std::tie(emin, emax) = askRange(con, {.low = " Minimum energy in eV: ",
                                          .high = " Maximum energy in eV: ",
                                          .beforeEach = [&con] { con.line(); },
                                          .refused =
                                              [&con](float lo, float hi) {
                                                  con.line();
                                                  con.line(hi == lo ? " Error: Maximum and minimum energy are equal."
                                                                    : " Error: Maximum energy is lower than minimum.");
                                              },
                                          .refusal = energyWindowRefusal});
}

void tlsyml(Console& con, LinePos& p, float w, int n) {
    con.line();
    con.line(" Symmetry line lengths can be input as relative ratios.");
    std::vector<double> length;
    for (int l = 1; l <= n; ++l)
        length.push_back(con.askReal(" Length of symmetry line " + fortran::I(l, 2) + ": ", 10,
                                     [](double v) { return v > 0; }));
    linesInProportion(p, length, w);
}

}  // namespace band
