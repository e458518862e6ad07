#include "band/core/setup_file.h"

#include <algorithm>

#include "band/core/state.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

Result<SetupFile> readSetupCounts(const RecordFile& f) {
    if (!f.has(1)) return Failure{f.where(1, "missing counts record")};
    FieldCursor c(f.record(1));
    auto b = c.I(4), l = c.I(4), i = c.I(4);
    if (!b || !l || !i) return Failure{f.where(1, "unreadable counts record")};
    if (*b < 1 || *b > kMaxBands || *l < 0 || *i < 1 || *l + *i > *b)
        return Failure{f.where(1, "band counts out of range")};
    SetupFile setup;
    setup.nbands = static_cast<int>(*b);
    setup.nlower = static_cast<int>(*l);
    setup.ninterp = static_cast<int>(*i);
    return setup;
}

Result<SetupBlock> readSetupBlock(const RecordFile& f, size_t header, int nbands) {
    size_t r = header;
    if (!f.has(r)) return Failure{f.where(r, "missing line header")};
    SetupBlock blk;
    blk.headerRecord = r;
    FieldCursor h(f.record(r));
    long v[6];
    for (long& x : v) {
        auto y = h.I(3);
        if (!y) return Failure{f.where(r, "unreadable line header")};
        x = *y;
    }
    if (v[1] < 1 || v[1] > kMaxLinePoints)
        return Failure{f.where(r, "number of k points on the line outside 1 ... 11")};
    blk.label = static_cast<int>(v[0]);
    blk.nkl = static_cast<int>(v[1]);
    blk.begin_ns = static_cast<int>(v[2]);
    blk.end_ns = static_cast<int>(v[3]);
    blk.drop_sel = static_cast<int>(v[4]);
    blk.ns_incl = static_cast<int>(v[5]);
    const std::string inside = "file ends inside the block of line " + std::to_string(blk.label);
    ++r;
    for (int k = 0; k < blk.nkl; ++k) {
        if (!f.has(r)) return Failure{f.where(r, inside)};
        auto kf = FieldCursor(f.record(r)).I(4);
        if (!kf) return Failure{f.where(r, "unreadable k point position")};
        blk.kfile.push_back(static_cast<int>(*kf));
        ++r;
        std::vector<int> row;
        row.reserve(static_cast<size_t>(nbands));
        for (int rec = 0; rec < orderRecords(nbands); ++rec, ++r) {
            if (!f.has(r)) return Failure{f.where(r, inside)};
            FieldCursor c(f.record(r));
            const int count = std::min(20, nbands - rec * 20);
            for (int j = 0; j < count; ++j) {
                auto o = c.I(4);
                if (!o) return Failure{f.where(r, "unreadable band order")};
                row.push_back(static_cast<int>(*o));
            }
        }
        blk.order.push_back(std::move(row));
    }
    return blk;
}

Result<SetupFile> parseSetup(const RecordFile& f, int nbands) {
    Result<SetupFile> setup = readSetupCounts(f);
    if (!setup) return setup;
    if (nbands <= 0) nbands = setup->nbands;
    for (size_t r = 2; f.has(r);) {
        Result<SetupBlock> block = readSetupBlock(f, r, nbands);
        if (!block) return Failure{block.error()};
        r += static_cast<size_t>(blockRecords(block->nkl, nbands));
        setup->blocks.push_back(std::move(*block));
    }
    return setup;
}

Result<StoredLines> readSetupLines(const RecordFile& fort3, int nlines) {
    Result<SetupFile> counts = readSetupCounts(fort3);
    if (!counts) return Failure{counts.error()};
    StoredLines stored;
    stored.counts = *counts;
    const int nbands = counts->nbands;
    size_t r = 2;
    for (int l = 1; l <= nlines; ++l) {
        SetupLine line;
        if (!fort3.has(r)) {
            line.block = Failure{fort3.where(r, "file ends before the block of this line")};
            stored.lines.push_back(std::move(line));
            continue;
        }
        line.block = readSetupBlock(fort3, r, nbands);
        FieldCursor c(fort3.record(r));
        auto label = c.I(3);
        auto nkl = c.I(3);
        if (label && nkl) line.label = static_cast<int>(*label);
        // the next block follows this one when its length can be told
        if (label && nkl && *nkl >= 1 && *nkl <= kMaxLinePoints)
            r += static_cast<size_t>(blockRecords(static_cast<int>(*nkl), nbands));
        else
            r += 1;
        stored.lines.push_back(std::move(line));
    }
    return stored;
}

std::string formatSetupCounts(int nbands, int nlower, int ninterp) {
    return fortran::I(nbands, 4) + fortran::I(nlower, 4) + fortran::I(ninterp, 4) + "\n";
}

std::string formatSetupBlock(const SetupBlock& b, int nbands) {
    std::string s = fortran::I(b.label, 3) + fortran::I(b.nkl, 3) + fortran::I(b.begin_ns, 3) +
                    fortran::I(b.end_ns, 3) + fortran::I(b.drop_sel, 3) + fortran::I(b.ns_incl, 3) + "\n";
    for (size_t k = 0; k < b.kfile.size(); ++k) {
        s += fortran::I(b.kfile[k], 4) + "\n";
        for (int j = 0; j < nbands; ++j) {
            s += fortran::I(b.order[k][static_cast<size_t>(j)], 4);
            if ((j + 1) % 20 == 0 || j + 1 == nbands) s += "\n";
        }
    }
    return s;
}

std::string padRecordsTo80(const std::string& text) {
    std::string out;
    RecordFile f = RecordFile::fromText("", text);
    for (size_t r = 1; r <= f.size(); ++r) out += fortran::A(f.record(r), 80) + "\n";
    return out;
}

std::string formatSetup(const SetupFile& setup) {
    std::string text = formatSetupCounts(setup.nbands, setup.nlower, setup.ninterp);
    for (const SetupBlock& b : setup.blocks) text += formatSetupBlock(b, setup.nbands);
    return padRecordsTo80(text);
}

}  // namespace band
