#include "band/core/band_input.h"

#include <algorithm>
#include <cmath>

#include "band/core/state.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

namespace {

bool fitsF(double v, int w, int d) { return fortran::F(v, w, d).find('*') == std::string::npos; }
bool fitsI(long v, int w) { return fortran::I(v, w).find('*') == std::string::npos; }

// A value as a complaint shows it.
std::string real(double v) {
    const std::string s = fortran::F(v, 24, 5);
    return s.substr(s.find_first_not_of(' '));
}

bool fail(std::string& error, const RecordFile& f, size_t rec, const std::string& what) {
    error = f.where(rec, what);
    return false;
}

bool readKBlock(const RecordFile& f, size_t first, int nbands, KBlock& b, std::string& error) {
    if (!f.has(first + static_cast<size_t>(nbands) + 3))
        return fail(error, f, f.size() + 1, "file ends inside the k point block starting at record " +
                                                std::to_string(first));
    {
        FieldCursor c(f.record(first));
        for (int j = 0; j < 3; ++j) {
            auto v = c.F(10, 7);
            if (!v) return fail(error, f, first, "unreadable k point coordinates");
            b.k[static_cast<size_t>(j)] = static_cast<float>(*v);
        }
    }
    for (int m = 0; m < 3; ++m) {
        size_t r = first + 1 + static_cast<size_t>(m);
        FieldCursor c(f.record(r));
        Membership& mem = b.member[static_cast<size_t>(m)];
        auto label = c.I(3);
        auto nsel = c.I(3);
        if (!label || !nsel) return fail(error, f, r, "unreadable line membership record");
        if (*label < 0 || *label > 999) return fail(error, f, r, "line label outside 0 ... 999");
        if (*nsel < 0 || *nsel > band::kMaxCodeFields)
            return fail(error, f, r, "number of code fields " + std::to_string(*nsel) + " outside 0 ... 10");
        mem.label = static_cast<int>(*label);
        mem.nsel = static_cast<int>(*nsel);
        for (int s = 0; s < 10; ++s) {
            auto v = c.I(3);
            if (!v) return fail(error, f, r, "unreadable line membership record");
            if (*v < 0 || *v > 10) return fail(error, f, r, "code field index outside 0 ... 10");
            mem.sel[static_cast<size_t>(s)] = static_cast<int>(*v);
        }
    }
    b.bands.assign(static_cast<size_t>(nbands), BandRecord{});
    for (int i = 0; i < nbands; ++i) {
        size_t r = first + 4 + static_cast<size_t>(i);
        FieldCursor c(f.record(r));
        BandRecord& br = b.bands[static_cast<size_t>(i)];
        auto e = c.F(10, 5);
        if (!e) return fail(error, f, r, "unreadable band energy");
        br.energy = static_cast<float>(*e);
        for (int j = 0; j < 3; ++j) {
            auto g = c.F(10, 5);
            if (!g) return fail(error, f, r, "unreadable energy gradient");
            br.grad[static_cast<size_t>(j)] = static_cast<float>(*g);
        }
        auto c0 = c.I(4);
        if (!c0) return fail(error, f, r, "unreadable symmetry code");
        br.code[0] = static_cast<int>(*c0);
        for (int j = 1; j <= 10; ++j) {
            auto v = c.I(3);
            if (!v) return fail(error, f, r, "unreadable symmetry code");
            br.code[static_cast<size_t>(j)] = static_cast<int>(*v);
        }
    }
    return true;
}

}  // namespace

bool readCounts(const std::string& path, int& nkpt, int& nbands, std::string& error) {
    auto f = RecordFile::load(path);
    if (!f) {
        error = path + ": cannot be opened";
        return false;
    }
    if (!f->has(1)) return fail(error, *f, 1, "missing counts record");
    FieldCursor c(f->record(1));
    auto k = c.I(6);
    auto b = c.I(6);
    if (!k || !b) return fail(error, *f, 1, "unreadable counts record");
    if (*k < 1 || *k > 100000) return fail(error, *f, 1, "number of k points " + std::to_string(*k) + " outside 1 ... 100000");
    if (*b < 1 || *b > band::kMaxBands)
        return fail(error, *f, 1, "number of bands " + std::to_string(*b) + " outside 1 ... 1000");
    nkpt = static_cast<int>(*k);
    nbands = static_cast<int>(*b);
    return true;
}

bool readBandInput(const std::string& path, int nkpt, int nbands, BandInput& input, std::string& error) {
    auto f = RecordFile::load(path);
    if (!f) {
        error = path + ": cannot be opened";
        return false;
    }
    input.nkpt = nkpt;
    input.nbands = nbands;
    input.blocks.assign(static_cast<size_t>(nkpt), KBlock{});
    for (int n = 1; n <= nkpt; ++n) {
        if (!readKBlock(*f, static_cast<size_t>(input.firstRecordOf(n)), nbands,
                        input.blocks[static_cast<size_t>(n - 1)], error))
            return false;
    }
    return true;
}

Result<std::string> formatBandCounts(int nkpt, int nbands) {
    if (nkpt < 1 || !fitsI(nkpt, 6)) return Failure{"fort.14: number of k points " + std::to_string(nkpt) + " does not fit I6"};
    if (nbands < 1 || nbands > band::kMaxBands)
        return Failure{"fort.14: " + std::to_string(nbands) + " bands; the band program takes 1 ... " +
                               std::to_string(band::kMaxBands)};
    return fortran::I(nkpt, 6) + fortran::I(nbands, 6) + fortran::I(0, 6) + fortran::I(0, 6) + fortran::I(0, 6) + fortran::I(0, 6) + "\n";
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
        for (float c : b.k) {
            if (!fitsF(c, 10, 7)) return Failure{kp + ": coordinate " + real(c) + " does not fit F10.7"};
            s += fortran::F(c, 10, 7);
        }
        s += "\n";
        for (const Membership& m : b.member) {
            if (m.label < 0 || !fitsI(m.label, 3))
                return Failure{kp + ": line label " + std::to_string(m.label) + " does not fit I3"};
            if (m.nsel < 0 || m.nsel > band::kMaxCodeFields)
                return Failure{kp + ": number of code fields " + std::to_string(m.nsel) + " outside 0 ... 10"};
            s += fortran::I(m.label, 3) + fortran::I(m.nsel, 3);
            for (int v : m.sel) {
                if (v < 0 || v > band::kMaxCodeFields)
                    return Failure{kp + ": code field index " + std::to_string(v) + " outside 0 ... 10"};
                s += fortran::I(v, 3);
            }
            s += "\n";
        }
        float previous = -INFINITY;
        for (size_t i = 0; i < b.bands.size(); ++i) {
            const BandRecord& r = b.bands[i];
            const std::string where = kp + ", band " + std::to_string(i + 1);
            if (!fitsF(r.energy, 10, 5)) return Failure{where + ": energy " + real(r.energy) + " does not fit F10.5"};
            if (r.energy < previous) return Failure{where + ": energies not in ascending order"};
            previous = r.energy;
            s += fortran::F(r.energy, 10, 5);
            for (float g : r.grad) {
                if (!fitsF(g, 10, 5)) return Failure{where + ": gradient " + real(g) + " does not fit F10.5"};
                s += fortran::F(g, 10, 5);
            }
            if (!fitsI(r.code[0], 4))
                return Failure{where + ": code field 0 " + std::to_string(r.code[0]) + " does not fit I4"};
            s += fortran::I(r.code[0], 4);
            for (size_t j = 1; j < r.code.size(); ++j) {
                if (!fitsI(r.code[j], 3))
                    return Failure{where + ": code field " + std::to_string(j) + " value " +
                                           std::to_string(r.code[j]) + " does not fit I3"};
                s += fortran::I(r.code[j], 3);
            }
            s += "\n";
        }
    }
    return s;
}


bool parseSetup(const RecordFile& f, int nbands, SetupFile& setup, std::string& error, size_t firstBlock) {
    setup = SetupFile{};
    if (!f.has(1)) return fail(error, f, 1, "missing counts record");
    {
        FieldCursor c(f.record(1));
        auto b = c.I(4), l = c.I(4), i = c.I(4);
        if (!b || !l || !i) return fail(error, f, 1, "unreadable counts record");
        if (*b < 1 || *b > band::kMaxBands || *l < 0 || *i < 1 || *l + *i > *b)
            return fail(error, f, 1, "band counts out of range");
        setup.nbands = static_cast<int>(*b);
        setup.nlower = static_cast<int>(*l);
        setup.ninterp = static_cast<int>(*i);
    }
    if (nbands <= 0) nbands = setup.nbands;
    size_t r = firstBlock < 2 ? 2 : firstBlock;
    while (f.has(r)) {
        SetupBlock blk;
        blk.headerRecord = r;
        FieldCursor h(f.record(r));
        long v[6];
        for (long& x : v) {
            auto y = h.I(3);
            if (!y) {
                setup.error = f.where(r, "unreadable line header");
                return true;
            }
            x = *y;
        }
        if (v[1] < 1 || v[1] > band::kMaxLinePoints) {
            setup.error = f.where(r, "number of k points on the line outside 1 ... 11");
            return true;
        }
        blk.label = static_cast<int>(v[0]);
        blk.nkl = static_cast<int>(v[1]);
        blk.begin_ns = static_cast<int>(v[2]);
        blk.end_ns = static_cast<int>(v[3]);
        blk.drop_sel = static_cast<int>(v[4]);
        blk.ns_incl = static_cast<int>(v[5]);
        ++r;
        for (int k = 0; k < blk.nkl; ++k) {
            if (!f.has(r)) {
                setup.error = f.where(r, "file ends inside the block of line " + std::to_string(blk.label));
                return true;
            }
            auto kf = FieldCursor(f.record(r)).I(4);
            if (!kf) {
                setup.error = f.where(r, "unreadable k point position");
                return true;
            }
            blk.kfile.push_back(static_cast<int>(*kf));
            ++r;
            std::vector<int> row;
            row.reserve(static_cast<size_t>(nbands));
            for (int rec = 0; rec < orderRecords(nbands); ++rec, ++r) {
                if (!f.has(r)) {
                    setup.error = f.where(r, "file ends inside the block of line " + std::to_string(blk.label));
                    return true;
                }
                FieldCursor c(f.record(r));
                int count = std::min(20, nbands - rec * 20);
                for (int j = 0; j < count; ++j) {
                    auto o = c.I(4);
                    if (!o) {
                        setup.error = f.where(r, "unreadable band order");
                        return true;
                    }
                    row.push_back(static_cast<int>(*o));
                }
            }
            blk.order.push_back(std::move(row));
        }
        setup.blocks.push_back(std::move(blk));
    }
    return true;
}

std::string formatSetupCounts(int nbands, int nlower, int ninterp) {
    return fortran::I(nbands, 4) + fortran::I(nlower, 4) + fortran::I(ninterp, 4) + "\n";
}

std::string formatSetupBlock(const SetupBlock& b, int nbands) {
    std::string s = fortran::I(b.label, 3) + fortran::I(b.nkl, 3) + fortran::I(b.begin_ns, 3) + fortran::I(b.end_ns, 3) +
                    fortran::I(b.drop_sel, 3) + fortran::I(b.ns_incl, 3) + "\n";
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

}  // namespace band
