// The file readers themselves on damage at every record, where running the
// programs for each would take too long: a file cut before any record, or
// with letters in any numeric record, is refused with one line naming the
// file and the record; nothing else is taken for damage.
#include <gtest/gtest.h>

#include "band/core/interpolation.h"
#include "hostile_files.h"
#include "hostile_support.h"

using namespace common;
using namespace band;

namespace {

const std::string kBands = std::string(SOURCE_DIR) + "/examples/si-bands/";

bool oneLineNaming(const std::string& error, const std::string& file) {
    return error.rfind(file + ", record ", 0) == 0 && error.find('\n') == std::string::npos;
}

// Letters over the first columns of record r (counted from 0).
std::string withLetters(const std::vector<std::string>& recs, size_t r) {
    auto copy = recs;
    copy[r].replace(0, std::min<size_t>(3, copy[r].size()), "x?Q");
    return hostile::joined(copy, copy.size());
}

}  // namespace

TEST(HostileReaders, BandInputRefusedAtEveryRecord) {
    const std::string text = e2e::slurp(kBands + "fort.1");
    const auto recs = hostile::records(text);
    e2e::ScratchDir dir("readers-" + hostile::testName());
    for (size_t r = 0; r < recs.size(); ++r) {
        for (const std::string& damaged : {hostile::joined(recs, r), withLetters(recs, r)}) {
            e2e::spit(dir / "fort.1", damaged);
            BandInput in;
            std::string error;
            ASSERT_FALSE(readBandInput((dir / "fort.1").string(), 36, 10, in, error)) << "record " << r + 1;
            ASSERT_TRUE(oneLineNaming(error, (dir / "fort.1").string())) << error;
        }
    }
}

TEST(HostileReaders, StoredSetUpNamesEveryDamagedLine) {
    // The stored set-up of the five silicon lines, made by the program.
    e2e::ScratchDir dir("readers-" + hostile::testName());
    dir.copyIn(kBands + "fort.1");
    dir.copyIn(kBands + "fort.14");
    std::string script = "0\n10\n";
    for (const char* l : {"1\nD\n", "2\nA\n", "3\nA\n", "4\nD\n", "5\nD\n"}) script += std::string(l) + "5\n0\n0\n0\n";
    ASSERT_EQ(e2e::run(dir, "tarlisen", script + "0\n0\n").status, 0);
    const auto recs = hostile::records(e2e::slurp(dir / "fort.3"));
    for (size_t r = 0; r < recs.size(); ++r) {
        for (const std::string& damaged : {hostile::joined(recs, r), withLetters(recs, r)}) {
            SetupFile counts;
            std::vector<band::SetupLine> lines;
            std::string error;
            const RecordFile f = RecordFile::fromText("fort.3", damaged);
            if (!band::readSetupLines(f, 5, counts, lines, error)) {
                EXPECT_TRUE(oneLineNaming(error, "fort.3")) << error;
                continue;
            }
            ASSERT_EQ(lines.size(), 5u) << "record " << r + 1;
            int unreadable = 0;
            for (const auto& l : lines) {
                if (l.readable) continue;
                ++unreadable;
                EXPECT_TRUE(oneLineNaming(l.error, "fort.3")) << l.error;
            }
            EXPECT_GE(unreadable, 1) << "record " << r + 1 << " damaged without a complaint";
        }
    }
}

TEST(HostileReaders, DosInputRefusedInItsHeaderAndGrid) {
    const std::string text = e2e::slurp(std::string(SOURCE_DIR) + "/examples/si-dos/fort.1");
    const auto recs = hostile::records(text);
    for (size_t r = 0; r < recs.size(); r += (r < 320 ? 1 : 509)) {
        std::vector<std::string> damaged{hostile::joined(recs, r)};
        if (hostile::numeric(recs[r])) damaged.push_back(withLetters(recs, r));
        for (const std::string& d : damaged) {
            DosInput in;
            std::string error;
            ASSERT_FALSE(readDosInput(RecordFile::fromText("fort.1", d), in, error)) << "record " << r + 1;
            ASSERT_TRUE(oneLineNaming(error, "fort.1")) << error;
        }
    }
}
