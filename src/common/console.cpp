#include "common/console.h"

#include <cctype>
#include <cstdlib>

namespace common {

namespace field {

std::string columns(const std::string& line, int w) {
    std::string s = line.substr(0, static_cast<size_t>(w));
    s.resize(static_cast<size_t>(w), ' ');
    return s;
}

static std::string withoutBlanks(const std::string& text) {
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t') s += c;
    return s;
}

std::optional<long> readInt(const std::string& text) {
    std::string s = withoutBlanks(text);
    if (s.empty()) return 0L;
    size_t i = 0;
    bool neg = false;
    if (s[0] == '+' || s[0] == '-') {
        neg = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) return std::nullopt;
    long v = 0;
    for (; i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return std::nullopt;
        if (v > 100000000000L) return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return neg ? -v : v;
}

std::optional<double> readReal(const std::string& text) {
    std::string s = withoutBlanks(text);
    if (s.empty()) return 0.0;
    // mantissa: [sign] digits [. digits]; exponent: (E|D|e|d) [sign] digits
    size_t i = 0;
    std::string norm;
    if (s[i] == '+' || s[i] == '-') norm += s[i++];
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { norm += s[i++]; ++digits; }
    if (i < s.size() && s[i] == '.') {
        norm += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { norm += s[i++]; ++digits; }
    }
    if (digits == 0) return std::nullopt;
    if (i < s.size()) {
        char e = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
        if (e != 'E' && e != 'D') return std::nullopt;
        norm += 'E';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm += s[i++];
        size_t ed = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { norm += s[i++]; ++ed; }
        if (ed == 0 || i != s.size()) return std::nullopt;
    }
    char* end = nullptr;
    double v = std::strtod(norm.c_str(), &end);
    if (end == nullptr || *end != '\0') return std::nullopt;
    if (!(v == v) || v > 1e30 || v < -1e30) return std::nullopt;
    return v;
}

}  // namespace field

void Console::put(const std::string& text) { out_ << text; }

void Console::line(const std::string& text) { out_ << text << '\n'; }

void Console::prompt(const std::string& text) {
    out_ << text;
    out_.flush();
}

std::string Console::readLine() {
    std::string s;
    if (!std::getline(in_, s)) {
        out_ << '\n';
        throw EndOfInput();
    }
    if (!s.empty() && s.back() == '\r') s.pop_back();
    return s;
}

long Console::askInt(const std::string& text, int w, const std::function<bool(long)>& ok) {
    for (;;) {
        prompt(text);
        auto v = field::readInt(field::columns(readLine(), w));
        if (v && (!ok || ok(*v))) return *v;
    }
}

double Console::askReal(const std::string& text, int w, const std::function<bool(double)>& ok) {
    for (;;) {
        prompt(text);
        auto v = field::readReal(field::columns(readLine(), w));
        if (v && (!ok || ok(*v))) return *v;
    }
}

std::string Console::askText(const std::string& text, int w) {
    prompt(text);
    return field::columns(readLine(), w);
}

char Console::askChar(const std::string& text) { return askText(text, 1)[0]; }

bool Console::askYesNo(const std::string& text) {
    for (;;) {
        char c = askChar(text);
        if (c == 'Y' || c == 'y') return true;
        if (c == 'N' || c == 'n') return false;
    }
}

}  // namespace common
