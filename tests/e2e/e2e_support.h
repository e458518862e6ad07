// Runs a program of this build in a scratch directory on a scripted
// standard input with the /NULL screen device.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace e2e {

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

// A fresh directory below the build tree, removed by the destructor.
struct ScratchDir {
    std::filesystem::path path;
    explicit ScratchDir(const std::string& name) {
        path = std::filesystem::path(BINARY_DIR) / "e2e-work" / name;
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() { std::filesystem::remove_all(path); }
    std::filesystem::path operator/(const std::string& f) const { return path / f; }
    bool has(const std::string& f) const { return std::filesystem::exists(path / f); }
    void copyIn(const std::filesystem::path& from) const {
        std::filesystem::copy_file(from, path / from.filename(),
                                   std::filesystem::copy_options::overwrite_existing);
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
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(dir / "stdout.txt");
    r.err = slurp(dir / "stderr.txt");
    std::filesystem::remove(dir / "stdin.txt");
    std::filesystem::remove(dir / "stdout.txt");
    std::filesystem::remove(dir / "stderr.txt");
    return r;
}

// PostScript output without its creation date, which differs between runs.
inline std::string withoutCreationDate(const std::string& ps) {
    std::istringstream in(ps);
    std::string line, out;
    while (std::getline(in, line))
        if (line.rfind("%%CreationDate", 0) != 0) out += line + "\n";
    return out;
}

}  // namespace e2e
