#include "import/pipeline/dos_assemble.h"

#include <algorithm>

#include "common/error.h"
#include "common/fortran_format.h"
#include "common/records.h"
#include "dos/core/limits.h"
#include "import/model/dos_grid.h"
#include "import/text/text_table.h"

namespace importer {

using dos::DosCurves;

namespace {

std::vector<float> toFloat(const std::vector<double>& v) { return {v.begin(), v.end()}; }


// The curves of fort.1 on its grid, each with the rows it comes from.
class Origins {
public:
    Origins(const std::vector<double>& source, const std::vector<double>& grid, bool resampled)
        : source_(source), grid_(grid), resampled_(resampled) {}

    // The first value of `values` that its field cannot hold, named by its row.
    common::Status check(const std::vector<float>& values, const std::string& name, const Rows& rows) const {
        for (size_t i = 0; i < values.size() && i < grid_.size(); ++i) {
            if (common::readBack(values[i], dos::kValueWidth, dos::kValueDecimals)) continue;
            const size_t row = rowOf(i);
            const std::string what = name + " at " + plain(grid_[i], 3) + " eV, " + plain(values[i], 3) +
                                     ", does not fit " + dos::kValueField + " of fort.1";
            if (row < rows.lines.size()) return at(rows.file, rows.lines[row], what);
            return common::Failure{"fort.1: " + what};
        }
        return {};
    }

private:
    // The source row of point i of fort.1: itself, or the nearest in energy.
    size_t rowOf(size_t i) const {
        if (!resampled_) return i;
        const auto up = std::lower_bound(source_.begin(), source_.end(), grid_[i]);
        size_t k = static_cast<size_t>(up - source_.begin());
        if (k == source_.size() || (k > 0 && grid_[i] - source_[k - 1] < source_[k] - grid_[i])) --k;
        return k;
    }

    const std::vector<double>& source_;
    const std::vector<double>& grid_;
    bool resampled_;
};

}  // namespace

common::Result<Imported> assemble(const DosSource& src) {
    Imported r;
    std::string& s = r.summary;
    s += "source: " + src.source + "\n";

    std::vector<double> e = src.energy;
    const bool known = src.relative || src.fermi.has_value();
    if (src.fermi && !src.relative)
        for (double& x : e) x -= *src.fermi;

    // Integrals and total energy on the source grid, then the grid of fort.1.
    const size_t n = e.size();
    const bool resample = n > static_cast<size_t>(dos::kMaxEnergies);
    const std::vector<double> grid = resample ? evenGrid(e, dos::kMaxEnergies) : e;
    auto curve = [&](const std::vector<double>& y) { return toFloat(resample ? resampleCurve(e, y, grid) : y); };
    auto integral = [&](const std::vector<double>& y) {
        return toFloat(resample ? resampleIntegral(e, y, grid) : y);
    };
    DosCurves& c = r.curves;
    c.energy = toFloat(grid);
    s += "energies: " + std::to_string(grid.size());
    if (resample) s += " (resampled evenly from " + std::to_string(n) + ")";
    s += ", " + plain(grid.front(), 3) + " ... " + plain(grid.back(), 3) + " eV\n";
    if (src.relative && src.fermi)
        s += "Fermi energy: " + plain(*src.fermi, 4) + " eV (the source gives energies relative to it)\n";
    else if (src.relative)
        s += "energies are relative to the Fermi level in the source\n";
    else if (src.fermi)
        s += "Fermi energy used: " + plain(*src.fermi, 4) + " eV (energies written relative to it)\n";
    else
        s += "energies are absolute (no Fermi energy given)\n";

    const Origins origins(e, grid, resample);
    const std::string energy = src.fermi && !src.relative
                                   ? "the energy relative to the Fermi energy " + plain(*src.fermi, 4) + " eV"
                                   : "the energy";
    if (auto fits = origins.check(c.energy, energy, src.rows); !fits) return common::Failure{fits.error()};
    std::vector<double> idos;
    if (src.totals) {
        idos = src.idos.empty() ? runningIntegral(e, src.dos) : src.idos;
        c.totals = true;
        c.dos = curve(src.dos);
        c.idos = integral(idos);
        c.etot = integral(energyIntegral(e, src.dos));
        for (const auto& [values, name] : {std::pair{&c.dos, "the density of states"},
                                           std::pair{&c.idos, "the integrated density of states"},
                                           std::pair{&c.etot, "the total energy"}})
            if (auto fits = origins.check(*values, name, src.rows); !fits) return common::Failure{fits.error()};
        s += "curves 1-3: density of states, integrated density of states, total energy\n";
    }
    common::Status unfit;
    auto project = [&](const std::vector<SourceProjection>& from, std::vector<DosCurves::Projection>& to,
                       const char* kind) {
        for (size_t p = 0; p < from.size(); ++p) {
            const SourceProjection& sp = from[p];
            DosCurves::Projection q;
            q.description = sp.description;
            q.curve = curve(sp.curve);
            q.integral = integral(sp.integral.empty() ? runningIntegral(e, sp.curve) : sp.integral);
            const std::string name = std::string(kind) + " projection " + std::to_string(p + 1);
            if (unfit) unfit = origins.check(q.curve, "the " + name, sp.rows);
            if (unfit) unfit = origins.check(q.integral, "the integrated " + name, sp.rows);
            to.push_back(std::move(q));
            s += std::string(kind) + " projection " + std::to_string(p + 1) + ": " +
                 (sp.description.empty() ? std::string() : sp.description.front()) + "\n";
        }
    };
    project(src.ao, c.ao, "AO");
    project(src.coop, c.coop, "COOP");
    if (!unfit) return common::Failure{unfit.error()};
    for (const std::string& note : src.notes) s += note + "\n";

    if (src.totals && known && src.mirrored && !src.ao.empty()) {
        const SourceProjection& down = src.ao.front();
        const double below = -valueAt(e, down.integral.empty() ? runningIntegral(e, down.curve) : down.integral, 0.0);
        s += "electrons below the Fermi level: " + plain(valueAt(e, idos, 0.0), 2) + " spin up, " + plain(below, 2) +
             " spin down\n";
    } else if (src.totals && known)
        s += "electrons below the Fermi level: " + plain(valueAt(e, idos, 0.0), 2) + "\n";
    else if (src.totals)
        s += "electrons below the Fermi level: unknown (no Fermi energy)\n";
    auto text = dos::formatDosInput(c);
    if (!text) return common::Failure{text.error()};
    r.text = std::move(*text);
    return r;
}

}  // namespace importer
