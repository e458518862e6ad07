// tarlisen on damaged copies of every file it reads: fort.1 and fort.14 of
// the silicon example, and fort.3, fort.2 and fort.15 of a finished session.
#include <gtest/gtest.h>

#include "band/core/graph.h"
#include "band/core/layout_file.h"
#include "band/core/band_input.h"
#include "band/core/setup_file.h"
#include "common/fortran_format.h"
#include "common/records.h"
#include "hostile_files.h"
#include "hostile_support.h"

using namespace common;
using namespace band;

namespace fs = std::filesystem;

namespace {

const std::string kExample = std::string(SOURCE_DIR) + "/examples/si-bands/";

std::string lineAnswers(int label, char direction) {
    return std::to_string(label) + "\n" + direction + "\n5\n0\n0\n0\n";
}
const std::string kSetUp = "0\n10\n" + lineAnswers(1, 'D') + lineAnswers(2, 'A') + lineAnswers(3, 'A') +
                           lineAnswers(4, 'D') + lineAnswers(5, 'D') + "0\n";
const std::string kDisplay = "1\n\nY\n-13\n9\n";

// The files of a finished session on the example: fort.3, fort.2, fort.15.
const std::map<std::string, std::string>& finished() {
    static const std::map<std::string, std::string> files = [] {
        e2e::ScratchDir dir("hostile-origin-" + hostile::testName());
        dir.copyIn(kExample + "fort.1");
        dir.copyIn(kExample + "fort.14");
        e2e::run(dir, "tarlisen", kSetUp + kDisplay + "4\nL\n\\GAMMA\nX\nW\nK\n\\GAMMA\n6\nSi\n2\n90\n0.3, 0.9\n\n11\n0\n");
        std::map<std::string, std::string> f;
        for (const char* n : {"fort.3", "fort.2", "fort.15"}) f[n] = e2e::slurp(dir / n);
        return f;
    }();
    return files;
}

void inputOnly(const e2e::ScratchDir& dir) {
    dir.copyIn(kExample + "fort.1");
    dir.copyIn(kExample + "fort.14");
}

void everything(const e2e::ScratchDir& dir) {
    inputOnly(dir);
    for (const auto& [name, text] : finished()) e2e::spit(dir / name, text);
}

hostile::Attack attack(const std::string& file, const std::string& script, bool allFiles,
                       std::set<std::string> written) {
    return {"tarlisen", file, script, allFiles ? everything : inputOnly, std::move(written), hostile::wholeBandFile};
}

std::string example(const std::string& name) { return e2e::slurp(kExample + name); }

// The record of fort.15 that holds the number of free texts.
size_t freeTextCountRecord(const std::string& layout) {
    auto recs = hostile::records(layout);
    const size_t n = static_cast<size_t>(std::stol(recs[0]));
    return 1 + 1 + 1 + (n + 1) + 1 + 1 + 1 + (n + 1) + n + 1 + 1;
}

}  // namespace

TEST(HostileBand, CountsFileFort14) {
    const std::string text = example("fort.14");
    auto v = hostile::damaged(text, 1);
    v.push_back(hostile::withRecord(text, 1, "100001    10", "more k points than the program holds"));
    v.push_back(hostile::withRecord(text, 1, "    36  1001", "more bands than the program holds"));
    v.push_back(hostile::withRecord(text, 1, "    36     0", "no bands"));
    v.push_back(hostile::withRecord(text, 1, "    37    10", "more k points than fort.1 has"));
    v.back().refuse = false;  // fort.1 is named: it ends early
    hostile::check(attack("fort.14", kSetUp + "0\n", false, {"fort.2", "fort.3"}), v);
}

TEST(HostileBand, BandInputFort1DuringTheSetUp) {
    const std::string text = example("fort.1");
    auto v = hostile::damaged(text, 12);
    {
        // labels 6 ... 11 on the second membership record of blocks 1 ... 6
        auto recs = hostile::records(text);
        for (int b = 0; b < 6; ++b)
            recs[static_cast<size_t>(14 * b + 2)] = fortran::I(6 + b, 3) + "  0  0  0  0  0  0  0  0  0  0  0";
        v.push_back({"eleven line labels", hostile::joined(recs, recs.size()), true, false});
    }
    v.push_back(hostile::withRecord(text, 2, "  2 11  3  4  5  0  0  0  0  0  0  0", "eleven code fields"));
    v.push_back(hostile::withRecord(text, 2, "  2  3 13  4  5  0  0  0  0  0  0  0", "code field 13"));
    hostile::check(attack("fort.1", kSetUp + "0\n", false, {"fort.2", "fort.3"}), v);
}

TEST(HostileBand, BandInputFort1DuringAnInterpolation) {
    const std::string text = example("fort.1");
    hostile::check(attack("fort.1", "3\n0\n", true, {"fort.2"}), hostile::damaged(text, 25));
}

TEST(HostileBand, StoredSetUpFort3) {
    const std::string text = finished().at("fort.3");
    auto v = hostile::damaged(text, 1);
    v.push_back(hostile::withRecord(text, 1, "1001   0  10", "more bands than the program holds"));
    v.push_back(hostile::withRecord(text, 1, "  10   0  11", "more interpolated bands than bands"));
    v.push_back(hostile::withRecord(text, 2, "  1 12  0  0  0  0", "twelve k points on a line"));
    v.push_back(hostile::withRecord(text, 3, "  37", "a k point beyond fort.1"));
    v.push_back(hostile::withRecord(text, 4, "   1   2   3   4   5   6   7   8   9  11", "band 11 of 10"));
    hostile::check(attack("fort.3", "3\n0\n", true, {"fort.2"}), v);
}

TEST(HostileBand, StoredSetUpFort3DuringAChangeOfIt) {
    const std::string text = finished().at("fort.3");
    const std::string change = "2\n1\nn\n5\n2\nn\n5\n3\nn\n5\n4\nn\n5\n5\nn\n5\n0\n0\n";
    auto v = hostile::damaged(text, 3);
    // A file that ends right before a line block is a shorter set-up, not a damaged one.
    Result<SetupFile> s = parseSetup(RecordFile::fromText("fort.3", text));
    ASSERT_TRUE(s);
    for (const SetupBlock& b : s->blocks)
        for (auto& x : v)
            if (x.name == "truncated before record " + std::to_string(b.headerRecord)) x.refuse = false;
    hostile::check(attack("fort.3", change, true, {"fort.2", "fort.3"}), v);
}

TEST(HostileBand, InterpolatedBandsFort2) {
    const std::string text = finished().at("fort.2");
    auto v = hostile::damaged(text, 40);
    v.push_back(hostile::withRecord(text, 1, "99", "99 symmetry lines"));
    v.push_back(hostile::withRecord(text, 2, " 52 10", "52 points on a line"));
    v.push_back(hostile::withRecord(text, 2, " 511001", "1001 bands"));
    hostile::check(attack("fort.2", kDisplay + "0\n", true, {"fort.2", "fort.3"}), v);
}

TEST(HostileBand, LayoutFort15) {
    const std::string text = finished().at("fort.15");
    auto v = hostile::damaged(text, 1);
    v.push_back(hostile::withRecord(text, 1, "11", "eleven symmetry lines"));
    v.push_back(hostile::withRecord(text, freeTextCountRecord(text), " 201", "201 free texts"));
    v.push_back(hostile::withRecord(text, freeTextCountRecord(text), "   2", "more free texts than records"));
    v.push_back(hostile::withRecord(text, 11, " -12.00000   8.00000   0.00001   0.00001",
                                    "two million labelled tics"));
    hostile::check(attack("fort.15", kDisplay + "12\n10\n1\n0\n", true, {"tarlisen.eps"}), v);
}
