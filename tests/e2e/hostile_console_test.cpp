// The full example sessions of both programs, cut off after every answer and
// with an unusable answer slipped in before every answer: each run ends by
// itself, an input that runs out ends with " End of input." and status 1,
// and every file left behind is whole.
#include <gtest/gtest.h>

#include "hostile_files.h"
#include "hostile_support.h"

namespace {

struct Program {
    std::string name;
    std::string script;
    std::function<void(const e2e::ScratchDir&)> prepare;
    std::function<bool(const e2e::ScratchDir&, const std::string&)> whole;
};

Program tarlisen() {
    const std::string ex = std::string(SOURCE_DIR) + "/examples/si-bands/";
    return {"tarlisen", e2e::slurp(ex + "session.txt"),
            [ex](const e2e::ScratchDir& d) {
                d.copyIn(ex + "fort.1");
                d.copyIn(ex + "fort.14");
            },
            hostile::wholeBandFile};
}

Program morvane() {
    const std::string ex = std::string(SOURCE_DIR) + "/examples/si-dos/";
    return {"morvane", e2e::slurp(ex + "session.txt"), [ex](const e2e::ScratchDir& d) { d.copyIn(ex + "fort.1"); },
            hostile::wholeDosFile};
}

// Answers nobody means: too long, binary, out of range, signs and blanks.
std::string junk(size_t k) {
    switch (k % 5) {
        case 0: return std::string(200000, '9');
        case 1: return std::string("\x01\xff\xfe\x7f", 4) + std::string(1, '\0') + "\x1b[2J";
        case 2: return "-99999999999999999999";
        case 3: return "+";
        default: return std::string(5000, ' ') + "x";
    }
}

void expectSound(const Program& p, const e2e::ScratchDir& dir, const hostile::Run& r, const std::string& what) {
    EXPECT_FALSE(r.timedOut) << what << ": no end within the time limit";
    EXPECT_TRUE(r.status == 0 || r.status == 1) << what << ": status " << r.status << "\n" << r.err;
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << what << "\n" << r.err;
    EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << what << "\n" << r.err;
    if (r.status == 1) {
        const std::string tail = "\n End of input.\n";
        EXPECT_TRUE(r.out.size() >= tail.size() && r.out.compare(r.out.size() - tail.size(), tail.size(), tail) == 0)
            << what << ": does not end with End of input.";
    }
    for (const auto& [name, content] : hostile::snapshot(dir)) {
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << what << ": temporary file " << name << " left";
        EXPECT_NE(name, "fort.4") << what << ": the set-up's work file left";
        if (name.rfind("fort.", 0) == 0) {
            EXPECT_TRUE(p.whole(dir, name)) << what << ": " << name << " not whole";
        }
    }
}

void cutAfterEveryAnswer(const Program& p) {
    const auto lines = hostile::records(p.script);
    e2e::ScratchDir dir("console-" + hostile::testName());
    for (size_t k = 0; k <= lines.size(); ++k) {
        std::filesystem::remove_all(dir.path);
        std::filesystem::create_directories(dir.path);
        p.prepare(dir);
        const hostile::Run r = hostile::runLimited(dir, p.name, hostile::joined(lines, k));
        const std::string what = p.name + ", input ends after answer " + std::to_string(k);
        if (k == lines.size()) {
            EXPECT_EQ(r.status, 0) << what << "\n" << r.out;
        } else {
            EXPECT_EQ(r.status, 1) << what;
        }
        expectSound(p, dir, r, what);
        if (::testing::Test::HasFailure()) return;
    }
}

void junkBeforeEveryAnswer(const Program& p) {
    const auto lines = hostile::records(p.script);
    e2e::ScratchDir dir("console-" + hostile::testName());
    for (size_t k = 0; k < lines.size(); ++k) {
        std::filesystem::remove_all(dir.path);
        std::filesystem::create_directories(dir.path);
        p.prepare(dir);
        auto script = lines;
        script.insert(script.begin() + static_cast<long>(k), junk(k));
        const hostile::Run r = hostile::runLimited(dir, p.name, hostile::joined(script, script.size()));
        expectSound(p, dir, r, p.name + ", junk before answer " + std::to_string(k + 1));
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace

TEST(HostileConsole, TarlisenInputEndsAfterEveryAnswer) { cutAfterEveryAnswer(tarlisen()); }
TEST(HostileConsole, TarlisenJunkBeforeEveryAnswer) { junkBeforeEveryAnswer(tarlisen()); }
TEST(HostileConsole, MorvaneInputEndsAfterEveryAnswer) { cutAfterEveryAnswer(morvane()); }
TEST(HostileConsole, MorvaneJunkBeforeEveryAnswer) { junkBeforeEveryAnswer(morvane()); }
