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
            Result<BandInput> in = readBandInput((dir / "fort.1").string(), 36, 10);
            ASSERT_FALSE(in) << "record " << r + 1;
            ASSERT_TRUE(oneLineNaming(in.error(), (dir / "fort.1").string())) << in.error();
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
            const RecordFile f = RecordFile::fromText("fort.3", damaged);
            Result<band::StoredLines> stored = band::readSetupLines(f, 5);
            if (!stored) {
                EXPECT_TRUE(oneLineNaming(stored.error(), "fort.3")) << stored.error();
                continue;
            }
            ASSERT_EQ(stored->lines.size(), 5u) << "record " << r + 1;
            int unreadable = 0;
            for (const auto& l : stored->lines) {
                if (l.block) continue;
                ++unreadable;
                EXPECT_TRUE(oneLineNaming(l.block.error(), "fort.3")) << l.block.error();
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
            Result<DosInput> in = readDosInput(RecordFile::fromText("fort.1", d));
            ASSERT_FALSE(in) << "record " << r + 1;
            ASSERT_TRUE(oneLineNaming(in.error(), "fort.1")) << in.error();
        }
    }
}
