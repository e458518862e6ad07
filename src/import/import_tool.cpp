#include "import/import_tool.h"

#include <cstdlib>
#include <optional>
#include <sstream>

#include "common/records.h"
#include "import/text_table.h"

namespace importer {

using namespace common;

namespace {

// The first number after `marker` in `line`, when the marker is there.
// Sets `bad` when the marker is there but no number follows.
std::optional<double> numberAfter(const std::string& line, const std::string& marker, bool& bad) {
    const size_t at = line.find(marker);
    if (at == std::string::npos) return std::nullopt;
    const char* start = line.c_str() + at + marker.size();
    char* end = nullptr;
    const double v = std::strtod(start, &end);
    if (end == start) {
        bad = true;
        return std::nullopt;
    }
    return v;
}

}  // namespace

double fermiFromPwOutput(const std::string& path, Spin spin) {
    auto f = RecordFile::load(path);
    if (!f) throw common::Stop(path + ": cannot be opened");
    static const char* const kMarkers[] = {
        "the Fermi energy is",
        "highest occupied, lowest unoccupied level (ev):",
        "highest occupied level (ev):",
    };
    static const std::string kTwoLevels = "the spin up/dw Fermi energies are";
    std::optional<double> fermi;
    for (size_t r = 1; r <= f->size(); ++r) {
        const std::string& line = f->record(r);
        if (const size_t at = line.find(kTwoLevels); at != std::string::npos) {
            std::istringstream levels(line.substr(at + kTwoLevels.size()));
            double up = 0, down = 0;
            if (!(levels >> up >> down)) failAt(*f, r, "unreadable Fermi energy");
            if (spin == Spin::Both) failAt(*f, r, "two Fermi energies, spin up and down; give one with --fermi");
            fermi = spin == Spin::Up ? up : down;
            continue;
        }
        bool bad = false;
        for (const char* m : kMarkers) {
            auto v = numberAfter(line, m, bad);
            if (bad) failAt(*f, r, "unreadable Fermi energy");
            if (v) {
                fermi = v;
                break;
            }
        }
    }
    if (!fermi)
        throw common::Stop(path + ": no Fermi energy and no highest occupied level (is it the output of pw.x?)");
    return *fermi;
}

void writeWhole(const std::string& dir, const std::string& name, const std::string& text) {
    const std::string path = dir.empty() || dir == "." ? name : (dir.back() == '/' ? dir + name : dir + "/" + name);
    if (common::Status written = common::writeFileAtomic(path, text); !written) throw common::Stop(written.error());
}

int runImport(const std::string& program, const std::string& usage, std::ostream& err,
              const std::function<void()>& body) {
    try {
        body();
        return 0;
    } catch (const common::UsageError& e) {
        err << program << ": " << e.what() << "\n" << usage;
        if (!usage.empty() && usage.back() != '\n') err << "\n";
        return 2;
    } catch (const common::Stop& e) {
        err << program << ": " << e.what() << "\n";
        return 1;
    }
}

}  // namespace importer
