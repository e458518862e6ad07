#include "dos/core/dos_input.h"

#include "common/fortran_format.h"

namespace dos {

using namespace common;

namespace {

// One value of an "(F12.5)" record.
bool readValue(const RecordFile& f, long rec, float& v) {
    FieldCursor c(f.record(static_cast<size_t>(rec)));
    auto x = c.F(kValueWidth, kValueDecimals);
    if (!x) return false;
    v = static_cast<float>(*x);
    return true;
}

// "(5I4)": five counts, each within lo ... hi.
Status readCounts(const RecordFile& f, size_t rec, int lo, int hi, const char* what, std::array<int, 5>& out) {
    if (!f.has(rec)) {
        return Failure{f.where(rec, "missing (the file ends early)")};
    }
    FieldCursor c(f.record(rec));
    for (int k = 0; k < 5; ++k) {
        auto v = c.I(4);
        if (!v) {
            return Failure{f.where(rec, std::string("unreadable ") + what)};
        }
        out[static_cast<size_t>(k)] = static_cast<int>(*v);
    }
    for (int k = 0; k < 5; ++k) {
        int v = out[static_cast<size_t>(k)];
        if (v < lo || v > hi) {
            return Failure{f.where(rec, std::string(what) + " " + std::to_string(v) + " outside " +
                                     std::to_string(lo) + " ... " + std::to_string(hi))};
        }
    }
    return {};
}

const char* const kKindPrefix[3] = {"AOPROJ  ", "FMOPROJ ", "OVLPROJ "};

}  // namespace

int curveNumber(const DosInput& in, ProjKind kind, int p, bool integrated) {
    int before = 0;  // projections of the kinds listed earlier in the file
    if (kind == ProjKind::FMO) before = in.nao;
    if (kind == ProjKind::COOP) before = in.nao + in.nfmo;
    return 2 * (before + p) + in.ntot - (integrated ? 0 : 1);
}

Result<DosInput> readDosInput(const RecordFile& f) {
    DosInput r;
    r.file = f;
    std::array<int, 5> counts{};
    if (!f.has(1)) {
        return Failure{f.where(1, "missing (the file is empty)")};
    }
    {
        FieldCursor c(f.record(1));
        for (int k = 0; k < 5; ++k) {
            auto v = c.I(4);
            if (!v) {
                return Failure{f.where(1, "unreadable counts")};
            }
            counts[static_cast<size_t>(k)] = static_cast<int>(*v);
        }
    }
    r.ntot = counts[0];
    r.nao = counts[1];
    r.nfmo = counts[2];
    r.ncoop = counts[3];
    r.ne = counts[4];
    if (r.ntot != 0 && r.ntot != 3) {
        return Failure{f.where(1, "NTOT " + std::to_string(r.ntot) + " is neither 0 nor 3")};
    }
    const char* names[3] = {"NAO", "NFMO", "NCOOP"};
    for (int k = 0; k < 3; ++k) {
        int v = counts[static_cast<size_t>(k + 1)];
        if (v < 0 || v > kMaxProjections) {
            return Failure{f.where(1, std::string(names[k]) + " " + std::to_string(v) + " outside 0 ... " +
                                   std::to_string(kMaxProjections))};
        }
    }
    if (r.ne < 1 || r.ne > kMaxEnergies) {
        return Failure{f.where(1, "NE " + std::to_string(r.ne) + " outside 1 ... " + std::to_string(kMaxEnergies))};
    }
    for (int k = 0; k < 3; ++k) {
        std::array<int, 5> n{};
        if (Status counts = readCounts(f, static_cast<size_t>(2 + k), 0, kMaxDescLines, "description line count", n); !counts)
            return Failure{counts.error()};
        for (int p = 0; p < kMaxProjections; ++p) r.nlines[static_cast<size_t>(k)][static_cast<size_t>(p)] = n[static_cast<size_t>(p)];
    }
    const int ncurves = curveCount(r);
    const long last = valueRecord(r.ne, ncurves, r.ne);
    if (static_cast<long>(f.size()) < last) {
        return Failure{f.where(f.size() + 1, "missing (the header announces " + std::to_string(ncurves) +
                                          " curves of " + std::to_string(r.ne) + " values, " +
                                          std::to_string(last) + " records)")};
    }
    for (int k = 0; k < 3; ++k)
        for (int p = 0; p < kMaxProjections; ++p)
            for (int j = 0; j < kMaxDescLines; ++j) {
                size_t rec = static_cast<size_t>(kDescBlockStart[k] + kMaxDescLines * p + j);
                r.desc[static_cast<size_t>(k)][static_cast<size_t>(p)][static_cast<size_t>(j)] =
                    fortran::A(f.record(rec), kDescWidth);
            }
    r.energy.resize(static_cast<size_t>(r.ne));
    for (int i = 1; i <= r.ne; ++i) {
        long rec = valueRecord(r.ne, 0, i);
        float& e = r.energy[static_cast<size_t>(i - 1)];
        if (!readValue(f, rec, e)) {
            return Failure{f.where(static_cast<size_t>(rec), "unreadable energy")};
        }
        if (i > 1 && e < r.energy[static_cast<size_t>(i - 2)]) {
            return Failure{f.where(static_cast<size_t>(rec), "energy below the one before (the grid must ascend)")};
        }
    }
    r.egrid_low = r.energy.front();
    r.egrid_high = r.energy.back();
    // Every curve value is checked now, so that no fetch fails later.
    for (int c = 1; c <= ncurves; ++c)
        if (Result<CurveValues> values = fetchCurve(r, c); !values) return Failure{values.error()};
    return r;
}

Result<CurveValues> fetchCurve(const DosInput& in, int c) {
    CurveValues values{};
    if (c < 1 || c > curveCount(in)) {
        return Failure{in.file.name() + ": there is no curve " + std::to_string(c)};
    }
    for (int i = 1; i <= in.ne; ++i) {
        long rec = valueRecord(in.ne, c, i);
        if (!in.file.has(static_cast<size_t>(rec))) {
            return Failure{in.file.where(static_cast<size_t>(rec), "missing value of curve " + std::to_string(c))};
        }
        if (!readValue(in.file, rec, values[static_cast<size_t>(i - 1)])) {
            return Failure{in.file.where(static_cast<size_t>(rec), "unreadable value of curve " + std::to_string(c))};
        }
    }
    return values;
}

std::string curveTitle(const DosInput& in, int c) {
    if (in.ntot == 3 && c >= 1 && c <= 3) {
        const char* names[3] = {"Density of states", "Integrated density of states", "Total energy"};
        return fortran::A(names[c - 1], kTitleWidth);
    }
    int proj = (c - in.ntot + 1) / 2;  // projection counted over all kinds
    ProjKind kind = ProjKind::AO;
    if (proj > in.nao) {
        proj -= in.nao;
        kind = ProjKind::FMO;
        if (proj > in.nfmo) {
            proj -= in.nfmo;
            kind = ProjKind::COOP;
        }
    }
    if (proj < 1 || proj > in.projections(kind)) return fortran::A("", kTitleWidth);
    return fortran::A(kKindPrefix[static_cast<int>(kind)] + in.description(kind, proj, 1).substr(0, 64),
                  kTitleWidth);
}

namespace {

bool cutSuffix(std::string& s, const std::string& suffix) {
    if (s.size() <= suffix.size() || s.compare(s.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
    s.erase(s.size() - suffix.size());
    return true;
}

}  // namespace

std::string curveName(const std::string& title, std::string& half) {
    std::string name = fortran::trimRight(title);
    half.clear();
    for (const char* kind : kKindPrefix)
        if (name.rfind(kind, 0) == 0) name.erase(0, name.find_first_not_of(' ', std::string(kind).size()));
    if (name == "Density of states") return "total";
    if (name == "Total DOS, spin down") {
        half = "down";
        return "total";
    }
    if (cutSuffix(name, " up"))
        half = "up";
    else if (cutSuffix(name, " down"))
        half = "down";
    return name;
}

// ---- the writer ----

namespace {

constexpr int kValueWidth = 12, kValueDecimals = 5;

struct Curve {
    const std::vector<float>* values;
    std::string name;
};

// One F12.5 record, or the failure naming the value.
bool appendValue(std::string& out, float v, const std::string& name, size_t i, std::string& why) {
    std::string field = fortran::F(v, kValueWidth, kValueDecimals);
    if (field.find('*') != std::string::npos) {
        why = name + ", point " + std::to_string(i + 1) + ": value " + std::to_string(v) +
              " does not fit F12.5";
        return false;
    }
    out += field;
    out += '\n';
    return true;
}

}  // namespace

Result<std::string> formatDosInput(const DosCurves& c) {
    const size_t ne = c.energy.size();
    if (ne < 1 || ne > static_cast<size_t>(kMaxEnergies))
        return Failure{"fort.1: " + std::to_string(ne) + " energies; the grid holds 1 ... " +
                               std::to_string(kMaxEnergies)};
    for (size_t i = 1; i < ne; ++i)
        if (c.energy[i] < c.energy[i - 1])
            return Failure{"fort.1: energy " + std::to_string(i + 1) + " below the one before"};
    const std::vector<DosCurves::Projection>* kinds[3] = {&c.ao, &c.fmo, &c.coop};
    const char* kindNames[3] = {"AO", "FMO", "COOP"};
    for (int k = 0; k < 3; ++k)
        if (kinds[k]->size() > static_cast<size_t>(kMaxProjections))
            return Failure{"fort.1: " + std::to_string(kinds[k]->size()) + " " + kindNames[k] +
                                   " projections; at most " + std::to_string(kMaxProjections) + " fit"};

    // Curves in file order: the totals, then each projection and its integral.
    std::vector<Curve> curves;
    if (c.totals) {
        curves.push_back({&c.dos, "density of states"});
        curves.push_back({&c.idos, "integrated density of states"});
        curves.push_back({&c.etot, "total energy"});
    }
    for (int k = 0; k < 3; ++k)
        for (size_t p = 0; p < kinds[k]->size(); ++p) {
            const auto& proj = (*kinds[k])[p];
            const std::string name = std::string(kindNames[k]) + " projection " + std::to_string(p + 1);
            curves.push_back({&proj.curve, name});
            curves.push_back({&proj.integral, "integrated " + name});
        }
    for (const Curve& cv : curves)
        if (cv.values->size() != ne)
            return Failure{"fort.1: " + cv.name + " has " + std::to_string(cv.values->size()) +
                                   " values for " + std::to_string(ne) + " energies"};

    std::string out;
    out.reserve((kMaxDescLines * 15 + 4) * 81 + (curves.size() + 1) * ne * 13);
    out += fortran::I(c.totals ? 3 : 0, 4) + fortran::I(static_cast<long>(c.ao.size()), 4) +
           fortran::I(static_cast<long>(c.fmo.size()), 4) + fortran::I(static_cast<long>(c.coop.size()), 4) +
           fortran::I(static_cast<long>(ne), 4) + "\n";
    // Description line counts, then the three blocks of 5 x 20 lines.
    for (int k = 0; k < 3; ++k) {
        for (int p = 0; p < kMaxProjections; ++p) {
            size_t n = 0;
            if (static_cast<size_t>(p) < kinds[k]->size())
                n = std::min((*kinds[k])[static_cast<size_t>(p)].description.size(),
                             static_cast<size_t>(kMaxDescLines));
            out += fortran::I(static_cast<long>(n), 4);
        }
        out += "\n";
    }
    for (int k = 0; k < 3; ++k)
        for (int p = 0; p < kMaxProjections; ++p)
            for (int j = 0; j < kMaxDescLines; ++j) {
                std::string line;
                if (static_cast<size_t>(p) < kinds[k]->size()) {
                    const auto& d = (*kinds[k])[static_cast<size_t>(p)].description;
                    if (static_cast<size_t>(j) < d.size()) line = d[static_cast<size_t>(j)];
                }
                for (char& ch : line)
                    if (ch == '\n' || ch == '\r') ch = ' ';
                out += fortran::trimRight(line.substr(0, kDescWidth));
                out += "\n";
            }
    std::string why;
    for (size_t i = 0; i < ne; ++i)
        if (!appendValue(out, c.energy[i], "energy grid", i, why)) return Failure{"fort.1: " + why};
    for (const Curve& cv : curves)
        for (size_t i = 0; i < ne; ++i)
            if (!appendValue(out, (*cv.values)[i], cv.name, i, why)) return Failure{"fort.1: " + why};
    return out;
}

}  // namespace dos
