// Writes the DOS input fort.1 from curves held in memory: the 304-record
// header, the energy grid and every curve, one F12.5 value per record, in
// the order the reader numbers them.
#pragma once

#include <string>
#include <vector>

#include "common/error.h"

namespace importer {

struct DosCurves {
    bool totals = false;  // density of states, its integral and the total energy present
    std::vector<float> energy;
    std::vector<float> dos, idos, etot;
    struct Projection {
        std::vector<std::string> description;  // at most 20 lines of 80 characters are kept
        std::vector<float> curve, integral;
    };
    std::vector<Projection> ao, fmo, coop;
};

// The whole file as text, or why it cannot be written: more energies or
// projections than the reader holds, a curve of the wrong length, an energy
// grid that does not ascend, or a value that does not fit F12.5 (named by
// its curve and point).
common::Result<std::string> formatDosInput(const DosCurves& curves);

}  // namespace importer
