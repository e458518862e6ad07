// The orbital character of the bands: fort.16, the weights of every level
// of fort.1 in a few groups of projections ("Fe d", "Si s"), written beside
// fort.1 by the importers, and those weights carried along the bands of the
// stored set-up onto the points of fort.2.
//
// fort.16: record 1 "(3I6)" the k points and bands (fort.14's) and the
// number of groups G (1 ... 6); records 2 ... G+1 "(A80)" the group names
// in the text markup; then for every k point block of fort.1, in its order,
// and every level of the block, lowest first, one record "(6F8.5)" with the
// G weights of that level (0 ... 1 each; the fields past G blank).
// Record of k point n, level b: G + 1 + (n - 1) nbands + b.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "band/core/band_input.h"
#include "band/core/setup_file.h"
#include "common/error.h"
#include "common/records.h"

namespace band {

constexpr int kMaxGroups = 6;
constexpr int kWeightWidth = 8, kWeightDecimals = 5;

struct CharacterFile {
    int nkpt = 0, nbands = 0;
    std::vector<std::string> names;  // G names, trailing blanks removed
    std::vector<float> w;            // ((n - 1) nbands + b - 1) G + g - 1

    int groups() const { return static_cast<int>(names.size()); }
    float weight(int kfile, int level, int group) const {
        return w[(static_cast<size_t>(kfile - 1) * static_cast<size_t>(nbands) + static_cast<size_t>(level - 1)) *
                     names.size() +
                 static_cast<size_t>(group - 1)];
    }
    long recordOf(int kfile, int level) const {
        return groups() + 1 + static_cast<long>(kfile - 1) * nbands + level;
    }
};

// fort.16 for the counts of fort.14; every record is checked, the failure
// names the file and the record.
common::Result<CharacterFile> parseCharacter(const common::RecordFile& file, int nkpt, int nbands);
// The writer for the importers: the failure names what does not fit.
common::Result<std::string> formatCharacter(const CharacterFile& c);

// The weights of one line of fort.2: w[((b - 1) npts + p - 1) G + g - 1]
// for band b (1 = the lowest interpolated one) at point p, group g.
struct LineCharacter {
    int npts = 0, nbands = 0, groups = 0;
    std::vector<float> w;

    float at(int p, int b, int g) const {
        return w[((static_cast<size_t>(b - 1) * static_cast<size_t>(npts) + static_cast<size_t>(p - 1)) *
                  static_cast<size_t>(groups)) +
                 static_cast<size_t>(g - 1)];
    }
    bool fits(int points, int bands) const { return npts == points && nbands == bands; }
};

// The groups and the weights of every line the set-up can join; empty (no
// groups) for bands without fort.16. Line l holds the l-th block of fort.3
// that could be read, as fort.2 holds the l-th that could be fitted.
struct BandCharacter {
    std::vector<std::string> names;
    std::vector<LineCharacter> lines;

    int groups() const { return static_cast<int>(names.size()); }
    // The weights of line l (from 1) when they go with a fort.2 block of
    // npts points and nbands bands; nullptr otherwise.
    const LineCharacter* line(int l, int npts, int nbands) const {
        if (l < 1 || l > static_cast<int>(lines.size())) return nullptr;
        const LineCharacter& c = lines[static_cast<size_t>(l - 1)];
        return c.fits(npts, nbands) ? &c : nullptr;
    }
};

// Weights at the k points of a line to its grid: a monotone cubic in the
// position x along the line (Fritsch and Carlson), so no overshoot, then
// kept within 0 ... 1; constant beyond the end points. x need not be
// sorted; two points at one place give nullopt.
std::optional<std::vector<double>> weightsOnGrid(const std::vector<double>& x, const std::vector<double>& v,
                                                 int npts);

// Every line of the stored set-up with the weights of its bands: the level
// that carries band q at each k point is the one the interpolation takes
// (levelOfBand), so a band keeps its character through the crossings the
// set-up joins. A line whose block cannot be read or whose k points cannot
// be placed is left out, as the interpolation leaves it out.
BandCharacter characterOfLines(const StoredLines& stored, const BandInput& input, const CharacterFile& weights);

// fort.16 of `dir` along the first `nlines` lines of its fort.3 (with
// fort.1 and fort.14): no groups when there is no fort.16; the failure
// names the file and record.
common::Result<BandCharacter> loadBandCharacter(int nlines, const std::string& dir = ".");

}  // namespace band
