// Text files read once into memory as records (lines), and files written
// whole through a temporary file that replaces the old one only when it is
// complete.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace common {

class RecordFile {
public:
    // Reads the whole file; nullopt when it cannot be opened.
    static std::optional<RecordFile> load(const std::string& path);
    static RecordFile fromText(const std::string& name, const std::string& text);

    const std::string& name() const { return name_; }
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
    void skip(int w) { pos_ += static_cast<size_t>(w); }

private:
    std::string take(int w);
    const std::string& rec_;
    size_t pos_ = 0;
};

// Writes `content` to a temporary file beside `path` and renames it over
// `path`. On failure `path` is untouched and `error` says why.
bool writeFileAtomic(const std::string& path, const std::string& content, std::string& error);

}  // namespace common
