// morvane-import: the fort.1 writer read back by morvane's own reader, the
// grid arithmetic, each source reader on its fixture and on damaged copies,
// and the program itself.
//
// The Quantum ESPRESSO data are the real silicon run in examples/qe-si/.
// VASP and LOBSTER cannot be run here: their DOSCAR, COHPCAR.lobster and
// DOSCAR.lobster fixtures below are written from the documented layouts of
// those files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>

#include "common/error.h"
#include "common/fortran_format.h"
#include "dos/core/dos_input.h"
#include "dos/core/starter_layout.h"
#include "e2e/e2e_support.h"
#include "import/model/dos_grid.h"
#include "import/tools/dos_import.h"
#include "import/model/dos_projection.h"
#include "import/model/dos_source.h"
#include "import/pipeline/dos_assemble.h"
#include "import/tools/import_tool.h"
#include "import/formats/pw_output.h"
#include "import/formats/lobster.h"
#include "import/formats/qe_pdos.h"
#include "import/formats/doscar.h"

using namespace common;
using namespace dos;
using namespace importer;

namespace {

const std::string kQe = std::string(SOURCE_DIR) + "/examples/qe-si/";
// Small copies of real outputs, a few rows each, in their exact layouts.
const std::string kReal = std::string(SOURCE_DIR) + "/tests/import/real/";

DosInput readBack(const std::string& text) {
    Result<DosInput> in = readDosInput(RecordFile::fromText("fort.1", text));
    EXPECT_TRUE(in) << in.error();
    return in ? *in : DosInput{};
}

std::vector<float> curveOf(const DosInput& in, int c) {
    Result<CurveValues> v = fetchCurve(in, c);
    EXPECT_TRUE(v) << v.error();
    if (!v) return {};
    return {v->begin(), v->begin() + in.ne};
}

// Numbers written as the code under test would find them in a file.
std::string num(double v) { return fortran::F(v, 14, 6); }

// A DOSCAR: `ions` blocks of `orbitalColumns` columns per spin. Total DOS
// at point i (0 ...): up 0.1 i, down 0.2 i; file integral 10 i per spin;
// ion a, column k: 0.01 k + a.
std::string doscar(int spins, int orbitalColumns, int ions, const std::string& blockTail = "") {
    std::string t = "   " + std::to_string(ions) + "   " + std::to_string(ions) + "   1   0\n";
    t += "  0.16E+02  0.38E-09  0.38E-09  0.38E-09  0.50E-15\n  1.0E-004\n  CAR\n system\n";
    const std::string grid = "   6.0  -6.0  5  1.5  1.0";
    t += grid + "\n";
    for (int i = 0; i < 5; ++i) {
        t += num(-6 + 3 * i);
        t += spins == 1 ? num(0.1 * i) + num(10 * i) : num(0.1 * i) + num(0.2 * i) + num(10 * i) + num(10 * i);
        t += "\n";
    }
    for (int a = 1; a <= ions; ++a) {
        t += grid + blockTail + "\n";
        for (int i = 0; i < 5; ++i) {
            t += num(-6 + 3 * i);
            for (int k = 1; k <= orbitalColumns * spins; ++k) t += num(0.01 * k + a);
            t += "\n";
        }
    }
    return t;
}

// A COHPCAR.lobster with two interactions; column j (1 = average) of row i
// of spin s holds j + 0.1 i + s.
std::string cohpcar(int spins) {
    std::string t = "COHPCAR.lobster\n       3       " + std::to_string(spins) + "       5  -6.0  6.0  5.5\n";
    t += "Average\nNo.1:Si1->Si2(2.35)\nNo.2:Si1->Si1(3.84)\n";
    for (int i = 0; i < 5; ++i) {
        t += num(-6 + 3 * i);
        for (int s = 0; s < spins; ++s)
            for (int j = 1; j <= 6; ++j) t += num(j + 0.1 * i + s);
        t += "\n";
    }
    return t;
}

std::string write(const e2e::ScratchDir& dir, const std::string& name, const std::string& text) {
    e2e::spit(dir / name, text);
    return (dir / name).string();
}

// What a reader is asked to take: the projections `chosen` (the first ones
// when none), summed and split by spin as given.
Choice taking(std::vector<int> chosen = {}, Spin spin = Spin::Both, SumBy sum = SumBy::None) {
    return Choice{sum, std::move(chosen), spin, "ion", "--ions"};
}
Choice channel(Spin spin) { return taking({}, spin); }

// Why a reader fails, or "" when it does not.
template <class T>
std::string failureOf(const Result<T>& r) {
    return r ? "" : r.error();
}

// The value of a reader that must succeed.
template <class T>
T valueOf(Result<T> r) {
    EXPECT_TRUE(r) << r.error();
    return r ? std::move(*r) : T{};
}

// A DOSCAR whose point at 3 eV lies at 3.5 eV, in every block.
std::string shifted(std::string text) {
    const std::string from = "\n" + num(3), to = "\n" + num(3.5);
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
        text.replace(at, from.size(), to);
    return text;
}

// `text` with line n (from 1) replaced; `cut` keeps the first n-1 lines only.
std::string damaged(const std::string& text, size_t n, const std::string& line, bool cut = false) {
    std::string out;
    size_t k = 1, start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (k == n && cut) break;
        out += (k == n ? line : text.substr(start, end - start)) + "\n";
        start = end + 1;
        ++k;
    }
    return out;
}

}  // namespace

TEST(DosInputWriter, ReadBackByMorvaneWithDescriptionsCutAndCurvesInOrder) {
    DosCurves c;
    c.totals = true;
    c.energy = {-1, 0, 2};
    c.dos = {1, 2, 3};
    c.idos = {0, 1.5f, 6.5f};
    c.etot = {0, -0.5f, 4.5f};
    const std::string longLine(100, 'x');
    std::vector<std::string> many(25, "line");
    c.ao = {{{"Si(1) s", longLine}, {4, 5, 6}, {7, 8, 9}}, {many, {0, 0, 0}, {0, 0, 1}}};
    c.fmo = {{{"bond"}, {-1, -2, -3}, {0, 0, 0}}};
    c.coop = {{{}, {0.5f, 0, -0.5f}, {0, 0.25f, 0.25f}}};
    auto text = formatDosInput(c);
    ASSERT_TRUE(text) << text.error();
    const DosInput in = readBack(*text);
    EXPECT_EQ(in.ntot, 3);
    EXPECT_EQ(in.nao, 2);
    EXPECT_EQ(in.nfmo, 1);
    EXPECT_EQ(in.ncoop, 1);
    EXPECT_EQ(in.lineCount(ProjKind::AO, 1), 2);
    EXPECT_EQ(in.lineCount(ProjKind::AO, 2), 20);
    EXPECT_EQ(in.lineCount(ProjKind::COOP, 1), 0);
    EXPECT_EQ(in.description(ProjKind::AO, 1, 2), std::string(80, 'x'));
    EXPECT_EQ(fortran::trimRight(curveTitle(in, curveNumber(in, ProjKind::AO, 1, true))), "AOPROJ  Si(1) s");
    EXPECT_EQ(curveOf(in, 2), c.idos);
    EXPECT_EQ(curveOf(in, curveNumber(in, ProjKind::AO, 1, false)), c.ao[0].curve);
    EXPECT_EQ(curveOf(in, curveNumber(in, ProjKind::FMO, 1, false)), c.fmo[0].curve);
    EXPECT_EQ(curveOf(in, curveNumber(in, ProjKind::COOP, 1, true)), c.coop[0].integral);
}

TEST(DosInputWriter, RefusesWhatFort1CannotHold) {
    struct Case {
        const char* name;
        std::function<void(DosCurves&)> edit;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"value too wide", [](DosCurves& c) { c.ao[0].integral[1] = 1234567.0f; }, "integrated AO projection 1, point 2"},
        {"energy too wide", [](DosCurves& c) { c.energy[0] = -1e6f; }, "energy grid, point 1"},
        {"short curve", [](DosCurves& c) { c.etot.pop_back(); }, "total energy has 1 values"},
        {"grid descends", [](DosCurves& c) { c.energy = {1, 0}; }, "energy 2 below"},
        {"six projections", [](DosCurves& c) { c.coop.assign(6, c.ao[0]); }, "6 COOP projections"},
        {"too many energies", [](DosCurves& c) { c.energy.assign(901, 0.0f); }, "901 energies"},
    };
    for (const Case& k : cases) {
        DosCurves c;
        c.totals = true;
        c.energy = {0, 1};
        c.dos = c.idos = c.etot = {0, 1};
        c.ao = {{{"a"}, {0, 1}, {0, 1}}};
        k.edit(c);
        auto text = formatDosInput(c);
        ASSERT_FALSE(text) << k.name;
        EXPECT_NE(text.error().find(k.says), std::string::npos) << k.name << ": " << text.error();
    }
}

TEST(DosGrid, IntegralsAndResamplingKeepTheArea) {
    // Trapezoid integrals are exact for straight lines (y = 2E + 2 on an
    // uneven grid); E n(E) of n = 1 integrates to E^2/2.
    EXPECT_EQ(runningIntegral({-1, 0, 0.5, 2}, {0, 2, 3, 6}), (std::vector<double>{0, 1, 2.25, 9}));
    EXPECT_EQ(energyIntegral({0, 1, 2}, {1, 1, 1}), (std::vector<double>{0, 0.5, 2}));

    // A sharp peak on a fine uneven grid, resampled onto 900 even points.
    std::vector<double> fine, y;
    for (int i = 0; i <= 5000; ++i) {
        const double x = -10 + 20.0 * i / 5000 + (i % 2 && i < 5000 ? 0.001 : 0.0);
        fine.push_back(x);
        y.push_back(std::exp(-(x - 1.234) * (x - 1.234) / 0.02) + 0.1);
    }
    const std::vector<double> grid = evenGrid(fine, 900);
    ASSERT_EQ(grid.size(), 900u);
    EXPECT_EQ(grid.front(), fine.front());
    EXPECT_EQ(grid.back(), fine.back());
    const std::vector<double> in = runningIntegral(fine, y);
    const std::vector<double> coarse = resampleCurve(fine, y, grid);
    EXPECT_NEAR(runningIntegral(grid, coarse).back(), in.back(), 1e-9);
    const std::vector<double> integral = resampleIntegral(fine, in, grid);
    EXPECT_DOUBLE_EQ(integral.back(), in.back());
    EXPECT_NEAR(integral[450], valueAt(fine, in, grid[450]), 1e-12);
    // The peak keeps its height within the smoothing of one coarse cell.
    EXPECT_NEAR(*std::max_element(coarse.begin(), coarse.end()), 1.1, 0.02);

    // Through assemble and the F12.5 file: 900 energies, the total kept.
    DosSource src;
    src.source = "test";
    src.energy = fine;
    src.totals = true;
    src.dos = y;
    src.relative = true;
    const Imported out = valueOf(assemble(src));
    const DosInput back = readBack(out.text);
    EXPECT_EQ(back.ne, 900);
    EXPECT_NEAR(curveOf(back, 2).back(), in.back(), 1e-4);
    EXPECT_NE(out.summary.find("resampled evenly from 5001"), std::string::npos);
}

TEST(QePdos, SiliconRunHoldsEightElectronsInTheGap) {
    std::vector<std::string> proj;
    for (const char* f : {"si.pdos_atm#1(Si)_wfc#1(s)", "si.pdos_atm#1(Si)_wfc#2(p)",
                          "si.pdos_atm#2(Si)_wfc#1(s)", "si.pdos_atm#2(Si)_wfc#2(p)"})
        proj.push_back(kQe + f);
    const double fermi = valueOf(fermiFromPwOutput(kQe + "si.nscf.out"));
    EXPECT_DOUBLE_EQ(fermi, 6.6803);
    EXPECT_DOUBLE_EQ(valueOf(fermiFromPwOutput(kQe + "si.scf.out")), 6.2420);
    const Imported out = valueOf(assemble(valueOf(readQePdos(kQe + "si.pdos_tot", proj, channel(Spin::Both), fermi))));
    const DosInput in = readBack(out.text);
    ASSERT_EQ(in.nao, 4);
    EXPECT_EQ(fortran::trimRight(in.description(ProjKind::AO, 4, 1)), "Si(2) p");
    // Every point of the gap (zero DOS around the Fermi level, which lies in
    // it) holds 8 electrons. The file gives each DOS value to three digits,
    // 0.5 % at worst, so the integral is good to 0.5 % of 8.
    const std::vector<float> dos = curveOf(in, 1), idos = curveOf(in, 2);
    int gap = 0;
    for (int i = 0; i < in.ne; ++i)
        if (in.energy[static_cast<size_t>(i)] > -0.35f && in.energy[static_cast<size_t>(i)] < 0.05f) {
            EXPECT_EQ(dos[static_cast<size_t>(i)], 0.0f) << in.energy[static_cast<size_t>(i)];
            EXPECT_NEAR(idos[static_cast<size_t>(i)], 8.0, 0.04);
            ++gap;
        }
    EXPECT_GE(gap, 5);
    EXPECT_NEAR(idos.back(), 16.0, 0.08);  // 8 bands, both spins
    // The projections of both atoms sum to the same charge.
    const auto s1 = curveOf(in, curveNumber(in, ProjKind::AO, 1, true));
    const auto s2 = curveOf(in, curveNumber(in, ProjKind::AO, 3, true));
    EXPECT_NEAR(s1.back(), s2.back(), 1e-4);
    EXPECT_NE(out.summary.find("electrons below the Fermi level: 7.99"), std::string::npos) << out.summary;
}

TEST(QePdos, SpinChannelsAndDamagedTables) {
    e2e::ScratchDir dir("qe-spin");
    const std::string tot = "# E (eV)  dosup(E)   dosdw(E)  pdosup(E)  pdosdw(E)\n"
                            " -1.000  0.100E+01  0.300E+01  0.1E+01  0.3E+01\n"
                            "  0.000  0.200E+01  0.400E+01  0.2E+01  0.4E+01\n"
                            "  1.000  0.000E+00  0.000E+00  0.0E+00  0.0E+00\n";
    const std::string ldos = "# E (eV)  ldosup(E)  ldosdw(E)  pdosup(E)  pdosdw(E)\n"
                             " -1.000  0.5E+00  0.1E+00  0.5E+00  0.1E+00\n"
                             "  0.000  0.5E+00  0.1E+00  0.5E+00  0.1E+00\n"
                             "  1.000  0.5E+00  0.1E+00  0.5E+00  0.1E+00\n";
    const std::string t = write(dir, "x.pdos_tot", tot);
    const std::string p = write(dir, "x.pdos_atm#3(Fe)_wfc#2(d)", ldos);
    EXPECT_EQ(valueOf(readQePdos(t, {p}, channel(Spin::Both), std::nullopt)).dos, (std::vector<double>{4, 6, 0}));
    EXPECT_EQ(valueOf(readQePdos(t, {p}, channel(Spin::Down), std::nullopt)).dos, (std::vector<double>{3, 4, 0}));
    const DosSource up = valueOf(readQePdos(t, {p}, channel(Spin::Up), std::nullopt));
    EXPECT_EQ(up.ao.at(0).curve, (std::vector<double>{0.5, 0.5, 0.5}));
    EXPECT_EQ(up.ao.at(0).description.at(0), "Fe(3) d");

    struct Case {
        const char* name;
        std::string totText, projText;
        size_t line;
        Spin spin = Spin::Both;
    };
    const std::string plain = "# E (eV)  dos(E)  pdos(E)\n -1.0 1.0 1.0\n 0.0 2.0 2.0\n";
    const std::vector<Case> cases = {
        {"cut", damaged(tot, 3, "", true), ldos, 3},
        {"empty", "", ldos, 1},
        {"unreadable", damaged(tot, 3, "  0.000  0.2x0E+01  0.4E+01  0.2E+01  0.4E+01"), ldos, 3},
        {"columns", damaged(tot, 2, " -1.000  0.1E+01  0.3E+01"), ldos, 2},
        {"descending", damaged(tot, 3, " -2.000  0.2E+01  0.4E+01  0.2E+01  0.4E+01"), ldos, 3},
        {"no header", damaged(tot, 1, " -2.000  0.2E+01  0.4E+01  0.2E+01  0.4E+01"), ldos, 1},
        {"other grid", tot, damaged(ldos, 3, "  0.100  0.5E+00  0.1E+00  0.5E+00  0.1E+00"), 3},
        {"shorter projection", tot, damaged(ldos, 4, "", true), 3},
        {"spin of a plain run", plain, plain, 1, Spin::Up},
    };
    for (const Case& k : cases) {
        const std::string tf = write(dir, "d.pdos_tot", k.totText);
        const std::string pf = write(dir, "d.pdos_atm#1(Si)_wfc#1(s)", k.projText);
        const std::string why = failureOf(readQePdos(tf, {pf}, channel(k.spin), std::nullopt));
        const bool inProj = std::string(k.name) == "other grid" || std::string(k.name) == "shorter projection";
        EXPECT_EQ(why.rfind((inProj ? pf : tf) + ", line " + std::to_string(k.line) + ": ", 0), 0u)
            << k.name << ": " << why;
    }
}

TEST(VaspDoscar, TotalsIonsAndSpins) {
    e2e::ScratchDir dir("vasp");
    // LORBIT=10 without spin: s p d per ion.
    const Doscar d = valueOf(readDoscar(write(dir, "DOSCAR", doscar(1, 3, 2))));
    ASSERT_EQ(d.ion.size(), 2u);
    EXPECT_EQ(d.ion[1].orbitals, "s p d");
    EXPECT_NEAR(d.ion[1].total[4], 0.06 + 3 * 2, 1e-9);
    const DosSource src = valueOf(vaspSource(d, taking({2}), std::nullopt));
    EXPECT_EQ(src.idos, (std::vector<double>{0, 10, 20, 30, 40}));
    const Imported out = valueOf(assemble(src));
    const DosInput in = readBack(out.text);
    EXPECT_FLOAT_EQ(in.energy.front(), -7.5f);  // relative to the file's E_F 1.5
    EXPECT_EQ(fortran::trimRight(in.description(ProjKind::AO, 1, 1)), "Ion 2: s p d");
    EXPECT_NE(out.summary.find("electrons below the Fermi level: 25.00"), std::string::npos) << out.summary;
    EXPECT_FLOAT_EQ(readBack(valueOf(assemble(valueOf(vaspSource(d, taking(), 0.0)))).text).energy.front(), -6.0f);

    // LORBIT=11 with spin: nine orbitals, up and down columns, both summed.
    const Doscar s = valueOf(readDoscar(write(dir, "DOSCAR2", doscar(2, 9, 1))));
    EXPECT_EQ(s.spins, 2);
    EXPECT_EQ(s.dos[2], 0.2 + 0.4);
    EXPECT_EQ(s.idos[1], 20.0);
    EXPECT_EQ(s.ion[0].orbitals, "s py pz px dxy dyz dz2 dxz x2-y2");
    EXPECT_NEAR(s.ion[0].total[0], 0.01 * 171 + 18, 1e-9);
    EXPECT_NE(failureOf(vaspSource(s, taking({2}), std::nullopt)).find("there is no ion 2"), std::string::npos);
}

TEST(VaspDoscar, DamagedCopiesNameTheLine) {
    e2e::ScratchDir dir("vasp-damaged");
    const std::string good = doscar(1, 3, 2);
    const std::vector<std::pair<std::string, size_t>> cases = {
        {damaged(good, 4, "", true), 4},                             // header cut
        {damaged(good, 1, " two ions"), 1},                         // unreadable counts
        {damaged(good, 6, "   6.0  -6.0  x  1.5  1.0"), 6},         // NEDOS unreadable
        {damaged(good, 6, "   6.0  -6.0  1  1.5  1.0"), 6},         // NEDOS too small
        {damaged(good, 9, "  0.0  0.2"), 9},                        // short total row
        {damaged(good, 10, "  0.0  0.2  1.0"), 10},                 // energy not ascending
        {damaged(good, 18, "   6.0  -6.0  4  1.5  1.0"), 18},       // ion block of another NEDOS
        {damaged(good, 14, "  -3.0  0.01  0.02"), 14},               // ion row short
        {damaged(good, 20, "  3.0  0.01  1.02  1.03"), 20},        // ion row off the grid
        {damaged(good, 18, "", true), 18},                           // second ion block missing
        {damaged(good, 21, "", true), 21},                           // second ion block cut
        {damaged(good, 6, "   6.0  -6.0  5  NaN  1.0"), 6},          // E_F not a number
        {damaged(good, 6, "   6.0  -6.0  5  0x1p3  1.0"), 6},        // E_F hexadecimal
        {damaged(good, 9, "  0.0  0.2  2.0E+300"), 9},               // a value beyond any
        {damaged(good, 6, "   6.0  -6.0  999999  1.5  1.0"), 12},    // NEDOS far beyond the file
    };
    for (const auto& [text, line] : cases) {
        const std::string path = write(dir, "DOSCAR", text);
        const std::string why = failureOf(readDoscar(path));
        EXPECT_EQ(why.rfind(path + ", line " + std::to_string(line) + ": ", 0), 0u) << "line " << line << ": " << why;
    }
}

TEST(Lobster, CohpWrittenAsMinusCohpWithTheFileIntegralsAndDoscar) {
    e2e::ScratchDir dir("lobster");
    const Coxxcar c = valueOf(readCoxxcar(write(dir, "COHPCAR.lobster", cohpcar(2))));
    EXPECT_EQ(c.kind, "COHP");
    ASSERT_EQ(c.labels.size(), 2u);
    EXPECT_EQ(c.labels[1], "No.2:Si1->Si1(3.84)");
    // Interaction 2: columns 5 and 6 of each spin, summed.
    EXPECT_DOUBLE_EQ(c.value[1][1], 5.1 + 6.1);
    EXPECT_DOUBLE_EQ(c.integral[1][1], 6.1 + 7.1);

    std::string lobsterDos = doscar(1, 4, 2, "; Z= 14; 3s 3p_y 3p_z 3p_x");
    const Doscar d = valueOf(readDoscar(write(dir, "DOSCAR.lobster", lobsterDos)));
    const Imported out = valueOf(assemble(valueOf(lobsterSource(c, {2}, false, &d, taking({1, 2})))));
    const DosInput in = readBack(out.text);
    EXPECT_EQ(in.ntot, 3);
    EXPECT_EQ(in.ncoop, 1);
    EXPECT_FLOAT_EQ(in.energy.front(), -6.0f);  // already relative to E_F
    EXPECT_EQ(fortran::trimRight(in.description(ProjKind::COOP, 1, 1)), "-COHP No.2:Si1->Si1(3.84)");
    EXPECT_EQ(fortran::trimRight(in.description(ProjKind::AO, 2, 1)), "Si2: 3s 3p_y 3p_z 3p_x");
    EXPECT_FLOAT_EQ(curveOf(in, curveNumber(in, ProjKind::COOP, 1, false))[1], -11.2f);
    EXPECT_FLOAT_EQ(curveOf(in, curveNumber(in, ProjKind::COOP, 1, true))[1], -13.2f);

    const Coxxcar coop = valueOf(readCoxxcar(write(dir, "COOPCAR.lobster", cohpcar(1))));
    EXPECT_DOUBLE_EQ(valueOf(assemble(valueOf(lobsterSource(coop, {1}, false, nullptr, taking())))).curves.coop[0].curve[0], 3.0f);
    // A DOSCAR.lobster on another grid is refused.
    const Doscar other = valueOf(readDoscar(write(dir, "DOSCAR.other", shifted(lobsterDos))));
    EXPECT_NE(failureOf(lobsterSource(c, {1}, false, &other, taking())).find("energy 4 differs"), std::string::npos);
}

TEST(Lobster, DamagedCopiesNameTheLine) {
    e2e::ScratchDir dir("lobster-damaged");
    const std::string good = cohpcar(1);
    const std::vector<std::pair<std::string, size_t>> cases = {
        {damaged(good, 2, "", true), 2},                                  // cut after the title
        {damaged(good, 2, "       3       3       5  -6.0  6.0  5.5"), 2},  // three spins
        {damaged(good, 2, "       4       1       5  -6.0  6.0  5.5"), 2},  // labels missing
        {damaged(good, 2, "       3       1       5  -6.0  6.0"), 2},       // E_F missing
        {damaged(good, 7, "  -3.0  1.0  2.0"), 7},                        // short row
        {damaged(good, 8, "  0.0  1.0  2.0  3.0  4.0  5.0  6.o"), 8},     // unreadable
        {damaged(good, 9, "  -9.0  1.0  2.0  3.0  4.0  5.0  6.0"), 9},    // not ascending
        {damaged(good, 10, "", true), 10},                                // rows cut
        {damaged(good, 2, "       3       1  999999  -6.0  6.0  5.5"), 11},  // NEDOS far beyond the file
        {damaged(good, 2, "       3       1       5  -6.0  6.0  Inf"), 2},     // E_F infinite
        {damaged(good, 8, "  0.0  1.0  2.0  3.0  4.0  5.0  -7E+10"), 8},     // a value beyond any
    };
    for (const auto& [text, line] : cases) {
        const std::string path = write(dir, "COOPCAR.lobster", text);
        const std::string why = failureOf(readCoxxcar(path));
        EXPECT_EQ(why.rfind(path + ", line " + std::to_string(line) + ": ", 0), 0u) << "line " << line << ": " << why;
    }
}

TEST(MorvaneImport, StatusCodesAndMorvaneStartsOnEveryImport) {
    e2e::ScratchDir dir("morvane-import");
    const std::string spin2 = "vasp '" + kReal + "DOSCAR.ispin2-lorbit11' ", mgb2 = "qe '" + kReal + "mgb2.pdos_tot' ";
    write(dir, "DOSCAR", doscar(2, 9, 6));
    write(dir, "COHPCAR.lobster", cohpcar(2));
    write(dir, "DOSCAR.lobster", doscar(2, 4, 2, "; Z= 14; 3s 3p_y 3p_z 3p_x"));
    auto run = [&](const std::string& args) {
        const std::string cmd = "cd '" + dir.path.string() + "' && '" + BINARY_DIR + "/morvane-import' " + args +
                                " > out.txt 2> err.txt";
        const int raw = std::system(cmd.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const std::string qe = "qe '" + kQe + "si.pdos_tot' '" + kQe + "si.pdos_atm#1(Si)_wfc#2(p)' --scf '" + kQe +
                           "si.nscf.out'";
    int made = 0;
    for (const std::string& args : {qe, std::string("vasp DOSCAR --ions 6,2-3"),
                                    std::string("lobster COHPCAR.lobster --doscar DOSCAR.lobster"),
                                    spin2 + "--spin mirror --title 'Ni: up and down'",
                                    "vasp '" + kReal + "vasprun.xml.dos-si' --ions 1"}) {
        // -o makes the folder, and the folders above it, when they are not there.
        const std::string out = "made/" + std::to_string(++made);
        ASSERT_EQ(run(args + " -o " + out), 0) << args << e2e::slurp(dir / "err.txt");
        EXPECT_NE(e2e::slurp(dir / "out.txt").find("written: " + out + "/fort.1"), std::string::npos);
        e2e::ScratchDir m("morvane-on-import");
        std::filesystem::copy_file(dir / out / "fort.1", m / "fort.1");
        const e2e::Outcome o = e2e::run(m, "morvane", "0\n");
        EXPECT_EQ(o.status, 0) << args << o.err;
        EXPECT_NE(o.out.find("Main menu"), std::string::npos) << args;
        // and draws the starter layout without a question
        std::filesystem::copy_file(dir / out / "fort.7", m / "fort.7");
        const e2e::Outcome drawn = e2e::run(m, "morvane", "", "--output dos.eps");
        EXPECT_EQ(drawn.status, 0) << args << drawn.err;
        EXPECT_NE(e2e::slurp(m / "dos.eps").find("%%BoundingBox"), std::string::npos) << args;
    }
    EXPECT_NE(e2e::slurp(dir / "made/4/fort.7").find("\ntitle Ni: up and down\n"), std::string::npos);
    // The summary says what was left out and how to choose.
    ASSERT_EQ(run("vasp DOSCAR"), 0);
    EXPECT_NE(e2e::slurp(dir / "out.txt").find("6 ions in the file, 5 written (choose up to five with --ions)"),
              std::string::npos);

    struct Case {
        std::string args;
        int status;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"--help", 0, ""},
        {"", 2, "no source named"},
        {"abinit x", 2, "unknown source 'abinit'"},
        {"vasp DOSCAR --ions 1-6", 2, "--ions names 6 ions; at most 5"},
        {"vasp DOSCAR --ions 0", 2, "--ions takes numbers"},
        {"vasp DOSCAR --ions 2,2", 2, "--ions names 2 twice"},
        {"qe a --scf x --fermi 1", 2, "--scf and --fermi both give the Fermi energy"},
        {"vasp DOSCAR --scf x", 2, "--scf reads a pw.x output: qe only"},
        {"qe a b --sum atoms", 2, "--sum takes element, orbital or element,orbital"},
        {"qe a --spin sideways", 2, "--spin takes up, down or mirror"},
        {"vasp DOSCAR --fermi x", 2, "--fermi takes a number"},
        {"vasp missing", 1, "missing: cannot be opened"},
        {"vasp DOSCAR --ions 7", 1, "DOSCAR: there is no ion 7"},
        {"lobster COHPCAR.lobster --interactions 3", 1, "there is no bond 3"},
        {"vasp DOSCAR -o DOSCAR", 1, "DOSCAR/fort.1: cannot be written"},
        {"vasp DOSCAR -o half", 1, "half/fort.7: cannot be written (not a regular file)"},
        {"vasp made", 1, "made: cannot be opened"},  // a directory
        {"lobster COHPCAR.lobster --doscar made", 1, "made: cannot be opened"},
        {"qe '" + kQe + "si.pdos_tot' --scf nan.out", 1, "nan.out, line 1: unreadable Fermi energy"},
        {"vasp DOSCAR --fermi 1e20", 2, "--fermi 1e20 lies beyond 1000 eV either way"},
        {"vasp DOSCAR --fermi -1000.5", 2, "--fermi -1000.5 lies beyond 1000 eV either way"},
        {"vasp DOSCAR --fermi nan", 2, "--fermi"},
        {"vasp DOSCAR --title " + std::string(81, 'x'), 2, "--title takes at most 80 characters"},
        // Values that do not fit F12.5 are named by the row they come from,
        // also after the grid is resampled and for a curve made by the import.
        {"vasp DOSCAR --fermi -9e9", 2, "--fermi -9e9 lies beyond 1000 eV either way"},
        {"vasp DOSCAR.wide", 1, "DOSCAR.wide, line 506: the density of states at -1.112 eV"},
        {"vasp DOSCAR.steep", 1, "DOSCAR.steep, line 8: the total energy at -4.500 eV"},
        {"lobster COHPCAR.label", 1, "COHPCAR.label, line 4: a line of 200005 characters where an interaction label stands"},
        {"lobster COHPCAR.big", 1, "COHPCAR.big, line 6: the COOP projection 2 at -6.000 eV, -1234567.750"},
        // The files beside the real ones: damaged, or asked what they do not hold.
        {spin2 + "--sum element --poscar POSCAR.x", 1, "POSCAR.x, line 7: unreadable number 'x'"},
        {spin2 + "--sum element --poscar POSCAR.3", 1, "POSCAR.3, line 7: 3 ions where the DOSCAR has 2"},
        {spin2 + "--sum element --poscar POSCAR.4", 1, "POSCAR.4, line 6: no element symbols"},
        {spin2 + "--sum element", 1, "names no elements; give the run's POSCAR with --poscar"},
        {spin2 + "--sum orbital --ions 4", 1, "there is no sum 4 (the file has 3)"},
        {spin2 + "--spin mirror --ions 1-3", 1, "3 ions asked for; two fit in fort.1 with each spin apart"},
        {"vasp DOSCAR.plain --spin up", 1, "DOSCAR.plain, line 7: one spin channel (3 numbers a row): the run is not spin polarised"},
        {"vasp DOSCAR --sum atoms", 2, "--sum takes element, orbital or element,orbital"},
        {"qe '" + kQe + "si.pdos_tot' '" + kQe + "si.pdos_atm#1(Si)_wfc#1(s)' --spin mirror --fermi 0", 1,
         "si.pdos_tot, line 1: no dosup/dosdw columns"},
        {mgb2 + "--sum element", 2, "--sum needs the projection files"},
        {mgb2 + "--scf pw.cut", 1, "pw.cut, line 12: the file ends before band 4 of the k point on line 11"},
        {mgb2 + "--scf pw.bad", 1, "pw.bad, line 13: unreadable eigenvalues"},
        {mgb2 + "--scf pw.odd", 1, "pw.odd, line 11: 7.00 electrons in 4 bands fill no whole band"},
        {mgb2 + "--scf pw.spin", 1, "pw.spin, line 9: a spin-polarised run without a Fermi level"},
        {mgb2 + "--scf pw.none", 1, "pw.none: no Fermi energy, no highest occupied level and no eigenvalues"},
        {"lobster COHPCAR.lobster --orbitals", 1, "no orbital pairs (the file is not orbital-wise)"},
        {"lobster COHPCAR.lobster --spin mirror", 2, "--spin needs --doscar"},
        {"lobster COHPCAR.lobster --doscar DOSCAR.named", 1, "DOSCAR.named, line 12: 3 orbitals named for 4 columns"},
        {"tarlisen COHPCAR.lobster --orbitals", 2, "unknown source 'tarlisen'"},
        {"vasp DOSCAR --orbitals", 2, "--orbitals picks orbital pairs of a LOBSTER file: lobster only"},
        {"lobster COHPCAR.lobster --fermi 1", 2, "--fermi gives the Fermi level of a run: qe or vasp only"},
        {"qe a --ions 1", 2, "--ions picks ions of a DOSCAR: vasp or lobster only"},
        {"vasp DOSCAR --interactions 1 --doscar D", 2, "--doscar reads a DOSCAR.lobster: lobster only"},
        // vasprun.xml: cut short, without <dos>, asked what it does not hold
        {"vasp '" + kReal + "vasprun.xml.stopped-crcl3'", 1,
         "vasprun.xml.stopped-crcl3, line 877: the XML is cut short (Start-end tags mismatch; did the run stop?)"},
        {"vasp nodos.xml", 1, "nodos.xml: <dos> missing in its last <calculation>"},
        {"vasp '" + kReal + "vasprun.xml.dos-si' --ions 2", 1, "vasprun.xml.dos-si: there is no ion 2 (the file has 1)"},
        {"vasp '" + kReal + "vasprun.xml.ispin2-cr' --ions 1", 1, "vasprun.xml.ispin2-cr: no ion blocks (the run had no LORBIT)"},
        {"vasp '" + kReal + "vasprun.xml.dos-si' DOSCAR", 2, "vasp takes one DOSCAR or vasprun.xml"},
        {"vasp xml.fermi", 1, "xml.fermi, line 1421: <i name=\"efermi\">: not a row of numbers"},
        {"vasp xml.order", 1, "xml.order, line 1432: <total> spin 1: energies not ascending"},
        {"vasp xml.columns", 1, "xml.columns, line 1755: <partial> ion 1 spin 1: 2 numbers, expected 10"},
        {"vasp xml.grid", 1, "xml.grid, line 1755: <partial> ion 1 spin 1: not the energies of the total DOS"},
        {"vasp xml.spins", 1, "xml.spins, line 1752: <partial>: ion 1 has 0 spin sets, the total DOS 1"},
    };
    const std::string xml = e2e::slurp(std::filesystem::path(kReal) / "vasprun.xml.dos-si");
    e2e::spit(dir / "xml.fermi", damaged(xml, 1421, "   <i name=\"efermi\">      9.85x </i>"));
    e2e::spit(dir / "xml.order", damaged(xml, 1432, "       <r>    -6.5000     0.0000     0.0000 </r>"));
    e2e::spit(dir / "xml.columns", damaged(xml, 1755, "        <r>    -6.2282     0.0000 </r>"));
    e2e::spit(dir / "xml.grid", damaged(xml, 1755, "        <r>    -6.1000" + std::string(" 0") + " 0 0 0 0 0 0 0 0 </r>"));
    e2e::spit(dir / "xml.spins", damaged(damaged(xml, 1753, "       <other>"), 2055, "       </other>"));
    e2e::spit(dir / "nodos.xml", "<modeling>\n <calculation>\n </calculation>\n</modeling>\n");
    const std::string poscar = e2e::slurp(std::filesystem::path(kReal) / "POSCAR.FeO");
    e2e::spit(dir / "POSCAR.x", damaged(poscar, 7, "     1     x"));
    e2e::spit(dir / "POSCAR.3", damaged(poscar, 7, "     1     2"));
    e2e::spit(dir / "POSCAR.4", damaged(poscar, 6, "     1     1"));
    e2e::spit(dir / "DOSCAR.plain", doscar(1, 3, 1));
    e2e::spit(dir / "DOSCAR.named", doscar(1, 4, 2, "; Z= 14; 3s 3p_y 3p_z"));
    const std::string pw = e2e::slurp(std::filesystem::path(kReal) / "si.pw41.out");
    e2e::spit(dir / "pw.cut", damaged(pw, 12, "", true));
    e2e::spit(dir / "pw.bad", damaged(pw, 13, "    -5.6039   4.64x7   5.9568   5.9568"));
    e2e::spit(dir / "pw.odd", damaged(pw, 5, "     number of electrons       =         7.00"));
    e2e::spit(dir / "pw.spin", damaged(pw, 9, " ------ SPIN UP ------------"));
    e2e::spit(dir / "pw.none", damaged(pw, 9, "", true));
    e2e::spit(dir / "nan.out", "     the Fermi energy is   NaN ev\n");
    std::filesystem::create_directories(dir / "made");
    std::filesystem::create_directories(dir / "half/fort.7");  // fort.1 must not be written without it
    std::string many = "No.1:";
    for (int i = 0; i < 100000; ++i) many += " 1";
    e2e::spit(dir / "COHPCAR.label", damaged(cohpcar(1), 4, many));
    e2e::spit(dir / "COHPCAR.big", damaged(cohpcar(1), 6, num(-6) + num(1) + num(2) + num(3) + num(4) + fortran::F(1234567.8, 20, 3) + num(6)));
    // 1000 energies (resampled to 900), a spike on the row of line 507 that reaches the point nearest line 506.
    std::string wide = "   1   1   1   0\n  0.16E+02  0.38E-09  0.38E-09  0.38E-09  0.50E-15\n  1.0E-004\n  CAR\n system\n";
    wide += "   1000.0  -1000.0  1000  0.0  1.0\n";
    for (int i = 0; i < 1000; ++i) wide += num(-1000 + 2000.0 * i / 999) + fortran::F(i == 500 ? 1e9 : 0.1, 20, 3) + num(0) + "\n";
    e2e::spit(dir / "DOSCAR.wide", wide);
    e2e::spit(dir / "DOSCAR.steep", damaged(doscar(1, 3, 1), 8, num(-3) + num(50000) + num(10)));
    for (const Case& k : cases) {
        std::filesystem::remove(dir / "fort.1");
        EXPECT_EQ(run(k.args), k.status) << k.args;
        EXPECT_FALSE(std::filesystem::exists(dir / "fort.1")) << k.args << ": fort.1 written";
        EXPECT_FALSE(std::filesystem::exists(dir / "half/fort.1")) << k.args << ": half/fort.1 written";
        const std::string err = e2e::slurp(dir / "err.txt"), out = e2e::slurp(dir / "out.txt");
        if (k.status == 0) {
            EXPECT_EQ(out.rfind("Usage: morvane-import", 0), 0u);
            EXPECT_EQ(err, "");
            continue;
        }
        const std::string first = err.substr(0, err.find('\n'));
        EXPECT_EQ(first.rfind("morvane-import: ", 0), 0u) << k.args << ": " << err;
        EXPECT_NE(first.find(k.says), std::string::npos) << k.args << ": " << err;
        EXPECT_EQ(err.find("Usage:"), std::string::npos) << k.args;
        EXPECT_EQ(err.substr(err.find('\n') + 1) == "Try 'morvane-import --help' for the options.\n", k.status == 2)
            << k.args;
    }
}

// The request as the command line gives it, before any file is read.
TEST(MorvaneImport, RequestKeepsTheListsInTheirOrder) {
    std::ostringstream out;
    auto r = parseDosImport({"lobster", "C", "--doscar", "D", "--ions", "3,1", "-o", "x"}, out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->files, (std::vector<std::string>{"C"}));
    EXPECT_EQ(r->doscar, "D");
    EXPECT_EQ(r->ions, (std::vector<int>{3, 1}));
    EXPECT_TRUE(r->interactions.empty());
    EXPECT_EQ(r->outDir, "x");
    r = parseDosImport({"qe", "t", "p", "--spin", "down", "--fermi", "5.5"}, out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->spin, Spin::Down);
    EXPECT_EQ(r->fermi, 5.5);
    EXPECT_FALSE(parseDosImport({"--help"}, out));
    EXPECT_EQ(out.str(), dosImportUsage());
}

// The real-file variants, imported as a user would: the summary, the curves
// fort.1 holds and their names. The files of tests/import/real/ copy the
// layouts of public runs a few rows long: VASP 5.4 with ISPIN=2 and
// LORBIT=11 (two ions, s to x2-y2, up and down side by side), an
// orbital-wise LOBSTER COHPCAR (each bond followed by its orbital pairs,
// two spins), projwfc.x of spin-polarised Fe with semicore 3s and 3p
// states and of MgB2 (six files), and pw.x 4.1 of an insulator, which
// prints no Fermi level.
TEST(MorvaneImport, RealFileVariants) {
    struct Case {
        std::string args;
        std::vector<std::string> says;  // lines of the summary
        std::vector<std::string> ao, coop;  // the names fort.1 lists
        int curve = 0;     // an AO (> 0) or COOP (< 0) projection to check at `point`
        size_t point = 0;
        float value = 0;
    };
    const std::string doscar = "vasp '" + kReal + "DOSCAR.ispin2-lorbit11' ";
    const std::string fe = "qe '" + kReal + "fe.pdos_tot' '" + kReal + "fe.pdos_atm#1(Fe)_wfc#'* --fermi -1 ";
    const std::string mgb2 = "qe '" + kReal + "mgb2.pdos_tot' '" + kReal + "mgb2.pdos_atm#'* ";
    const std::string cohp = "lobster '" + kReal + "COHPCAR.orbitalwise.lobster' ";
    const std::string ions = "s py pz px dxy dyz dz2 dxz x2-y2";
    const std::vector<Case> cases = {
        {doscar, {"spin polarised: both channels summed"}, {"Ion 1: " + ions, "Ion 2: " + ions}, {}, 2, 2, 0.04f * 45 * 1.5f},
        {doscar + "--spin mirror --sum element --poscar '" + kReal + "POSCAR.FeO'",
         {"spin mirrored", "electrons below the Fermi level: 6.83 spin up, 4.62 spin down", "added up by element"},
         {"Total DOS, spin down", "Fe up", "Fe down", "O up", "O down"}, {}, 3, 2, -0.45f},
        {doscar + "--sum orbital --spin down", {"spin channel: down", "projections added up by orbital"}, {"s", "p", "d"},
         {}, 3, 2, 0.005f * (5 + 6 + 7 + 8 + 9) * 2 * (1 + 2)},
        {doscar + "--sum element,orbital --ions 6,1 --poscar '" + kReal + "POSCAR.FeO'",
         {"6 sums, 2 written (choose up to five with --ions)"}, {"O d", "Fe s"}, {}, 1, 2, 0.04f * 35 * 1.5f},
        {fe, {}, {"Fe(1) 3s", "Fe(1) 4s", "Fe(1) 3p", "Fe(1) 4p", "Fe(1) d"}, {}, 4, 3, 0.4f * 3 * 1.5f},
        {fe + "--spin mirror --sum element,orbital",
         {"electrons below the Fermi level: 31.50 spin up, 15.75 spin down", "3 sums, the first two written: Fe s, Fe p"},
         {"Total DOS, spin down", "Fe s up", "Fe s down", "Fe p up", "Fe p down"}, {}, 5, 3, -(0.15f + 0.2f) * 3},
        {mgb2 + "--fermi 0",
         {"6 projection files, the first five written: Mg(1) s, Mg(1) p, B(2) s, B(2) p, B(3) s (--sum element|orbital "
          "adds them up)"},
         {"Mg(1) s", "Mg(1) p", "B(2) s", "B(2) p", "B(3) s"}, {}, 5, 3, 0.9f},
        {mgb2 + "--fermi 0 --sum element", {"projections added up by element"}, {"Mg", "B"}, {}, 2, 3, 4.5f},
        {mgb2 + "--sum orbital --scf '" + kReal + "si.pw41.out'",
         {"Fermi energy used: 6.0123 eV",
          "no Fermi level in " + kReal + "si.pw41.out: the top of the valence band, 6.0123 eV, the highest of band 4 "
          "at 3 k points"},
         {"s", "p"}, {}, 1, 3, 1.8f},
        // vasprun.xml: VASP 5.4.4 silicon with LORBIT=11, its elements from its own <atominfo>; ISPIN=2
        // chromium with the total DOS only
        {"vasp '" + kReal + "vasprun.xml.dos-si' --sum element",
         {"source: VASP vasprun.xml", "Fermi energy used: 9.8529 eV", "projections added up by element"}, {"Si"}, {}, 1, 150,
         0.1834f},
        {"vasp '" + kReal + "vasprun.xml.dos-si' --sum orbital", {"electrons below the Fermi level: 4.00"}, {"s", "p", "d"}, {},
         1, 2, 0.0f},
        {"vasp '" + kReal + "vasprun.xml.ispin2-cr' --spin mirror",
         {"Fermi energy used: 5.0183 eV", "spin mirrored"}, {"Total DOS, spin down"}, {}, 1, 150, -0.7563f},
        {cohp, {"orbital-wise file: 2 bonds of 4 orbital pairs, each pair summed into its bond"}, {},
         {"-COHP No.1:Fe1->O2(2.15)", "-COHP No.2:Fe1->Fe1(3.04)"}, -1, 3, 2.7f},
        {cohp + "--orbitals --interactions 4,1", {"4 orbital pairs in the file, 2 written"}, {},
         {"-COHP No.2:Fe1[4s]->Fe1[4s](3.04)", "-COHP No.1:Fe1[3d_xy]->O2[2p_y](2.15)"}, -2, 3, 0.9f},
    };
    for (const Case& k : cases) {
        e2e::ScratchDir dir("real-variants");
        const std::string cmd = "cd '" + dir.path.string() + "' && '" + BINARY_DIR + "/morvane-import' " + k.args +
                                " > out.txt 2> err.txt";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << k.args << ": " << e2e::slurp(dir / "err.txt");
        const std::string out = e2e::slurp(dir / "out.txt");
        for (const std::string& line : k.says) EXPECT_NE(out.find(line), std::string::npos) << k.args << "\n" << out;
        const DosInput in = readBack(e2e::slurp(dir / "fort.1"));
        auto names = [&](ProjKind kind) {
            std::vector<std::string> v;
            for (int p = 1; p <= in.projections(kind); ++p) v.push_back(fortran::trimRight(in.description(kind, p, 1)));
            return v;
        };
        EXPECT_EQ(names(ProjKind::AO), k.ao) << k.args;
        EXPECT_EQ(names(ProjKind::COOP), k.coop) << k.args;
        const ProjKind kind = k.curve > 0 ? ProjKind::AO : ProjKind::COOP;
        const std::vector<float> y = curveOf(in, curveNumber(in, kind, std::abs(k.curve), false));
        ASSERT_GT(y.size(), k.point) << k.args;
        EXPECT_NEAR(y[k.point], k.value, 1e-4) << k.args;
        // Spin down to the left of spin up, on an axis as wide on either
        // side, the two channels of a curve in one line type.
        const bool mirror = k.args.find("mirror") != std::string::npos;
        const auto g = starterGraph(in, StarterDos{0.0f, true, mirror});
        ASSERT_TRUE(g) << g.error();
        if (mirror) {
            EXPECT_EQ(g->dos_min, -g->dos_max) << k.args;
            for (int b = 2; b <= g->nd; b += 2) EXPECT_EQ(g->buffer(b).line_type, g->buffer(b - 1).line_type) << k.args;
            if (g->nd >= 3) {
                EXPECT_NE(g->buffer(3).line_type, g->buffer(1).line_type) << k.args;
            }
        } else {
            EXPECT_GE(g->dos_min, 0.0f) << k.args;
        }
        // The axis ends on a labelled tic at or beyond the highest curve
        // inside the window, which reaches from at most 6 eV below the Fermi
        // level to 4 above.
        if (g->nd > 0) {
            EXPECT_NEAR(std::remainder(g->dos_axis_max, g->dos_tics.label_distance), 0.0, 1e-4) << k.args;
            float highest = 0;
            for (int b = 1; b <= g->nd; ++b) {
                const std::vector<float> v = curveOf(in, g->buffer(b).curve);
                for (size_t i = 0; i < v.size(); ++i)
                    if (in.energy[i] >= g->emin && in.energy[i] <= g->emax) highest = std::max(highest, std::fabs(v[i]));
            }
            // ... and short of a label beyond it: a peak outside the window
            // leaves no empty room
            EXPECT_LE(highest, g->dos_axis_max) << k.args;
            EXPECT_GT(highest, g->dos_axis_max - g->dos_tics.label_distance) << k.args;
        }
        EXPECT_GE(g->emin, -6.0f) << k.args;
        EXPECT_LE(g->emax, 4.0f) << k.args;
    }
}

TEST(DosProjection, OrbitalLettersAndSemicoreShells) {
    for (const auto& [orbital, letter] : std::vector<std::pair<std::string, std::string>>{
             {"4s", "s"}, {"3p_y", "p"}, {"py", "p"}, {"dz2", "d"}, {"x2-y2", "d"}, {"fxyz", "f"}, {"5f", "f"},
             {"p_j1.5", "p"}, {"column 3", "column 3"}, {"", ""}})
        EXPECT_EQ(orbitalLetter(orbital), letter) << orbital;
    // Which shell each wave function is: the atom's other files of that l,
    // the outermost one the element's valence shell.
    const std::vector<std::string> files = {
        "fe.pdos_atm#1(Fe)_wfc#1(s)",  "fe.pdos_atm#1(Fe)_wfc#2(s)",   "fe.pdos_atm#1(Fe)_wfc#3(p)",
        "fe.pdos_atm#1(Fe)_wfc#5(d)",  "x.pdos_atm#2(Hf1)_wfc#1(s)",   "x.pdos_atm#2(Hf1)_wfc#2(s)",
        "x.pdos_atm#3(Xx)_wfc#1(s)",   "x.pdos_atm#3(Xx)_wfc#2(s)",    "x.pdos_atm#4(H)_wfc#1(s)",
        "x.pdos_atm#4(H)_wfc#2(s)",    "x.pdos_atm#5(Au)_wfc#1(p_j0.5)", "x.pdos_atm#5(Au)_wfc#2(p_j1.5)",
    };
    std::vector<PdosName> all;
    for (const std::string& f : files) all.push_back(parsePdosName(f).value());
    const std::vector<std::string> shells = {"3s", "4s", "p", "d", "5s", "6s", "s (wfc 1)", "s (wfc 2)",
                                             "s (wfc 1)", "1s", "p_j0.5", "p_j1.5"};
    for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(shellOf(all[i], all), shells[i]) << files[i];
    for (const char* bad : {"x.pdos_atm#(Fe)_wfc#1(s)", "x.pdos_atm#1(Fe)_wfc#(s)", "x.pdos_atm#1(Fe)_wfc#1()",
                            "x.pdos_atm#1(Fe)wfc#1(s)", "x.pdos_tot"})
        EXPECT_FALSE(parsePdosName(bad)) << bad;
}
