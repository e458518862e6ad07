// The DOSCAR layout (written by VASP, and by LOBSTER as DOSCAR.lobster):
// five header lines, a line "Emax Emin NEDOS E_F weight", NEDOS rows
// "E DOS intDOS" (spin polarised: "E up down intup intdown"), then, when the
// run projected on the ions, one block per ion: a line repeating the grid
// line (LOBSTER adds "; Z= 14; 3s 3p_y ..."), NEDOS rows of E and orbital
// columns.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/dos_source.h"

namespace importer {

struct Doscar {
    std::string path;
    int ions = 0;
    int spins = 1;
    double fermi = 0;
    std::vector<double> energy;
    std::vector<double> dos, idos;  // summed over the spins
    std::vector<size_t> lines;      // the line of each total DOS row
    struct Ion {
        std::string orbitals;  // "s p d", "3s 3p_y 3p_z 3p_x"
        int z = 0;             // atomic number when the block names it, else 0
        std::vector<double> total;  // summed over orbitals and spins
        std::vector<size_t> lines;  // the line of each row
    };
    std::vector<Ion> ion;  // empty when the file has no ion blocks
};

// Fails naming file and line on a damaged file.
common::Result<Doscar> readDoscar(const std::string& path);

// The total DOS of a VASP DOSCAR and the ions `ions` (1-based; at most five)
// as AO projections. Energies are absolute: made relative to `fermi` when
// given, else to the file's E_F. Fails when an ion asked for is not there.
common::Result<DosSource> vaspSource(const Doscar& d, const std::vector<int>& ions, std::optional<double> fermi);

// The symbol of element z ("Si" for 14); "Z=z" beyond the table.
std::string elementSymbol(int z);

}  // namespace importer
