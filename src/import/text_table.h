// Text files of other programs (tables of numbers with a few header lines),
// read whole; a complaint names the file and the line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/records.h"

namespace importer {

using namespace common;

// The whole file; common::Stop "PATH: cannot be read" when it cannot.
RecordFile loadText(const std::string& path);

// common::Stop with "FILE, line N: what".
[[noreturn]] void failAt(const RecordFile& f, size_t line, const std::string& what);

// Blank-separated words of a line.
std::vector<std::string> words(const std::string& line);

// A finite number written as C or Fortran write it (1.5, -2.0E+01, 1.5D-3).
std::optional<double> number(const std::string& word);

// Every word of `text` (line `line` of f) as a number; a word that is none
// stops with the file and line.
std::vector<double> numbersOn(const RecordFile& f, size_t line, const std::string& text);
inline std::vector<double> numbersOn(const RecordFile& f, size_t line) {
    return numbersOn(f, line, f.record(line));
}

// True when the line holds nothing but blanks.
bool blank(const std::string& line);

// A list of 1-based numbers such as "1,3,5-7"; common::UsageError naming
// `option` when it is not one.
std::vector<int> numberList(const std::string& option, const std::string& text);

}  // namespace importer
