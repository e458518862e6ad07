#include "band/core/bands_file.h"

#include <fstream>

#include "band/core/state.h"
#include "common/fortran_format.h"
#include "common/records.h"

namespace band {

using namespace common;

namespace {

// The block whose header is the next record of `in`; on success `in` stands
// after it. A thousand bands do not fit three columns: when a digit follows
// in column 7 the count is read from columns 4 to 7. fort.2 holds up to half
// a million records: they are read one after the other, never all held.
Result<BandLine> readLine(const std::string& name, RecordCursor& in) {
    std::string head;
    in.next(head);
    const size_t rec = in.number();
    FieldCursor c(head);
    auto nk = c.I(3);
    const bool wide = head.size() > 6 && head[6] >= '0' && head[6] <= '9';
    auto nb = c.I(wide ? 4 : 3);
    if (!nk || !nb) return Failure{recordWhere(name, rec, "unreadable line header")};
    if (*nk < 1 || *nk > kGridPoints)
        return Failure{recordWhere(name, rec, "number of points outside 1 ... " + std::to_string(kGridPoints))};
    if (*nb < 0 || *nb > kMaxBands)
        return Failure{recordWhere(name, rec, "number of bands outside 0 ... " + std::to_string(kMaxBands))};
    BandLine line;
    line.npts = static_cast<int>(*nk);
    line.nbands = static_cast<int>(*nb);
    const size_t values = static_cast<size_t>(line.npts) * static_cast<size_t>(line.nbands);
    line.e.resize(values);
    std::string r;
    for (size_t v = 0; v < values; ++v) {
        // band b, point i: record header + (b - 1) NK + i
        if (!in.next(r)) return Failure{recordWhere(name, rec + 1 + v, "missing energy (file ends inside a line)")};
        auto e = FieldCursor(r).F(10, 5);
        if (!e) return Failure{recordWhere(name, rec + 1 + v, "unreadable energy")};
        line.e[v] = static_cast<float>(*e);
    }
    return line;
}

}  // namespace

std::string BandsFile::missing(int n, int shown) const {
    if (n <= static_cast<int>(lines.size())) return "";
    if (!stopped.empty()) return stopped;
    return name + ", record " + std::to_string(end_record) + ": ends after " + std::to_string(lines.size()) +
           " of " + std::to_string(shown) + " symmetry lines";
}

Result<int> readBandsCount(const std::string& path) {
    std::ifstream f(path);
    if (!f) return Failure{path + " could not be opened"};
    std::string first;
    auto n = std::getline(f, first) ? FieldCursor(first).I(2) : std::nullopt;
    if (!n || *n < 0) return Failure{recordWhere(path, 1, "unreadable line count")};
    return static_cast<int>(*n);
}

Result<BandsFile> readBandsFile(const std::string& path) {
    const std::optional<std::string> text = readWholeFile(path);
    if (!text) return Failure{path + " could not be opened"};
    BandsFile bands;
    bands.name = path;
    RecordCursor in(*text);
    std::string first;
    auto count = in.next(first) ? FieldCursor(first).I(2) : std::nullopt;
    if (!count) return Failure{recordWhere(path, 1, "unreadable number of symmetry lines")};
    bands.count = static_cast<int>(*count);
    while (in.more()) {
        Result<BandLine> line = readLine(path, in);
        if (!line) {
            bands.stopped = line.error();
            break;
        }
        bands.lines.push_back(std::move(*line));
    }
    bands.end_record = in.number() + 1;
    return bands;
}

std::string formatBandsCount(int nlines) { return fortran::I(nlines, 2) + "\n"; }

Result<std::string> formatBandLine(int npts, int nbands, int firstBand,
                                   const std::function<double(int, int)>& energy) {
    std::string block = fortran::I(npts, 3) + fortran::I(nbands, nbands >= 1000 ? 4 : 3) + "\n";
    block.reserve(block.size() + static_cast<size_t>(std::max(0, nbands)) * static_cast<size_t>(std::max(0, npts)) * 11);
    for (int b = 1; b <= nbands; ++b)
        for (int p = 1; p <= npts; ++p) {
            if (!fortran::appendF(block, energy(p, b), 10, 5))
                return Failure{"interpolated energies of band " + std::to_string(firstBand + b - 1) +
                               " do not fit the energy field of fort.2"};
            block += '\n';
        }
    return block;
}

}  // namespace band
