// Band energies from Quantum ESPRESSO's bands.x: the band file (filband,
// header "&plot nbnd=..., nks=... /", per k point its Cartesian coordinates
// in 2 pi/alat and nbnd energies in eV, ten a line) and, written beside it
// when bands.x runs with lsym=.true., FILE.rap (header "&plot_rap
// nbnd_rap=..., nks_rap=... /", per k point the coordinates, T at a
// high-symmetry point, then one irreducible-representation number a band).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/error.h"
#include "import/model/k_vector.h"

namespace importer {

struct QeBands {
    int nbnd = 0;
    int nks = 0;
    std::vector<KVector> k;                // nks points
    std::vector<std::vector<double>> e;    // [k point][band], in the file's order
    std::vector<size_t> line;              // line of each k point's coordinates
};

struct QeRap {
    int nbnd = 0;
    int nks = 0;
    std::vector<KVector> k;
    std::vector<bool> high;                // marked T: a high-symmetry point
    std::vector<std::vector<int>> rap;     // [k point][band]; -1 or 0 where unknown
    std::vector<size_t> line;              // line of each k point's coordinates
};

// Parse the text of a band file or a .rap file; `name` is the file named in
// the complaints ("NAME, line N: what").
common::Result<QeBands> parseQeBands(const std::string& name, const std::string& text);
common::Result<QeRap> parseQeRap(const std::string& name, const std::string& text);

// The same, from a file; the complaint names the file when it cannot be read.
common::Result<QeBands> readQeBands(const std::string& path);
common::Result<QeRap> readQeRap(const std::string& path);

// The .rap must describe the same k points and band count as the band file.
common::Status checkRapMatches(const QeBands& bands, const QeRap& rap, const std::string& rapName);

}  // namespace importer
