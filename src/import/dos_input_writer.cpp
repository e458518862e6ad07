#include "import/dos_input_writer.h"

#include "common/format.h"
#include "dos/main/dos_limits.h"

namespace importer {

namespace {

constexpr int kValueWidth = 12, kValueDecimals = 5;

struct Curve {
    const std::vector<float>* values;
    std::string name;
};

// One F12.5 record, or the failure naming the value.
bool appendValue(std::string& out, float v, const std::string& name, size_t i, std::string& why) {
    std::string field = fmt::F(v, kValueWidth, kValueDecimals);
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

common::Result<std::string> formatDosInput(const DosCurves& c) {
    const size_t ne = c.energy.size();
    if (ne < 1 || ne > static_cast<size_t>(kMaxEnergies))
        return common::Failure{"fort.1: " + std::to_string(ne) + " energies; the grid holds 1 ... " +
                               std::to_string(kMaxEnergies)};
    for (size_t i = 1; i < ne; ++i)
        if (c.energy[i] < c.energy[i - 1])
            return common::Failure{"fort.1: energy " + std::to_string(i + 1) + " below the one before"};
    const std::vector<DosCurves::Projection>* kinds[3] = {&c.ao, &c.fmo, &c.coop};
    const char* kindNames[3] = {"AO", "FMO", "COOP"};
    for (int k = 0; k < 3; ++k)
        if (kinds[k]->size() > static_cast<size_t>(kMaxProjections))
            return common::Failure{"fort.1: " + std::to_string(kinds[k]->size()) + " " + kindNames[k] +
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
            return common::Failure{"fort.1: " + cv.name + " has " + std::to_string(cv.values->size()) +
                                   " values for " + std::to_string(ne) + " energies"};

    std::string out;
    out.reserve((kMaxDescLines * 15 + 4) * 81 + (curves.size() + 1) * ne * 13);
    out += fmt::I(c.totals ? 3 : 0, 4) + fmt::I(static_cast<long>(c.ao.size()), 4) +
           fmt::I(static_cast<long>(c.fmo.size()), 4) + fmt::I(static_cast<long>(c.coop.size()), 4) +
           fmt::I(static_cast<long>(ne), 4) + "\n";
    // Description line counts, then the three blocks of 5 x 20 lines.
    for (int k = 0; k < 3; ++k) {
        for (int p = 0; p < kMaxProjections; ++p) {
            size_t n = 0;
            if (static_cast<size_t>(p) < kinds[k]->size())
                n = std::min((*kinds[k])[static_cast<size_t>(p)].description.size(),
                             static_cast<size_t>(kMaxDescLines));
            out += fmt::I(static_cast<long>(n), 4);
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
                out += fmt::trimRight(line.substr(0, kDescWidth));
                out += "\n";
            }
    std::string why;
    for (size_t i = 0; i < ne; ++i)
        if (!appendValue(out, c.energy[i], "energy grid", i, why)) return common::Failure{"fort.1: " + why};
    for (const Curve& cv : curves)
        for (size_t i = 0; i < ne; ++i)
            if (!appendValue(out, (*cv.values)[i], cv.name, i, why)) return common::Failure{"fort.1: " + why};
    return out;
}

}  // namespace importer
