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

#include "import/model/dos_projection.h"
#include "import/model/dos_source.h"

namespace importer {

struct Doscar {
    std::string path;
    int ions = 0;
    int spins = 1;
    double fermi = 0;
    std::vector<double> energy;
    std::vector<double> dos, idos;  // summed over the spins
    struct Channel {
        std::vector<double> dos, idos;
    } up, down;                 // of a spin-polarised run only
    std::vector<size_t> lines;  // the line of each total DOS row
    struct Ion {
        std::string orbitals;            // "s p d", "3s 3p_y 3p_z 3p_x"
        std::vector<std::string> names;  // the same, one per orbital
        int z = 0;                       // atomic number when the block names it, else 0
        std::vector<double> total;       // summed over orbitals and spins
        // per orbital: spin up (or the only channel), spin down (spin-polarised runs only)
        std::vector<std::vector<double>> up, down;
        std::vector<size_t> lines;  // the line of each row
    };
    std::vector<Ion> ion;  // empty when the file has no ion blocks
};

// Fails naming file and line on a damaged file.
common::Result<Doscar> readDoscar(const std::string& path);

// The total DOS of a VASP DOSCAR and its ions as AO projections, chosen,
// summed and split by spin as `choice` asks (dos_projection.h); `element`
// names the element of each ion (empty: unknown). Energies are absolute:
// made relative to `fermi` when given, else to the file's E_F. Fails when
// an ion asked for is not there, or a spin channel of a run without spin.
common::Result<DosSource> vaspSource(const Doscar& d, const Choice& choice, std::optional<double> fermi,
                                     const std::vector<std::string>& element = {});

// The AO projections of the ions of a DOSCAR: whole ions, or every orbital
// of every ion when `byOrbital`; spin summed, one channel, or both apart
// (Mirror).
std::vector<Projected> ionProjections(const Doscar& d, Spin spin, const std::vector<std::string>& element,
                                      bool byOrbital);

// The totals of `src` for `spin` (Both leaves them and notes a
// spin-polarised run); fails naming the file when a channel is asked of a
// run without spin.
common::Status doscarSpins(const Doscar& d, Spin spin, DosSource& src);

// The symbol of element z ("Si" for 14); "Z=z" beyond the table.
std::string elementSymbol(int z);

// The atomic number of an element symbol ("Si": 14); 0 when unknown.
int atomicNumber(const std::string& symbol);

}  // namespace importer
