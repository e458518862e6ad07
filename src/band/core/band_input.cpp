#include "band/core/band_input.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "band/core/state.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

namespace {

bool fitsI(long v, int w) {
    char buf[24];
    return std::to_chars(buf, buf + sizeof buf, v).ptr - buf <= w;
}

// A value as a complaint shows it.
std::string real(double v) {
    const std::string s = fortran::F(v, 24, 5);
    return s.substr(s.find_first_not_of(' '));
}


Status readKBlock(const RecordFile& f, size_t first, int nbands, KBlock& b) {
    if (!f.has(first + static_cast<size_t>(nbands) + 3))
        return Failure{f.where(f.size() + 1, "file ends inside the k point block starting at record " +
                                                std::to_string(first))};
    {
        FieldCursor c(f.record(first));
        for (int j = 0; j < 3; ++j) {
            auto v = c.F(10, 7);
            if (!v) return Failure{f.where(first, "unreadable k point coordinates")};
            b.k[static_cast<size_t>(j)] = static_cast<float>(*v);
        }
    }
    for (int m = 0; m < 3; ++m) {
        size_t r = first + 1 + static_cast<size_t>(m);
        FieldCursor c(f.record(r));
        Membership& mem = b.member[static_cast<size_t>(m)];
        auto label = c.I(3);
        auto nsel = c.I(3);
        if (!label || !nsel) return Failure{f.where(r, "unreadable line membership record")};
        if (*label < 0 || *label > 999) return Failure{f.where(r, "line label outside 0 ... 999")};
        if (*nsel < 0 || *nsel > band::kMaxCodeFields)
            return Failure{f.where(r, "number of code fields " + std::to_string(*nsel) + " outside 0 ... 10")};
        mem.label = static_cast<int>(*label);
        mem.nsel = static_cast<int>(*nsel);
        for (int s = 0; s < 10; ++s) {
            auto v = c.I(3);
            if (!v) return Failure{f.where(r, "unreadable line membership record")};
            if (*v < 0 || *v > 10) return Failure{f.where(r, "code field index outside 0 ... 10")};
            mem.sel[static_cast<size_t>(s)] = static_cast<int>(*v);
        }
    }
    b.bands.assign(static_cast<size_t>(nbands), BandRecord{});
    for (int i = 0; i < nbands; ++i) {
        size_t r = first + 4 + static_cast<size_t>(i);
        FieldCursor c(f.record(r));
        BandRecord& br = b.bands[static_cast<size_t>(i)];
        auto e = c.F(kLevelWidth, kLevelDecimals);
        if (!e) return Failure{f.where(r, "unreadable band energy")};
        br.energy = static_cast<float>(*e);
        for (int j = 0; j < 3; ++j) {
            auto g = c.F(kLevelWidth, kLevelDecimals);
            if (!g) return Failure{f.where(r, "unreadable energy gradient")};
            br.grad[static_cast<size_t>(j)] = static_cast<float>(*g);
        }
        auto c0 = c.I(4);
        if (!c0) return Failure{f.where(r, "unreadable symmetry code")};
        br.code[0] = static_cast<int>(*c0);
        for (int j = 1; j <= 10; ++j) {
            auto v = c.I(3);
            if (!v) return Failure{f.where(r, "unreadable symmetry code")};
            br.code[static_cast<size_t>(j)] = static_cast<int>(*v);
        }
    }
    return {};
}

}  // namespace

Result<BandCounts> readCounts(const std::string& path) {
    auto f = RecordFile::load(path);
    if (!f) return Failure{path + ": cannot be opened"};
    if (!f->has(1)) return Failure{f->where(1, "missing counts record")};
    FieldCursor c(f->record(1));
    auto k = c.I(6);
    auto b = c.I(6);
    const auto mark = c.I(6);  // fields 3 to 6 are free for other writers: only a 1 marks slopes
    if (!k || !b) return Failure{f->where(1, "unreadable counts record")};
    if (*k < 1 || *k > 100000)
        return Failure{f->where(1, "number of k points " + std::to_string(*k) + " outside 1 ... 100000")};
    if (*b < 1 || *b > kMaxBands)
        return Failure{f->where(1, "number of bands " + std::to_string(*b) + " outside 1 ... 1000")};
    return BandCounts{static_cast<int>(*k), static_cast<int>(*b), mark == 1L};
}

Result<BandInput> readBandInput(const std::string& path, int nkpt, int nbands) {
    auto f = RecordFile::load(path);
    if (!f) return Failure{path + ": cannot be opened"};
    return parseBandInput(*f, nkpt, nbands);
}

Result<BandInput> parseBandInput(const RecordFile& f, int nkpt, int nbands) {
    BandInput input;
    input.nkpt = nkpt;
    input.nbands = nbands;
    // The blocks grow with the file: fort.14's count is only a claim on it.
    for (int n = 1; n <= nkpt; ++n) {
        Status block = readKBlock(f, static_cast<size_t>(input.firstRecordOf(n)), nbands, input.blocks.emplace_back());
        if (!block) return Failure{block.error()};
    }
    return input;
}

BandInput asWritten(const BandInput& input) {
    BandInput written = input;
    auto back = [](float& v, int w, int d) {
        if (const std::optional<float> b = common::readBack(v, w, d)) v = *b;
    };
    for (KBlock& b : written.blocks) {
        for (float& x : b.k) back(x, kCoordinateWidth, kCoordinateDecimals);
        for (BandRecord& r : b.bands) {
            back(r.energy, kLevelWidth, kLevelDecimals);
            for (float& g : r.grad) back(g, kLevelWidth, kLevelDecimals);
        }
    }
    return written;
}

Result<std::string> formatBandCounts(int nkpt, int nbands, bool slopes) {
    if (nkpt < 1 || !fitsI(nkpt, 6)) return Failure{"fort.14: number of k points " + std::to_string(nkpt) + " does not fit I6"};
    if (nbands < 1 || nbands > band::kMaxBands)
        return Failure{"fort.14: " + std::to_string(nbands) + " bands; the band program takes 1 ... " +
                               std::to_string(band::kMaxBands)};
    return fortran::I(nkpt, 6) + fortran::I(nbands, 6) + fortran::I(slopes ? 1 : 0, 6) + fortran::I(0, 6) + fortran::I(0, 6) + fortran::I(0, 6) + "\n";
}

Result<std::string> formatBandInput(const BandInput& in) {
    if (in.nbands < 1 || in.nbands > band::kMaxBands)
        return Failure{"fort.1: " + std::to_string(in.nbands) + " bands; the band program takes 1 ... " +
                               std::to_string(band::kMaxBands)};
    if (static_cast<int>(in.blocks.size()) != in.nkpt)
        return Failure{"fort.1: " + std::to_string(in.blocks.size()) + " k point blocks for " +
                               std::to_string(in.nkpt) + " k points"};
    std::string s;
    s.reserve(in.blocks.size() * (static_cast<size_t>(in.nbands) + 4) * 75);
    for (size_t n = 0; n < in.blocks.size(); ++n) {
        const KBlock& b = in.blocks[n];
        const std::string kp = "fort.1, k point " + std::to_string(n + 1);
        if (static_cast<int>(b.bands.size()) != in.nbands)
            return Failure{kp + ": " + std::to_string(b.bands.size()) + " band records for " +
                                   std::to_string(in.nbands) + " bands"};
        for (float c : b.k)
            if (!fortran::appendF(s, c, kCoordinateWidth, kCoordinateDecimals))
                return Failure{kp + ": coordinate " + real(c) + " does not fit " + kCoordinateField};
        s += "\n";
        for (const Membership& m : b.member) {
            if (m.label < 0 || !fitsI(m.label, 3))
                return Failure{kp + ": line label " + std::to_string(m.label) + " does not fit I3"};
            if (m.nsel < 0 || m.nsel > band::kMaxCodeFields)
                return Failure{kp + ": number of code fields " + std::to_string(m.nsel) + " outside 0 ... 10"};
            fortran::appendI(s, m.label, 3);
            fortran::appendI(s, m.nsel, 3);
            for (int v : m.sel) {
                if (v < 0 || v > band::kMaxCodeFields)
                    return Failure{kp + ": code field index " + std::to_string(v) + " outside 0 ... 10"};
                fortran::appendI(s, v, 3);
            }
            s += "\n";
        }
        float previous = -INFINITY;
        for (size_t i = 0; i < b.bands.size(); ++i) {
            const BandRecord& r = b.bands[i];
            auto where = [&] { return kp + ", band " + std::to_string(i + 1); };
            if (!fortran::appendF(s, r.energy, kLevelWidth, kLevelDecimals))
                return Failure{where() + ": energy " + real(r.energy) + " does not fit " + kLevelField};
            if (r.energy < previous) return Failure{where() + ": energies not in ascending order"};
            previous = r.energy;
            for (float g : r.grad)
                if (!fortran::appendF(s, g, kLevelWidth, kLevelDecimals))
                    return Failure{where() + ": gradient " + real(g) + " does not fit " + kLevelField};
            if (!fitsI(r.code[0], 4))
                return Failure{where() + ": code field 0 " + std::to_string(r.code[0]) + " does not fit I4"};
            fortran::appendI(s, r.code[0], 4);
            for (size_t j = 1; j < r.code.size(); ++j) {
                if (!fitsI(r.code[j], 3))
                    return Failure{where() + ": code field " + std::to_string(j) + " value " +
                                   std::to_string(r.code[j]) + " does not fit I3"};
                fortran::appendI(s, r.code[j], 3);
            }
            s += "\n";
        }
    }
    return s;
}


}  // namespace band
