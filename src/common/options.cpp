#include "common/options.h"

#include "common/fortran_format.h"

namespace common {

std::string CommandLine::value(const std::string& option, const std::string& fallback) const {
    auto it = values.find(option);
    return it == values.end() ? fallback : it->second;
}

double CommandLine::real(const std::string& option) const {
    const std::string text = value(option);
    auto v = field::readReal(text);
    if (text.empty() || !v) throw UsageError(option + " takes a number, not '" + text + "'");
    return *v;
}

CommandLine parseCommandLine(const std::vector<std::string>& words, const OptionSpec& spec) {
    CommandLine cl;
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (optionsEnded || w.size() < 2 || w[0] != '-') {
            cl.positional.push_back(w);
            continue;
        }
        if (w == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = w, value;
        const size_t eq = w.find('=');
        const bool inlineValue = w.rfind("--", 0) == 0 && eq != std::string::npos;
        if (inlineValue) {
            name = w.substr(0, eq);
            value = w.substr(eq + 1);
        }
        if (cl.has(name)) throw UsageError("option " + name + " given twice");
        if (spec.flags.count(name)) {
            if (inlineValue) throw UsageError("option " + name + " takes no value");
            cl.flags.insert(name);
        } else if (spec.valued.count(name)) {
            if (!inlineValue) {
                if (i + 1 == words.size()) throw UsageError("option " + name + " needs a value");
                value = words[++i];
            }
            cl.values[name] = value;
        } else {
            throw UsageError("unknown option " + name);
        }
    }
    return cl;
}

std::vector<std::string> argumentWords(int argc, char** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) words.emplace_back(argv[i]);
    return words;
}

std::string titleProblem(const CommandLine& args) {
    const std::string title = args.has("--title") ? args.value("--title") : "";
    if (title.size() > kTitleCharacters) return "--title takes at most 80 characters";
    if (title.find_first_of("\n\r") != std::string::npos) return "--title takes one line";
    return "";
}

}  // namespace common
