// Damaged copies of the programs' files and the checks every run on them
// must pass: it ends by itself with status 0 or 1, the sanitizers stay
// silent, a refused file is named on the console, and the user's files are
// either untouched or whole.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace hostile {

struct Variant {
    std::string name;
    std::string text;
    // The damage lies in records the session reads: the file must be refused.
    bool refuse = false;
    // The damage lies outside the fields: the run must be the undamaged one.
    bool same = false;
    // A directory stands where the file should be.
    bool directory = false;
};

// A name of the running test, for its own scratch directories.
inline std::string testName() {
    const auto* t = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(t->test_suite_name()) + "." + t->name();
}

inline std::vector<std::string> records(const std::string& text) {
    std::vector<std::string> r;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        r.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return r;
}

inline std::string joined(const std::vector<std::string>& recs, size_t count) {
    std::string s;
    for (size_t i = 0; i < count && i < recs.size(); ++i) s += recs[i] + "\n";
    return s;
}

// A record of numbers and logicals only (no text field): letters in its
// first columns make it unreadable.
inline bool numeric(const std::string& rec) {
    return rec.find_first_not_of(' ') != std::string::npos &&
           rec.find_first_not_of(" 0123456789.+-EDTF") == std::string::npos;
}

// Many damaged copies of `text`; record boundaries and fields are sampled
// every `stride` records (1: every record).
inline std::vector<Variant> damaged(const std::string& text, size_t stride) {
    const std::vector<std::string> recs = records(text);
    const size_t n = recs.size();
    std::vector<Variant> v;
    v.push_back({"empty file", "", true, false});
    v.push_back({"a directory for the file", "", false, false, true});
    std::string junk;
    for (int i = 0; i < 3000; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
    v.push_back({"binary junk", junk, true, false});
    std::string crlf, tails;
    for (const std::string& r : recs) {
        crlf += r + "\r\n";
        tails += r + std::string(300, ' ') + std::string(3000, 'x') + "\n";
    }
    v.push_back({"CRLF line ends", crlf, false, true});
    v.push_back({"long lines (text beyond the fields)", tails, false, true});
    v.push_back({"no line end after the last record", text.substr(0, text.size() - 1), false, true});
    for (size_t r = 0; r < n; r += stride) {
        const std::string at = " at record " + std::to_string(r + 1);
        v.push_back({"truncated before record " + std::to_string(r + 1), joined(recs, r), true, false});
        if (!recs[r].empty())
            v.push_back({"truncated inside record " + std::to_string(r + 1),
                         joined(recs, r) + recs[r].substr(0, recs[r].size() / 2), false, false});
        auto replace = [&](const std::string& name, const std::string& rec, bool refuse) {
            std::vector<std::string> copy = recs;
            copy[r] = rec;
            v.push_back({name + at, joined(copy, n), refuse, false});
        };
        const bool num = numeric(recs[r]);
        std::string letters = recs[r];
        letters.replace(0, std::min<size_t>(3, letters.size()), "x?Q");
        replace("letters", letters, num);
        std::string bin = std::string("\x01\xff\x7f", 3) + std::string(1, '\0') + "\x80\xfe" + recs[r];
        replace("binary bytes", bin, num);
        if (r % (3 * stride) == 0) {
            replace("one very long line", std::string(1 << 20, '7'), false);
            std::string sign = recs[r];
            size_t d = sign.find_first_of("0123456789");
            if (d != std::string::npos) {
                sign[d] = '-';
                replace("a sign", sign, false);
            }
            std::string huge = recs[r];
            huge.replace(0, std::min<size_t>(12, huge.size()), "999999999999");
            replace("a huge number", huge, false);
            replace("an empty record", "", false);
        }
    }
    return v;
}

// The record `r` (from 1) replaced: a count beyond a capacity of the program.
inline Variant withRecord(const std::string& text, size_t r, const std::string& rec, const std::string& name) {
    std::vector<std::string> recs = records(text);
    if (r >= 1 && r <= recs.size()) recs[r - 1] = rec;
    return {name + " (record " + std::to_string(r) + ")", joined(recs, recs.size()), true, false};
}

struct Run {
    int status = -1;  // exit status; -1 for a signal
    bool timedOut = false;
    std::string out, err;
};

// The program on a script with a short time limit: a hang shows as a timeout.
inline Run runLimited(const e2e::ScratchDir& dir, const std::string& program, const std::string& script,
               int seconds = 10) {
    e2e::spit(dir / "stdin.txt", script);
    const std::string cmd = "cd '" + dir.path.string() + "' && PGPLOT_DEV=/NULL timeout -s KILL " +
                            std::to_string(seconds) + " '" + std::string(BINARY_DIR) + "/" + program +
                            "' < stdin.txt > stdout.txt 2> stderr.txt";
    Run r;
    const int raw = std::system(cmd.c_str());
    if (WIFEXITED(raw)) {
        r.status = WEXITSTATUS(raw);
        r.timedOut = r.status == 124 || r.status == 137;
    }
    r.out = e2e::slurp(dir / "stdout.txt");
    r.err = e2e::slurp(dir / "stderr.txt");
    std::filesystem::remove(dir / "stdin.txt");
    std::filesystem::remove(dir / "stdout.txt");
    std::filesystem::remove(dir / "stderr.txt");
    return r;
}

// Some line of the output names the file (fort.1 is not fort.14).
inline bool names(const std::string& out, const std::string& file) {
    for (size_t at = out.find(file); at != std::string::npos; at = out.find(file, at + 1)) {
        const size_t end = at + file.size();
        if (end == out.size() || out[end] < '0' || out[end] > '9') return true;
    }
    return false;
}

// Everything in the directory but the console files.
inline std::map<std::string, std::string> snapshot(const e2e::ScratchDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir.path))
        files[e.path().filename().string()] = e.is_directory() ? "(directory)" : e2e::slurp(e.path());
    return files;
}

// One session on every variant of one file. `prepare` fills the directory
// with the intact files; `written` lists the files the session may write,
// `whole` says whether such a file is complete.
struct Attack {
    std::string program;
    std::string file;  // the file attacked
    std::string script;
    std::function<void(const e2e::ScratchDir&)> prepare;
    std::set<std::string> written;
    std::function<bool(const e2e::ScratchDir&, const std::string&)> whole;
};

inline void check(const Attack& a, const std::vector<Variant>& variants) {
    e2e::ScratchDir dir("hostile-" + testName());
    a.prepare(dir);
    const Run base = runLimited(dir, a.program, a.script);
    ASSERT_TRUE(base.status == 0 || base.status == 1) << base.out;
    for (const Variant& v : variants) {
        std::filesystem::remove_all(dir.path);
        std::filesystem::create_directories(dir.path);
        a.prepare(dir);
        if (v.directory) {
            std::filesystem::remove(dir / a.file);
            std::filesystem::create_directory(dir / a.file);
        } else {
            e2e::spit(dir / a.file, v.text);
        }
        const auto before = snapshot(dir);
        const Run r = runLimited(dir, a.program, a.script);
        const std::string what = a.program + ", " + a.file + ", " + v.name;
        EXPECT_FALSE(r.timedOut) << what << ": no end within the time limit";
        EXPECT_TRUE(r.status == 0 || r.status == 1) << what << ": status " << r.status << "\n" << r.err;
        EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << what << "\n" << r.err;
        EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << what << "\n" << r.err;
        if (v.refuse) {
            EXPECT_TRUE(names(r.out, a.file)) << what << ": no message names " << a.file << "\n" << r.out;
        }
        if (v.same) {
            EXPECT_EQ(r.out, base.out) << what;
        }
        const auto after = snapshot(dir);
        for (const auto& [name, content] : after) {
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << what << ": temporary file " << name << " left";
            const auto old = before.find(name);
            const bool changed = old == before.end() || old->second != content;
            if (!changed) continue;
            if (a.written.count(name) == 0)
                ADD_FAILURE() << what << ": " << name << " changed";
            else
                EXPECT_TRUE(a.whole(dir, name)) << what << ": " << name << " not whole";
        }
        for (const auto& [name, content] : before)
            EXPECT_TRUE(after.count(name) || a.written.count(name)) << what << ": " << name << " removed";
        if (::testing::Test::HasFailure()) return;  // the first damaged variant tells enough
    }
}

}  // namespace hostile
