// Whether a file the programs wrote is whole: it reads back completely with
// the programs' own readers (fort.2 by its record layout).
#pragma once

#include <string>

#include "band/core/graph.h"
#include "band/core/layout_file.h"
#include "band/core/band_input.h"
#include "band/core/setup_file.h"
#include "common/records.h"
#include "dos/core/layout_file.h"
#include "dos/core/graph.h"
#include "dos/core/dos_input.h"
#include "e2e_support.h"

using namespace common;
using namespace band;
using namespace dos;

namespace hostile {

// fort.2 as the interpolation writes it: a line count, then that many
// complete blocks of a header and npts x nb energies (lines left out have
// none and are not counted), and nothing after them.
inline bool wholeBands(const std::string& text) {
    RecordFile f = RecordFile::fromText("fort.2", text);
    if (!f.has(1)) return false;
    auto n = FieldCursor(f.record(1)).I(2);
    if (!n || *n < 0) return false;
    size_t r = 2;
    for (long l = 0; l < *n; ++l) {
        if (!f.has(r)) return false;
        FieldCursor h(f.record(r));
        auto npts = h.I(3), nb = h.I(3);
        if (!npts || !nb) return false;
        for (long v = 0; v < *npts * *nb; ++v)
            if (!f.has(r + 1 + static_cast<size_t>(v)) || !FieldCursor(f.record(r + 1 + static_cast<size_t>(v))).F(10, 5))
                return false;
        r += 1 + static_cast<size_t>(*npts * *nb);
    }
    return r == f.size() + 1;
}

inline bool wholeBandFile(const e2e::ScratchDir& dir, const std::string& name) {
    const std::string text = e2e::slurp(dir / name);
    if (name == "fort.2") return wholeBands(text);
    if (name == "fort.3") {
        return static_cast<bool>(parseSetup(RecordFile::fromText(name, text)));
    }
    if (name == "fort.15") {
        BandGraph g;
        return static_cast<bool>(parseLayout(RecordFile::fromText(name, text), g));
    }
    return !text.empty();
}

inline bool wholeDosFile(const e2e::ScratchDir& dir, const std::string& name) {
    const std::string text = e2e::slurp(dir / name);
    if (name != "fort.7") return !text.empty();
    auto f1 = RecordFile::load(std::string(SOURCE_DIR) + "/examples/si-dos/fort.1");
    if (!f1) return false;
    Result<DosInput> in = readDosInput(*f1);
    DosGraph g;
    return in && static_cast<bool>(parseLayout(RecordFile::fromText(name, text), *in, g));
}

}  // namespace hostile
