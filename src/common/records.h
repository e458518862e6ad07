// Text files read once into memory as records (lines), and files written
// whole through a temporary file that replaces the old one only when it is
// complete.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/error.h"

namespace common {

// True when `path` names a regular file (or a link to one) that can be
// opened for reading: a directory, a device or a pipe is no input file.
bool readableFile(const std::string& path);

// The whole content of a file in one read; nullopt when it cannot be read
// or is not a regular file (readableFile).
std::optional<std::string> readWholeFile(const std::string& path);

// "fort.1, record 12: what" -- the one-line form of every file complaint.
std::string recordWhere(const std::string& name, size_t n, const std::string& what);

// The records of a text one after the other, each without its line end,
// for files too large to hold as one string per record.
class RecordCursor {
public:
    explicit RecordCursor(const std::string& text) : text_(text) {}
    // The next record into `out` (false past the last one); number() counts them.
    bool next(std::string& out);
    bool more() const { return pos_ < text_.size(); }
    size_t number() const { return n_; }

private:
    const std::string& text_;
    size_t pos_ = 0;
    size_t n_ = 0;
};

class RecordFile {
public:
    // Reads the whole file; nullopt when it cannot be opened or is no
    // regular file.
    static std::optional<RecordFile> load(const std::string& path);
    static RecordFile fromText(const std::string& name, const std::string& text);

    const std::string& name() const { return name_; }
    // The number of records.
    size_t size() const { return records_.size(); }
    bool has(size_t n) const { return n >= 1 && n <= records_.size(); }
    // Record n, counted from 1.
    const std::string& record(size_t n) const { return records_.at(n - 1); }
    // "fort.1, record 12: what" -- the one-line form of every file complaint.
    std::string where(size_t n, const std::string& what) const;

private:
    std::string name_;
    std::vector<std::string> records_;
};

// Reads the fields of one record from left to right, as a Fortran format
// would: Iw, Fw.d (an implied decimal point when the field has none), Lw, Aw.
class FieldCursor {
public:
    explicit FieldCursor(const std::string& record) : rec_(record) {}
    std::optional<long> I(int w);
    std::optional<double> F(int w, int d);
    std::optional<bool> L(int w);
    std::string A(int w);

private:
    std::string take(int w);
    const std::string& rec_;
    size_t pos_ = 0;
};

// The records a layout file keeps after its fixed ones, each starting with
// a word that names what it holds, then whole numbers separated by blanks
// ("legend 1 0"): any number of them in any order, so that new settings
// follow the records older files end with.
struct KeywordRecord {
    std::string keyword;
    std::vector<long> numbers;  // when every word after the keyword is a whole number
    std::string rest;           // the record after its keyword
    bool whole = true;          // every word after the keyword a whole number
};
// Whether a record is one: its first character is a letter.
bool startsKeyword(const std::string& record);
// The keyword, its numbers and the rest of a record.
KeywordRecord readKeywordRecord(const std::string& record);
// The record of a keyword and its numbers.
std::string keywordRecord(const std::string& keyword, const std::vector<long>& numbers);

// Walks the records of a file in order and keeps the first fault, naming its
// record; after a fault every read gives nothing more.
class RecordReader {
public:
    explicit RecordReader(const RecordFile& f) : f_(f) {}
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // True when every record has been read (optional records may follow).
    bool atEnd() const { return !f_.has(n_ + 1); }
    // The next record, or nullptr (and the fault "missing") past the end.
    const std::string* next();
    // The next record without reading it; nullptr past the end.
    const std::string* peek() const { return f_.has(n_ + 1) ? &f_.record(n_ + 1) : nullptr; }
    // Keeps `what` as the fault of the current record (unless one is kept); false.
    bool fail(const std::string& what);
    // The value of a field just read, or T{} and the fault "unreadable what".
    template <class T>
    T get(std::optional<T> v, const std::string& what) {
        if (v) return *v;
        fail("unreadable " + what);
        return T{};
    }
    // An Iw field within lo ... hi ("what v outside lo ... hi" otherwise).
    int intIn(FieldCursor& c, int w, int lo, int hi, const std::string& what);
    float real(FieldCursor& c, int w, int d, const std::string& what) {
        return static_cast<float>(get(c.F(w, d), what));
    }

    // The numbers of a keyword record, which must be `count`; the fault
    // names the keyword otherwise.
    bool counted(const KeywordRecord& k, size_t count);
    // Number i (from 0) of a keyword record within lo ... hi ("what v
    // outside lo ... hi" otherwise).
    int numberIn(const KeywordRecord& k, size_t i, int lo, int hi, const std::string& what);
    // The one real a keyword record holds ("KEYWORD value"), or 0 and the
    // fault "unreadable what".
    double realOf(const KeywordRecord& k, const std::string& what);

private:
    const RecordFile& f_;
    size_t n_ = 0;
    std::string error_;
};

// Reads the keyword records from the next one to the end of the file, each
// with the reader of its keyword (which returns false on a fault it kept);
// a record that does not read, or whose keyword has no reader, is the fault.
using KeywordReader = std::function<bool(RecordReader&, const KeywordRecord&)>;
bool readKeywordRecords(RecordReader& in, const std::map<std::string, KeywordReader>& readers);

// Collects the records of a file to be written. A number that does not fit
// its field would print as asterisks, which could not be read back: the
// first such number spoils the text.
class RecordWriter {
public:
    void record(const std::string& r) { text_ += r + "\n"; }
    // A keyword record "KEYWORD value", the value in an F12.5 field.
    void keywordRecord(const std::string& keyword, double v) { record(keyword + F(v, 12, 5, keyword)); }
    // The Fw.d field of v; `what` names the value in the complaint.
    std::string F(double v, int w, int d, const std::string& what = "the value");
    // The text, or the failure "what v does not fit the layout file".
    Result<std::string> text() const;

private:
    std::string text_;
    std::string unfit_;
};

// The value an Fw.d field written by RecordWriter gives back when it is
// read, or nothing when v does not fit the field.
std::optional<float> readBack(double v, int w, int d);

// The one-line reason a layout question gives when the file could not keep
// the answer: " The layout file cannot hold this value: <why>."
std::string layoutRefusal(const std::string& why);

// Why a value cannot go into an Fw.d field of a layout file and read back
// above `above` (when given): "" when it can.
std::string fieldRefusal(double v, int w, int d, std::optional<float> above = std::nullopt);

// Why a range cannot go into two Fw.d fields and read back with the lower
// end below the upper one: "" when it can.
std::string rangeRefusal(double lo, double hi, int w, int d);

// Writes `content` to a temporary file beside `path` and renames it over
// `path`. On failure `path` is untouched and the failure says why.
Status writeFileAtomic(const std::string& path, const std::string& content);

// Writes a set of files that belong together (path, content) so that the
// set is replaced whole or not at all: every file goes to a temporary name
// first, and only when all are written are they renamed into place; should
// a rename still fail, the files replaced before it get their old content
// back and the new ones that had none are removed. A path that exists and
// is no regular file is refused before anything is written.
Status writeFilesTogether(const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace common
