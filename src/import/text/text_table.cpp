#include "import/text/text_table.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "common/fortran_format.h"

namespace importer {

using common::Failure;
using common::RecordFile;
using common::Result;

common::Result<RecordFile> loadText(const std::string& path) {
    auto f = RecordFile::load(path);
    if (!f) return Failure{path + ": cannot be opened"};
    return std::move(*f);
}

Failure at(const std::string& file, size_t line, const std::string& what) {
    return Failure{file + ", line " + std::to_string(line) + ": " + what};
}

Failure at(const RecordFile& f, size_t line, const std::string& what) { return at(f.name(), line, what); }

Failure endsBefore(const RecordFile& f, size_t line, const std::string& what) {
    return at(f, line, "the file ends before " + what);
}

namespace {

bool blankSeparator(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Calls take(word) for the words of `text` between the characters `apart`
// says separate them, in order, while take returns true.
template <class Apart, class Take>
void eachWord(std::string_view text, Apart apart, Take take) {
    for (size_t i = 0, n = text.size(); i < n;) {
        while (i < n && apart(text[i])) ++i;
        size_t j = i;
        while (j < n && !apart(text[j])) ++j;
        if (j > i && !take(text.substr(i, j - i))) return;
        i = j;
    }
}

}  // namespace

std::vector<std::string> words(const std::string& line, const char* more) {
    std::array<bool, 256> separator{};
    for (const char* c = " \t\r"; *c; ++c) separator[static_cast<unsigned char>(*c)] = true;
    for (const char* c = more; *c; ++c) separator[static_cast<unsigned char>(*c)] = true;
    std::vector<std::string> w;
    eachWord(line, [&](char c) { return separator[static_cast<unsigned char>(c)]; },
             [&](std::string_view word) {
                 w.emplace_back(word);
                 return true;
             });
    return w;
}

std::optional<std::vector<std::string>> wordsAfter(const std::string& line, const std::string& marker) {
    const size_t at = line.find(marker);
    if (at == std::string::npos) return std::nullopt;
    return words(line.substr(at + marker.size()), ",");
}

bool blank(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }

size_t nextFilled(const common::RecordFile& f, size_t r) {
    while (r <= f.size() && blank(f.record(r))) ++r;
    return r;
}

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

// The digits of s from i on; i moves past them.
size_t skipDigits(std::string_view s, size_t& i) {
    const size_t from = i;
    while (i < s.size() && digit(s[i])) ++i;
    return i - from;
}

// The grammar of number(), without its bound.
std::optional<double> decimal(std::string_view w) {
    size_t i = 0;
    if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
    size_t digits = skipDigits(w, i);
    if (i < w.size() && w[i] == '.') digits += skipDigits(w, ++i);
    if (digits == 0) return std::nullopt;
    const size_t mantissa = i;
    std::string_view exponent;
    if (i < w.size()) {
        const char e = w[i];
        if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
            const size_t from = ++i;
            if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
            if (skipDigits(w, i) == 0) return std::nullopt;
            exponent = w.substr(from, i - from);
        } else if (e == '-' || e == '+') {
            // Fortran's exponent of three digits drops its letter: 0.1234-100.
            const size_t from = ++i;
            if (skipDigits(w, i) < 3 || i != w.size() || e == '+') return std::nullopt;
            return std::atol(std::string(w.substr(from)).c_str()) >= 100 ? std::optional<double>(0.0) : std::nullopt;
        }
    }
    if (i != w.size()) return std::nullopt;
    // the checked text read at once (a plain decimal where it stands);
    // strtod only for what from_chars leaves (a leading '+', values beyond
    // the range of a double)
    double v = 0;
    if (exponent.empty() && w.front() != '+') {
        const auto [end, ec] = std::from_chars(w.data(), w.data() + mantissa, v);
        if (ec == std::errc() && end == w.data() + mantissa) return v;
    }
    std::string c(w.substr(0, mantissa));
    if (!exponent.empty()) c += "E" + std::string(exponent);
    const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
    if (ec != std::errc() || end != c.data() + c.size()) v = std::strtod(c.c_str(), nullptr);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

std::optional<double> number(const std::string& word) {
    const auto v = decimal(word);
    if (!v || std::fabs(*v) > kLargestNumber) return std::nullopt;
    return v;
}

std::string shown(const std::string& text) {
    static const char* hex = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == kMostShown) return s + "...";
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7f) s += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        else s += static_cast<char>(c);
    }
    return s;
}

Result<double> numberOn(const RecordFile& f, size_t line, const std::string& word) {
    if (auto v = number(word)) return *v;
    if (decimal(word)) return at(f, line, shown(word) + " is beyond 1e10 (no value of this file is that large)");
    return at(f, line, "unreadable number '" + shown(word) + "'");
}

std::optional<long> integer(const std::string& word) {
    const std::string_view w = word;
    size_t i = 0;
    if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
    const size_t digits = skipDigits(w, i);
    if (digits == 0 || digits > 18 || i != w.size()) return std::nullopt;
    return std::strtol(word.c_str(), nullptr, 10);
}

namespace {

std::optional<std::vector<double>> wordsAsNumbers(std::string_view text) {
    std::vector<double> out;
    bool all = true;
    eachWord(text, blankSeparator, [&](std::string_view word) {
        const auto v = decimal(word);
        all = v && std::fabs(*v) <= kLargestNumber;
        if (all) out.push_back(*v);
        return all;
    });
    if (!all) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::vector<double>> numbers(const std::string& text, std::initializer_list<int> widths) {
    if (auto v = wordsAsNumbers(text)) return v;
    const std::string body = common::fortran::trimRight(text);
    for (int width : widths) {
        const size_t w = static_cast<size_t>(width);
        if (body.size() % w != 0) continue;
        std::vector<double> out;
        for (size_t p = 0; p < body.size(); p += w) {
            auto field = wordsAsNumbers(std::string_view(body).substr(p, w));
            if (!field || field->size() != 1) break;
            out.push_back(field->front());
        }
        if (out.size() == body.size() / w) return out;
    }
    return std::nullopt;
}

Result<std::vector<double>> numbersOn(const RecordFile& f, size_t line, const std::vector<std::string>& words) {
    std::vector<double> v;
    for (const std::string& w : words) {
        auto x = numberOn(f, line, w);
        if (!x) return common::Failure{x.error()};
        v.push_back(*x);
    }
    return v;
}

size_t wordCount(const std::string& line) {
    size_t n = 0;
    eachWord(line, blankSeparator, [&](std::string_view) {
        ++n;
        return true;
    });
    return n;
}

Result<std::vector<double>> numbersOn(const RecordFile& f, size_t line, const std::string& text) {
    if (wordCount(text) > kMostWords)
        return at(f, line, "more than " + std::to_string(kMostWords) + " numbers on one line");
    return numbersOn(f, line, words(text));
}

Result<std::vector<double>> numbersOn(const RecordFile& f, size_t line) { return numbersOn(f, line, f.record(line)); }

Result<size_t> count(const RecordFile& f, size_t line, const std::string& what, double value, size_t lo, size_t hi) {
    if (value == std::floor(value) && value >= static_cast<double>(lo) && value <= static_cast<double>(hi))
        return static_cast<size_t>(value);
    const std::string shown = value == std::floor(value) && std::fabs(value) < 1e15
                                  ? std::to_string(static_cast<long long>(value))
                                  : plain(value, 4);
    return at(f, line, what + " = " + shown + " is not a count from " + std::to_string(lo) + " to " + std::to_string(hi));
}

std::string plain(double v, int decimals) {
    const std::string s = common::fortran::F(v, 24, decimals);
    return s.substr(s.find_first_not_of(' '));
}

}  // namespace importer
