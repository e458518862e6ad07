// The interpolated bands fort.2: a count record, then per symmetry line a
// header (points, band curves) and one energy per record, curve by curve.
// Written by the interpolation, read once per display.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/error.h"

namespace band {

// One line block: npts points of nbands curves, e[(b - 1) * npts + (p - 1)].
struct BandLine {
    int npts = 0;
    int nbands = 0;
    std::vector<float> e;
};

struct BandsFile {
    std::string name;
    int count = 0;                // the count record: line blocks announced
    std::vector<BandLine> lines;  // the blocks that could be read, in order
    // Where and why reading stopped before the end of the file (a damaged
    // block; the blocks before it are kept), naming file and record; empty
    // when every record was read.
    std::string stopped;
    size_t end_record = 0;        // the record after the last block read

    // Why line n (1 ...) cannot be drawn, or empty when it can.
    std::string missing(int n, int shown) const;
};

// Reads the whole file; fails only when it cannot be opened or its count
// record cannot be read.
common::Result<BandsFile> readBandsFile(const std::string& path);

// The count record alone (the number of line blocks announced), read
// without the blocks; fails when it is unreadable or below 0.
common::Result<int> readBandsCount(const std::string& path);

// The count record "(I2)".
std::string formatBandsCount(int nlines);
// One line block: the header "(2I3)" (a thousand curves take a fourth
// column) and the energies "(F10.5)" of curves 1 ... nbands, each given by
// energy(p, b). Fails, naming band firstBand + b - 1, when an energy does
// not fit its field.
common::Result<std::string> formatBandLine(int npts, int nbands, int firstBand,
                                   const std::function<double(int, int)>& energy);

}  // namespace band
