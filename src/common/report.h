// The lines a non-interactive step has to say (an echo, a message per line
// left out), collected in order for the dialogue to print: the steps that
// read and write files stay free of the console.
#pragma once

#include <string>

namespace common {

class Report {
public:
    // One line, as Console::line would print it.
    void line(const std::string& text = "") {
        text_ += text;
        text_ += '\n';
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace common
