#include "common/fortran_format.h"

#include <charconv>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace common {

namespace fortran {

static std::string rightJustify(const std::string& s, int w) {
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<size_t>(w), '*');
    return std::string(static_cast<size_t>(w) - s.size(), ' ') + s;
}

void appendI(std::string& out, long v, int w) {
    char buf[24];
    const char* end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    const auto n = static_cast<size_t>(end - buf);
    if (n > static_cast<size_t>(w)) {
        out.append(static_cast<size_t>(w), '*');
        return;
    }
    out.append(static_cast<size_t>(w) - n, ' ');
    out.append(buf, n);
}

std::string I(long v, int w) {
    std::string out;
    appendI(out, v, w);
    return out;
}

namespace {

constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// |v| 10^d rounded to a whole number as printf's %.*f rounds (exactly, the
// binary value's decimal, ties to even), where double arithmetic can tell:
// d 0 ... 9 and |v| 10^d below 1e9, within 1e-7 of its true value, and not
// that near a half; nullopt for the rest.
std::optional<double> roundedUnits(double v, int d) {
    if (d < 0 || d > 9 || !std::isfinite(v)) return std::nullopt;
    const double t = std::fabs(v) * kPowers[d];
    if (!(t < 1e9) || std::fabs(t - std::floor(t) - 0.5) <= 1e-6) return std::nullopt;
    return std::nearbyint(t);
}

// The digits of v rounded to d decimals, as printf's %.*f writes them,
// into buf; the end of the text. Most values are rounded in whole units
// (roundedUnits); the rest go to to_chars.
char* fixedDigits(char* buf, char* last, double v, int d) {
    if (const std::optional<double> units = roundedUnits(v, d)) {
        auto m = static_cast<unsigned long long>(*units);
        const auto unit = static_cast<unsigned long long>(kPowers[d]);
        char* p = buf;
        if (std::signbit(v)) *p++ = '-';
        p = std::to_chars(p, last, m / unit).ptr;
        if (d > 0) {
            *p++ = '.';
            m %= unit;
            for (int k = d - 1; k >= 0; --k, m /= 10) p[k] = static_cast<char>('0' + m % 10);
            p += d;
        }
        return p;
    }
    return std::to_chars(buf, last, v, std::chars_format::fixed, d).ptr;
}

}  // namespace

namespace {

// The text of Fw.d in buf (at most w characters), or nullopt when it is
// too wide (asterisks then).
std::optional<std::string_view> fixedField(char (&buf)[512], double v, int w, int d) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e200) return std::nullopt;
    char* start = buf;
    const char* end = fixedDigits(buf, buf + sizeof buf, v, d);
    if (end - start > w) {
        // the optional leading zero goes first
        const std::string_view s(start, static_cast<size_t>(end - start));
        if (s.starts_with("0.")) {
            ++start;
        } else if (s.starts_with("-0.")) {
            start[1] = '-';
            ++start;
        }
    }
    const auto n = static_cast<size_t>(end - start);
    if (n > static_cast<size_t>(w)) return std::nullopt;
    return std::string_view(start, n);
}

}  // namespace

bool appendF(std::string& out, double v, int w, int d) {
    char buf[512];
    const std::optional<std::string_view> text = fixedField(buf, v, w, d);
    if (!text) {
        out.append(static_cast<size_t>(w), '*');
        return false;
    }
    out.append(static_cast<size_t>(w) - text->size(), ' ');
    out.append(*text);
    return true;
}

std::string F(double v, int w, int d) {
    std::string out;
    appendF(out, v, w, d);
    return out;
}

std::optional<double> valueOfF(double v, int w, int d) {
    if (const std::optional<double> units = roundedUnits(v, d)) {
        // the width fixedField gives the text (its leading zero dropped
        // where that makes it fit); the quotient of two exact doubles is
        // the double nearest the decimal, as reading the text gives it
        const double whole = std::floor(*units / kPowers[d]);
        int width = (std::signbit(v) ? 1 : 0) + (d > 0 ? 1 + d : 0);
        if (whole == 0 && d == 0) ++width;
        for (auto u = static_cast<unsigned long long>(whole); u > 0; u /= 10) ++width;
        if (width > w) return std::nullopt;
        const double back = *units / kPowers[d];
        return std::signbit(v) ? -back : back;
    }
    char buf[512];
    const std::optional<std::string_view> text = fixedField(buf, v, w, d);
    if (!text) return std::nullopt;
    double back = 0;
    if (std::from_chars(text->data(), text->data() + text->size(), back).ec != std::errc()) return std::nullopt;
    return back;
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
