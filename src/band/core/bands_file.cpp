#include "band/core/bands_file.h"

#include "band/core/state.h"
#include "common/fortran_format.h"
#include "common/records.h"

namespace band {

using namespace common;

namespace {

// The block whose header is record `rec`; on success `rec` moves past it.
// A thousand bands do not fit three columns: when a digit follows in column
// 7 the count is read from columns 4 to 7.
Result<BandLine> readLine(const RecordFile& f, size_t& rec) {
    const std::string& head = f.record(rec);
    FieldCursor c(head);
    auto nk = c.I(3);
    const bool wide = head.size() > 6 && head[6] >= '0' && head[6] <= '9';
    auto nb = c.I(wide ? 4 : 3);
    if (!nk || !nb) return Failure{f.where(rec, "unreadable line header")};
    if (*nk < 1 || *nk > kGridPoints)
        return Failure{f.where(rec, "number of points outside 1 ... " + std::to_string(kGridPoints))};
    if (*nb < 0 || *nb > kMaxBands)
        return Failure{f.where(rec, "number of bands outside 0 ... " + std::to_string(kMaxBands))};
    BandLine line;
    line.npts = static_cast<int>(*nk);
    line.nbands = static_cast<int>(*nb);
    const size_t values = static_cast<size_t>(line.npts) * static_cast<size_t>(line.nbands);
    line.e.resize(values);
    for (size_t v = 0; v < values; ++v) {
        const size_t r = rec + 1 + v;  // band b, point i: header + (b - 1) NK + i
        if (!f.has(r)) return Failure{f.where(r, "missing energy (file ends inside a line)")};
        auto e = FieldCursor(f.record(r)).F(10, 5);
        if (!e) return Failure{f.where(r, "unreadable energy")};
        line.e[v] = static_cast<float>(*e);
    }
    rec += 1 + values;
    return line;
}

}  // namespace

std::string BandsFile::missing(int n, int shown) const {
    if (n <= static_cast<int>(lines.size())) return "";
    if (!stopped.empty()) return stopped;
    return name + ", record " + std::to_string(end_record) + ": ends after " + std::to_string(lines.size()) +
           " of " + std::to_string(shown) + " symmetry lines";
}

Result<BandsFile> readBandsFile(const std::string& path) {
    auto f = RecordFile::load(path);
    if (!f) return Failure{path + " could not be opened"};
    BandsFile bands;
    bands.name = f->name();
    auto count = f->has(1) ? FieldCursor(f->record(1)).I(2) : std::nullopt;
    if (!count) return Failure{f->where(1, "unreadable number of symmetry lines")};
    bands.count = static_cast<int>(*count);
    size_t rec = 2;
    while (f->has(rec)) {
        Result<BandLine> line = readLine(*f, rec);
        if (!line) {
            bands.stopped = line.error();
            break;
        }
        bands.lines.push_back(std::move(*line));
    }
    bands.end_record = rec;
    return bands;
}

std::string formatBandsCount(int nlines) { return fortran::I(nlines, 2) + "\n"; }

Result<std::string> formatBandLine(int npts, int nbands, int firstBand,
                                   const std::function<double(int, int)>& energy) {
    std::string block = fortran::I(npts, 3) + fortran::I(nbands, nbands >= 1000 ? 4 : 3) + "\n";
    for (int b = 1; b <= nbands; ++b)
        for (int p = 1; p <= npts; ++p) {
            const std::string field = fortran::F(energy(p, b), 10, 5);
            if (field.find('*') != std::string::npos)
                return Failure{"interpolated energies of band " + std::to_string(firstBand + b - 1) +
                               " do not fit the energy field of fort.2"};
            block += field;
            block += '\n';
        }
    return block;
}

}  // namespace band
