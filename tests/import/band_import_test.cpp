#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <set>
#include <sstream>

#include "band/core/band_input.h"
#include "band/core/bands_file.h"
#include "band/core/character.h"
#include "band/core/graph.h"
#include "band/core/layout_file.h"
#include "band/core/setup_file.h"
#include "e2e/e2e_support.h"
#include "import/pipeline/band_path.h"
#include "import/pipeline/band_picture.h"
#include "import/tools/import_tool.h"
#include "import/formats/pw_output.h"
#include "import/formats/qe_bands.h"
#include "import/formats/qe_projwfc.h"
#include "import/formats/w90_geninterp.h"

using namespace common;
using namespace band;
using namespace importer;

namespace {

const std::string kQe = std::string(SOURCE_DIR) + "/examples/qe-si/";
const std::string kFe = std::string(SOURCE_DIR) + "/examples/qe-fe/";
const std::string kAlAs = std::string(SOURCE_DIR) + "/examples/qe-alas/";

std::string text(const std::string& path) { return e2e::slurp(path); }

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    const size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? s : s.replace(at, from.size(), to);
}

// A straight path along `dir` from `from`, at the distances `s`.
DensePath line(const KVector& from, const KVector& dir, const std::vector<double>& s) {
    DensePath p;
    for (double x : s) p.points.emplace_back().k = {from[0] + x * dir[0], from[1] + x * dir[1], from[2] + x * dir[2]};
    return p;
}

// The points of a bands.x file as a path, levels with their energies only.
DensePath pathOf(const QeBands& bands) {
    DensePath p;
    for (size_t i = 0; i < bands.k.size(); ++i) {
        p.points.emplace_back().k = bands.k[i];
        for (double e : bands.e[i]) p.points.back().levels.emplace_back().energy = e;
    }
    return p;
}

}  // namespace

TEST(QeBands, CommittedSiliconRunReadsWithItsRepresentations) {
    auto bands = readQeBands(kQe + "si.bands.dat");
    ASSERT_TRUE(bands) << bands.error();
    auto rap = readQeRap(kQe + "si.bands.dat.rap");
    ASSERT_TRUE(rap) << rap.error();
    EXPECT_EQ(bands->nbnd, 8);
    EXPECT_EQ(bands->nks, 251);
    EXPECT_DOUBLE_EQ(bands->k[0][0], 0.5);
    EXPECT_DOUBLE_EQ(bands->e[0][0], -3.424);
    EXPECT_DOUBLE_EQ(bands->e[250][7], 9.729);  // the last value of the file
    EXPECT_EQ(std::count(rap->high.begin(), rap->high.end(), true), 6);
    EXPECT_EQ(rap->rap[1][2], 3);
    EXPECT_TRUE(checkRapMatches(*bands, *rap, "si.bands.dat.rap"));
    EXPECT_DOUBLE_EQ(*fermiFromPwOutput(kQe + "si.scf.out"), 6.2420);
}

TEST(QeBands, DamagedCopiesAreNamedByFileAndLine) {
    const std::string good = text(kQe + "si.bands.dat");
    const std::string cut = good.substr(0, good.size() / 2);
    struct Case {
        std::string name, body, expect;
    } cases[] = {
        {"cut", cut, "b, line " + std::to_string(std::count(cut.begin(), cut.end(), '\n') + 1) + ": the file ends before all the energies"},
        {"no header", good.substr(good.find('\n') + 1), "b, line 1: expected the header &plot nbnd="},
        {"more k points in the header", replaced(good, "nks=   251", "nks=   252"), "the file ends before k point 252 of 252"},
        {"fewer k points in the header", replaced(good, "nks=   251", "nks=   250"), "b, line 502: data after the last of 250"},
        {"more bands in the header", replaced(good, "nbnd=   8", "nbnd=   9"), "b, line 3: 8 values where 9 energies of k point 1"},
        {"unreadable energy", replaced(good, "5.026", "5.0x6"), "b, line 3: unreadable energies of k point 1"},
        {"unreadable k point", replaced(good, "0.490000", "0.49o000"), "b, line 4: unreadable coordinates of k point 2"},
        {"a count far beyond the file", replaced(good, "nks=   251", "nks=999999"), "the file ends before k point 252 of 999999"},
        {"not a number", replaced(good, "5.026", "  NaN"), "b, line 3: unreadable energies of k point 1"},
        {"a hexadecimal k point", replaced(good, "0.490000", "0x1p-1  "), "b, line 4: unreadable coordinates of k point 2"},
        {"a k point beyond any", replaced(good, "0.490000", "4.9E+999"), "b, line 4: unreadable coordinates of k point 2"},
    };
    for (const Case& c : cases) {
        auto r = parseQeBands("b", c.body);
        ASSERT_FALSE(r) << c.name;
        EXPECT_NE(r.error().find(c.expect), std::string::npos) << c.name << ": " << r.error();
    }
    // Energies written fixed-width without a blank between them still read.
    auto tight = parseQeBands("b", " &plot nbnd=   2, nks=     1 /\n    0.0 0.0 0.0\n-100.123-101.456\n");
    ASSERT_TRUE(tight) << tight.error();
    EXPECT_DOUBLE_EQ(tight->e[0][1], -101.456);
}

TEST(QeBands, RapMustDescribeTheSamePoints) {
    auto bands = readQeBands(kQe + "si.bands.dat");
    ASSERT_TRUE(bands);
    const std::string good = text(kQe + "si.bands.dat.rap");
    auto moved = parseQeRap("r", replaced(good, "0.490000  0.490000  0.490000", "0.490000  0.480000  0.490000"));
    ASSERT_TRUE(moved) << moved.error();
    auto s = checkRapMatches(*bands, *moved, "r");
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error(), "r, line 4: k point 2 differs from the band file's");
    auto fewer = parseQeRap("r", replaced(good, "nks_rap= 251", "nks_rap= 250"));
    ASSERT_FALSE(fewer);
    EXPECT_NE(fewer.error().find("data after the last of 250"), std::string::npos) << fewer.error();
    auto noMark = parseQeRap("r", replaced(good, "0.500000    T", "0.500000"));
    ASSERT_FALSE(noMark);
    EXPECT_NE(noMark.error().find("r, line 2: expected T or F"), std::string::npos) << noMark.error();
}

TEST(BandPath, LinesEndAtMarksCornersAndJumps) {
    // 0..4 along x, corner at 4, 4..7 along y, jump, 8..10 along z.
    DensePath p;
    for (int i = 0; i <= 4; ++i) p.points.emplace_back().k = {0.1 * i, 0, 0};
    for (int i = 1; i <= 3; ++i) p.points.emplace_back().k = {0.4, 0.1 * i, 0};
    for (int i = 0; i <= 2; ++i) p.points.emplace_back().k = {0.0, 0.0, 1.0 + 0.1 * i};
    auto lines = splitPath(p);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].first, 0u);
    EXPECT_EQ(lines[0].last, 4u);
    EXPECT_EQ(lines[1].first, 4u);  // the corner is on both lines
    EXPECT_EQ(lines[1].last, 7u);
    EXPECT_EQ(lines[2].first, 8u);  // after the jump the next line starts anew
    EXPECT_EQ(lines[2].last, 10u);

    // A high-symmetry mark on a straight stretch ends a line there too; a
    // point repeated or standing alone between jumps makes no line.
    DensePath q = line({0, 0, 0}, {1, 0, 0}, {0, 0.1, 0.2, 0.3, 0.3, 0.4, 0.5});
    q.points.emplace_back().k = {5, 5, 5};
    q.points[2].high = true;
    lines = splitPath(q);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].last, 2u);
    EXPECT_EQ(lines[1].first, 2u);
    EXPECT_EQ(lines[1].last, 3u);
    EXPECT_EQ(lines[2].first, 4u);
    EXPECT_EQ(lines[2].last, 6u);

    // The committed run: L-G-X-W-K-G, 51 points a line, 11 kept.
    auto bands = readQeBands(kQe + "si.bands.dat");
    ASSERT_TRUE(bands);
    const DensePath si = pathOf(*bands);
    lines = splitPath(si);
    ASSERT_EQ(lines.size(), 5u);
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].first, 50 * i);
        EXPECT_EQ(lines[i].count(), 51u);
        auto kept = samplePoints(si, lines[i], 11);
        ASSERT_EQ(kept.size(), 11u);
        for (size_t j = 0; j < kept.size(); ++j) EXPECT_EQ(kept[j], 50 * i + 5 * j);
    }
}

TEST(BandPath, SlopesOfQuadraticAndCrossingBands) {
    // Unevenly spaced points along (1,1,0)/sqrt2. Band a: 1 + 3 s^2; bands b
    // and c: straight lines crossing at s = 0.5, no representations known.
    const double r = std::sqrt(0.5);
    const std::vector<double> s{0, 0.07, 0.2, 0.31, 0.45, 0.62, 0.7, 0.83, 1.0};
    DensePath p = line({0.1, 0, 0}, {r, r, 0}, s);
    for (size_t i = 0; i < s.size(); ++i)
        for (double e : {1 + 3 * s[i] * s[i], 5 + 2 * (s[i] - 0.5), 5 - 1 * (s[i] - 0.5)}) p.points[i].levels.emplace_back().energy = e;
    sortLevels(p);
    const PathLine all{0, s.size() - 1};
    auto slope = levelSlopes(p, all);
    for (size_t i = 0; i < s.size(); ++i) {
        EXPECT_NEAR(slope[i][0], 6 * s[i], 1e-9) << "s=" << s[i];
        // below the crossing level 2 is the falling band, above it the rising one
        EXPECT_NEAR(slope[i][1], s[i] < 0.5 ? 2.0 : -1.0, 1e-9) << "s=" << s[i];
        EXPECT_NEAR(slope[i][2], s[i] < 0.5 ? -1.0 : 2.0, 1e-9) << "s=" << s[i];
    }
    // The same crossing told by representations: bands keep their own.
    DensePath q = p;
    for (size_t i = 0; i < s.size(); ++i) {
        std::vector<Level>& l = q.points[i].levels;
        l[0].irrep = 1;
        l[1].irrep = s[i] < 0.5 ? 3 : 2;
        l[2].irrep = s[i] < 0.5 ? 2 : 3;
    }
    auto order = connectBands(q, all);
    EXPECT_EQ(order[2], (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(order[7], (std::vector<int>{0, 2, 1}));

    // fort.1 gets dE/ds along the line's direction; the band program's
    // slope g.(kend - k1) then is dE/ds times the line's length.
    ChosenLine c{4, 4, all, samplePoints(p, all, 11)};
    BandInput in = makeBandInput(p, {c});
    ASSERT_EQ(in.nkpt, 9);
    const KBlock& b = in.blocks[4];
    EXPECT_EQ(b.member[0].label, 4);
    EXPECT_NEAR(b.bands[0].grad[0], 6 * 0.45 * r, 1e-5);
    EXPECT_NEAR(b.bands[0].grad[1], 6 * 0.45 * r, 1e-5);
    EXPECT_EQ(b.bands[0].grad[2], 0.0f);

    // Codes: each level carries its band through the crossing (field 0) and
    // the band's representation on the line, at the ends too (field 1).
    const BandInput coded = makeBandInput(q, {c});
    for (size_t k : {size_t{0}, size_t{4}, size_t{7}, size_t{8}}) {
        const KBlock& at = coded.blocks[k];
        const bool crossed = s[k] > 0.5;
        EXPECT_EQ(at.member[0].nsel, 2);
        EXPECT_EQ(at.bands[1].code[0], crossed ? 3 : 2) << "s=" << s[k];
        EXPECT_EQ(at.bands[2].code[0], crossed ? 2 : 3) << "s=" << s[k];
        for (const BandRecord& level : at.bands) EXPECT_EQ(level.code[1], level.code[0] == 1 ? 1 : 5 - level.code[0]);
    }
    EXPECT_EQ(in.blocks[8].bands[1].code[1], 0);  // no representations: 0
}

// Sorting the levels of a point by energy moves everything a level carries
// with it; levels of equal energy keep their order.
TEST(DensePath, SortedLevelsKeepTheirSlopeRepresentationAndChannel) {
    DensePath p;
    PathPoint& point = p.points.emplace_back();
    const double energies[] = {2.0, -1.0, 0.5, -1.0};
    for (int l = 0; l < 4; ++l) {
        Level& level = point.levels.emplace_back();
        level.energy = energies[l];
        level.slope = KVector{0.1 * l, 0, 0};
        level.irrep = 10 + l;
        level.channel = l % 2;
    }
    sortLevels(p);
    const int from[] = {1, 3, 2, 0};
    for (size_t l = 0; l < 4; ++l) {
        const Level& level = p.points[0].levels[l];
        EXPECT_EQ(level.energy, energies[from[l]]) << l;
        EXPECT_EQ((*level.slope)[0], 0.1 * from[l]) << l;
        EXPECT_EQ(level.irrep, 10 + from[l]) << l;
        EXPECT_EQ(level.channel, from[l] % 2) << l;
    }
}

TEST(BandPath, LineChoices) {
    EXPECT_EQ(parseLineChoice("1-3,5", 12), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(parseLineChoice("7,2", 7), (std::vector<int>{2, 7}));
    for (const char* bad : {"", "0", "13", "3-1", "a-b", "1,,2", "2-", "1;2", "2,2", "1-3,3"})
        EXPECT_THROW(parseLineChoice(bad, 12), common::UsageError) << bad;
}

TEST(W90Geninterp, LinesAtTurnsWithTheFilesGradients) {
    std::string dat = "# Written on  8Dec2026\n# Input file comment: G-X-W\n#  Kpt_idx  K_x (1/ang) ...\n";
    const double kx[] = {0, 0.1, 0.2, 0.2, 0.2}, ky[] = {0, 0, 0, 0.1, 0.2};
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 2; ++b) {
            std::ostringstream l;  // the second band first: levels come in any order
            l << i + 1 << " " << kx[i] << " " << ky[i] << " 0.0 " << (b == 0 ? 2.5 : -1.0) + i << " "
              << 0.25 * b << " 0.5E-01 -0.1E+00\n";
            dat += l.str();
        }
    auto path = parseGeninterp("g.dat", dat);
    ASSERT_TRUE(path) << path.error();
    ASSERT_EQ(path->points.size(), 5u);
    auto lines = splitPath(*path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].last, 2u);
    EXPECT_EQ(lines[1].first, 2u);
    EXPECT_DOUBLE_EQ(path->points[0].levels[0].energy, -1.0);
    EXPECT_DOUBLE_EQ((*path->points[0].levels[0].slope)[0], 0.25);

    struct Case {
        std::string body, expect;
    } cases[] = {
        {replaced(dat, "-0.1E+00", "-0.1F+00"), "g.dat, line 4: unreadable number '-0.1F+00'"},
        {replaced(dat, "-0.1E+00", "0.1234+100"), "g.dat, line 4: unreadable number '0.1234+100'"},
        {"# c\n1 0 0 0 1.0\n", "g.dat, line 2: energies without derivatives"},
        {"1 0 0 0 1 0 0 0\n1 0 0 0 2 0 0 0\n2 1 0 0 1 0 0 0\n3 2 0 0 1 0 0 0\n", "g.dat, line 3: k point 2 has 1 bands, the first has 2"},
        {"# nothing\n", "g.dat: no data lines"},
    };
    for (const Case& c : cases) {
        auto r = parseGeninterp("g.dat", c.body);
        ASSERT_FALSE(r) << c.expect;
        EXPECT_NE(r.error().find(c.expect), std::string::npos) << r.error();
    }
    // Fortran's D exponent and its three-digit exponent without a letter read.
    auto fortran = parseGeninterp("g.dat", replaced(replaced(dat, "0.5E-01", "0.5D-01"), "-0.1E+00", "-0.1234-100"));
    ASSERT_TRUE(fortran) << fortran.error();
    EXPECT_DOUBLE_EQ((*fortran->points[0].levels[1].slope)[1], 0.05);  // the first line is level 2 at k point 1
    EXPECT_EQ((*fortran->points[0].levels[1].slope)[2], 0.0);
}

TEST(W90Geninterp, CommittedSiliconRunHasGradientsInItsOwnUnits) {
    auto path = readGeninterp(kQe + "si_geninterp.dat");
    ASSERT_TRUE(path) << path.error();
    ASSERT_EQ(path->points.size(), 251u);
    ASSERT_EQ(path->nbands(), 8);
    auto lines = splitPath(*path);
    ASSERT_EQ(lines.size(), 5u);
    // The file's dE/dk along each line agrees with the slope of its energies.
    for (const PathLine& l : lines) {
        auto slope = levelSlopes(*path, l);
        const size_t mid = l.count() / 2, q = l.first + mid;
        KVector u{};
        for (size_t j = 0; j < 3; ++j) u[j] = path->points[l.last].k[j] - path->points[l.first].k[j];
        const double len = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
        for (size_t b = 0; b < 8; ++b) {
            const KVector& g = *path->points[q].levels[b].slope;
            EXPECT_NEAR((g[0] * u[0] + g[1] * u[1] + g[2] * u[2]) / len, slope[mid][b], 0.05) << "band " << b + 1;
        }
    }
}

// The values the band program reads from a written fort.1 are those the
// import fits its fort.2 through without reading that text back.
TEST(BandInputWriter, ValuesAsWrittenAreWhatTheFileReadsBack) {
    BandInput in;
    in.nkpt = 4;
    in.nbands = 60;
    unsigned long long seed = 7;
    auto next = [&](double span) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return (static_cast<double>(seed >> 11) / 9007199254740992.0 - 0.5) * span;
    };
    for (int n = 0; n < in.nkpt; ++n) {
        KBlock& b = in.blocks.emplace_back();
        for (float& x : b.k) x = static_cast<float>(next(2.0));
        b.member[0].label = 1;
        for (int l = 0; l < in.nbands; ++l) {
            BandRecord& r = b.bands.emplace_back();
            r.energy = static_cast<float>(-40 + l * 1.5 + next(1e-3));
            for (float& g : r.grad) g = static_cast<float>(next(l % 7 == 0 ? 2e-4 : 400.0));
        }
    }
    in.blocks[1].bands[3].energy = -35.500005f;  // near a tie of the fifth decimal
    const auto text = formatBandInput(in);
    ASSERT_TRUE(text) << text.error();
    const auto read = parseBandInput(common::RecordFile::fromText("fort.1", *text), in.nkpt, in.nbands);
    ASSERT_TRUE(read) << read.error();
    const BandInput written = asWritten(in);
    for (size_t n = 0; n < in.blocks.size(); ++n) {
        EXPECT_EQ(std::memcmp(written.blocks[n].k.data(), read->blocks[n].k.data(), sizeof(float) * 3), 0) << n;
        for (size_t l = 0; l < in.blocks[n].bands.size(); ++l) {
            const BandRecord &a = written.blocks[n].bands[l], &b = read->blocks[n].bands[l];
            EXPECT_EQ(std::memcmp(&a.energy, &b.energy, sizeof(float)), 0) << n << " " << l;
            EXPECT_EQ(std::memcmp(a.grad.data(), b.grad.data(), sizeof(float) * 3), 0) << n << " " << l;
        }
    }
}

TEST(BandInputWriter, ValuesThatDoNotFitTheirFieldsAreRefused) {
    BandInput in;
    in.nkpt = 1;
    in.nbands = 2;
    in.blocks.resize(1);
    in.blocks[0].bands.resize(2);
    in.blocks[0].bands[0].energy = -1.5f;
    in.blocks[0].bands[1].energy = 99999.0f;
    auto r = formatBandInput(in);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), "fort.1, k point 1, band 2: energy 99999.00000 does not fit F10.5");
    in.blocks[0].bands[1].energy = -2.0f;
    EXPECT_NE(formatBandInput(in).error().find("band 2: energies not in ascending order"), std::string::npos);
    in.blocks[0].bands[1].energy = 2.0f;
    in.blocks[0].k[1] = -10.0f;
    EXPECT_EQ(formatBandInput(in).error(), "fort.1, k point 1: coordinate -10.00000 does not fit F10.7");
    EXPECT_FALSE(formatBandCounts(3, 1001));
    EXPECT_EQ(*formatBandCounts(3, 1000), "     3  1000     0     0     0     0\n");
    EXPECT_EQ(*formatBandCounts(3, 8, true), "     3     8     1     0     0     0\n");
}

TEST(FermiEnergy, LastOfTheThreeFormsCounts) {
    e2e::ScratchDir dir("fermi");
    e2e::spit(dir / "a.out", "     the Fermi energy is     6.1000 ev\n     highest occupied level (ev):     5.5000\n");
    EXPECT_DOUBLE_EQ(*fermiFromPwOutput((dir / "a.out").string()), 5.5);
    e2e::spit(dir / "b.out", "     the Fermi energy is   ev\n");
    EXPECT_EQ(fermiFromPwOutput((dir / "b.out").string()).error(), (dir / "b.out").string() + ", line 1: unreadable Fermi energy");
    e2e::spit(dir / "c.out", "     total energy = -15.8 Ry\n");
    EXPECT_NE(fermiFromPwOutput((dir / "c.out").string()).error().find("no Fermi energy"), std::string::npos);
    EXPECT_EQ(fermiFromPwOutput((dir / "none.out").string()).error(), (dir / "none.out").string() + ": cannot be opened");
    // a run with fixed magnetisation: one level per spin channel
    const std::string two = (dir / "d.out").string();
    e2e::spit(two, "\n     the spin up/dw Fermi energies are    5.1234    6.2345 ev\n");
    EXPECT_DOUBLE_EQ(*fermiFromPwOutput(two, Spin::Up), 5.1234);
    EXPECT_DOUBLE_EQ(*fermiFromPwOutput(two, Spin::Down), 6.2345);
    EXPECT_EQ(fermiFromPwOutput(two).error(), two + ", line 2: two Fermi energies, spin up and down; give one with --fermi");
    e2e::spit(two, "     the spin up/dw Fermi energies are    5.1234    ****** ev\n");
    EXPECT_EQ(fermiFromPwOutput(two, Spin::Up).error(), two + ", line 1: unreadable Fermi energy");
}

// The program itself on the committed run: the band program's own reader
// takes its files, and the lines are those of the path.
TEST(TarlisenImport, RoundTripThroughTheBandReader) {
    e2e::ScratchDir dir("import-round-trip");
    const std::string cmd = "'" + std::string(BINARY_DIR) + "/tarlisen-import' qe '" + kQe + "si.bands.dat' --scf '" +
                            kQe + "si.scf.out' -o '" + dir.path.string() + "' > '" + (dir / "out.txt").string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string summary = e2e::slurp(dir / "out.txt");
    EXPECT_NE(summary.find("    3          3    1.00000  0.00000  0.00000      1.00000  0.50000  0.00000    11 of  51      8"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("Fermi energy 6.2420 eV"), std::string::npos);

    Result<BandCounts> counts = readCounts((dir / "fort.14").string());
    ASSERT_TRUE(counts) << counts.error();
    const int nkpt = counts->nkpt;
    EXPECT_EQ(nkpt, 55);
    EXPECT_EQ(counts->nbands, 8);
    EXPECT_TRUE(counts->slopes);
    Result<BandInput> read = readBandInput((dir / "fort.1").string(), nkpt, counts->nbands);
    ASSERT_TRUE(read) << read.error();
    const BandInput& in = *read;
    std::vector<int> labels, perLabel(6, 0);
    int gammaBlocks = 0;
    for (int n = 1; n <= nkpt; ++n) {
        const KBlock& b = in.block(n);
        const int label = b.member[0].label;
        ASSERT_TRUE(label >= 1 && label <= 5);
        EXPECT_EQ(b.member[1].label, 0);
        if (std::find(labels.begin(), labels.end(), label) == labels.end()) labels.push_back(label);
        const int pos = perLabel[static_cast<size_t>(label)]++;
        const bool end = pos == 0 || pos == 10;
        // Every point, ends included, selects the band's representation on
        // the line and its number there.
        (void)end;
        EXPECT_EQ(b.member[0].nsel, 2) << "line " << label << " point " << pos;
        EXPECT_EQ(b.member[0].sel[0], 1);
        EXPECT_EQ(b.member[0].sel[1], 0);
        if (b.k == std::array<float, 3>{0, 0, 0}) ++gammaBlocks;
        for (int l = 1; l < counts->nbands; ++l) EXPECT_LE(b.bands[l - 1].energy, b.bands[l].energy);
    }
    EXPECT_EQ(labels, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(perLabel, (std::vector<int>{0, 11, 11, 11, 11, 11}));
    EXPECT_EQ(gammaBlocks, 3);  // Gamma ends lines 1, 2 and 5
    // Valence top at Gamma is the Fermi level; slopes there vanish.
    EXPECT_FLOAT_EQ(in.block(11).bands[3].energy, 0.0f);

    // With the projections of the AlAs band run: fort.16 holds, for every
    // level of every block of fort.1, its weights summed by element as
    // projwfc.x prints them; the starter layout colours the bands by them.
    e2e::ScratchDir fat("import-character");
    const std::string withCharacter = "'" + std::string(BINARY_DIR) + "/tarlisen-import' qe '" + kAlAs +
                                      "alas.bands.dat' --fermi 4.8519 --projections '" + kAlAs + "projwfc.out' -o '" +
                                      fat.path.string() + "' > '" + (fat / "out.txt").string() + "'";
    ASSERT_EQ(std::system(withCharacter.c_str()), 0);
    EXPECT_NE(e2e::slurp(fat / "out.txt").find("Wrote fort.1, fort.14, fort.3, fort.2, fort.15 and fort.16"),
              std::string::npos);
    EXPECT_NE(e2e::slurp(fat / "out.txt")
                  .find("Orbital character from " + kAlAs + "projwfc.out: 8 atomic states added up by element into 2 groups: Al, As."),
              std::string::npos)
        << e2e::slurp(fat / "out.txt");
    const auto proj = readQeProjections(kAlAs + "projwfc.out");
    ASSERT_TRUE(proj) << proj.error();
    const auto alas = readCounts((fat / "fort.14").string());
    ASSERT_TRUE(alas) << alas.error();
    const auto blocks = readBandInput((fat / "fort.1").string(), alas->nkpt, alas->nbands);
    ASSERT_TRUE(blocks) << blocks.error();
    const auto fort16 = RecordFile::load((fat / "fort.16").string());
    ASSERT_TRUE(fort16);
    const auto weights = parseCharacter(*fort16, alas->nkpt, alas->nbands);
    ASSERT_TRUE(weights) << weights.error();
    ASSERT_EQ(weights->names, (std::vector<std::string>{"Al", "As"}));
    auto from = proj->points.begin();  // the blocks follow the path: a point met again is looked for further on
    for (int n = 1; n <= alas->nkpt; ++n) {
        const KBlock& b = blocks->block(n);
        const auto at = from = std::find_if(from, proj->points.end(), [&](const ProjectedPoint& p) {
            return std::fabs(p.k[0] - b.k[0]) + std::fabs(p.k[1] - b.k[1]) + std::fabs(p.k[2] - b.k[2]) < 1e-5;
        });
        ASSERT_NE(at, proj->points.end()) << "block " << n;
        for (int l = 1; l <= alas->nbands; ++l) {
            EXPECT_NEAR(b.bands[static_cast<size_t>(l - 1)].energy + 4.8519, *at->energy[static_cast<size_t>(l - 1)], 2e-3);
            for (int g = 1; g <= 2; ++g) {
                double sum = 0;
                for (size_t st = 0; st < proj->states.size(); ++st)
                    if (proj->states[st].element == weights->names[static_cast<size_t>(g - 1)])
                        sum += at->w[static_cast<size_t>(l - 1)][st];
                EXPECT_NEAR(weights->weight(n, l, g), std::min(sum, 1.0), 1e-5) << "block " << n << " level " << l;
            }
        }
    }
    auto layout = RecordFile::load((fat / "fort.15").string());
    ASSERT_TRUE(layout);
    BandGraph g;
    ASSERT_TRUE(loadLayout(*layout, g));
    EXPECT_EQ(g.show.mode, CharacterMode::colours);
    EXPECT_TRUE(g.legend.on);
    const auto lines = loadBandCharacter(5, fat.path.string());
    ASSERT_TRUE(lines) << lines.error();
    EXPECT_EQ(lines->groups(), 2);
    EXPECT_EQ(lines->lines.size(), 5u);
}

TEST(TarlisenImport, StatusOfGoodBadAndMisusedRuns) {
    e2e::ScratchDir dir("import-status");
    e2e::spit(dir / "cut.dat", text(kQe + "si.bands.dat").substr(0, 500));
    // three points of which the last is far from the others: no path
    e2e::spit(dir / "si_band.dat", "0.0 1.0\n");
    e2e::spit(dir / "lone.dat", "1 0 0 0 1 0 0 0\n2 0.1 0 0 1 0 0 0\n3 5 0 0 1 0 0 0\n");
    e2e::spit(dir / "huge.dat", " &plot nbnd=   2, nks=     2 /\n  0.0 0.0 0.0\n  1.0 123456.0\n  0.1 0.0 0.0\n  1.0 2.0\n");
    e2e::spit(dir / "steep.dat", "  1  0.0 0.0 0.0  -5.0  0.0 0.0 0.0\n  1  0.0 0.0 0.0  -4.0  0.0 12345.6 0.0\n");
    e2e::spit(dir / "nan.dat", "  1  0.0 0.0 nan  -5.0  0.0 0.0 0.0\n");
    // the first k point given twice; energies too steep for their slopes to fit
    e2e::spit(dir / "twice.dat", "1 0 0 0 1 0 0 0\n2 0 0 0 1 0 0 0\n3 0.1 0 0 1 0 0 0\n4 0.2 0 0 1 0 0 0\n");
    e2e::spit(dir / "steep.qe", " &plot nbnd=   1, nks=     4 /\n  0.0 0.0 0.0\n  1.0\n  0.001 0.0 0.0\n  50.0\n"
                                "  0.002 0.0 0.0\n  1.0\n  0.003 0.0 0.0\n  50.0\n");
    e2e::spit(dir / "nan.out", "     the Fermi energy is      NaN ev\n");
    // damaged copies of the projwfc.x output of the AlAs band run
    const std::string proj = text(kAlAs + "projwfc.out");
    e2e::spit(dir / "moved.out", replaced(proj, "k =   0.4750000000", "k =   0.4850000000"));
    e2e::spit(dir / "shifted.out", replaced(proj, "-5.65041", "-5.75041"));
    e2e::spit(dir / "seven.out", replaced(proj, "     state #   8: atom   2 (As ), wfc  2 (l=1 m= 3)\n", ""));
    e2e::spit(dir / "term.out", replaced(proj, "0.651*[#   5]", "0.6x1*[#   5]"));
    e2e::spit(dir / "big.out", replaced(proj, "0.651*[#   5]", "1.651*[#   5]"));
    e2e::spit(dir / "fewer.out", replaced(proj, "==== e(   8) =    12.56309", "==== x(   8) =    12.56309"));
    e2e::spit(dir / "nosum.out", replaced(proj, "    |psi|^2 = 0.997\n", ""));
    e2e::spit(dir / "cut.out", proj.substr(0, proj.find("==== e(   3)")));
    const std::string alas = "qe '" + kAlAs + "alas.bands.dat' --projections ";
    // a k coordinate and a representation that fort.1 cannot hold, named at their input
    e2e::spit(dir / "far.dat", "1 0 0 0 1 0 0 0\n2 150 0 0 1 0 0 0\n3 300 0 0 1 0 0 0\n");
    std::filesystem::copy_file(kQe + "si.bands.dat", dir / "r.dat");
    std::string rap = text(kQe + "si.bands.dat.rap");
    size_t fifth = 0;
    for (int l = 0; l < 4; ++l) fifth = rap.find('\n', fifth) + 1;
    e2e::spit(dir / "r.dat.rap", rap.replace(fifth, 8, "    1000"));
    e2e::spit(dir / "ctl.dat", "  1  0.0 0.0 0.0  -5.0\x1b[2J  0.0 0.0 0.0\n");
    // twelve lines turning at right angles, three points each
    std::string zig;
    for (int i = 0, n = 0; i < 12; ++i)
        for (int t = i == 0 ? 0 : 1; t <= 2; ++t) {
            const double x = 0.1 * ((i + 1) / 2) + (i % 2 == 0 ? 0.05 * t : 0.0);
            const double y = 0.1 * (i / 2) + (i % 2 == 1 ? 0.05 * t : 0.0);
            zig += std::to_string(++n) + " " + std::to_string(x) + " " + std::to_string(y) + " 0 " +
                   std::to_string(1 + x) + " 0 0 0\n";
        }
    e2e::spit(dir / "zig.dat", zig);
    std::filesystem::create_directories(dir / "made");
    // a folder where fort.2 cannot be written: the import changes nothing there
    std::filesystem::create_directories(dir / "half/fort.2");
    e2e::spit(dir / "half/fort.1", "kept\n");
    const std::string good = "qe '" + kQe + "si.bands.dat' --fermi 6.242 --lines 2-3";
    struct Case {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {good, 0, ""},
        {good + " -o made/deeper", 0, ""},
        {"--help", 0, ""},
        {"qe cut.dat", 1, "tarlisen-import: cut.dat, line 10: expected the coordinates of k point 5 of 251\n"},
        {"qe missing.dat", 1, "tarlisen-import: missing.dat: cannot be opened\n"},
        {good + " -o cut.dat/run", 1, "tarlisen-import: cut.dat/run: cannot be created"},
        {"qe made", 1, "tarlisen-import: made: cannot be opened\n"},  // a directory
        {"qe huge.dat", 1, "tarlisen-import: huge.dat, line 2: k point 1, level 2: energy 123456.00000 does not fit F10.5 of fort.1\n"},
        {"w90 steep.dat", 1, "tarlisen-import: steep.dat, line 2: gradient 12345.6 does not fit F10.5 of fort.1\n"},
        {"w90 nan.dat", 1, "tarlisen-import: nan.dat, line 1: unreadable number 'nan'\n"},
        {"qe '" + kQe + "si.bands.dat' --scf nan.out", 1, "tarlisen-import: nan.out, line 1: unreadable Fermi energy\n"},
        {"w90 '" + kQe + "si.bands.dat'", 1, "tarlisen-import: " + kQe + "si.bands.dat, line 1: expected 8 numbers"},
        {"qe cut.dat --bogus", 2, "tarlisen-import: unknown option --bogus\nTry 'tarlisen-import --help' for the options.\n"},
        {"qe cut.dat --fermi 1 --scf x", 2, "tarlisen-import: --scf and --fermi both"},
        {"w90 g.dat --scf x", 2, "tarlisen-import: --scf reads a pw.x output"},
        {"qe '" + kQe + "si.bands.dat' --lines 4-6", 2, "tarlisen-import: --lines 4-6: the path has lines 1 ... 5, no line 6"},
        {"qe '" + kQe + "si.bands.dat' --lines 2,2", 2, "tarlisen-import: --lines names 2 twice"},
        {"abinit x", 2, "tarlisen-import: unknown source 'abinit' (qe, vasp or w90)"},
        {"", 2, "tarlisen-import: no source named (qe, vasp or w90)"},
        {"w90 lone.dat", 1, "tarlisen-import: lone.dat: k point 3 (5.00000, 0.00000, 0.00000) lies on no line of the path"},
        {"w90 twice.dat", 1, "tarlisen-import: twice.dat: k point 2 (0.00000, 0.00000, 0.00000) repeats k point 1;"},
        {"qe steep.qe", 1, "tarlisen-import: steep.qe, lines 2 ... 6: k point 1, level 1: slope "},
        {"qe cut.dat --kpoints K", 2, "tarlisen-import: --kpoints reads a VASP file: vasp only"},
        {"vasp E --doscar D --fermi 1", 2, "tarlisen-import: one Fermi energy: --doscar or --fermi"},
        {"w90 si_band.dat", 1, "tarlisen-import: si_band.kpt: cannot be opened (wannier90 writes it beside si_band.dat)\n"},
        {"vasp E --down D", 2, "tarlisen-import: --down reads the spin-down channel's file: qe or w90 only"},
        {"w90 g.dat --spin up", 2, "tarlisen-import: --spin picks a spin channel: qe or vasp only"},
        {"w90 g.dat --scf s.out", 2, "tarlisen-import: --scf reads a pw.x output: qe only"},
        {"qe cut.dat --outcar O", 2, "tarlisen-import: --outcar reads a VASP file: vasp only"},
        {"w90 g.dat --poscar P --doscar D", 2, "tarlisen-import: --poscar reads a VASP file: vasp only"},
        {good + " --window 3,1", 2, "tarlisen-import: --window 3,1: EMIN must lie below EMAX"},
        {good + " --window 3", 2, "tarlisen-import: --window 3: expected EMIN,EMAX in eV"},
        {good + " --spin up", 2, "tarlisen-import: --spin picks the Fermi energy of --scf"},
        {good + " --labels G,X", 2, "tarlisen-import: --labels G,X: 2 lines need 3 points, not 2"},
        {good + " --labels G,,X", 2, "tarlisen-import: --labels G,,X: an empty name"},
        {"qe '" + kQe + "si.bands.dat' --fermi 1e10", 2, "tarlisen-import: --fermi 1e10 lies beyond 1000 eV either way"},
        {good + " --title " + std::string(81, 'x'), 2, "tarlisen-import: --title takes at most 80 characters"},
        {good + " --title 'Si: \\gG-X' -o titled", 0, ""},
        // projections that are not of the band run, or damaged
        {alas + "'" + kQe + "projwfc.out'", 1, "tarlisen-import: " + kQe + "projwfc.out: 72 k points, " + kAlAs +
                                                   "alas.bands.dat has 81 (162 for a spin-polarised run)\n"},
        {alas + "moved.out", 1, "tarlisen-import: moved.out, line 92: k point 2 differs from " + kAlAs +
                                    "alas.bands.dat's (0.47500, 0.47500, 0.47500)\n"},
        {alas + "shifted.out", 1, "tarlisen-import: shifted.out, line 59: level 1 of k point 1 lies at -5.7504 eV, in " +
                                      kAlAs + "alas.bands.dat at -5.6500 eV (are they of the same run?)\n"},
        {alas + "seven.out", 1, "tarlisen-import: seven.out, line 60: state 8 where the list has 1 ... 7\n"},
        {alas + "term.out", 1, "tarlisen-import: term.out, line 60: unreadable term '0.6x1*[#   5]'\n"},
        {alas + "big.out", 1, "tarlisen-import: big.out, line 60: weight 1.651 outside 0 ... 1\n"},
        {alas + "fewer.out", 1, "tarlisen-import: fewer.out, line 92: k point 2 has 8 levels, the first 7\n"},
        {alas + "nosum.out", 1, "tarlisen-import: nosum.out, line 62: expected the |psi|^2 line of level 1\n"},
        {alas + "cut.out", 1, "tarlisen-import: cut.out: 1 k points, " + kAlAs + "alas.bands.dat has 81"},
        {alas + "'" + kQe + "si.scf.out'", 1, "tarlisen-import: " + kQe + "si.scf.out, line 1: no list of atomic states ('state #'): not a projwfc.x output\n"},
        {alas + "moved.out --sum shell", 2, "tarlisen-import: --sum takes element, orbital or element,orbital, not 'shell'\n"},
        {good + " --sum orbital", 2, "tarlisen-import: --sum groups the projections: give --projections too\n"},
        {"w90 g.dat --projections p.out", 2, "tarlisen-import: --projections reads projwfc.x output or a PROCAR: qe or vasp only\n"},
        {alas + "moved.out -o made", 1, "tarlisen-import: moved.out, line 92"},
        {good + " -o half", 1, "tarlisen-import: half/fort.2: cannot be written (not a regular file)\n"},
        {"w90 ctl.dat", 1, "tarlisen-import: ctl.dat, line 1: unreadable number '-5.0\\x1b[2J'\n"},
        {"w90 zig.dat -o zig", 0, ""},
        {"w90 far.dat", 1, "tarlisen-import: far.dat, line 2: k point 2: coordinate 150.00000 does not fit F10.7 of fort.1\n"},
        {"qe r.dat", 1, "tarlisen-import: r.dat.rap: k point 2, band 1: representation 1000 does not fit I3 of fort.1\n"},
    };
    for (const Case& c : cases) {
        const std::string cmd = "cd '" + dir.path.string() + "' && '" + std::string(BINARY_DIR) + "/tarlisen-import' " +
                                c.args + " > out.txt 2> err.txt";
        const int raw = std::system(cmd.c_str());
        EXPECT_EQ(WEXITSTATUS(raw), c.status) << c.args;
        EXPECT_EQ(e2e::slurp(dir / "err.txt").rfind(c.err, 0), 0u) << c.args << ": " << e2e::slurp(dir / "err.txt");
    }
    // A refused import leaves the folder as it was.
    EXPECT_FALSE(std::filesystem::exists(dir / "made" / "fort.1"));
    EXPECT_EQ(e2e::slurp(dir / "half/fort.1"), "kept\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "half/fort.3"));
    // A path of more than ten lines: the first ten, and how to draw the rest.
    ASSERT_EQ(std::system(("cd '" + dir.path.string() + "' && '" + std::string(BINARY_DIR) +
                           "/tarlisen-import' w90 zig.dat -o zig > out.txt").c_str()), 0);
    EXPECT_NE(e2e::slurp(dir / "out.txt").find("The path has 12 symmetry lines; the band program takes 10: lines 1 ... "
                                                "10 written; the next with --lines 11-12 -o ANOTHER_FOLDER."),
              std::string::npos);
    // The title goes into the starter layout, as typed.
    const std::string titled = e2e::slurp(dir / "titled/fort.15");
    EXPECT_EQ(titled.substr(titled.rfind('\n', titled.size() - 2) + 1), "title Si: \\gG-X\n");
    // The good run kept two lines, labelled 1 and 2, also in the folder it made.
    for (const std::string folder : {"", "made/deeper/"}) {
        Result<BandCounts> counts = readCounts((dir.path / (folder + "fort.14")).string());
        ASSERT_TRUE(counts) << folder << counts.error();
        EXPECT_EQ(counts->nkpt, 22);
    }
}

namespace {

// The bands of every line of a stored set-up as the levels they take at its
// k points, taken in fort.1 order: the join, whatever the line's direction
// and the bands' numbering.
std::map<int, std::set<std::vector<int>>> joins(const std::string& fort3) {
    auto f = RecordFile::load(fort3);
    EXPECT_TRUE(f) << fort3;
    std::map<int, std::set<std::vector<int>>> out;
    if (!f) return out;
    Result<SetupFile> setup = parseSetup(*f);
    EXPECT_TRUE(setup) << setup.error();
    if (!setup) return out;
    for (const SetupBlock& b : setup->blocks) {
        std::vector<size_t> byFile(b.kfile.size());
        std::iota(byFile.begin(), byFile.end(), size_t{0});
        std::sort(byFile.begin(), byFile.end(), [&](size_t x, size_t y) { return b.kfile[x] < b.kfile[y]; });
        for (int band = 1; band <= setup->nbands; ++band) {
            std::vector<int> levels;
            for (size_t k : byFile) {
                const auto& row = b.order[k];
                levels.push_back(static_cast<int>(std::find(row.begin(), row.end(), band) - row.begin()) + 1);
            }
            out[b.label].insert(levels);
        }
    }
    return out;
}

}  // namespace

// The import hands the band program a finished set-up: the bands joined
// through their crossings (the program's own joining of a new set-up with
// the default answers finds the same bands), fort.2 fitted through the
// slopes, and a layout.
TEST(TarlisenImport, SetUpJoinsTheBandsThroughTheirCrossings) {
    struct Case {
        std::string name, args;
        int lines;
        bool crossings;
    } cases[] = {
        {"representations", "qe '" + kQe + "si.bands.dat' --scf '" + kQe + "si.scf.out'", 5, true},
        {"value and slope", "w90 '" + kQe + "si_geninterp.dat'", 0, true},
        {"Wannier90 band plot", "w90 '" + kQe + "si_band.dat' --fermi 6.242", 5, true},
        {"two spin channels of iron", "qe '" + kFe + "fe.bands1.dat' --down '" + kFe + "fe.bands2.dat' --scf '" + kFe + "scf.out'", 5, true},
    };
    for (const Case& c : cases) {
        e2e::ScratchDir dir("import-joins");
        const std::string out = (dir / "new" / "run").string();
        const std::string cmd = "'" + std::string(BINARY_DIR) + "/tarlisen-import' " + c.args + " -o '" + out +
                                "' > '" + (dir / "out.txt").string() + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << c.name << ": " << e2e::slurp(dir / "out.txt");
        const auto imported = joins(out + "/fort.3");
        const int nlines = static_cast<int>(imported.size());
        if (c.lines) {
            EXPECT_EQ(nlines, c.lines) << c.name;
        }
        Result<BandsFile> fort2 = readBandsFile(out + "/fort.2");
        ASSERT_TRUE(fort2) << fort2.error();
        EXPECT_EQ(fort2->count, nlines) << c.name;
        EXPECT_TRUE(fort2->stopped.empty()) << fort2->stopped;

        // Not the energy order: some band changes its level along a line.
        bool crossed = false;
        for (const auto& [label, bands] : imported)
            for (const auto& levels : bands)
                crossed = crossed || std::adjacent_find(levels.begin(), levels.end(), std::not_equal_to<>()) != levels.end();
        EXPECT_EQ(crossed, c.crossings) << c.name;

        // The band program interpolates the stored set-up again through the
        // slopes without being told (fort.14 marks them): the same fort.2.
        e2e::ScratchDir again("import-joins-again");
        for (const char* f : {"fort.1", "fort.14", "fort.3", "fort.2"}) std::filesystem::copy(out + "/" + f, again / f);
        ASSERT_EQ(e2e::run(again, "tarlisen", "3\n0\n").status, 0) << c.name;
        EXPECT_EQ(e2e::slurp(again / "fort.2"), e2e::slurp(out + "/fort.2")) << c.name;

        // A set-up from scratch: every line in ascending order, default answers.
        e2e::ScratchDir fresh("import-joins-fresh");
        std::filesystem::copy(out + "/fort.1", fresh / "fort.1");
        std::filesystem::copy(out + "/fort.14", fresh / "fort.14");
        std::string script = "0\n" + std::to_string(readCounts(out + "/fort.14")->nbands) + "\n";
        for (int l = 1; l <= nlines; ++l) script += std::to_string(l) + "\n\n5\n0\n0\n\n";
        script += "0\n0\n";
        const e2e::Outcome setUp = e2e::run(fresh, "tarlisen", script);
        ASSERT_EQ(setUp.status, 0) << c.name << ": " << setUp.out;
        EXPECT_EQ(joins((fresh / "fort.3").string()), imported) << c.name;
        // ... and fits it through the slopes unasked, as --fit hermite does
        const std::string unasked = e2e::slurp(fresh / "fort.2");
        ASSERT_EQ(e2e::run(fresh, "tarlisen", "3\n0\n", "--fit hermite").status, 0) << c.name;
        EXPECT_EQ(e2e::slurp(fresh / "fort.2"), unasked) << c.name;
        ASSERT_EQ(e2e::run(fresh, "tarlisen", "3\n0\n", "--fit cosine").status, 0) << c.name;
        EXPECT_NE(e2e::slurp(fresh / "fort.2"), unasked) << c.name;
    }
}

// Two bands.x files, spin up and down, in one set-up: with the same file as
// both channels every band of the single-channel import comes twice, the
// two copies joined alike through the crossings, never into each other.
TEST(TarlisenImport, TwoSpinFilesAreTwoChannels) {
    e2e::ScratchDir dir("import-two-spins");
    const std::string up = "'" + kQe + "si.bands.dat' --fermi 6.242";
    for (const auto& [args, out] : {std::pair<std::string, std::string>{up, "one"}, {up + " --down '" + kQe + "si.bands.dat'", "two"}}) {
        const e2e::Outcome r = e2e::run(dir, "tarlisen-import", "", "qe " + args + " -o " + out);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    Result<BandsFile> one = readBandsFile((dir / "one" / "fort.2").string());
    Result<BandsFile> two = readBandsFile((dir / "two" / "fort.2").string());
    ASSERT_TRUE(one && two);
    ASSERT_EQ(two->lines.size(), one->lines.size());
    // A curve of the single channel (equal ones counted together) comes
    // twice as often in the two-channel fort.2.
    auto curves = [](const BandLine& line) {
        std::vector<std::vector<float>> c;
        for (int band = 0; band < line.nbands; ++band)
            c.emplace_back(line.e.begin() + band * line.npts, line.e.begin() + (band + 1) * line.npts);
        return c;
    };
    auto times = [](const std::vector<std::vector<float>>& in, const std::vector<float>& curve) {
        return std::count_if(in.begin(), in.end(), [&](const std::vector<float>& c) {
            for (size_t p = 0; p < c.size(); ++p)
                if (std::fabs(c[p] - curve[p]) > 1e-4f) return false;
            return true;
        });
    };
    for (size_t l = 0; l < one->lines.size(); ++l) {
        ASSERT_EQ(two->lines[l].nbands, 2 * one->lines[l].nbands);
        const auto a = curves(one->lines[l]), b = curves(two->lines[l]);
        for (size_t band = 0; band < a.size(); ++band)
            EXPECT_EQ(times(b, a[band]), 2 * times(a, a[band])) << "line " << l + 1 << " band " << band + 1;
    }
}

// The groups of the character on a small run of four elements: the
// summary names the groups kept, fort.16 holds each level's weights in
// them; with both spin channels the spin-down half of the projwfc.x output
// goes with the spin-down levels.
TEST(TarlisenImport, CharacterIsGroupedAsMorvaneImportGroupsAProjectedDos) {
    e2e::ScratchDir dir("import-groups");
    e2e::spit(dir / "b.dat", " &plot nbnd=   2, nks=     3 /\n"
                             "  0.000000  0.000000  0.000000\n  -1.000   1.000\n"
                             "  0.100000  0.000000  0.000000\n  -1.000   1.000\n"
                             "  0.200000  0.000000  0.000000\n  -1.000   1.000\n");
    // states: Ga s, Ga p (2-4), As s, As p (6-8), Zn s, Zn d (10-14), O s, O p (16-18)
    std::string states = "     Atomic states used for projection\n\n";
    const std::vector<std::tuple<int, std::string, int>> atoms = {{1, "Ga", 1}, {2, "As", 1}, {3, "Zn", 2}, {4, "O", 1}};
    int n = 0;
    for (const auto& [atom, element, l] : atoms)
        for (int ll : {0, l})
            for (int m = 1; m <= 2 * ll + 1; ++m) {
                ++n;
                states += "     state #" + std::string(n < 10 ? "   " : "  ") + std::to_string(n) + ": atom   " +
                          std::to_string(atom) + " (" + element + std::string(3 - element.size(), ' ') +
                          "), wfc  1 (l=" + std::to_string(ll) + " m= " + std::to_string(m) + ")\n";
            }
    auto point = [](const std::string& k, const std::string& first, const std::string& second) {
        return "\n k =   " + k + "  0.0000000000  0.0000000000\n==== e(   1) =    -1.00000 eV ==== \n     psi = " +
               first + "\n    |psi|^2 = 0.800\n==== e(   2) =     1.00000 eV ==== \n     psi = " + second +
               "\n    |psi|^2 = 0.850\n";
    };
    std::string up, down;
    for (const char* k : {"0.0000000000", "0.1000000000", "0.2000000000"}) {
        up += point(k, "0.400*[#   6]+0.300*[#   1]+0.100*[#  15]",
                    "0.250*[#   2]+0.250*[#  10]+0.200*[#   5]+0.100*[#   9]\n          +0.050*[#  16]");
        down += point(k, "0.900*[#   9]", "0.500*[#   6]");
    }
    e2e::spit(dir / "p.out", states + up);
    e2e::spit(dir / "spin.out", states + up + down);
    struct Case {
        std::string args, note;
        std::vector<std::string> records;  // fort.16 from record 2 on, as far as given
    } cases[] = {
        {"--projections p.out", "18 atomic states added up by element into 4 groups: Ga, As, Zn, O.",
         {"Ga", "As", "Zn", "O", " 0.30000 0.40000 0.00000 0.10000", " 0.25000 0.20000 0.35000 0.05000"}},
        {"--projections p.out --sum orbital", "by orbital into 3 groups: s, p, d.",
         {"s", "p", "d", " 0.40000 0.40000 0.00000", " 0.30000 0.30000 0.25000"}},
        {"--projections p.out --sum element,orbital",
         "by element and orbital into 8 groups, the first 6 kept (fort.16 holds 6): Ga s, Ga p, As s, As p, Zn s, Zn d.",
         {"Ga s", "Ga p", "As s", "As p", "Zn s", "Zn d", " 0.30000 0.00000 0.00000 0.40000 0.00000 0.00000"}},
        {"--projections spin.out --sum element --down b.dat", "by element into 4 groups: Ga, As, Zn, O.",
         {"Ga", "As", "Zn", "O", " 0.30000 0.40000 0.00000 0.10000", " 0.00000 0.00000 0.90000 0.00000",
          " 0.25000 0.20000 0.35000 0.05000", " 0.00000 0.50000 0.00000 0.00000"}},
        {"--projections spin.out", "by element into 4 groups", {"Ga", "As", "Zn", "O", " 0.30000 0.40000 0.00000 0.10000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const e2e::Outcome r = e2e::run(dir, "tarlisen-import", "", "qe b.dat --fermi 0 " + c.args + " -o run");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(c.note), std::string::npos) << r.out;
        const std::vector<std::string> lines = [&] {
            std::vector<std::string> l;
            std::istringstream in(e2e::slurp(dir / "run" / "fort.16"));
            for (std::string line; std::getline(in, line);) l.push_back(line);
            return l;
        }();
        ASSERT_GT(lines.size(), c.records.size());
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 1 + static_cast<long>(c.records.size())),
                  c.records);
        std::filesystem::remove_all(dir / "run");
    }
}

// Both imports keep the Fermi energy they made the energies relative to;
// the figure of the bands with their DOS aligns the two, and says so when
// they differ: one pw.x output for both imports gives one level.
TEST(TarlisenImport, BothImportsKeepTheirFermiEnergyForTheFigure) {
    e2e::ScratchDir dir("import-fermi");
    const e2e::Outcome bands =
        e2e::run(dir, "tarlisen-import", "", "qe '" + kQe + "si.bands.dat' --scf '" + kQe + "si.scf.out' -o .");
    ASSERT_EQ(bands.status, 0) << bands.err;
    const std::string layout = e2e::slurp(dir / "fort.15");
    EXPECT_EQ(layout.substr(layout.size() - 18), "fermi     6.24200\n");
    // The bands as the band program numbers them; with a gap the starter
    // layout draws the valence and conduction bands apart.
    EXPECT_NE(bands.out.find("Band numbers (from the lowest, as the band program counts them): valence 1 ... 4, "
                             "conduction 5 ... 8, a gap of 0.50 eV; drawn blue and vermillion.\n"),
              std::string::npos)
        << bands.out;
    // An old pw.x output without a Fermi line: the top of the valence band.
    const e2e::Outcome old = e2e::run(dir, "tarlisen-import", "",
                                      "qe '" + kQe + "si.bands.dat' --scf '" + std::string(SOURCE_DIR) +
                                          "/tests/import/real/si.pw41.out' -o old");
    EXPECT_EQ(old.status, 0) << old.err;
    EXPECT_NE(old.out.find("Energies relative to the Fermi energy 6.0123 eV (no Fermi level in "), std::string::npos)
        << old.out;
    const e2e::Outcome metal =
        e2e::run(dir, "tarlisen-import", "", "qe '" + kQe + "si.bands.dat' --fermi 7.5 -o metal");
    EXPECT_NE(metal.out.find("counts them): 1 ... 4 below the Fermi level, 5 ... 6 cross it, 7 ... 8 above it.\n"),
              std::string::npos)
        << metal.out;
    const struct {
        const char* scf;
        const char* says;
    } rows[] = {
        {"si.scf.out", ""},
        {"si.nscf.out", " The Fermi energies differ by 438 meV (bands 6.242 eV, DOS 6.6803 eV): the DOS is drawn on the "
                        "bands' energies, at their E_F.\n"},
    };
    for (const auto& r : rows) {
        std::filesystem::remove_all(dir / "dos");
        const e2e::Outcome dos = e2e::run(dir, "morvane-import", "",
                                          "qe '" + kQe + "si.pdos_tot' '" + kQe + "si.pdos_atm#1(Si)_wfc#2(p)' --scf '" +
                                              kQe + r.scf + "' -o dos");
        ASSERT_EQ(dos.status, 0) << dos.err;
        const e2e::Outcome fig = e2e::run(dir, "tarlisen", "", "--output fig.eps --dos dos");
        EXPECT_EQ(fig.status, 0) << r.scf << fig.err;
        EXPECT_EQ(fig.out, r.says) << r.scf;
    }
}

// The starter picture's labels and window for the silicon path, its lines
// chosen and named in the ways a user can.
TEST(StarterPicture, LabelsAndWindowOfTheSiliconPath) {
    auto bands = readQeBands(kQe + "si.bands.dat");
    auto rap = readQeRap(kQe + "si.bands.dat.rap");
    ASSERT_TRUE(bands && rap);
    DensePath path = pathOf(*bands);
    for (size_t i = 0; i < path.points.size(); ++i) {
        path.points[i].high = rap->high[i];
        for (Level& level : path.points[i].levels) level.energy -= 6.242;
    }
    const std::vector<PathLine> pieces = splitPath(path);
    auto chosen = [&](std::vector<int> numbers) {
        std::vector<ChosenLine> lines;
        for (int n : numbers) lines.push_back({n, n, pieces[static_cast<size_t>(n - 1)], {}});
        return lines;
    };
    const std::vector<int> all{1, 2, 3, 4, 5};
    struct Case {
        std::string name;
        std::vector<int> lines;
        bool cartesian;
        std::string given;
        std::vector<std::string> labels;
    } cases[] = {
        {"fcc points", all, true, "", {"L", "\\Gamma", "X", "W", "K", "\\Gamma"}},
        {"jumps", {1, 3, 5}, true, "", {"L", "\\Gamma|X", "W|K", "\\Gamma"}},
        {"given", all, true, "L,G,X,w,K|U,sigma", {"L", "\\Gamma", "X", "w", "K|U", "\\Sigma"}},
        {"unknown units", {2, 3}, false, "", {"1", "2", "3"}},
    };
    for (const Case& c : cases) {
        const StarterPicture pic = starterPicture(c.cartesian, path, chosen(c.lines), c.given, std::nullopt, true);
        EXPECT_EQ(pic.bands.labels, c.labels) << c.name;
        EXPECT_EQ(pic.bands.lengths.size(), c.lines.size());
    }
    // L-Gamma is sqrt(3)/2 long, Gamma-X 1; the window runs from 6 eV below
    // the Fermi level (the lowest band, at -12.058 eV, reaches deeper) to 4
    // eV above.
    const StarterPicture pic = starterPicture(true, path, chosen(all), "", std::nullopt, true);
    EXPECT_NEAR(pic.bands.lengths[0], std::sqrt(0.75), 1e-9);
    EXPECT_NEAR(pic.bands.lengths[1], 1.0, 1e-9);
    EXPECT_EQ(std::make_pair(pic.bands.emin, pic.bands.emax), std::make_pair(-6.0f, 4.0f));
    const StarterPicture given = starterPicture(true, path, chosen(all), "", std::make_pair(-3.5, 2.0), true);
    EXPECT_EQ(std::make_pair(given.bands.emin, given.bands.emax), std::make_pair(-3.5f, 2.0f));
}
