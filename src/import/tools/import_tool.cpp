#include "import/tools/import_tool.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "common/program_options.h"
#include "import/text/text_table.h"

namespace importer {

std::vector<int> numberList(const std::string& option, const std::string& text) {
    auto bad = [&]() { return common::UsageError(option + " takes numbers such as 1,3,5-7, not '" + shown(text) + "'"); };
    auto whole = [&](const std::string& s) {
        const auto v = s.size() <= 6 && s.find_first_of("+-") == std::string::npos ? integer(s) : std::nullopt;
        if (!v || *v < 1) throw bad();
        return static_cast<int>(*v);
    };
    std::vector<int> out;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t dash = item.find('-');
        if (dash == std::string::npos) {
            out.push_back(whole(item));
        } else {
            const int a = whole(item.substr(0, dash)), b = whole(item.substr(dash + 1));
            if (b < a || b - a > 1000) throw bad();
            for (int v = a; v <= b; ++v) out.push_back(v);
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    for (size_t i = 0; i < out.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (out[i] == out[j]) throw common::UsageError(option + " names " + std::to_string(out[i]) + " twice");
    return out;
}

std::vector<int> parseLineChoice(const std::string& text, int count) {
    std::vector<int> chosen = numberList("--lines", text);
    for (int v : chosen)
        if (v > count)
            throw common::UsageError("--lines " + text + ": the path has lines 1 ... " + std::to_string(count) +
                                     ", no line " + std::to_string(v));
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

std::string alternatives(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text;
}

std::string sourceNamed(const common::CommandLine& cl, const std::vector<std::string>& known) {
    const std::string names = alternatives(known);
    if (cl.positional.empty()) throw common::UsageError("no source named (" + names + ")");
    const std::string& source = cl.positional.front();
    if (std::find(known.begin(), known.end(), source) == known.end())
        throw common::UsageError("unknown source '" + shown(source) + "' (" + names + ")");
    return source;
}

std::string givenTitle(const common::CommandLine& cl) {
    if (const std::string why = common::titleProblem(cl); !why.empty()) throw common::UsageError(why);
    return cl.value("--title");
}

std::optional<double> givenFermi(const common::CommandLine& cl) {
    if (cl.has("--scf") && cl.has("--fermi"))
        throw common::UsageError("--scf and --fermi both give the Fermi energy: one only");
    if (!cl.has("--fermi")) return std::nullopt;
    const double fermi = cl.real("--fermi");
    if (!(std::fabs(fermi) <= kMostFermi))
        throw common::UsageError("--fermi " + cl.value("--fermi") +
                                 " lies beyond 1000 eV either way, where no calculation's Fermi energy lies");
    return fermi;
}

common::Status writeImport(const std::string& dir, std::vector<std::pair<std::string, std::string>> files) {
    std::error_code ec;
    if (!dir.empty() && !std::filesystem::exists(dir, ec) && !std::filesystem::create_directories(dir, ec))
        return common::Failure{dir + ": cannot be created"};
    for (auto& [name, text] : files)
        if (!dir.empty() && dir != ".") name = (dir.back() == '/' ? dir : dir + "/") + name;
    return common::writeFilesTogether(files);
}

int runProgram(const std::string& program, std::ostream& err,
               const std::function<common::Status()>& body) {
    try {
        if (common::Status done = body(); !done) {
            err << program << ": " << done.error() << "\n";
            return 1;
        }
        return 0;
    } catch (const common::UsageError& e) {
        err << program << ": " << e.what() << "\n" << common::usageHint(program);
        return 2;
    }
}

}  // namespace importer
