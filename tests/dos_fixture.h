// Small DOS input files made in memory for the tests, and a console and
// recording plot to drive the dialogues.
#pragma once

#include <functional>
#include <sstream>
#include <string>

#include "common/console.h"
#include "common/fortran_format.h"
#include "fixtures.h"
#include "common/records.h"
#include "dos/core/buffers.h"
#include "dos/core/dos_input.h"

using namespace common;
using namespace dos;

namespace dostest {

struct Shape {
    int ntot = 3, nao = 1, nfmo = 0, ncoop = 1, ne = 5;
    // Value i (1 ... ne) of curve c (0 = the grid).
    std::function<float(int c, int i)> value = [](int c, int i) {
        return c == 0 ? static_cast<float>(i) - 3.0f : static_cast<float>(c) + 0.01f * static_cast<float>(i);
    };
    // Description line j of projection p of kind k (0 AO, 1 FMO, 2 COOP).
    std::function<std::string(int k, int p, int j)> desc = [](int k, int p, int j) {
        static const char* kinds[3] = {"ao", "fmo", "coop"};
        return std::string(kinds[k]) + " " + std::to_string(p) + " line " + std::to_string(j);
    };
    int lines = 2;  // description line count of every projection
};

inline std::string text(const Shape& s) {
    std::string t;
    t += fortran::I(s.ntot, 4) + fortran::I(s.nao, 4) + fortran::I(s.nfmo, 4) + fortran::I(s.ncoop, 4) + fortran::I(s.ne, 4) + "\n";
    for (int k = 0; k < 3; ++k) {
        for (int p = 0; p < 5; ++p) t += fortran::I(s.lines, 4);
        t += "\n";
    }
    for (int k = 0; k < 3; ++k)
        for (int p = 1; p <= 5; ++p)
            for (int j = 1; j <= 20; ++j) t += (j <= s.lines ? s.desc(k, p, j) : std::string()) + "\n";
    const int ncurves = curveCount(s.ntot, s.nao, s.nfmo, s.ncoop);
    for (int c = 0; c <= ncurves; ++c)
        for (int i = 1; i <= s.ne; ++i) t += fortran::F(s.value(c, i), 12, 5) + "\n";
    return t;
}

inline DosInput input(const Shape& s = Shape()) {
    Result<DosInput> in = readDosInput(RecordFile::fromText("fort.1", text(s)));
    if (!in) throw std::runtime_error(in.error());
    return *in;
}

using Session = fixture::Session;

// A new graph for the input, as at start-up.
inline DosGraph graphFor(const DosInput& in) {
    DosGraph g;
    initGraph(g, in);
    return g;
}

// Loads curve c into a panel as a curve request does after its question.
inline void load(const DosInput& in, DosGraph& g, Panel p, int c, float reqmax = 0, bool own = false) {
    if (!loadCurve(in, g, {p, c, reqmax}, own))
        throw std::runtime_error("curve " + std::to_string(c) + " not loaded");
}

}  // namespace dostest
