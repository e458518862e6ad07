#include "common/fortran_format.h"

#include <charconv>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace common {

namespace fortran {

static std::string rightJustify(const std::string& s, int w) {
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<size_t>(w), '*');
    return std::string(static_cast<size_t>(w) - s.size(), ' ') + s;
}

std::string I(long v, int w) { return rightJustify(std::to_string(v), w); }

std::string F(double v, int w, int d) {
    if (!std::isfinite(v)) return std::string(static_cast<size_t>(w), '*');
    char buf[512];
    if (std::fabs(v) >= 1e200) return std::string(static_cast<size_t>(w), '*');
    // exact decimal rounding, as printf's %.*f but much cheaper
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, d);
    std::string s(buf, r.ptr);
    if (static_cast<int>(s.size()) > w) {
        // the optional leading zero goes first
        if (s.rfind("0.", 0) == 0) s.erase(0, 1);
        else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    }
    return rightJustify(s, w);
}

std::string D(double v, int w, int d) {
    if (!std::isfinite(v)) return std::string(static_cast<size_t>(w), '*');
    int exp10 = 0;
    double m = std::fabs(v);
    char digits[64];
    if (m != 0.0) {
        // mantissa in [0.1, 1) rounded to d digits
        std::snprintf(digits, sizeof digits, "%.*e", d - 1, m);
        // digits like "1.2345e+00": value = 0.12345 x 10^(e+1)
        std::string s = digits;
        size_t epos = s.find('e');
        exp10 = std::atoi(s.c_str() + epos + 1) + 1;
        std::string mant;
        for (size_t i = 0; i < epos; ++i)
            if (s[i] != '.') mant += s[i];
        std::snprintf(digits, sizeof digits, "%s", mant.c_str());
    } else {
        std::string z(static_cast<size_t>(d), '0');
        std::snprintf(digits, sizeof digits, "%s", z.c_str());
    }
    std::string out = v < 0 ? "-" : "";
    out += "0.";
    out += digits;
    out += 'D';
    out += exp10 < 0 ? '-' : '+';
    int ae = std::abs(exp10);
    if (ae < 10) out += '0';
    out += std::to_string(ae);
    return rightJustify(out, w);
}

std::string L(bool v) { return v ? "T" : "F"; }

std::string A(const std::string& s, int w) {
    std::string r = s.substr(0, static_cast<size_t>(w));
    r.resize(static_cast<size_t>(w), ' ');
    return r;
}

std::string trimRight(const std::string& s) {
    size_t n = s.find_last_not_of(' ');
    return n == std::string::npos ? std::string() : s.substr(0, n + 1);
}

std::string general(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

}  // namespace fortran

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

}  // namespace common
