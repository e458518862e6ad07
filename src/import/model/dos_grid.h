// Curves on an energy grid: running integrals by the trapezoid rule, the
// total energy as the running integral of E n(E), even resampling of a fine
// grid onto at most the points the DOS program holds, and the electron count
// at an energy.
#pragma once

#include <vector>

namespace importer {


// I(E_i): the trapezoid integral of y from E_1 to E_i (I(E_1) = 0).
std::vector<double> runningIntegral(const std::vector<double>& e, const std::vector<double>& y);

// The running integral of E n(E).
std::vector<double> energyIntegral(const std::vector<double>& e, const std::vector<double>& n);

// An even grid of `points` energies from e.front() to e.back().
std::vector<double> evenGrid(const std::vector<double>& e, int points);

// A curve on the grid `coarse` (ascending, within e): at each point the mean
// of y over its cell (the half-way points to its neighbours, half cells at
// the ends), taken from the running integral of y. The trapezoid integral of
// the result over the whole coarse grid equals that of y over e.
std::vector<double> resampleCurve(const std::vector<double>& e, const std::vector<double>& y,
                                  const std::vector<double>& coarse);

// An integral curve on `coarse`: its value at each point, linearly interpolated.
std::vector<double> resampleIntegral(const std::vector<double>& e, const std::vector<double>& integral,
                                     const std::vector<double>& coarse);

// The value of a curve at energy x by linear interpolation, held constant
// beyond the ends of the grid.
double valueAt(const std::vector<double>& e, const std::vector<double>& y, double x);

}  // namespace importer
