#include "common/console.h"

#include "common/fortran_format.h"

namespace common {

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

std::string Console::askLabel(const std::string& text, int w) {
    prompt(text);
    const std::string answer = fortran::trimRight(readLine());
    const std::string kept = field::columns(answer, w);
    if (answer.size() > static_cast<size_t>(w))
        line(" \"" + answer + "\" was cut to \"" + fortran::trimRight(kept) + "\" (" + std::to_string(w) +
             " characters).");
    return kept;
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
