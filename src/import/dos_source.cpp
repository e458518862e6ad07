#include "import/dos_source.h"

#include "common/error.h"
#include "common/fortran_format.h"
#include "dos/core/limits.h"
#include "import/dos_grid.h"
#include "import/text_table.h"

namespace importer {

using dos::DosCurves;

namespace {

std::vector<float> toFloat(const std::vector<double>& v) { return {v.begin(), v.end()}; }

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

    std::vector<double> idos;
    if (src.totals) {
        idos = src.idos.empty() ? runningIntegral(e, src.dos) : src.idos;
        c.totals = true;
        c.dos = curve(src.dos);
        c.idos = integral(idos);
        c.etot = integral(energyIntegral(e, src.dos));
        s += "curves 1-3: density of states, integrated density of states, total energy\n";
    }
    auto project = [&](const std::vector<SourceProjection>& from, std::vector<DosCurves::Projection>& to,
                       const char* kind) {
        for (size_t p = 0; p < from.size(); ++p) {
            const SourceProjection& sp = from[p];
            DosCurves::Projection q;
            q.description = sp.description;
            q.curve = curve(sp.curve);
            q.integral = integral(sp.integral.empty() ? runningIntegral(e, sp.curve) : sp.integral);
            to.push_back(std::move(q));
            s += std::string(kind) + " projection " + std::to_string(p + 1) + ": " +
                 (sp.description.empty() ? std::string() : sp.description.front()) + "\n";
        }
    };
    project(src.ao, c.ao, "AO");
    project(src.coop, c.coop, "COOP");
    for (const std::string& note : src.notes) s += note + "\n";

    if (src.totals && known)
        s += "electrons below the Fermi level: " + plain(valueAt(e, idos, 0.0), 2) + "\n";
    else if (src.totals)
        s += "electrons below the Fermi level: unknown (no Fermi energy)\n";
    auto text = dos::formatDosInput(c);
    if (!text) return common::Failure{text.error()};
    r.text = std::move(*text);
    return r;
}

}  // namespace importer
