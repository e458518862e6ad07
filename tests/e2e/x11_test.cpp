// Both programs on the real screen device /XWINDOW of a private Xvfb server,
// their graphics cursor driven from outside with xdotool: the pointer is
// moved to the pixel of a computed position and a key is typed, exactly as a
// user would. Screenshots of the windows are kept in docs/.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "band/core/band_input.h"
#include "band/core/setup_file.h"
#include "common/records.h"
#include "e2e_support.h"

using namespace common;
using namespace band;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Xvfb runs at 100 dots per inch, so the programs' 7.5 inch square view
// surface is 750 pixels wide; /XWINDOW centres it in its window.
constexpr int kDpi = 100;
constexpr double kViewInches = 7.5;

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string d;
    while (std::getline(dirs, d, ':'))
        if (!d.empty() && ::access((fs::path(d) / program).c_str(), X_OK) == 0) return true;
    return false;
}

bool alive(pid_t pid) { return ::kill(pid, 0) == 0; }

// Waits up to `seconds` for the child to end; its status, or nullopt.
std::optional<int> waitChild(pid_t pid, double seconds) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return status;
        if (r < 0) return std::nullopt;
        if (Clock::now() > until) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Ends a child of ours: politely, then for certain; always reaped.
void stopChild(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    if (!waitChild(pid, 5)) {
        ::kill(pid, SIGKILL);
        waitChild(pid, 5);
    }
}

// fork + exec with the given working directory, standard streams and extra
// environment entries.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const fs::path& dir,
            int in, const fs::path& out, const fs::path& err) {
    pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) ::_exit(126);
    if (in >= 0) ::dup2(in, 0);
    int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o < 0 || e < 0) ::_exit(126);
    ::dup2(o, 1);
    ::dup2(e, 2);
    for (int fd = 3; fd < 256; ++fd) ::close(fd);
    for (const std::string& kv : env) ::putenv(const_cast<char*>(kv.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

// The processes with this command name whose arguments name the display.
std::vector<pid_t> processesOf(const std::string& name, const std::string& display) {
    std::vector<pid_t> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string id = entry.path().filename().string();
        if (id.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string cmd = e2e::slurp(entry.path() / "cmdline");
        std::vector<std::string> args;
        std::stringstream s(cmd);
        std::string a;
        while (std::getline(s, a, '\0')) args.push_back(a);
        if (args.empty() || fs::path(args[0]).filename() != name) continue;
        for (size_t i = 1; i < args.size(); ++i)
            if (args[i] == display) found.push_back(static_cast<pid_t>(std::stol(id)));
    }
    return found;
}

// A private X server on a display number nobody uses.
class XServer {
public:
    explicit XServer(int firstNumber, const fs::path& logDir) {
        for (int n = firstNumber; n < firstNumber + 50 && pid_ <= 0; ++n) {
            const std::string sock = "/tmp/.X11-unix/X" + std::to_string(n);
            if (fs::exists(sock) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
            const std::string d = ":" + std::to_string(n);
            pid_t pid = spawn({"Xvfb", d, "-screen", "0", "1280x1024x24", "-dpi", std::to_string(kDpi), "-nolisten",
                               "tcp"},
                              {}, {}, -1, logDir / "xvfb.out", logDir / "xvfb.err");
            // Ready when its socket appears; gone when another server got the number first.
            const auto until = Clock::now() + std::chrono::seconds(10);
            while (Clock::now() < until && alive(pid) && !fs::exists(sock) && !waitChild(pid, 0))
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (fs::exists(sock) && !waitChild(pid, 0.2)) {
                pid_ = pid;
                display_ = d;
            } else {
                stopChild(pid);
            }
        }
    }
    ~XServer() {
        // PGPLOT's window server belongs to this display only; it is ended
        // first, then the X server.
        for (pid_t p : processesOf("pgxwin_server", display_)) ::kill(p, SIGTERM);
        stopChild(pid_);
        const auto until = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < until && !processesOf("pgxwin_server", display_).empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (pid_t p : processesOf("pgxwin_server", display_)) ::kill(p, SIGKILL);
    }
    bool running() const { return pid_ > 0; }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Output of a shell command run against the display, bounded by `timeout`.
std::string xrun(const XServer& x, const std::string& command, int seconds = 10) {
    const std::string cmd = "DISPLAY=" + x.display() + " timeout " + std::to_string(seconds) + " " + command;
    std::string out;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        ::pclose(p);
    }
    return out;
}

// A program of this build on /XWINDOW, its standard input a pipe we feed.
class Session {
public:
    Session(const XServer& x, const e2e::ScratchDir& dir, const std::string& program) : dir_(dir) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        out_ = dir.path / "stdout.txt";
        pid_ = spawn({std::string(BINARY_DIR) + "/" + program},
                     {"DISPLAY=" + x.display(), "PGPLOT_DEV=/XWINDOW"}, dir.path, fds[0], out_,
                     dir.path / "stderr.txt");
        ::close(fds[0]);
        in_ = fds[1];
    }
    ~Session() {
        if (in_ >= 0) ::close(in_);
        stopChild(pid_);
    }
    bool started() const { return pid_ > 0; }
    void send(const std::string& text) {
        const char* p = text.data();
        size_t left = text.size();
        while (left > 0) {
            ssize_t n = ::write(in_, p, left);
            if (n <= 0) return;
            p += n;
            left -= static_cast<size_t>(n);
        }
    }
    std::string output() const { return e2e::slurp(out_); }
    // Waits until `text` has been printed `times` times in all.
    bool waitFor(const std::string& text, int times = 1, double seconds = 30) {
        const auto until = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < until) {
            const std::string out = output();
            int seen = 0;
            for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1)) ++seen;
            if (seen >= times) return true;
            if (waitChild(pid_, 0)) {
                pid_ = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    // Closes the input and waits for the end; the exit status or -1.
    int finish(double seconds = 30) {
        ::close(in_);
        in_ = -1;
        auto s = waitChild(pid_, seconds);
        if (!s) return -1;
        pid_ = -1;
        return WIFEXITED(*s) ? WEXITSTATUS(*s) : -1;
    }

private:
    const e2e::ScratchDir& dir_;
    pid_t pid_ = -1;
    int in_ = -1;
    fs::path out_;
};

struct Window {
    std::string id;
    int width = 0, height = 0;
};

std::optional<Window> plotWindow(const XServer& x) {
    std::string ids = xrun(x, "xdotool search --sync --onlyvisible --name '^PGPLOT Window'", 20);
    std::stringstream s(ids);
    Window w;
    if (!(s >> w.id)) return std::nullopt;
    const std::string geom = xrun(x, "xdotool getwindowgeometry " + w.id);
    const size_t at = geom.find("Geometry: ");
    if (at == std::string::npos || std::sscanf(geom.c_str() + at, "Geometry: %dx%d", &w.width, &w.height) != 2)
        return std::nullopt;
    return w;
}

// The window pixel of a point of the view surface in normalised device
// coordinates (0 ... 1 from the lower left corner).
std::pair<int, int> pixelOf(const Window& w, double x, double y) {
    const double side = kViewInches * kDpi;
    const double left = 0.5 * (w.width - side), top = 0.5 * (w.height - side);
    return {static_cast<int>(std::lround(left + x * side)), static_cast<int>(std::lround(top + (1.0 - y) * side))};
}

void pressAt(const XServer& x, const Window& w, double ndcX, double ndcY) {
    auto [px, py] = pixelOf(w, ndcX, ndcY);
    xrun(x, "xdotool mousemove --window " + w.id + " " + std::to_string(px) + " " + std::to_string(py) + " key q");
}

void screenshot(const XServer& x, const Window& w, const std::string& name) {
    const fs::path shot = fs::path(SOURCE_DIR) / "docs" / name;
    xrun(x, "/usr/bin/import -window " + w.id + " '" + shot.string() + ".part.png' && mv '" + shot.string() +
                ".part.png' '" + shot.string() + "'",
         30);
    EXPECT_TRUE(fs::exists(shot) && fs::file_size(shot) > 1000) << shot;
}

std::string missingTools() {
    std::string missing;
    for (const char* p : {"Xvfb", "xdotool"})
        if (!onPath(p)) missing += std::string(missing.empty() ? "" : ", ") + p;
    if (::access("/usr/bin/import", X_OK) != 0) missing += std::string(missing.empty() ? "" : ", ") + "/usr/bin/import";
    return missing;
}

const std::string kBands = std::string(SOURCE_DIR) + "/examples/si-bands/";

std::string lineAnswers(int label, char direction) {
    return std::to_string(label) + "\n" + direction + "\n5\n0\n0\n0\n";
}

// The crossing display's frame of the first set-up, in device coordinates,
// and the point of level `level` at k point `kpos` of the Γ-X line, shifted
// by `shift` eV.
std::pair<double, double> markerOnLine2(const BandInput& in, const SetupBlock& gx, int kpos, int level,
                                        double shift) {
    const double x0 = 0.11785, y0 = 0.125, w = 0.58926, h = 0.75;
    double emin = 1000, emax = -1000;
    for (int kf : gx.kfile) {
        emin = std::min(emin, static_cast<double>(in.block(kf).bands[0].energy));
        emax = std::max(emax, static_cast<double>(in.block(kf).bands[9].energy));
    }
    const double e =
        in.block(gx.kfile[static_cast<size_t>(kpos - 1)]).bands[static_cast<size_t>(level - 1)].energy + shift;
    const double kd = 0.1 * (kpos - 1);  // Γ-X: k points 0.1 apart, length 1
    return {x0 + kd * w, y0 + (e - emin) / (emax - emin) * h};
}

}  // namespace

TEST(XWindow, TarlisenCrossesTwoBandsPickedWithTheRealCursor) {
    const std::string missing = missingTools();
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing << " (scripts/setup installs them)";
    e2e::ScratchDir dir("x11-tarlisen");
    dir.copyIn(kBands + "fort.1");
    dir.copyIn(kBands + "fort.14");

    // The set-up without crossings, for comparison.
    const std::string rest = lineAnswers(3, 'A') + lineAnswers(4, 'D') + lineAnswers(5, 'D') + "0\n0\n";
    ASSERT_EQ(e2e::run(dir, "tarlisen", "0\n10\n" + lineAnswers(1, 'D') + lineAnswers(2, 'A') + rest).status, 0);
    auto plainFile = RecordFile::load((dir / "fort.3").string());
    ASSERT_TRUE(plainFile);
    Result<SetupFile> plainRead = parseSetup(*plainFile);
    ASSERT_TRUE(plainRead) << plainRead.error();
    const SetupFile& plain = *plainRead;
    Result<BandInput> inRead = readBandInput((dir / "fort.1").string(), 36, 10);
    ASSERT_TRUE(inRead) << inRead.error();
    const BandInput& in = *inRead;
    fs::remove(dir / "fort.3");
    fs::remove(dir / "fort.2");

    XServer x(90 + static_cast<int>(::getpid() % 50) * 4, dir.path);
    ASSERT_TRUE(x.running()) << "Xvfb did not start: " << e2e::slurp(dir / "xvfb.err");
    Session s(x, dir, "tarlisen");
    ASSERT_TRUE(s.started());
    const std::string pointer = " Put mouse pointer to chosen marker, then type a key.";
    s.send("0\n10\n" + lineAnswers(1, 'D') + "2\nA\n2\n");
    ASSERT_TRUE(s.waitFor(pointer, 1)) << s.output();
    auto w = plotWindow(x);
    ASSERT_TRUE(w) << "no PGPLOT window";
    ASSERT_GE(w->width, kViewInches * kDpi);

    const SetupBlock& gx = plain.blocks[1];
    ASSERT_EQ(gx.label, 2);
    auto first = markerOnLine2(in, gx, 6, 9, -0.3);
    pressAt(x, *w, first.first, first.second);
    ASSERT_TRUE(s.waitFor(" Band    9 selected.\n")) << s.output();
    ASSERT_TRUE(s.waitFor(pointer, 2)) << s.output();
    auto second = markerOnLine2(in, gx, 6, 10, 0.3);
    pressAt(x, *w, second.first, second.second);
    ASSERT_TRUE(s.waitFor(" Band   10 selected. Crossing at k-point  6.\n")) << s.output();
    ASSERT_TRUE(s.waitFor(" (5) Exit\n\n Selection: ", 2)) << s.output();
    screenshot(x, *w, "tarlisen-x11.png");

    s.send("5\n0\n0\n0\n" + rest);
    EXPECT_EQ(s.finish(), 0) << s.output();
    EXPECT_EQ(s.output().find(" Cursor position (x, y): "), std::string::npos) << "the console was asked instead";

    // Levels 9 and 10 of the Γ-X line exchange their bands from k point 6 on;
    // everything else is the plain set-up.
    auto crossedFile = RecordFile::load((dir / "fort.3").string());
    ASSERT_TRUE(crossedFile);
    Result<SetupFile> crossedRead = parseSetup(*crossedFile);
    ASSERT_TRUE(crossedRead) << crossedRead.error();
    const SetupFile& crossed = *crossedRead;
    ASSERT_EQ(crossed.blocks.size(), plain.blocks.size());
    for (size_t b = 0; b < plain.blocks.size(); ++b) {
        for (size_t k = 0; k < plain.blocks[b].order.size(); ++k) {
            std::vector<int> expected = plain.blocks[b].order[k];
            if (b == 1 && k >= 5) std::swap(expected[8], expected[9]);
            EXPECT_EQ(crossed.blocks[b].order[k], expected) << "line block " << b + 1 << ", k point " << k + 1;
        }
    }
    EXPECT_TRUE(dir.has("fort.2"));
}

TEST(XWindow, MorvanePlacesAFreeTextWithTheRealCursor) {
    const std::string missing = missingTools();
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing << " (scripts/setup installs them)";
    e2e::ScratchDir dir("x11-morvane");
    dir.copyIn(std::string(SOURCE_DIR) + "/examples/si-dos/fort.1");

    XServer x(92 + static_cast<int>(::getpid() % 50) * 4, dir.path);
    ASSERT_TRUE(x.running()) << "Xvfb did not start: " << e2e::slurp(dir / "xvfb.err");
    Session s(x, dir, "morvane");
    ASSERT_TRUE(s.started());
    // density of states, then the graph menu's free text
    s.send("1\n10\n6\nSilicon\n1\n0\n");
    ASSERT_TRUE(s.waitFor(" Position mouse pointer, then type any key.")) << s.output();
    auto w = plotWindow(x);
    ASSERT_TRUE(w) << "no PGPLOT window";
    ASSERT_GE(w->width, kViewInches * kDpi);

    const double tx = 0.3536, ty = 0.91;
    pressAt(x, *w, tx, ty);
    ASSERT_TRUE(s.waitFor(" Text: ", 2)) << s.output();
    screenshot(x, *w, "morvane-x11.png");

    s.send("\n0\n13\n0\n");  // no more texts, main menu, save layout, quit
    EXPECT_EQ(s.finish(), 0) << s.output();
    EXPECT_EQ(s.output().find(" Cursor position (x, y): "), std::string::npos) << "the console was asked instead";

    // The last record of fort.7 is the text: x, y, angle, position code, text.
    auto layout = RecordFile::load((dir / "fort.7").string());
    ASSERT_TRUE(layout && layout->size() >= 2);
    ASSERT_EQ(FieldCursor(layout->record(layout->size() - 1)).I(4), 1L);
    FieldCursor c(layout->record(layout->size()));
    auto px = c.F(10, 5), py = c.F(10, 5), angle = c.F(10, 5);
    auto code = c.I(2);
    ASSERT_TRUE(px && py && angle && code);
    const double pixel = 1.0 / (kViewInches * kDpi);
    EXPECT_NEAR(*px, tx, 1.5 * pixel);
    EXPECT_NEAR(*py, ty, 1.5 * pixel);
    EXPECT_EQ(*angle, 0.0);
    EXPECT_EQ(*code, 1);
    EXPECT_EQ(c.A(80).substr(0, 8), "Silicon ");
}
