#include "common/records.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "common/fortran_format.h"

namespace common {

bool readableFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::ifstream(path).good();
}

std::optional<std::string> readWholeFile(const std::string& path) {
    // A directory opens as a stream whose end lies anywhere: the size
    // below would then be nonsense.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    // one read into a buffer of the file's size, no copies
    const std::streamoff size = in.tellg();
    if (size < 0) return std::nullopt;
    std::string text(static_cast<size_t>(size), '\0');
    in.seekg(0);
    in.read(text.data(), size);
    if (in.bad() || in.gcount() != size) return std::nullopt;
    return text;
}

std::string recordWhere(const std::string& name, size_t n, const std::string& what) {
    return name + ", record " + std::to_string(n) + ": " + what;
}

bool RecordCursor::next(std::string& out) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    size_t stop = end;
    if (stop > pos_ && text_[stop - 1] == '\r') --stop;
    out.assign(text_, pos_, stop - pos_);
    pos_ = end + 1;
    ++n_;
    return true;
}

std::optional<RecordFile> RecordFile::load(const std::string& path) {
    auto text = readWholeFile(path);
    if (!text) return std::nullopt;
    return fromText(path, *text);
}

RecordFile RecordFile::fromText(const std::string& name, const std::string& text) {
    RecordFile f;
    f.name_ = name;
    f.records_.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string rec = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!rec.empty() && rec.back() == '\r') rec.pop_back();
        f.records_.push_back(std::move(rec));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return f;
}

std::string RecordFile::where(size_t n, const std::string& what) const { return recordWhere(name_, n, what); }

std::string FieldCursor::take(int w) {
    std::string s;
    if (pos_ < rec_.size()) s = rec_.substr(pos_, static_cast<size_t>(w));
    pos_ += static_cast<size_t>(w);
    s.resize(static_cast<size_t>(w), ' ');
    return s;
}

std::optional<long> FieldCursor::I(int w) {
    // the form the programs write, blanks then digits with an optional
    // minus, read in place; every other form as a typed field reads
    const size_t start = std::min(pos_, rec_.size());
    const size_t end = std::min(pos_ + static_cast<size_t>(w), rec_.size());
    size_t i = start;
    while (i < end && rec_[i] == ' ') ++i;
    const bool negative = i < end && rec_[i] == '-';
    const size_t first = i + (negative ? 1 : 0);
    long v = 0;
    for (i = first; i < end && rec_[i] >= '0' && rec_[i] <= '9' && i - first < 12; ++i) v = v * 10 + (rec_[i] - '0');
    if (i == end && i > first && end - start == static_cast<size_t>(w)) {
        pos_ += static_cast<size_t>(w);
        return negative ? -v : v;
    }
    return field::readInt(take(w));
}

namespace {
// A field holding a plain decimal with its point ("  -5.12345"), the form
// the programs write, read at once; nullopt for every other form.
std::optional<double> plainDecimal(const char* a, const char* b) {
    while (a < b && *a == ' ') ++a;
    while (b > a && b[-1] == ' ') --b;
    bool point = false, digits = false;
    for (const char* c = a; c < b; ++c) {
        if (*c >= '0' && *c <= '9') digits = true;
        else if (*c == '.' && !point) point = true;
        else if (!(*c == '-' && c == a)) return std::nullopt;
    }
    if (!point || !digits) return std::nullopt;
    // at most 15 digits: the whole number of them is exact in a double, and
    // its quotient by an exact power of ten is the double nearest the text
    static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    long long m = 0;
    int count = 0, decimals = 0;
    bool after = false;
    for (const char* c = *a == '-' ? a + 1 : a; c < b; ++c) {
        if (*c == '.') {
            after = true;
            continue;
        }
        m = m * 10 + (*c - '0');
        decimals += after;
        if (++count > 15) break;
    }
    if (count <= 15) {
        const double v = static_cast<double>(m) / kPowers[decimals];
        return *a == '-' ? -v : v;
    }
    double v = 0;
    auto [end, ec] = std::from_chars(a, b, v);
    if (ec != std::errc() || end != b) return std::nullopt;
    return v;
}
}  // namespace

std::optional<double> FieldCursor::F(int w, int d) {
    const size_t start = std::min(pos_, rec_.size());
    const size_t end = std::min(pos_ + static_cast<size_t>(w), rec_.size());
    if (auto v = plainDecimal(rec_.data() + start, rec_.data() + end)) {
        pos_ += static_cast<size_t>(w);
        return v;
    }
    std::string s = take(w);
    auto v = field::readReal(s);
    if (!v) return v;
    // Without a decimal point the last d digits of the mantissa are decimals.
    if (s.find('.') == std::string::npos) {
        size_t e = s.find_first_of("EeDd");
        if (e == std::string::npos) return *v / std::pow(10.0, d);
        auto mant = field::readReal(s.substr(0, e));
        auto rest = field::readInt(s.substr(e + 1));
        if (!mant || !rest) return std::nullopt;
        return *mant / std::pow(10.0, d) * std::pow(10.0, static_cast<double>(*rest));
    }
    return v;
}

std::optional<bool> FieldCursor::L(int w) {
    std::string s = take(w);
    size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos) return std::nullopt;
    if (s[i] == '.') ++i;
    if (i >= s.size()) return std::nullopt;
    char c = s[i];
    if (c == 'T' || c == 't') return true;
    if (c == 'F' || c == 'f') return false;
    return std::nullopt;
}

std::string FieldCursor::A(int w) { return take(w); }

const std::string* RecordReader::next() {
    if (!ok()) return nullptr;
    ++n_;
    if (!f_.has(n_)) {
        fail("missing (the file ends early)");
        return nullptr;
    }
    return &f_.record(n_);
}

bool RecordReader::fail(const std::string& what) {
    if (ok()) error_ = f_.where(n_, what);
    return false;
}

int RecordReader::intIn(FieldCursor& c, int w, int lo, int hi, const std::string& what) {
    const long v = get(c.I(w), what);
    if (ok() && (v < lo || v > hi)) {
        fail(what + " " + std::to_string(v) + " outside " + std::to_string(lo) + " ... " + std::to_string(hi));
        return lo;
    }
    return static_cast<int>(v);
}

bool RecordReader::counted(const KeywordRecord& k, size_t count) {
    if (!k.whole)
        return fail("unreadable record '" + fortran::trimRight(k.keyword + k.rest) +
                    "' (a keyword and whole numbers wanted)");
    if (k.numbers.size() == count) return ok();
    return fail("'" + k.keyword + "' record with " + std::to_string(k.numbers.size()) + " numbers (" +
                std::to_string(count) + " wanted)");
}

int RecordReader::numberIn(const KeywordRecord& k, size_t i, int lo, int hi, const std::string& what) {
    if (!ok() || i >= k.numbers.size()) return lo;
    const long v = k.numbers[i];
    if (v < lo || v > hi) {
        fail(what + " " + std::to_string(v) + " outside " + std::to_string(lo) + " ... " + std::to_string(hi));
        return lo;
    }
    return static_cast<int>(v);
}

bool startsKeyword(const std::string& record) {
    return !record.empty() && std::isalpha(static_cast<unsigned char>(record[0]));
}

KeywordRecord readKeywordRecord(const std::string& record) {
    std::istringstream words(record);
    KeywordRecord k;
    words >> k.keyword;
    const size_t after = record.find(k.keyword) + k.keyword.size();
    k.rest = record.substr(std::min(after, record.size()));
    for (std::string w; words >> w;) {
        long v = 0;
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
        if (ec != std::errc() || end != w.data() + w.size()) k.whole = false;
        k.numbers.push_back(v);
    }
    if (!k.whole) k.numbers.clear();
    return k;
}

double RecordReader::realOf(const KeywordRecord& k, const std::string& what) {
    std::istringstream words(k.rest);
    std::string word, extra;
    std::optional<double> v;
    if (words >> word && !(words >> extra)) v = field::readReal(word);
    return get(v, what);
}

bool readKeywordRecords(RecordReader& in, const std::map<std::string, KeywordReader>& readers) {
    while (in.ok() && !in.atEnd()) {
        const std::string* r = in.next();
        if (!startsKeyword(*r))
            return in.fail("unreadable record '" + fortran::trimRight(*r) + "' (a keyword and whole numbers wanted)");
        const KeywordRecord k = readKeywordRecord(*r);
        auto reader = readers.find(k.keyword);
        if (reader == readers.end()) return in.fail("unknown record '" + k.keyword + "'");
        if (!reader->second(in, k)) return false;
    }
    return in.ok();
}

std::string keywordRecord(const std::string& keyword, const std::vector<long>& numbers) {
    std::string r = keyword;
    for (long v : numbers) r += " " + std::to_string(v);
    return r;
}

std::optional<float> readBack(double v, int w, int d) {
    if (const std::optional<double> back = fortran::valueOfF(v, w, d)) return static_cast<float>(*back);
    return std::nullopt;
}

std::string layoutRefusal(const std::string& why) {
    return " The layout file cannot hold this value: " + why + ".";
}

namespace {
std::string inField(float v, int w, int d) {
    const std::string s = fortran::F(v, w, d);
    return s.substr(s.find_first_not_of(' '));
}
}  // namespace

std::string fieldRefusal(double v, int w, int d, std::optional<float> above) {
    const std::optional<float> back = readBack(v, w, d);
    if (!back) return layoutRefusal(fortran::general(v) + " does not fit its " + std::to_string(w) + " columns");
    if (above && !(*back > *above))
        return layoutRefusal(fortran::general(v) + " reads back as " + inField(*back, w, d) + ", not above " +
                             fortran::general(*above));
    return "";
}

std::string rangeRefusal(double lo, double hi, int w, int d) {
    for (double v : {lo, hi})
        if (std::string why = fieldRefusal(v, w, d); !why.empty()) return why;
    const float blo = *readBack(lo, w, d), bhi = *readBack(hi, w, d);
    if (!(bhi > blo))
        return layoutRefusal(fortran::general(lo) + " to " + fortran::general(hi) + " reads back as " + inField(blo, w, d) + " to " +
                             inField(bhi, w, d));
    return "";
}

std::string RecordWriter::F(double v, int w, int d, const std::string& what) {
    std::string s = fortran::F(v, w, d);
    if (s.find('*') != std::string::npos && unfit_.empty()) {
        const std::string wide = fortran::F(v, 40, d);
        unfit_ = what + " " + wide.substr(wide.find_first_not_of(' ')) + " does not fit the layout file";
    }
    return s;
}

Result<std::string> RecordWriter::text() const {
    if (!unfit_.empty()) return Failure{unfit_};
    return text_;
}


namespace {

// Writes `content` to `tmp`, flushed to the disk; errno's text on failure.
std::string writeTemporary(const std::string& tmp, const std::string& content) {
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return std::strerror(errno);
    bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (::fsync(fileno(f)) == 0) && ok;
    const int saved = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (ok) return "";
    std::remove(tmp.c_str());
    return std::strerror(saved ? saved : errno);
}

}  // namespace

Status writeFileAtomic(const std::string& path, const std::string& content) {
    const std::string tmp = path + ".tmp" + std::to_string(::getpid());
    if (const std::string why = writeTemporary(tmp, content); !why.empty())
        return Failure{path + ": cannot be written (" + why + ")"};
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        std::remove(tmp.c_str());
        return Failure{path + ": cannot be written (" + std::strerror(err) + ")"};
    }
    return {};
}

Status writeFilesTogether(const std::vector<std::pair<std::string, std::string>>& files) {
    namespace fs = std::filesystem;
    for (const auto& [path, content] : files) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(path, ec);
        if (fs::exists(st) && !fs::is_regular_file(st)) return Failure{path + ": cannot be written (not a regular file)"};
    }
    const std::string suffix = ".tmp" + std::to_string(::getpid());
    auto removeTemporaries = [&](size_t upTo) {
        for (size_t i = 0; i < upTo; ++i) std::remove((files[i].first + suffix).c_str());
    };
    for (size_t i = 0; i < files.size(); ++i)
        if (const std::string why = writeTemporary(files[i].first + suffix, files[i].second); !why.empty()) {
            removeTemporaries(i);
            return Failure{files[i].first + ": cannot be written (" + why + ")"};
        }
    std::vector<std::optional<std::string>> before;
    for (const auto& file : files) before.push_back(readWholeFile(file.first));
    for (size_t i = 0; i < files.size(); ++i) {
        if (std::rename((files[i].first + suffix).c_str(), files[i].first.c_str()) == 0) continue;
        const int err = errno;
        for (size_t j = 0; j < i; ++j) {
            if (before[j]) (void)writeFileAtomic(files[j].first, *before[j]);
            else std::remove(files[j].first.c_str());
        }
        for (size_t j = i; j < files.size(); ++j) std::remove((files[j].first + suffix).c_str());
        return Failure{files[i].first + ": cannot be written (" + std::strerror(err) + ")"};
    }
    return {};
}

}  // namespace common
