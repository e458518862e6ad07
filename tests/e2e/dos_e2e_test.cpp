// The real morvane binary on scripted sessions in a scratch directory, with
// PGPLOT_DEV=/NULL so the cursor is answered on the console.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fixtures.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status = -1;
    std::string out;
};

class DosE2E : public ::testing::Test {
protected:
    fixture::ScratchDir scratch;
    const fs::path& dir = scratch.path;

    void copyExample() { scratch.copyIn(fs::path(SOURCE_DIR) / "examples/si-dos/fort.1"); }

    // The program on the script in `stdinFile`; its standard error is kept as err.txt.
    RunResult run(const std::string& stdinFile) {
        const fixture::Outcome o = fixture::run(scratch, "morvane", fixture::slurp(stdinFile));
        fixture::spit(dir / "err.txt", o.err);
        return {o.status, o.out};
    }

    static std::string read(const fs::path& p) { return fixture::slurp(p); }
    static std::string withoutDate(const std::string& ps) { return fixture::withoutCreationDate(ps); }

    std::string script(const std::string& text) {
        fs::path p = dir / "script.txt";
        fixture::spit(p, text);
        return p.string();
    }
};

}  // namespace

TEST_F(DosE2E, ExampleSessionAndItsLayoutGiveTheSamePicture) {
    copyExample();
    RunResult first = run(SOURCE_DIR "/examples/si-dos/session.txt");
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_NE(first.out.find(" Density of states"), std::string::npos);
    EXPECT_NE(first.out.find(" assigned to DOS curve buffer # 2"), std::string::npos);
    EXPECT_NE(first.out.find(" assigned to COOP curve buffer # 9"), std::string::npos);
    EXPECT_NE(first.out.find(" (2) Append"), std::string::npos);
    EXPECT_EQ(read(dir / "err.txt"), "");
    EXPECT_EQ(first.out.find("%PGPLOT"), std::string::npos) << "PGPLOT complained";

    const std::string eps = read(dir / "morvane.eps");
    ASSERT_FALSE(eps.empty());
    EXPECT_EQ(eps.rfind("%!PS-Adobe", 0), 0u);
    // colour PostScript: the light grey fill (brush 15) and the cyan one (brush 5)
    EXPECT_NE(eps.find("686 686 686 K"), std::string::npos);
    EXPECT_NE(eps.find("0 1024 1024 K"), std::string::npos);
    const std::string plt = read(dir / "morvane.plt");
    EXPECT_FALSE(plt.empty());
    const std::string layout = read(dir / "fort.7");
    EXPECT_EQ(layout.substr(0, 3), " 2\n");
    EXPECT_NE(layout.find("OVLPROJ Si(1) - Si(2)"), std::string::npos);

    fs::rename(dir / "morvane.eps", dir / "first.eps");
    RunResult second = run(SOURCE_DIR "/examples/si-dos/session-load.txt");
    ASSERT_EQ(second.status, 0) << second.out;
    const std::string again = read(dir / "morvane.eps");
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(withoutDate(again), withoutDate(read(dir / "first.eps")));
}

TEST_F(DosE2E, MissingInputStopsBeforeTheBanner) {
    RunResult r = run(script("0\n"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, " Inputfile could not be opened.\n");
    fs::create_directory(dir / "fort.1");  // a directory is no input file
    RunResult d = run(script("0\n"));
    EXPECT_EQ(d.status, 1);
    EXPECT_EQ(d.out, " Inputfile could not be opened.\n");
}

TEST_F(DosE2E, DamagedInputNamesTheRecord) {
    copyExample();
    {
        std::ifstream in(dir / "fort.1");
        std::ostringstream kept;
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) kept << (n == 305 ? "   -13.9x329" : line) << "\n";
        in.close();
        std::ofstream(dir / "fort.1") << kept.str();
    }
    RunResult r = run(script("0\n"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, " fort.1, record 305: unreadable energy\n");
}

TEST_F(DosE2E, EndOfInputStopsWithStatusOne) {
    copyExample();
    RunResult r = run(script("1\n"));
    EXPECT_EQ(r.status, 1);
    const std::string tail = "\n End of input.\n";
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
    EXPECT_FALSE(fs::exists(dir / "fort.7"));
}

TEST_F(DosE2E, QuitAtOnceEndsWithStatusZero) {
    copyExample();
    RunResult r = run(script("0\n"));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(" ( 0) Quit program"), std::string::npos);
    EXPECT_NE(r.out.find("WARRANTY"), std::string::npos);
}

// Quitting says when the layout was not saved, and which option saves it.
TEST_F(DosE2E, QuittingSaysWhenTheLayoutWasNotSaved) {
    copyExample();
    const std::string never = " The layout was not saved; option 13 keeps it in fort.7 for the next run.\n";
    const struct {
        const char* answers;
        bool said;
    } cases[] = {
        {"0\n", false},           // nothing drawn, nothing to keep
        {"1\n0\n", true},         // a curve drawn and not saved
        {"1\n13\n0\n", false},    // saved
        {"1\n13\n14\n0\n", false},  // loaded back as saved
    };
    for (const auto& c : cases) {
        fs::remove(dir / "fort.7");
        const RunResult r = run(script(c.answers));
        EXPECT_EQ(r.status, 0) << c.answers;
        EXPECT_EQ(r.out.find(never) != std::string::npos, c.said) << c.answers << r.out.substr(r.out.size() - 200);
    }
}
