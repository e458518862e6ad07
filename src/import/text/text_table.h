// The one text toolkit of the importers: other programs' text files read
// whole as lines, lines cut into words, one number grammar, counts, and the
// one form of a complaint, "FILE, line N: what". Every reader built on it
// returns common::Result; nothing here throws.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/records.h"

namespace importer {

// The whole file as lines; "PATH: cannot be opened" when it cannot.
common::Result<common::RecordFile> loadText(const std::string& path);

// "FILE, line N: what".
common::Failure at(const std::string& file, size_t line, const std::string& what);
common::Failure at(const common::RecordFile& f, size_t line, const std::string& what);

// A file cut short: "FILE, line N: the file ends before WHAT".
common::Failure endsBefore(const common::RecordFile& f, size_t line, const std::string& what);

// Input quoted in a message: control bytes as \xNN, cut after kMostShown
// characters ("...").
constexpr size_t kMostShown = 40;
std::string shown(const std::string& text);

// The number of words of a line separated by blanks and tabs, counted
// without cutting it.
size_t wordCount(const std::string& line);

// The most numbers one line of these files holds (a row of a density of
// states with all its projections holds a few hundred): a line with more
// is refused before it is cut into words, so memory stays bounded.
constexpr size_t kMostWords = 100000;

// The words of a line, separated by blanks, tabs (and `more`, e.g. ",").
std::vector<std::string> words(const std::string& line, const char* more = "");

// The words after the first `marker` in `line`, separated by blanks and
// commas; nullopt when the marker is not there.
std::optional<std::vector<std::string>> wordsAfter(const std::string& line, const std::string& marker);

// True when the line holds nothing but blanks.
bool blank(const std::string& line);

// The first line of f at or after r that is not blank; f.size() + 1 when none.
size_t nextFilled(const common::RecordFile& f, size_t r);

// The largest magnitude a number of these files may have. No energy (eV),
// density of states, population, k coordinate or gradient of a calculation
// comes near it, and the programs' fields hold at most 99999.99999: beyond
// it the file is damaged. The bound also keeps every sum and product of the
// conversions (integrals over a grid, E n(E) dE over a million rows) far
// inside what a float holds, so no conversion makes an infinity of a
// number it was given.
constexpr double kLargestNumber = 1e10;

// A decimal number as C or Fortran write it: 1.5, -2.0E+01, .5, 5., 1.5D-3,
// and Fortran's three-digit exponent without its letter, 0.1234-100, which
// is far below what the programs keep and is read as 0 (a positive one is
// refused: no value of these files is that large). Not a number, infinity,
// hexadecimal forms and magnitudes beyond kLargestNumber are none.
std::optional<double> number(const std::string& word);

// The checked reader of one word on line `line` of f: its number, or
// "FILE, line N: unreadable number 'WORD'" or "FILE, line N: WORD is beyond
// 1e10 (no value of this file is that large)".
common::Result<double> numberOn(const common::RecordFile& f, size_t line, const std::string& word);

// An optional sign and digits.
std::optional<long> integer(const std::string& word);

// Every word of `text` as a number; nullopt when one is none. Fixed-width
// fields may run together ("-100.123-99.456"): given `widths`, a line that
// does not split at blanks is cut into fields of the first width that
// divides it.
std::optional<std::vector<double>> numbers(const std::string& text, std::initializer_list<int> widths = {});

// Every word of `text` (line `line` of f, the whole line by default) as a
// number, or the complaint of numberOn about the first that is none.
common::Result<std::vector<double>> numbersOn(const common::RecordFile& f, size_t line,
                                              const std::vector<std::string>& words);
common::Result<std::vector<double>> numbersOn(const common::RecordFile& f, size_t line, const std::string& text);
common::Result<std::vector<double>> numbersOn(const common::RecordFile& f, size_t line);

// A count a file announces (`value` on line `line`): a whole number from lo
// to hi, or "FILE, line N: WHAT = VALUE is not a count from LO to HI".
common::Result<size_t> count(const common::RecordFile& f, size_t line, const std::string& what, double value,
                             size_t lo, size_t hi);

// A number for a message or a summary: F format, `decimals` decimals, no
// leading blanks.
std::string plain(double v, int decimals);

}  // namespace importer
