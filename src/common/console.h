// The question-and-answer dialogue: every prompt and every answer of both
// programs goes through one Console, so each dialogue can be driven from
// string streams in the tests.
#pragma once

#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "common/fortran_format.h"

namespace common {

// Thrown when the console closes while an answer is awaited. The programs
// catch it in main, print " End of input." and stop as the quit option would.
struct EndOfInput : std::runtime_error {
    EndOfInput() : std::runtime_error("end of input") {}
};

class Console {
public:
    Console(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

    // Text as it stands, no line feed added.
    void put(const std::string& text);
    // Text followed by a line feed.
    void line(const std::string& text = "");
    // A prompt: printed without a line feed and flushed.
    void prompt(const std::string& text);
    // One input line (without its line end); throws EndOfInput at the end.
    std::string readLine();

    // Prompt, read an Iw field; ask again until it reads and `ok` accepts it.
    long askInt(const std::string& text, int w,
                const std::function<bool(long)>& ok = nullptr);
    // Prompt, read an Fw.d field; ask again until it reads and `ok` accepts it.
    double askReal(const std::string& text, int w,
                   const std::function<bool(double)>& ok = nullptr);
    // Prompt, read an Aw field (blank-padded to w characters).
    std::string askText(const std::string& text, int w);
    // askText for a label or title: an answer longer than the field (its
    // trailing blanks aside) is cut, and one line says so and to what.
    std::string askLabel(const std::string& text, int w);
    // Prompt, read an A1 answer: the first character, blank for an empty line.
    char askChar(const std::string& text);
    // Prompt until the answer is Y, y, N or n; true for yes.
    bool askYesNo(const std::string& text);

    std::ostream& out() { return out_; }

private:
    std::istream& in_;
    std::ostream& out_;
};

}  // namespace common
