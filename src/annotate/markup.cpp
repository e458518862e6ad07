#include "annotate/markup.h"

#include <array>
#include <cctype>

#include "common/fortran_format.h"
#include "common/plot.h"

namespace annotate {

using namespace common;

namespace {

constexpr int kLine = 80;

// Entry i names the Greek letter PGPLOT draws for \g and the letter 'A' + i
// (its \gC is xi, its \gX chi).
const std::array<const char*, 26> kGreekUpper = {
    "ALPHA", "BETA", "XI", "DELTA", "EPSILON", "PHI", "GAMMA", "THETA", "IOTA", "",
    "KAPPA", "LAMBDA", "MU", "NU", "OMIKRON", "PI", "PSI", "RHO", "SIGMA", "TAU",
    "UPSILON", "", "OMEGA", "CHI", "ETA", "ZETA"};

struct Keyword {
    const char* word;
    const char* replacement;  // written after the backslash
};
const std::array<Keyword, 17> kKeywords = {{
    {"super", "u"}, {"endsuper", "d"}, {"sub", "d"}, {"endsub", "u"},
    {"back", "b"}, {"space", " "}, {"cdot", "."}, {"cross", "x"},
    {"angstrom", "A"}, {"arrowrgt", "(2261)"}, {"arrowup", "(2262)"},
    {"arrowlft", "(2263)"}, {"arrowdwn", "(2264)"}, {"infinity", "(2270)"},
    {"+-", "(2233)"}, {"piovera", "u\\gp\\b\\d\\(0240)\\b\\da\\u"}, {"\\", "\\"},
}};

std::string pad8(const std::string& s) { return fortran::A(s, 8); }

std::string lowerCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

// "Gamma" from "gamma": the capitalised spelling of a name.
std::string capitalised(const std::string& lower) {
    std::string r = lower;
    if (!r.empty() && r[0] >= 'a' && r[0] <= 'z') r[0] = static_cast<char>(r[0] - 'a' + 'A');
    return r;
}

// The escapes for a Greek name: all upper case or capitalised gives the
// capital letter, all lower case the small one. Every table position is
// tried; only the empty word matches more than one (the blank entries).
std::string greek(const std::string& word) {
    const std::string word8 = pad8(word);
    std::string out;
    for (int i = 0; i < 26; ++i) {
        const std::string upper = kGreekUpper[static_cast<size_t>(i)];
        const std::string lower = lowerCase(upper);
        if (word8 == pad8(upper) || (!word.empty() && word8 == pad8(capitalised(lower))))
            out += std::string("\\g") + static_cast<char>('A' + i);
        else if (word8 == pad8(lower))
            out += std::string("\\g") + static_cast<char>('a' + i);
    }
    return out;
}

// The translation of one word (Greek names first, then the keywords in any
// case); empty when it is none of them.
std::string translateWord(const std::string& word) {
    std::string out = greek(word);
    if (!out.empty()) return out;
    const std::string lower = lowerCase(pad8(word));
    for (const auto& kw : kKeywords)
        if (lower == pad8(kw.word)) return std::string("\\") + kw.replacement;
    return "";
}

class Output {
public:
    Output() : buf_(kLine, ' ') {}
    void put(char c) {
        if (o_ < kLine) buf_[static_cast<size_t>(o_)] = c;
        ++o_;
    }
    void put(const std::string& s) {
        for (char c : s) put(c);
    }
    const std::string& text() const { return buf_; }

private:
    std::string buf_;
    int o_ = 0;
};

}  // namespace

std::string translateMarkup(const std::string& input) {
    const std::string line = fortran::A(input, kLine);
    int n = kLine;
    while (n > 0 && static_cast<unsigned char>(line[static_cast<size_t>(n - 1)]) <= ' ') --n;

    Output out;
    int k = 0;  // 1-based scan position
    for (;;) {
        ++k;
        if (k > n) break;
        char c = line[static_cast<size_t>(k - 1)];
        if (c != '\\') {
            out.put(c);
            continue;
        }
        // The word: up to 8 characters, ended by a blank (consumed with a
        // recognised word) or the end of the line.
        std::string word;
        int end = k + 8;
        for (int i = 1; i <= 8; ++i) {
            if (k + i > kLine) {
                end = kLine;
                break;
            }
            char w = line[static_cast<size_t>(k + i - 1)];
            if (w == ' ') {
                end = k + i;
                break;
            }
            word += w;
        }
        std::string escape = translateWord(word);
        if (!escape.empty()) {
            out.put(escape);
            k = end;
            continue;
        }
        // A name followed directly by more letters ("\arrowupX"): the longest
        // leading name is translated, the rest is text.
        size_t len = word.size();
        while (len > 1 && escape.empty()) escape = translateWord(word.substr(0, --len));
        if (!escape.empty()) {
            out.put(escape);
            k += static_cast<int>(len);
        } else {
            out.put('\\');
        }
    }
    return out.text();
}

void tltrap(Plot& plot, const std::string& text, float x, float y, float angle, int position) {
    float fjust = position == 1 ? 0.5f : position == 2 ? 1.0f : 0.0f;
    plot.sch(1.0f);
    plot.ptxt(x, y, angle, fjust, fortran::trimRight(translateMarkup(text)));
}

}  // namespace annotate
