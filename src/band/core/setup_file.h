// The stored set-up: fort.4 while the set-up writes it, fort.3 afterwards
// (the same records, each 80 columns wide). A counts record, then per
// symmetry line a header and per k point its position in fort.1 and its
// band order.
#pragma once

#include <string>
#include <vector>

#include "common/error.h"
#include "common/records.h"

namespace band {

struct SetupBlock {
    int label = 0, nkl = 0, begin_ns = 0, end_ns = 0, drop_sel = 0, ns_incl = 0;
    std::vector<int> kfile;               // position 1..nkl at 0..nkl-1, display order
    std::vector<std::vector<int>> order;  // band_order(1..nbands) per position
    size_t headerRecord = 0;              // record number of the header in its file
};

struct SetupFile {
    int nbands = 0, nlower = 0, ninterp = 0;
    std::vector<SetupBlock> blocks;
};

// Order records per k point: nbands div 20 full records, one more for the rest.
inline int orderRecords(int nbands) { return nbands / 20 + (nbands % 20 != 0 ? 1 : 0); }
// Records of one line block: header + nkl x (position + order records).
inline int blockRecords(int nkl, int nbands) { return 1 + nkl * (1 + orderRecords(nbands)); }

// The counts record "(3I4)", as a set-up without blocks.
common::Result<SetupFile> readSetupCounts(const common::RecordFile& file);
// The line block whose header is record `header`, for `nbands` bands.
common::Result<SetupBlock> readSetupBlock(const common::RecordFile& file, size_t header, int nbands);
// The counts and every block (nbands 0: the counts record's); fails at the
// first block that cannot be read.
common::Result<SetupFile> parseSetup(const common::RecordFile& file, int nbands = 0);

// One line of the stored set-up as the interpolation takes it: its label
// (0 when not even the header could be read) and its block, or why the
// block cannot be read.
struct SetupLine {
    int label = 0;
    common::Result<SetupBlock> block = common::Failure{""};
};
struct StoredLines {
    SetupFile counts;
    std::vector<SetupLine> lines;
};
// The counts record and the first `nlines` line blocks of fort.3. A damaged
// block costs only its own line: reading goes on with the block after it
// (or with the next record when its header cannot be read). Fails only when
// the counts record cannot be read.
common::Result<StoredLines> readSetupLines(const common::RecordFile& fort3, int nlines);

std::string formatSetupCounts(int nbands, int nlower, int ninterp);  // "(3I4)"
std::string formatSetupBlock(const SetupBlock& block, int nbands);    // header, positions, orders
// tlcopy: every record of fort.4 written 80 columns wide.
std::string padRecordsTo80(const std::string& text);
// The whole stored set-up as the set-up writes it: the counts, then each
// line's block, every record 80 columns wide.
std::string formatSetup(const SetupFile& setup);

}  // namespace band
