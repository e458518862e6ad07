// The fixtures every level of the tests shares: a scratch directory (made
// the current directory for a dialogue test, or handed to a program run),
// a scripted session of a dialogue (string-stream console and recording
// plot), and the runner of this build's programs.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/console.h"
#include "recording_plot.h"

namespace fixture {

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void spit(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

// A fresh directory below the build tree, removed by the destructor. Without
// a name it gets one of its own.
struct ScratchDir {
    std::filesystem::path path;
    explicit ScratchDir(const std::string& name = "") {
        static std::atomic<int> count{0};
        // the process and a count in every name: ctest runs tests side by side
        const std::string own = std::to_string(::getpid()) + "-" + std::to_string(count++);
        path = std::filesystem::path(BINARY_DIR) / "e2e-work" / ((name.empty() ? "scratch" : name) + "-" + own);
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() { std::filesystem::remove_all(path); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::filesystem::path operator/(const std::string& f) const { return path / f; }
    std::string file(const std::string& f) const { return (path / f).string(); }
    bool has(const std::string& f) const { return std::filesystem::exists(path / f); }
    void write(const std::string& f, const std::string& text) const { spit(path / f, text); }
    std::string read(const std::string& f) const { return slurp(path / f); }
    void copyIn(const std::filesystem::path& from) const {
        std::filesystem::copy_file(from, path / from.filename(), std::filesystem::copy_options::overwrite_existing);
    }
};

// A scratch directory that is the current directory while a test runs.
class InScratchDir : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::current_path(dir_.path); }
    void TearDown() override { std::filesystem::current_path(old_); }
    std::filesystem::path old_ = std::filesystem::current_path();
    ScratchDir dir_;
};

// A dialogue driven by a script: its console reads `input` and writes to
// `out`; the plot records. With `screenOpen` the plot holds an open screen
// (device 1), as the programs have when a dialogue starts.
struct Session {
    std::istringstream in;
    std::ostringstream out;
    common::Console con;
    common::RecordingPlot plot;
    explicit Session(const std::string& input = "", bool screenOpen = false) : in(input), con(in, out) {
        if (!screenOpen) return;
        plot.open("/NULL");
        plot.clear();
    }
    // A new script; what was printed so far is forgotten.
    void feed(const std::string& input) {
        in.clear();
        in.str(input);
        out.str("");
    }
};

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `program` (a file name in the build directory) in `dir` with `script`
// as its standard input and `args` (already quoted for the shell) after it.
inline Outcome run(const ScratchDir& dir, const std::string& program, const std::string& script,
                   const std::string& args = "") {
    spit(dir / "stdin.txt", script);
    const std::string cmd = "cd '" + dir.path.string() + "' && PGPLOT_DEV=/NULL timeout 120 '" +
                            std::string(BINARY_DIR) + "/" + program + "' " + args +
                            " < stdin.txt > stdout.txt 2> stderr.txt";
    Outcome r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(dir / "stdout.txt");
    r.err = slurp(dir / "stderr.txt");
    std::filesystem::remove(dir / "stdin.txt");
    std::filesystem::remove(dir / "stdout.txt");
    std::filesystem::remove(dir / "stderr.txt");
    return r;
}

// PostScript without its creation date, the one line that differs between runs.
inline std::string withoutCreationDate(const std::string& ps) {
    std::istringstream in(ps);
    std::string line, out;
    while (std::getline(in, line))
        if (line.rfind("%%CreationDate", 0) != 0) out += line + "\n";
    return out;
}

}  // namespace fixture
