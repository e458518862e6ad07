// Band ordering along a symmetry line: connecting levels into bands by
// their symmetry codes, the per-band energy table, and the per-k-point
// permutations that the interpolation applies.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "band/core/state.h"
#include "band/core/band_input.h"
#include "band/core/setup_file.h"

namespace band {

// The 32-character symmetry code of one band record on a line: blanks, and
// for l = 1..nsel the code field sel(l) of the record as I3 in characters
// 3l-2 .. 3l. Indices outside 0..10 leave their columns blank.
std::string makeSymCode(const BandRecord& rec, int nsel, const std::array<int, kMaxCodeFields>& sel);

// Connects the interpolated levels nlower+1 .. nlower+ninterp of the k points
// after kfirst (in steps of kstep up to klast) to the bands of kfirst by equal
// symmetry codes. band_order at kfirst is left as it stands (normally the
// identity). Where a band's code cannot be followed the reference point moves
// on one step and is reset to the identity; the band's entries beyond it are
// cleared and the band is followed again from there.
void tlbsrt(BandTable<int>& band_order, int kfirst, int klast, int kstep, int nlower, int ninterp,
            const BandTable<std::string>& sym_code);

// energy_orig := energy_cur (positions 1..nbands, k points 1..nkl), then
// energy_cur(band_order(b,k), k) := energy_orig(b,k) for the interpolated levels.
void tlsrt2(BandTable<float>& energy_cur, BandTable<float>& energy_orig, const BandTable<int>& band_order,
            int nlower, int ninterp, int nbands, int nkl);
// The second half of tlsrt2: energy_cur(band_order(b,k), k) := energy_orig(b,k).
void energiesByBand(BandTable<float>& energy_cur, const BandTable<float>& energy_orig,
                    const BandTable<int>& band_order, int nlower, int ninterp, int nkl);

// Checks one band_order row of a stored line: 0 at positions outside
// nlower+1 .. nlower+ninterp, a permutation of that range inside it.
bool isOrderRow(const std::vector<int>& row, int nbands, int nlower, int ninterp);

// Checks the header of a stored line: begin_ns, end_ns and ns_incl 0 or 1,
// drop_sel 0 ... 3.
bool headerInRange(const SetupBlock& b);

// One permutation per k point of the block (nbands entries each). The first
// is all zeros (the reference point keeps its order). For a later k point,
// entry q is the position at that k point of the band that holds the q-th
// connected position of the first k point; positions count over all bands,
// lower bands included, and unused entries are 0.
std::vector<std::vector<int>> tsort(const SetupBlock& block, int nbands);

// The level (its record in the k point's block of fort.1, from 1) that
// carries band q (1 ... ninterp, the lowest interpolated band first) at k
// point i (1 ...) of a line, perms as tsort makes them: the one owner of
// the bands' order that the energies and every other value of a level follow.
inline int levelOfBand(const std::vector<std::vector<int>>& perms, int nlower, int i, int q) {
    const std::vector<int>& pi = perms[static_cast<size_t>(i - 1)];
    return pi[0] == 0 ? nlower + q : pi[static_cast<size_t>(q - 1)];
}

}  // namespace band
