#include "import/text_table.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "common/error.h"
#include "common/options.h"

namespace importer {

using namespace common;

RecordFile loadText(const std::string& path) {
    auto f = RecordFile::load(path);
    if (!f) throw common::Stop(path + ": cannot be read");
    return std::move(*f);
}

void failAt(const RecordFile& f, size_t line, const std::string& what) {
    throw common::Stop(f.name() + ", line " + std::to_string(line) + ": " + what);
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> w;
    size_t i = 0;
    while (true) {
        i = line.find_first_not_of(" \t\r", i);
        if (i == std::string::npos) break;
        size_t j = line.find_first_of(" \t\r", i);
        w.push_back(line.substr(i, j == std::string::npos ? std::string::npos : j - i));
        if (j == std::string::npos) break;
        i = j;
    }
    return w;
}

std::optional<double> number(const std::string& word) {
    if (word.empty()) return std::nullopt;
    std::string s = word;
    for (char& c : s) {
        if (c == 'D' || c == 'd') c = 'E';
        else if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'E' || c == 'e'))
            return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::vector<double> numbersOn(const RecordFile& f, size_t line, const std::string& text) {
    std::vector<double> v;
    for (const std::string& w : words(text)) {
        auto x = number(w);
        if (!x) failAt(f, line, "unreadable number '" + w + "'");
        v.push_back(*x);
    }
    return v;
}

bool blank(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }

std::vector<int> numberList(const std::string& option, const std::string& text) {
    std::vector<int> out;
    auto bad = [&]() { return common::UsageError(option + " takes numbers such as 1,3,5-7, not '" + text + "'"); };
    auto whole = [&](const std::string& s) {
        if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) throw bad();
        const int v = std::atoi(s.c_str());
        if (v < 1) throw bad();
        return v;
    };
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
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

}  // namespace importer
