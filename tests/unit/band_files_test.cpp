#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "band/core/band_input.h"
#include "band/core/bands_file.h"
#include "band/core/setup_file.h"

using namespace common;
using namespace band;

namespace {
const std::string kExample = std::string(SOURCE_DIR) + "/examples/si-bands/";

SetupBlock sampleBlock(int nbands, int nkl) {
    SetupBlock b;
    b.label = 2;
    b.nkl = nkl;
    b.drop_sel = 0;
    for (int k = 0; k < nkl; ++k) {
        b.kfile.push_back(k + 5);
        std::vector<int> row;
        for (int j = 1; j <= nbands; ++j) row.push_back(j == 1 ? 0 : j);
        b.order.push_back(row);
    }
    return b;
}
}  // namespace

TEST(BandFiles, ReadsTheSiliconExample) {
    Result<BandCounts> counts = readCounts(kExample + "fort.14");
    ASSERT_TRUE(counts) << counts.error();
    EXPECT_EQ(counts->nkpt, 36);
    EXPECT_EQ(counts->nbands, 10);
    Result<BandInput> read = readBandInput(kExample + "fort.1", counts->nkpt, counts->nbands);
    ASSERT_TRUE(read) << read.error();
    const BandInput& in = *read;
    const KBlock& b1 = in.block(1);
    EXPECT_FLOAT_EQ(b1.k[0], 0.4f);
    EXPECT_EQ(b1.member[0].label, 2);
    EXPECT_EQ(b1.member[0].nsel, 3);
    EXPECT_EQ(b1.member[1].label, 0);
    EXPECT_FLOAT_EQ(b1.bands[0].energy, -11.70957f);
    EXPECT_FLOAT_EQ(b1.bands[9].grad[0], 6.44130f);
    EXPECT_EQ(b1.bands[9].code[0], 10);
    EXPECT_EQ(b1.bands[1].code[4], 2);
}

TEST(BandFiles, DamagedInputNamesFileAndRecord) {
    Result<BandCounts> counts = readCounts("/nonexistent/fort.14");
    EXPECT_FALSE(counts);
    EXPECT_NE(counts.error().find("fort.14"), std::string::npos);
    // asking for one more k point than the file holds runs past its end
    Result<BandInput> in = readBandInput(kExample + "fort.1", 37, 10);
    EXPECT_FALSE(in);
    EXPECT_NE(in.error().find("fort.1, record"), std::string::npos);
}

TEST(BandFiles, SetupBlocksHaveTheRecordCountsOfTheirBandNumber) {
    for (int nbands : {40, 41, 20, 3}) {
        SetupBlock b = sampleBlock(nbands, 3);
        std::string text = formatSetupCounts(nbands, 1, nbands - 1) + formatSetupBlock(b, nbands) +
                           formatSetupBlock(sampleBlock(nbands, 2), nbands);
        RecordFile f = RecordFile::fromText("fort.3", padRecordsTo80(text));
        EXPECT_EQ(f.size(), static_cast<size_t>(1 + blockRecords(3, nbands) + blockRecords(2, nbands)));
        for (size_t r = 1; r <= f.size(); ++r) EXPECT_EQ(f.record(r).size(), 80u);
        Result<SetupFile> read = parseSetup(f);
        ASSERT_TRUE(read) << read.error();
        const SetupFile& s = *read;
        ASSERT_EQ(s.blocks.size(), 2u);
        EXPECT_EQ(s.blocks[0].kfile, b.kfile);
        EXPECT_EQ(s.blocks[0].order, b.order);
        EXPECT_EQ(s.blocks[1].headerRecord, static_cast<size_t>(2 + blockRecords(3, nbands)));
    }
    EXPECT_EQ(orderRecords(40), 2);
    EXPECT_EQ(orderRecords(41), 3);
}

TEST(BandFiles, TruncatedSetupKeepsTheCompleteBlocks) {
    std::string text = formatSetupCounts(5, 0, 5) + formatSetupBlock(sampleBlock(5, 2), 5) + " 3  4  0  0  0  0\n   1\n";
    const RecordFile f = RecordFile::fromText("fort.3", text);
    EXPECT_TRUE(readSetupBlock(f, 2, 5));  // the complete block before the cut
    Result<SetupFile> s = parseSetup(f);
    EXPECT_FALSE(s);
    EXPECT_NE(s.error().find("fort.3, record"), std::string::npos);
}

// The count record of fort.2 is read alone, as the main menu needs it.
TEST(BandFiles, CountRecordOfTheInterpolatedBands) {
    struct Row {
        const char* text;
        int count;  // -1: refused
    } rows[] = {{" 5\n   3  2\n", 5}, {" 0\n", 0}, {"12345\n", 12}, {"-1\n", -1}, {" x\n", -1}, {"", -1}};
    const std::string path = ::testing::TempDir() + "count-fort.2";
    for (const Row& r : rows) {
        std::ofstream(path) << r.text;
        Result<int> n = readBandsCount(path);
        if (r.count < 0) {
            ASSERT_FALSE(n) << r.text;
            EXPECT_EQ(n.error(), path + ", record 1: unreadable line count");
        } else {
            ASSERT_TRUE(n) << r.text << n.error();
            EXPECT_EQ(*n, r.count);
        }
    }
    std::remove(path.c_str());
    EXPECT_FALSE(readBandsCount(path));
}
