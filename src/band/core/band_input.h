// The band program's files: the calculation's results fort.1 and fort.14,
// and the stored set-up fort.4/fort.3. Each file is read once into memory
// and checked; the record arithmetic of the layouts stays visible here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/records.h"

namespace band {

// The field of every energy and gradient of fort.1: F10.5.
constexpr int kLevelWidth = 10, kLevelDecimals = 5;
constexpr const char* kLevelField = "F10.5";
// The field of every k coordinate: F10.7; of every code: I3.
constexpr int kCoordinateWidth = 10, kCoordinateDecimals = 7;
constexpr const char* kCoordinateField = "F10.7";
constexpr int kMostCode = 999;

// One band record of fort.1: "(4F10.5,I4,10I3)".
struct BandRecord {
    float energy = 0;
    std::array<float, 3> grad{};
    std::array<int, 11> code{};  // code field 0 .. 10
};

// One membership record of fort.1: "(12I3)".
struct Membership {
    int label = 0;
    int nsel = 0;
    std::array<int, 10> sel{};
};

// One k point block of fort.1: nbands + 4 records.
struct KBlock {
    std::array<float, 3> k{};
    std::array<Membership, 3> member{};
    std::vector<BandRecord> bands;  // 1..nbands stored at 0..nbands-1
};

struct BandInput {
    int nkpt = 0;
    int nbands = 0;
    std::vector<KBlock> blocks;  // block n (kfile) at index n-1

    const KBlock& block(int kfile) const { return blocks.at(static_cast<size_t>(kfile - 1)); }
    // Records per block and the first record of block n.
    int blockSize() const { return nbands + 4; }
    long firstRecordOf(int kfile) const { return static_cast<long>(kfile - 1) * blockSize() + 1; }
};

struct BandCounts {
    int nkpt = 0;
    int nbands = 0;
    // Third field 1: the gradients are the calculation's own slopes (an
    // import writes it), so a line is fitted through energies and slopes
    // unless the user asks otherwise; 0 or blank for every other fort.14.
    bool slopes = false;
};
// The counts of fort.14: "(6I6)", nkpt, nbands and the slopes mark.
common::Result<BandCounts> readCounts(const std::string& path);

// Reads fort.1 for the given counts; every record is checked. The failure
// is one line naming the file and the record.
common::Result<BandInput> readBandInput(const std::string& path, int nkpt, int nbands);
// The same for a file already in memory.
common::Result<BandInput> parseBandInput(const common::RecordFile& file, int nkpt, int nbands);

// The writers of the same two files, for the importers: every value is
// checked against its field first, a value that would print as asterisks is
// refused with the k point (and band) it belongs to.
// "(6I6)": nkpt, nbands, the slopes mark (1 or 0) and three unused zeros.
common::Result<std::string> formatBandCounts(int nkpt, int nbands, bool slopes = false);

// nkpt blocks of nbands + 4 records: "(3F10.7)", three "(12I3)", then one
// "(4F10.5,I4,10I3)" per band. The failure names the k point (and band).
common::Result<std::string> formatBandInput(const BandInput& input);

// The input as fort.1 holds it once formatBandInput has written it: every
// real as its field reads back, the same values parseBandInput reads from
// that text.
BandInput asWritten(const BandInput& input);


}  // namespace band
