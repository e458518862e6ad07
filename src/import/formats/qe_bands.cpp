#include "import/formats/qe_bands.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

using common::RecordFile;

namespace {

// The header of both files: "&GROUP NB=..., NK=... /" on the first line.
common::Status readHeader(const RecordFile& f, const std::string& group, const std::string& nbName,
                          const std::string& nkName, int& nb, int& nk) {
    const std::string form = group + " " + nbName + "=..., " + nkName + "=... /";
    if (!f.has(1)) return at(f, 1, "empty file, expected the header " + form);
    const std::string& h = f.record(1);
    if (h.find(group) == std::string::npos) return at(f, 1, "expected the header " + form);
    // "NAME= 12" inside the header line.
    auto value = [&](const std::string& name) {
        const auto w = wordsAfter(h, name + "=");
        return w && !w->empty() ? integer(w->front()) : std::nullopt;
    };
    auto b = value(nbName);
    auto k = value(nkName);
    if (!b || !k) return at(f, 1, "unreadable header, expected " + form);
    auto bands = count(f, 1, nbName, static_cast<double>(*b), 1, 100000);
    if (!bands) return common::Failure{bands.error()};
    auto points = count(f, 1, nkName, static_cast<double>(*k), 1, 1000000);
    if (!points) return common::Failure{points.error()};
    nb = static_cast<int>(*bands);
    nk = static_cast<int>(*points);
    return {};
}

// The next line that is not blank, from `line` on; 0 at the end of the file.
size_t nextLine(const RecordFile& f, size_t line) {
    while (f.has(line) && blank(f.record(line))) ++line;
    return f.has(line) ? line : 0;
}

std::string ordinal(int ik, int nk) { return "k point " + std::to_string(ik + 1) + " of " + std::to_string(nk); }

// Per k point, `count` values ten a line, each line full but the last.
template <class Read>
common::Status readValues(const RecordFile& f, size_t& line, int ik, int nk, int count, const std::string& what,
                          const std::string& countName, Read read) {
    int got = 0;
    while (got < count) {
        line = nextLine(f, line);
        if (line == 0)
            return endsBefore(f, f.size() + 1, "all the " + what + " of " + ordinal(ik, nk));
        const int expect = std::min(10, count - got);
        auto n = read(f.record(line), got);
        if (n < 0) return at(f, line, "unreadable " + what + " of " + ordinal(ik, nk));
        if (n != expect)
            return at(f, line, std::to_string(n) + " values where " + std::to_string(expect) + " " + what +
                                   " of " + ordinal(ik, nk) + " belong (header " + countName + "=" +
                                   std::to_string(count) + ")");
        got += n;
        ++line;
    }
    return {};
}

common::Status readCoordinates(const RecordFile& f, size_t& line, int ik, int nk, KVector& k,
                               std::vector<std::string>& rest) {
    line = nextLine(f, line);
    if (line == 0)
        return endsBefore(f, f.size() + 1, ordinal(ik, nk) + " (short file, or the header's count is too large)");
    auto w = words(f.record(line));
    if (w.size() < 3) return at(f, line, "expected the coordinates of " + ordinal(ik, nk));
    for (size_t j = 0; j < 3; ++j) {
        auto v = number(w[j]);
        if (!v) return at(f, line, "unreadable coordinates of " + ordinal(ik, nk));
        k[j] = *v;
    }
    rest.assign(w.begin() + 3, w.end());
    return {};
}

// Nothing but blank lines may follow the last k point.
common::Status checkEnd(const RecordFile& f, size_t line, int nk, const std::string& nkName) {
    line = nextLine(f, line);
    if (line != 0)
        return at(f, line, "data after the last of " + std::to_string(nk) + " k points (header " + nkName + "=" +
                               std::to_string(nk) + ")");
    return {};
}

common::Result<QeBands> bandsOf(const RecordFile& f) {
    QeBands b;
    if (auto s = readHeader(f, "&plot", "nbnd", "nks", b.nbnd, b.nks); !s) return common::Failure{s.error()};
    // The k points grow with the file: nks is only what the header claims.
    size_t line = 2;
    for (int ik = 0; ik < b.nks; ++ik) {
        std::vector<std::string> rest;
        if (auto s = readCoordinates(f, line, ik, b.nks, b.k.emplace_back(), rest); !s)
            return common::Failure{s.error()};
        if (!rest.empty()) return at(f, line, "expected the 3 coordinates of " + ordinal(ik, b.nks) + " alone");
        b.line.push_back(line);
        ++line;
        auto& e = b.e.emplace_back();
        auto s = readValues(f, line, ik, b.nks, b.nbnd, "energies", "nbnd", [&](const std::string& rec, int) {
            auto v = numbers(rec, {9, 8});
            if (!v) return -1;
            e.insert(e.end(), v->begin(), v->end());
            return static_cast<int>(v->size());
        });
        if (!s) return common::Failure{s.error()};
    }
    return checkEnd(f, line, b.nks, "nks").transform([&] { return std::move(b); });
}

common::Result<QeRap> rapOf(const RecordFile& f) {
    QeRap r;
    if (auto s = readHeader(f, "&plot_rap", "nbnd_rap", "nks_rap", r.nbnd, r.nks); !s) return common::Failure{s.error()};
    // The k points grow with the file: nks_rap is only what the header claims.
    size_t line = 2;
    for (int ik = 0; ik < r.nks; ++ik) {
        std::vector<std::string> rest;
        if (auto s = readCoordinates(f, line, ik, r.nks, r.k.emplace_back(), rest); !s) return common::Failure{s.error()};
        r.line.push_back(line);
        if (rest.empty() || (rest[0] != "T" && rest[0] != "F"))
            return at(f, line, "expected T or F after the coordinates of " + ordinal(ik, r.nks));
        r.high.push_back(rest[0] == "T");
        ++line;
        // Later versions add the group codes to the coordinate line and, for
        // some points, lines of gauge factors (reals) before the numbers.
        if (rest.size() > 1)
            while (f.has(line) && f.record(line).find('.') != std::string::npos) ++line;
        auto& rap = r.rap.emplace_back();
        auto s = readValues(f, line, ik, r.nks, r.nbnd, "representations", "nbnd_rap", [&](const std::string& rec, int) {
            int n = 0;
            for (const std::string& w : words(rec)) {
                auto v = integer(w);
                if (!v) return -1;
                rap.push_back(static_cast<int>(*v));
                ++n;
            }
            return n;
        });
        if (!s) return common::Failure{s.error()};
    }
    return checkEnd(f, line, r.nks, "nks_rap").transform([&] { return std::move(r); });
}

}  // namespace

common::Result<QeBands> parseQeBands(const std::string& name, const std::string& text) {
    return bandsOf(RecordFile::fromText(name, text));
}

common::Result<QeRap> parseQeRap(const std::string& name, const std::string& text) {
    return rapOf(RecordFile::fromText(name, text));
}

common::Result<QeBands> readQeBands(const std::string& path) {
    return loadText(path).and_then(bandsOf);
}

common::Result<QeRap> readQeRap(const std::string& path) {
    return loadText(path).and_then(rapOf);
}

common::Status checkRapMatches(const QeBands& b, const QeRap& r, const std::string& rapName) {
    if (r.nbnd != b.nbnd || r.nks != b.nks)
        return at(rapName, 1, std::to_string(r.nbnd) + " bands at " + std::to_string(r.nks) +
                                  " k points, the band file has " + std::to_string(b.nbnd) + " at " +
                                  std::to_string(b.nks));
    for (size_t i = 0; i < b.k.size(); ++i)
        for (size_t j = 0; j < 3; ++j)
            if (std::fabs(r.k[i][j] - b.k[i][j]) > 2e-6)
                return at(rapName, r.line[i], "k point " + std::to_string(i + 1) + " differs from the band file's");
    return {};
}

}  // namespace importer
