#include "import/lobster.h"

#include <cmath>

#include "common/error.h"
#include "import/text_table.h"

namespace importer {

using common::RecordFile;

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

bool numeric(const std::string& line) {
    const auto w = words(line);
    return !w.empty() && number(w.front()).has_value();
}

}  // namespace

common::Result<Coxxcar> readCoxxcar(const std::string& path) {
    const auto loaded = loadText(path);
    if (!loaded) return common::Failure{loaded.error()};
    const RecordFile& f = *loaded;
    Coxxcar c;
    c.path = path;
    const size_t slash = path.rfind('/');
    const std::string name = upper(slash == std::string::npos ? path : path.substr(slash + 1));
    c.kind = name.find("COHP") != std::string::npos ? "COHP" : name.find("COBI") != std::string::npos ? "COBI" : "COOP";

    // The count line follows the title line (older files have none).
    size_t n = 1;
    if (f.has(n) && !numeric(f.record(n))) ++n;
    if (!f.has(n)) return endsBefore(f, n, "the line of counts");
    const auto h = numbersOn(f, n);
    if (!h) return common::Failure{h.error()};
    if (h->size() < 6) return at(f, n, "expected interactions+1, spins, NEDOS, Emin, Emax, E_F");
    const auto columns = count(f, n, "interactions+1", (*h)[0], 1, 100000);
    const auto spins = count(f, n, "spins", (*h)[1], 1, 2);
    const auto nedos = count(f, n, "NEDOS", (*h)[2], 2, 1000000);
    for (const auto* k : {&columns, &spins, &nedos})
        if (!*k) return common::Failure{k->error()};
    c.spins = static_cast<int>(*spins);
    c.fermi = (*h)[5];
    const size_t countLine = n++;

    // Labels: "Average" and one per interaction; the rows start after them.
    std::vector<std::string> labels;
    while (f.has(n) && !numeric(f.record(n))) labels.push_back(trimmed(f.record(n++)));
    const size_t interactions = *columns - 1;
    // "Average" leads the labels; files without it give the interactions only.
    const bool average = !labels.empty() && labels.front().rfind("Average", 0) == 0;
    if (average && labels.size() == *columns) labels.erase(labels.begin());
    if (labels.size() != interactions || (!labels.empty() && labels.front().rfind("Average", 0) == 0))
        return at(f, countLine, std::to_string(labels.size()) + " interaction labels where the counts announce " +
                                    std::to_string(interactions));
    c.labels = labels;

    const size_t perSpin = 2 * *columns;
    const size_t width = 1 + perSpin * static_cast<size_t>(c.spins);
    // The rows grow with the file: NEDOS is only what the header claims.
    c.value.assign(interactions, {});
    c.integral.assign(interactions, {});
    for (size_t i = 0; i < *nedos; ++i, ++n) {
        if (!f.has(n) || blank(f.record(n)))
            return endsBefore(f, n, "row " + std::to_string(i + 1) + " of " + std::to_string(*nedos));
        const auto v = numbersOn(f, n);
        if (!v) return common::Failure{v.error()};
        if (v->size() != width)
            return at(f, n, std::to_string(v->size()) + " numbers where the counts announce " + std::to_string(width));
        if (!c.energy.empty() && (*v)[0] <= c.energy.back()) return at(f, n, "energy does not ascend");
        c.energy.push_back((*v)[0]);
        c.lines.push_back(n);
        for (size_t k = 0; k < interactions; ++k) {
            double value = 0, integral = 0;
            for (int s = 0; s < c.spins; ++s) {
                const size_t col = 1 + static_cast<size_t>(s) * perSpin + 2 * (k + 1);
                value += (*v)[col];
                integral += (*v)[col + 1];
            }
            c.value[k].push_back(value);
            c.integral[k].push_back(integral);
        }
    }
    return c;
}

common::Result<DosSource> lobsterSource(const Coxxcar& c, const std::vector<int>& which, const Doscar* doscar,
                                        const std::vector<int>& atoms) {
    DosSource src;
    src.source = "LOBSTER " + c.kind + "CAR, " + c.path;
    src.energy = c.energy;
    src.rows = {c.path, c.lines};
    src.fermi = c.fermi;
    src.relative = true;
    const bool cohp = c.kind == "COHP";
    const double sign = cohp ? -1.0 : 1.0;
    const std::string word = cohp ? "-COHP" : c.kind;
    for (int k : which) {
        if (k > static_cast<int>(c.labels.size()))
            return common::Failure{c.path + ": there is no interaction " + std::to_string(k) + " (the file has " +
                                   std::to_string(c.labels.size()) + ")"};
        SourceProjection p;
        const std::string& label = c.labels[static_cast<size_t>(k - 1)];
        p.description = {word + " " + label, c.kind + "CAR interaction " + std::to_string(k) +
                                                (cohp ? ", sign reversed: bonding to the right" : "")};
        for (double v : c.value[static_cast<size_t>(k - 1)]) p.curve.push_back(sign * v);
        for (double v : c.integral[static_cast<size_t>(k - 1)]) p.integral.push_back(sign * v);
        p.rows = {c.path, c.lines};
        src.coop.push_back(std::move(p));
    }
    if (c.labels.size() > which.size())
        src.notes.push_back(std::to_string(c.labels.size()) + " interactions in the file, " +
                            std::to_string(which.size()) + " written (choose up to five with --interactions)");
    if (c.spins == 2) src.notes.push_back("spin polarised: both channels summed");
    if (doscar) {
        if (doscar->energy.size() != c.energy.size())
            return common::Failure{doscar->path + ": " + std::to_string(doscar->energy.size()) + " energies where " +
                                   c.path + " has " + std::to_string(c.energy.size())};
        for (size_t i = 0; i < c.energy.size(); ++i)
            if (std::fabs(doscar->energy[i] - c.energy[i]) > 5e-4)
                return common::Failure{doscar->path + ": energy " + std::to_string(i + 1) + " differs from " + c.path};
        src.totals = true;
        src.rows = {doscar->path, doscar->lines};
        src.dos = doscar->dos;
        src.idos = doscar->idos;
        for (int a : atoms) {
            if (a > static_cast<int>(doscar->ion.size()))
                return common::Failure{doscar->path + ": there is no atom " + std::to_string(a) + " (the file has " +
                                       std::to_string(doscar->ion.size()) + ")"};
            const Doscar::Ion& io = doscar->ion[static_cast<size_t>(a - 1)];
            SourceProjection p;
            const std::string who = io.z > 0 ? elementSymbol(io.z) + std::to_string(a) : "Atom " + std::to_string(a);
            p.description = {who + ": " + io.orbitals};
            p.curve = io.total;
            p.rows = {doscar->path, io.lines};
            src.ao.push_back(std::move(p));
        }
        if (doscar->ion.size() > atoms.size())
            src.notes.push_back(std::to_string(doscar->ion.size()) + " atoms in " + doscar->path + ", " +
                                std::to_string(atoms.size()) + " written (choose up to five with --ions)");
    }
    return src;
}

}  // namespace importer
