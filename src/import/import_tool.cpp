#include "import/import_tool.h"

#include <optional>

#include "common/console.h"
#include "common/records.h"

namespace importer {

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The first number after `key` on the line, if the line holds the key.
std::optional<double> numberAfter(const std::string& line, const std::string& key) {
    const size_t at = lower(line).find(key);
    if (at == std::string::npos) return std::nullopt;
    std::string rest = line.substr(at + key.size());
    const size_t a = rest.find_first_not_of(" \t");
    if (a == std::string::npos) return std::nullopt;
    const size_t b = rest.find_first_of(" \t", a);
    return field::readReal(rest.substr(a, b == std::string::npos ? std::string::npos : b - a));
}

}  // namespace

double fermiFromPwOutput(const std::string& path) {
    auto file = RecordFile::load(path);
    if (!file) throw common::Stop(path + ": cannot be read");
    std::optional<double> fermi;
    for (size_t n = 1; n <= file->size(); ++n) {
        const std::string& line = file->record(n);
        for (const char* key : {"the fermi energy is", "highest occupied, lowest unoccupied level (ev):",
                                "highest occupied level (ev):"})
            if (auto v = numberAfter(line, key)) {
                fermi = v;
                break;
            }
    }
    if (!fermi) throw common::Stop(path + ": no Fermi energy or highest occupied level in this pw.x output");
    return *fermi;
}

void writeWhole(const std::string& dir, const std::string& name, const std::string& text) {
    const std::string path = dir.empty() ? name : (dir.back() == '/' ? dir + name : dir + "/" + name);
    std::string error;
    if (!writeFileAtomic(path, text, error)) throw common::Stop(error);
}

int runImport(const std::string& program, const std::string& usage, std::ostream& err,
              const std::function<void()>& body) {
    try {
        body();
        return 0;
    } catch (const common::UsageError& e) {
        err << program << ": " << e.what() << "\n" << usage;
        err.flush();
        return 2;
    } catch (const common::Stop& e) {
        err << program << ": " << e.what() << "\n";
        err.flush();
        return 1;
    }
}

}  // namespace importer
