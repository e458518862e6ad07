// tarlisen-import vasp on the line-mode run of examples/vasp-si (made from
// the silicon tight-binding model in VASP's layouts: EIGENVAL with ISPIN 1
// and 2, KPOINTS, POSCAR, DOSCAR), on copies of it changed as real runs
// differ, or damaged, and on excerpts of public runs (tests/import/real/).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "band/core/band_input.h"
#include "band/core/bands_file.h"
#include "band/core/character.h"
#include "band/core/graph.h"
#include "band/core/layout_file.h"
#include "band/core/setup_file.h"
#include "common/records.h"
#include "e2e/e2e_support.h"
#include "import/pipeline/band_path.h"
#include "import/pipeline/band_picture.h"
#include "import/formats/eigenval.h"
#include "import/formats/poscar.h"
#include "import/text/text_table.h"
#include "import/formats/w90_band.h"

using namespace common;
using namespace importer;

namespace {

const std::string kRun = std::string(SOURCE_DIR) + "/examples/vasp-si/";
const std::string kReal = std::string(SOURCE_DIR) + "/tests/import/real/";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

std::string joined(const std::vector<std::string>& lines, size_t from = 0, size_t to = std::string::npos) {
    std::string t;
    for (size_t i = from; i < std::min(to, lines.size()); ++i) t += lines[i] + "\n";
    return t;
}

// The file with its line n (1 ...) replaced by `by` (several lines, or none).
std::string withLine(const std::string& text, size_t n, const std::string& by) {
    std::vector<std::string> l = linesOf(text);
    return joined(l, 0, n - 1) + by + (by.empty() || by.back() == '\n' ? "" : "\n") + joined(l, n);
}

// EIGENVAL of the example without the k points first ... last (1 ...): 12 lines a point after 6 of header.
std::string withoutPoints(const std::string& eigenval, size_t first, size_t last, size_t total) {
    const std::vector<std::string> l = linesOf(eigenval);
    std::string t = joined(l, 0, 5) + "      8     " + std::to_string(total - (last - first + 1)) + "     10\n";
    return t + joined(l, 6, 6 + 12 * (first - 1)) + joined(l, 6 + 12 * last);
}

const std::string kOutcar =
    " E-fermi :   4.1000     XC(G=0):  -8.6284     alpha+bet : -6.8218\n"
    "      direct lattice vectors                 reciprocal lattice vectors\n"
    "     0.000000000  2.715000000  2.715000000    -0.184162063  0.184162063  0.184162063\n"
    "     2.715000000  0.000000000  2.715000000     0.184162063 -0.184162063  0.184162063\n"
    "     2.715000000  2.715000000  0.000000000     0.184162063  0.184162063 -0.184162063\n"
    " E-fermi :   5.2500     XC(G=0):  -8.6284     alpha+bet : -6.8218\n";

// The PROCAR of the ISPIN = 2 run: spin up as the example's, spin down the
// same weights at the spin-down energies of spin/EIGENVAL.
std::string spinProcar() {
    const std::vector<std::string> e = linesOf(e2e::slurp(kRun + "spin/EIGENVAL"));
    const std::vector<std::string> p = linesOf(e2e::slurp(kRun + "PROCAR"));
    std::vector<std::string> down(p.begin() + 1, p.end());
    size_t at = 7;  // the first band line of spin/EIGENVAL (from 0)
    for (std::string& line : down) {
        if (line.rfind("band", 0) != 0) continue;
        while (e[at].size() < 30 || e[at].find('E') != std::string::npos) ++at;  // past blank and k point lines
        const std::vector<std::string> w = words(e[at++]);
        char buf[80];
        std::snprintf(buf, sizeof buf, "band %5s # energy %14.8f # occ. %12.8f", w[0].c_str(), std::stod(w[2]), 0.0);
        line = buf;
    }
    return joined(p) + joined(down);
}

// The weights of fort.16 in `dir` at each k point of its fort.1 block, by
// the block's k point, to match two imports whose lines keep other points.
std::vector<std::pair<std::array<float, 3>, std::vector<float>>> characterByK(const std::filesystem::path& dir) {
    std::vector<std::pair<std::array<float, 3>, std::vector<float>>> out;
    const Result<band::BandCounts> counts = band::readCounts((dir / "fort.14").string());
    auto fort1 = RecordFile::load((dir / "fort.1").string());
    auto fort16 = RecordFile::load((dir / "fort.16").string());
    if (!counts || !fort1 || !fort16) return out;
    const auto input = band::parseBandInput(*fort1, counts->nkpt, counts->nbands);
    const auto c = band::parseCharacter(*fort16, counts->nkpt, counts->nbands);
    if (!input || !c) return out;
    for (int n = 1; n <= c->nkpt; ++n) {
        std::vector<float> w;
        for (int b = 1; b <= c->nbands; ++b)
            for (int g = 1; g <= c->groups(); ++g) w.push_back(c->weight(n, b, g));
        const auto& k = input->blocks[static_cast<size_t>(n - 1)].k;
        out.push_back({{k[0], k[1], k[2]}, w});
    }
    return out;
}

struct Scratch {
    e2e::ScratchDir dir{"vasp-bands"};
    Scratch() {
        for (const char* f : {"EIGENVAL", "KPOINTS", "POSCAR", "DOSCAR", "PROCAR"}) dir.copyIn(kRun + f);
        dir.write("PROCAR.spin", spinProcar());
        for (const char* f : {"EIGENVAL.vasp4-si", "EIGENVAL.si-occupations", "DOSCAR.si-total", "EIGENVAL.hse-si",
                              "KPOINTS.hse-si", "OUTCAR.hse-si", "EIGENVAL.ispin2-crcl3", "CONTCAR.crcl3", "KPOINTS.vaspkit-crcl3"})
            dir.copyIn(kReal + f);
        std::filesystem::copy_file(kRun + "spin/EIGENVAL", dir / "EIGENVAL.spin");
        // the run as vasprun.xml alone, and EIGENVALs with no lattice beside them
        std::filesystem::create_directories(dir / "xml");
        std::filesystem::copy_file(kRun + "spin/vasprun.xml", dir / "xml" / "vasprun.xml");
        // public runs given alone, with nothing of another run beside them
        std::filesystem::create_directories(dir / "real");
        for (const char* f : {"EIGENVAL.vasp4-si", "EIGENVAL.si-occupations", "EIGENVAL.hse-si", "EIGENVAL.ispin2-crcl3",
                              "EIGENVAL.procar-si", "KPOINTS.procar-si", "POSCAR.procar-si", "PROCAR.procar-si"})
            std::filesystem::copy_file(kReal + f, dir / "real" / f);
        std::filesystem::create_directories(dir / "public");
        std::filesystem::copy_file(kReal + "vasprun.xml.band-si", dir / "public" / "vasprun.xml.band-si");
        // the order of the files beside an EIGENVAL: CONTCAR before OUTCAR, OUTCAR before vasprun.xml
        std::filesystem::create_directories(dir / "contcar");
        std::filesystem::create_directories(dir / "outcar");
        for (const char* d : {"contcar", "outcar"}) {
            std::filesystem::copy_file(kRun + "EIGENVAL", dir / d / "EIGENVAL");
            dir.write(std::string(d) + "/OUTCAR", kOutcar);
        }
        std::filesystem::copy_file(kRun + "POSCAR", dir / "contcar" / "CONTCAR");
        std::filesystem::copy_file(kRun + "spin/vasprun.xml", dir / "outcar" / "vasprun.xml");
        std::filesystem::create_directories(dir / "alone");
        std::filesystem::copy_file(kRun + "EIGENVAL", dir / "alone" / "EIGENVAL");
        std::filesystem::copy_file(kRun + "spin/EIGENVAL", dir / "xml" / "EIGENVAL");
        dir.write("OUTCAR", kOutcar);
        const std::string k = e2e::slurp(kRun + "KPOINTS");
        // L-G, G-X, then K-G: a jump from X to K
        dir.write("KPOINTS.jump", joined(linesOf(k), 0, 10) + joined(linesOf(k), 16));
        dir.write("EIGENVAL.jump", withoutPoints(e2e::slurp(kRun + "EIGENVAL"), 81, 160, 200));
        std::string forms = withLine(k, 6, "  0 0 0 ! GAMMA");
        forms = withLine(forms, 8, "  0 0 0 G");
        forms = withLine(forms, 18, "    0.00000000    0.00000000    0.00000000 ! \xCE\x93");
        dir.write("KPOINTS.forms", forms);
        // a hybrid run: two points of the self-consistent mesh with weights come first
        const std::vector<std::string> e = linesOf(e2e::slurp(kRun + "EIGENVAL"));
        std::string mesh = joined(e, 6, 18);
        mesh.replace(mesh.find("5.0000000E-03"), 13, "0.2500000E+00");
        std::string path = joined(e, 6);
        for (size_t at = 0; (at = path.find("5.0000000E-03", at)) != std::string::npos;) path.replace(at, 13, "0.0000000E+00");
        dir.write("EIGENVAL.hybrid", joined(e, 0, 5) + "      8     201     10\n" + mesh + path);
    }
};

}  // namespace

// What the import makes of each variant: the counts, the picture's points
// and the Fermi energy it names; the first row goes on to the picture.
TEST(VaspBands, RealFileVariants) {
    Scratch s;
    struct Case {
        std::string name, args;
        int nkpt, nbands;
        std::string points, fermi;
        std::string character{};  // the summary's line on the orbital character (fort.16 written)
        std::string sameCharacterAs{};  // another import whose fort.16 holds the same weights at the points both keep
    } cases[] = {
        {"ISPIN 1, KPOINTS, POSCAR, DOSCAR", "EIGENVAL --kpoints KPOINTS --poscar POSCAR --doscar DOSCAR", 55, 10,
         "points L \\Gamma X W K \\Gamma (named by the k point file)", "5.0000 eV (from DOSCAR)"},
        {"ISPIN 2, both channels", "EIGENVAL.spin --kpoints KPOINTS --poscar POSCAR --fermi 5", 55, 20,
         "points L \\Gamma X W K \\Gamma", "5.0000 eV (given)"},
        {"ISPIN 2, spin down", "EIGENVAL.spin --spin down --kpoints KPOINTS --outcar OUTCAR", 55, 10,
         "points L \\Gamma X W K \\Gamma", "5.2500 eV (from OUTCAR)"},
        {"without KPOINTS", "EIGENVAL --outcar OUTCAR", 55, 10,
         "points L \\Gamma X W K \\Gamma (the standard points of the face-centred cubic lattice)", "5.2500 eV (from OUTCAR)"},
        {"without KPOINTS, the POSCAR beside it", "EIGENVAL", 55, 10,
         "(the standard points of the face-centred cubic lattice)", "lattice of POSCAR)"},
        {"without KPOINTS or lattice: lines of equal length", "alone/EIGENVAL", 55, 10,
         "points 1 2 3 4 5 6 (numbered; --labels names them);\n  line lengths 0.200 0.200 0.200 0.200 0.200",
         "No lattice (no POSCAR, CONTCAR, OUTCAR or vasprun.xml beside alone/EIGENVAL): lines of equal length"},
        {"CONTCAR before OUTCAR beside it", "contcar/EIGENVAL", 55, 10, "lattice of contcar/CONTCAR)", "absolute"},
        {"OUTCAR before vasprun.xml beside it", "outcar/EIGENVAL --fermi 5", 55, 10, "lattice of outcar/OUTCAR)",
         "5.0000 eV (given)"},
        {"vasprun.xml with the lattice of --poscar", "xml/vasprun.xml --poscar POSCAR", 55, 20, "lattice of POSCAR)",
         "(from xml/vasprun.xml)", "Orbital character from xml/vasprun.xml"},
        {"the lattice of the vasprun.xml beside it", "xml/EIGENVAL --kpoints KPOINTS", 55, 20,
         "lattice of xml/vasprun.xml)", "absolute"},
        {"vasprun.xml alone, both spin channels", "xml/vasprun.xml", 55, 20,
         "points L \\Gamma X W K \\Gamma (the standard points of the face-centred cubic lattice)",
         "Energies relative to the Fermi energy 5.0000 eV (from xml/vasprun.xml).",
         "Orbital character from xml/vasprun.xml: 6 atomic states added up by orbital into 2 groups: s, p (no weight in d).\n"},
        // its projections: spin up as the PROCAR of the ISPIN 1 run has them
        {"vasprun.xml, spin up, KPOINTS names the points", "xml/vasprun.xml --spin up --kpoints KPOINTS --fermi 4", 55, 10,
         "points L \\Gamma X W K \\Gamma (named by the k point file)", "4.0000 eV (given)",
         "Orbital character from xml/vasprun.xml: 6 atomic states added up by orbital into 2 groups: s, p (no weight in d).\n",
         "EIGENVAL --kpoints KPOINTS --poscar POSCAR --projections PROCAR"},
        {"vasprun.xml, spin down, its own elements", "xml/vasprun.xml --spin down --sum element,orbital", 55, 10,
         "points L \\Gamma X W K \\Gamma", "5.0000 eV (from xml/vasprun.xml)",
         "6 atomic states added up by element and orbital into 2 groups: Si s, Si p (no weight in Si d).\n"},
        {"vasprun.xml with a PROCAR: the PROCAR's character, the file's elements",
         "xml/vasprun.xml --spin up --projections PROCAR.spin --sum element", 55, 10, "points L \\Gamma X W K \\Gamma",
         "5.0000 eV", "Orbital character from PROCAR.spin: 6 atomic states added up by element into 1 group: Si.\n"},
        {"public vasprun.xml, segments of its generation block", "public/vasprun.xml.band-si", 55, 8,
         "points W \\Gamma X W L \\Gamma (the standard points of the face-centred cubic lattice)",
         "5.9515 eV (from public/vasprun.xml.band-si)"},
        {"other spellings of Gamma", "EIGENVAL --kpoints KPOINTS.forms", 55, 10, "points L \\Gamma X W K \\Gamma", "absolute"},
        {"a jump", "EIGENVAL.jump --kpoints KPOINTS.jump --poscar POSCAR", 33, 10, "points L \\Gamma X|K \\Gamma",
         "absolute"},
        {"hybrid run", "EIGENVAL.hybrid --kpoints KPOINTS --poscar POSCAR", 55, 10, "points L \\Gamma X W K \\Gamma",
         "absolute"},
        // public runs: the jump U|K found from the segments' equal lengths, no lattice needed
        {"VASP 4, no occupations, no KPOINTS", "real/EIGENVAL.vasp4-si", 40, 8, "points 1 2 3 4 5 (numbered", "absolute"},
        {"occupations, DOSCAR of the total DOS", "real/EIGENVAL.si-occupations --doscar DOSCAR.si-total", 40, 8,
         "points 1 2 3 4 5 (numbered", "12.6989 eV (from DOSCAR.si-total)"},
        {"hybrid, its mesh of unequal weights first", "real/EIGENVAL.hse-si --kpoints KPOINTS.hse-si", 11, 24,
         "points 1 2 (numbered", "absolute"},
        {"hybrid, lattice and Fermi energy of its OUTCAR (two lattice blocks)",
         "EIGENVAL.hse-si --kpoints KPOINTS.hse-si --outcar OUTCAR.hse-si", 11, 24, "points 1 2 (numbered",
         "5.7786 eV (from OUTCAR.hse-si)"},
        {"ISPIN 2 layer, CONTCAR with a blank comment", "EIGENVAL.ispin2-crcl3 --poscar CONTCAR.crcl3", 3, 128,
         "points 1 2 (numbered", "absolute"},
        {"ISPIN 2 layer, spin down", "real/EIGENVAL.ispin2-crcl3 --spin down --fermi -2", 3, 64, "points 1 2 (numbered",
         "-2.0000 eV (given)"},
        // the orbital character of the PROCAR
        {"PROCAR, by orbital", "EIGENVAL --kpoints KPOINTS --projections PROCAR", 55, 10, "points L \\Gamma X W K \\Gamma",
         "absolute", "Orbital character from PROCAR: 6 atomic states added up by orbital into 2 groups: s, p (no weight in d).\n"},
        {"PROCAR, by element of the POSCAR", "EIGENVAL --poscar POSCAR --projections PROCAR --sum element", 55, 10,
         "points L \\Gamma X W K \\Gamma", "absolute", "added up by element into 1 group: Si.\n"},
        {"PROCAR of ISPIN 2, both channels", "EIGENVAL.spin --kpoints KPOINTS --fermi 5 --projections PROCAR.spin", 55,
         20, "points L \\Gamma X W K \\Gamma", "5.0000 eV (given)", "added up by orbital into 2 groups: s, p"},
        {"PROCAR of ISPIN 2, spin down", "EIGENVAL.spin --spin down --poscar POSCAR --projections PROCAR.spin --sum element,orbital",
         55, 10, "points L \\Gamma X W K \\Gamma", "absolute", "by element and orbital into 2 groups: Si s, Si p"},
        // a public run with its PROCAR (LORBIT 11), whose eighth and highest band catches a higher one near Gamma
        {"public PROCAR, the highest band not complete", "real/EIGENVAL.procar-si --kpoints real/KPOINTS.procar-si "
         "--poscar real/POSCAR.procar-si --projections real/PROCAR.procar-si --fermi 5.837", 11, 7,
         "Band 8, the highest, is not complete across the path: it jumps 4.07 eV between k points 44 and 45 "
         "(real/EIGENVAL.procar-si, line 448); left out.\n", "5.8370 eV (given)",
         "Orbital character from real/PROCAR.procar-si: 18 atomic states added up by orbital into 2 groups: s, p (no "
         "weight in d).\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const e2e::Outcome r = e2e::run(s.dir, "tarlisen-import", "", "vasp " + c.args + " -o run");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(c.points), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(c.fermi), std::string::npos) << r.out;
        Result<band::BandCounts> counts = band::readCounts((s.dir / "run" / "fort.14").string());
        ASSERT_TRUE(counts) << counts.error();
        EXPECT_EQ(counts->nkpt, c.nkpt);
        EXPECT_EQ(counts->nbands, c.nbands);
        EXPECT_NE(r.out.find(c.character), std::string::npos) << r.out;
        EXPECT_EQ(std::filesystem::exists(s.dir / "run" / "fort.16"), !c.character.empty());
        if (!c.sameCharacterAs.empty()) {  // within the PROCAR's three decimals of each of the two atoms
            const e2e::Outcome other = e2e::run(s.dir, "tarlisen-import", "", "vasp " + c.sameCharacterAs + " -o other");
            ASSERT_EQ(other.status, 0) << other.err;
            const auto mine = characterByK(s.dir / "run"), theirs = characterByK(s.dir / "other");
            ASSERT_EQ(mine.size(), static_cast<size_t>(c.nkpt));
            size_t shared = 0;
            for (const auto& [k, w] : mine)
                for (const auto& [k2, w2] : theirs) {
                    if (std::abs(k[0] - k2[0]) + std::abs(k[1] - k2[1]) + std::abs(k[2] - k2[2]) > 1e-6f) continue;
                    ++shared;
                    ASSERT_EQ(w.size(), w2.size());
                    for (size_t i = 0; i < w.size(); ++i) EXPECT_NEAR(w[i], w2[i], 1.1e-3) << "k point " << shared << ", weight " << i;
                }
            EXPECT_GT(shared, 40u);  // most: the energies' other digits may move a kept point by a step
            std::filesystem::remove_all(s.dir / "other");
        }
        if (&c == &cases[0]) {  // on to the picture
            const std::string draw = "cd '" + (s.dir / "run").string() + "' && PGPLOT_DEV=/NULL '" +
                                     std::string(BINARY_DIR) + "/tarlisen' --output bands.eps > out.txt 2>&1";
            EXPECT_EQ(std::system(draw.c_str()), 0) << e2e::slurp(s.dir / "run" / "out.txt");
            EXPECT_GT(std::filesystem::file_size(s.dir / "run" / "bands.eps"), 10000u);
        }
        std::filesystem::remove_all(s.dir / "run");
    }
}

// Damaged files: one line naming file and line, status 1, nothing written.
TEST(VaspBands, DamagedFilesAreNamedByFileAndLine) {
    Scratch s;
    const std::string eig = e2e::slurp(kRun + "EIGENVAL"), kp = e2e::slurp(kRun + "KPOINTS");
    const std::string pro = e2e::slurp(kRun + "PROCAR"), bad = "--projections PROCAR.bad";
    const std::string xml = e2e::slurp(kReal + "vasprun.xml.band-si");
    const std::string own = e2e::slurp(kRun + "spin/vasprun.xml");  // with <projected>: fields s p d from line 5789
    struct Case {
        std::string file, body, args, err;
    } cases[] = {
        {"EIGENVAL.bad", withLine(eig, 1, "    2    2    1    3"), "", "EIGENVAL.bad, line 1: ISPIN = 3 is not a count from 1 to 2"},
        {"EIGENVAL.bad", eig.substr(0, eig.size() / 2), "", "the file ends before band"},
        {"EIGENVAL.bad", withLine(eig, 6, "      8     201     10"), "", "EIGENVAL.bad, line 2407: the file ends before k point 201 of 201"},
        {"EIGENVAL.bad", withLine(eig, 6, "      8     199     10"), "", "EIGENVAL.bad, line 2396: more lines than the 199 k points"},
        {"EIGENVAL.bad", withLine(eig, 10, "    4     -2.079006   1.000000"), "", "EIGENVAL.bad, line 10: expected band 2"},
        {"EIGENVAL.bad", withLine(eig, 13, "    3      3.5x0000   1.000000"), "", "EIGENVAL.bad, line 13: unreadable number '3.5x0000'"},
        {"EIGENVAL.bad", withLine(eig, 18, "   10"), "", "EIGENVAL.bad, line 18: expected 2 or 3 numbers"},
        {"EIGENVAL.bad", withLine(eig, 8, "  0.5  0.5  0.5"), "", "EIGENVAL.bad, line 8: expected k point 1 as 4 numbers"},
        {"KPOINTS.bad", withLine(kp, 3, "Monkhorst-Pack"), "--kpoints KPOINTS.bad", "KPOINTS.bad, line 3: not a path"},
        {"KPOINTS.bad", withLine(kp, 9, "    0.50000000    0.10000000    0.50000000 ! X"), "--kpoints KPOINTS.bad",
         "KPOINTS.bad, line 9: this point is not k point 80 of EIGENVAL.bad"},
        {"KPOINTS.bad", withLine(kp, 2, "20"), "--kpoints KPOINTS.bad", "KPOINTS.bad: 5 segments of 20 points make 100 k points, EIGENVAL.bad has 200"},
        {"KPOINTS.bad", joined(linesOf(kp), 0, 14), "--kpoints KPOINTS.bad", "KPOINTS.bad, line 15: the file ends before the end of the segment"},
        {"POSCAR.bad", withLine(e2e::slurp(kRun + "POSCAR"), 5, "  0 0 0"), "--poscar POSCAR.bad", "POSCAR.bad, line 3: the lattice vectors span no volume"},
        {"POSCAR.bad", withLine(e2e::slurp(kRun + "POSCAR"), 2, " 100.0"), "--poscar POSCAR.bad",
         "the interpolation of the bands failed: Line  4: first and last k points differ by less than 0.003"},
        {"OUTCAR.bad", "no Fermi here\n", "--outcar OUTCAR.bad", "OUTCAR.bad: no 'reciprocal lattice vectors'"},
        {"OUTCAR.bad", withLine(kOutcar, 6, ""), "--poscar POSCAR --outcar OUTCAR.bad", ""},
        {"OUTCAR.bad", withLine(kOutcar, 6, " E-fermi :   ****"), "--poscar POSCAR --outcar OUTCAR.bad", "OUTCAR.bad, line 6: unreadable Fermi energy"},
        {"DOSCAR.bad", "    2    2    1    0\n", "--doscar DOSCAR.bad", "DOSCAR.bad"},
        {"EIGENVAL.bad", withLine(eig, 18, "   10   123456.000000   0.000000"), "",
         "EIGENVAL.bad, line 8: k point 1, level 10: energy 123456.00000 does not fit F10.5 of fort.1"},
        {"EIGENVAL.bad", eig, "--spin up", "EIGENVAL.bad: one spin channel (ISPIN = 1): --spin does not apply"},
        // public files: a mesh, a pw.x band file under the name, a run stopped before its first point
        {"EIGENVAL.bad", e2e::slurp(kReal + "EIGENVAL.mesh-cdte"), "",
         "EIGENVAL.bad, line 23: k point 2 weighs 0.0937500, k point 1 0.0312500: a mesh, not a path"},
        {"KPOINTS.bad", e2e::slurp(kReal + "KPOINTS.mesh-cdte"), "--kpoints KPOINTS.bad", "KPOINTS.bad, line 3: not a path"},
        {"EIGENVAL.bad", e2e::slurp(kReal + "EIGENVAL.qe-plot"), "", "EIGENVAL.bad, line 1: not a VASP EIGENVAL"},
        {"EIGENVAL.bad", e2e::slurp(kReal + "EIGENVAL.stopped-crs2"), "",
         "EIGENVAL.bad, line 7: the file ends before k point 1 of 74"},
        {"EIGENVAL.bad", e2e::slurp(kReal + "EIGENVAL.ispin2-crcl3"), "--kpoints KPOINTS.vaspkit-crcl3",
         "KPOINTS.vaspkit-crcl3: 3 segments of 20 points make 60 k points, EIGENVAL.bad has 3"},
        // PROCARs damaged or of another run
        {"PROCAR.bad", withLine(pro, 1, "PROCOR"), bad, "PROCAR.bad, line 1: expected the title 'PROCAR ...': not a PROCAR"},
        {"PROCAR.bad", withLine(pro, 2, "# of k-points:  199         # of bands:  10         # of ions:   2"), bad,
         "PROCAR.bad, line 14332: more k points than the 199 of line 2"},
        {"PROCAR.bad", withLine(pro, 9, "    1  0.4x6  0.054  0.000  0.500"), bad, "PROCAR.bad, line 9: unreadable number '0.4x6'"},
        {"PROCAR.bad", withLine(pro, 10, "    2  0.446"), bad, "PROCAR.bad, line 10: expected ion 2 and 4 weights"},
        {"PROCAR.bad", withLine(pro, 11, linesOf(pro)[10] + "\nion      s      p      d    tot"), bad,
         "PROCAR.bad, line 12: a second table for band 1: a non-collinear run or phases (LORBIT 12), not read"},
        {"PROCAR.bad", pro.substr(0, pro.size() / 2), bad, "PROCAR.bad, line 7201: expected ion 2 and 4 weights"},
        {"PROCAR.bad", withLine(pro, 6, "band     1 # energy    -5.18105905 # occ.   1.00000000"), bad,
         "PROCAR.bad, line 6: level 1 of k point 1 lies at -5.1811 eV, in EIGENVAL.bad at -5.0811 eV (are they of the same run?)"},
        {"PROCAR.bad", withLine(pro, 4, " k-point     1 :     0.40000000 0.50000000 0.50000000     weight = 0.00500000"), bad,
         "PROCAR.bad, line 4: k point 1 differs from EIGENVAL.bad's (0.50000, 0.50000, 0.50000)"},
        {"EIGENVAL.bad", e2e::slurp(kRun + "spin/EIGENVAL"), "--projections PROCAR",
         "PROCAR: one spin channel, EIGENVAL.bad has 2 (a PROCAR of another run?)"},
        {"EIGENVAL.bad", withoutPoints(eig, 81, 160, 200), "--projections PROCAR",
         "PROCAR: 200 k points, EIGENVAL.bad has 120 (a PROCAR of another run?)"},
        {"PROCAR.bad", pro, bad + " --sum element", "PROCAR.bad names no elements: --sum element needs --poscar"},
        // vasprun.xml (known by its content, whatever its name): public runs and damaged copies
        {"EIGENVAL.bad", e2e::slurp(kReal + "vasprun.xml.stopped-crcl3"), "",
         "EIGENVAL.bad, line 877: the XML is cut short (Start-end tags mismatch; did the run stop?)"},
        {"EIGENVAL.bad", xml.substr(0, xml.size() / 2), "", "the XML is cut short"},
        {"EIGENVAL.bad", "<modeling>" + std::string(300000, '<') , "", "EIGENVAL.bad, line 1: not well-formed XML"},
        {"EIGENVAL.bad", [] { std::string t = "<modeling>"; for (int i = 0; i < 100000; ++i) t += "<set>"; return t; }(), "",
         "EIGENVAL.bad, line 1: the XML is cut short"},
        {"EIGENVAL.bad", "<modeling>" + [] { std::string t; for (int i = 0; i < 2000000; ++i) t += "<a>"; return t; }(), "",
         "EIGENVAL.bad: 2000001 tags in 6000010 bytes, more than a vasprun.xml holds"},
        {"EIGENVAL.bad", e2e::slurp(kReal + "vasprun.xml.ispin2-cr"), "",
         "EIGENVAL.bad, line 50: <generation param=\"Monkhorst-Pack\">: a mesh, not a path"},
        {"EIGENVAL.bad", e2e::slurp(kReal + "vasprun.xml.dos-si"), "",
         "EIGENVAL.bad: <eigenvalues> missing in its last <calculation>"},
        {"EIGENVAL.bad", "<?xml version=\"1.0\"?>\n<calculation/>\n", "", "EIGENVAL.bad: not a vasprun.xml (no <modeling>)"},
        {"EIGENVAL.bad", withLine(xml, 525, "       <r>   -1.97x1    1.0000 </r>"), "",
         "EIGENVAL.bad, line 525: <eigenvalues>: not a row of numbers"},
        {"EIGENVAL.bad", withLine(xml, 526, ""), "", "EIGENVAL.bad, line 533: <eigenvalues>: k point 2 of spin 1 has 8 levels, not 7"},
        {"EIGENVAL.bad", withLine(xml, 33, ""), "", "EIGENVAL.bad, line 433: more weights than the 199 k points"},
        {"EIGENVAL.bad", withLine(xml, 33, "   <v>       0.25000000       0.75000000 </v>"), "",
         "EIGENVAL.bad, line 33: k point 1: 2 numbers, expected 3"},
        {"EIGENVAL.bad", xml, "--spin up", "EIGENVAL.bad: one spin channel (ISPIN = 1): --spin does not apply"},
        {"EIGENVAL.bad", own.substr(0, own.find("  <projected>")) + own.substr(own.find("</projected>") + 13), "--sum orbital",
         "EIGENVAL.bad: no <projected> block (a run with LORBIT writes one): --sum has nothing to group"},
        {"EIGENVAL.bad", withLine(own, 5796, "        <r>    0.4462    0.0538 </r>"), "",
         "EIGENVAL.bad, line 5796: <projected>, spin 1, k point 1, band 1, ion 1: 2 numbers, expected 3 (one for each <field>)"},
        {"EIGENVAL.bad", withLine(own, 5791, ""), "",
         "EIGENVAL.bad, line 5795: <projected>, spin 1, k point 1, band 1, ion 1: 3 numbers, expected 2 (one for each <field>)"},
        {"EIGENVAL.bad", withLine(own, 5797, ""), "", "EIGENVAL.bad, line 5795: <projected>, spin 1, k point 1, band 1: 1 ion, <atominfo> lists 2"},
        {"EIGENVAL.bad", withLine(own, 5797, linesOf(own)[5796] + "\n" + linesOf(own)[5796]), "",
         "EIGENVAL.bad, line 5798: <projected>, spin 1, k point 1, band 1: more ions than the 2 of <atominfo>"},
        {"EIGENVAL.bad", withLine(withLine(withLine(withLine(own, 5795, ""), 5795, ""), 5795, ""), 5795, ""), "",
         "EIGENVAL.bad, line 5794: <projected>, spin 1, k point 1: 9 bands, <eigenvalues> has 10"},
        {"EIGENVAL.bad", withLine(own, 5796, "        <r>   -0.0100    0.0538    0.0000 </r>"), "",
         "EIGENVAL.bad, line 5796: <projected>, spin 1, k point 1, band 1, ion 1: negative weight -0.0100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        s.dir.write(c.file, c.body);
        if (c.file != "EIGENVAL.bad") s.dir.write("EIGENVAL.bad", eig);
        const e2e::Outcome r = e2e::run(s.dir, "tarlisen-import", "", "vasp EIGENVAL.bad " + c.args + " -o run");
        if (c.err.empty()) {  // the OUTCAR's first E-fermi line, when the second is gone
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_NE(r.out.find("4.1000 eV (from OUTCAR.bad)"), std::string::npos) << r.out;
            std::filesystem::remove_all(s.dir / "run");
            continue;
        }
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("tarlisen-import: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(s.dir / "run"));
    }
}

// Both channels: the bands join through crossings within their channel,
// never from one channel to the other, also where value and slope alone
// would switch.
TEST(VaspBands, BandsKeepTheirChannel) {
    // up: 0 1 2 1.5 (turns back at the end); down: 3 2.5 2.2 1.9. Going on
    // with its slope the up band would reach 3, the down band 1.9: value and
    // slope alone give the up band's last level (1.5) to the down band.
    DensePath p;
    const std::vector<double> up{0, 1, 2, 1.5}, down{3, 2.5, 2.2, 1.9};
    for (size_t i = 0; i < 4; ++i) {
        PathPoint& point = p.points.emplace_back();
        point.k = {0.1 * static_cast<double>(i), 0, 0};
        point.levels.resize(2);
        point.levels[0].energy = up[i];
        point.levels[1].energy = down[i];
        point.levels[1].channel = 1;
    }
    sortLevels(p);
    const auto order = connectBands(p, {0, 3});
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(p.points[i].levels[static_cast<size_t>(order[i][0])].energy, up[i]) << i;
        EXPECT_DOUBLE_EQ(p.points[i].levels[static_cast<size_t>(order[i][1])].energy, down[i]) << i;
    }
    for (PathPoint& point : p.points)
        for (Level& level : point.levels) level.channel = 0;
    EXPECT_DOUBLE_EQ(p.points[3].levels[static_cast<size_t>(connectBands(p, {0, 3})[3][0])].energy, down[3]);

    // The example's two channels: at every k point of every line of the
    // stored set-up each band holds a level of the channel it starts in.
    auto run = readEigenval(kRun + "spin/EIGENVAL");
    ASSERT_TRUE(run) << run.error();
    auto path = vaspPath("EIGENVAL", *run, std::nullopt, std::nullopt, Spin::Both);
    ASSERT_TRUE(path) << path.error();
    ASSERT_EQ(path->nbands(), 20);
    int switched = 0, crossings = 0;
    for (const PathLine& line : splitPath(*path)) {
        const auto o = connectBands(*path, line);
        for (size_t b = 0; b < 20; ++b)
            for (size_t q = 1; q < o.size(); ++q) {
                switched += path->points[line.first + q].levels[static_cast<size_t>(o[q][b])].channel !=
                            path->points[line.first].levels[static_cast<size_t>(o[0][b])].channel;
                crossings += o[q][b] != o[q - 1][b];
            }
    }
    EXPECT_EQ(switched, 0);
    EXPECT_GT(crossings, 0);

    // The picture: the bands its layout draws in the spin-down look are the
    // spin-down levels where each line starts (40 points a segment).
    Scratch s;
    const e2e::Outcome r = e2e::run(s.dir, "tarlisen-import", "", "vasp EIGENVAL.spin --kpoints KPOINTS --fermi 5 -o run");
    ASSERT_EQ(r.status, 0) << r.err;
    auto layout = RecordFile::load((s.dir / "run" / "fort.15").string());
    ASSERT_TRUE(layout);
    band::BandGraph g;
    ASSERT_TRUE(band::loadLayout(*layout, g));
    auto bands = band::readBandsFile((s.dir / "run" / "fort.2").string());
    ASSERT_TRUE(bands) << bands.error();
    ASSERT_EQ(g.spin.bands.size(), 5u);
    for (int l = 1; l <= 5; ++l) {
        const band::BandLine& line = bands->lines[static_cast<size_t>(l - 1)];
        const std::vector<Level>& levels = path->points[static_cast<size_t>(40 * (l - 1))].levels;
        int down = 0;
        for (int b = 1; b <= line.nbands; ++b) {
            const bool drawnDown = band::BandLooks{g.styles, g.spin}.of(l, b).colour == annotate::kVermillion;
            down += drawnDown;
            const double e = line.e[static_cast<size_t>((b - 1) * line.npts)] + 5.0;
            bool found = false;
            for (const Level& level : levels) found |= level.channel == drawnDown && std::abs(level.energy - e) < 2e-5;
            EXPECT_TRUE(found) << "line " << l << " band " << b;
        }
        EXPECT_EQ(down, 10) << l;
    }
}

TEST(VaspBands, NamesOfThePoints) {
    const std::pair<std::string, std::string> names[] = {
        {"\\Gamma", "\\Gamma"}, {"GAMMA", "\\Gamma"}, {"G", "\\Gamma"}, {"\xCE\x93", "\\Gamma"},
        {"\\Sigma", "\\Sigma"}, {"X", "X"},          {"\\Gamma|X", "\\Gamma|X"},
    };
    for (const auto& [word, drawn] : names) EXPECT_EQ(labelMarkup(word), drawn) << word;
    // A Cartesian KPOINTS names the points without being compared with the run's.
    auto kp = parseKpoints("K", "path\n 3\nLine\nCartesian\n 0 0 0 G\n 1 0 0 X\n");
    ASSERT_TRUE(kp) << kp.error();
    EXPECT_FALSE(kp->fractional);
    EXPECT_EQ(kp->names[0][1], "X");
}

namespace {

// The example's run as Wannier90's band plot writes it: the shared ends of
// the segments once, x the distance along the path, the names of the
// segments' ends in the labelinfo; the lattice in a .wout.
struct W90Files {
    std::string band, kpt, labelinfo, wout;
};

W90Files w90Files(const std::string& eigenval = kRun + "EIGENVAL", size_t channel = 0) {
    W90Files w;
    auto run = readEigenval(eigenval);
    auto b = readPoscar(kRun + "POSCAR").and_then([](const Poscar& p) { return p.reciprocal; });
    EXPECT_TRUE(run && b);
    if (!run || !b) return w;
    std::vector<size_t> kept;
    for (size_t i = 0; i < run->k.size(); ++i)
        if (i == 0 || run->k[i] != run->k[i - 1]) kept.push_back(i);
    auto cartesian = [&](size_t i) {
        KVector k{};
        for (size_t j = 0; j < 3; ++j) k[j] = run->k[i][0] * (*b)[0][j] + run->k[i][1] * (*b)[1][j] + run->k[i][2] * (*b)[2][j];
        return k;
    };
    std::vector<double> x{0.0};
    for (size_t n = 1; n < kept.size(); ++n) {
        const KVector p = cartesian(kept[n]), q = cartesian(kept[n - 1]);
        x.push_back(x.back() + std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) + (p[2] - q[2]) * (p[2] - q[2])));
    }
    char buf[200];
    w.kpt = "       " + std::to_string(kept.size()) + "\n";
    for (size_t i : kept) {
        std::snprintf(buf, sizeof buf, "%14.9f%14.9f%14.9f   1.0\n", run->k[i][0], run->k[i][1], run->k[i][2]);
        w.kpt += buf;
    }
    for (size_t band = 0; band < 10; ++band) {
        for (size_t n = 0; n < kept.size(); ++n) {
            std::snprintf(buf, sizeof buf, " %14.8E %16.8E\n", x[n], run->e[channel][kept[n]][band]);
            w.band += buf;
        }
        w.band += "\n";
    }
    const char* names[] = {"L", "G", "X", "W", "K", "G"};
    for (size_t s = 0; s < 6; ++s) {
        const size_t n = s * 39;
        std::snprintf(buf, sizeof buf, "%s   %10zu   %18.10f%18.10f%18.10f%18.10f\n", names[s], n + 1, x[n], run->k[kept[n]][0],
                      run->k[kept[n]][1], run->k[kept[n]][2]);
        w.labelinfo += buf;
    }
    w.wout = "  header\n                        Reciprocal-Space Vectors (Ang^-1)\n";
    for (size_t i = 0; i < 3; ++i) {
        std::snprintf(buf, sizeof buf, "                    b_%zu %14.9f %14.9f %14.9f\n", i + 1, (*b)[i][0], (*b)[i][1], (*b)[i][2]);
        w.wout += buf;
    }
    return w;
}

}  // namespace

// The same run as Wannier90's band plot and as VASP's files: the same
// picture (fort.15, and fort.2 to its last digit); the band plot recognised
// by its name.
TEST(W90Band, SameRunAsVaspGivesTheSamePicture) {
    Scratch s;
    const W90Files w = w90Files();
    s.dir.write("si_band.dat", w.band);
    s.dir.write("si_band.kpt", w.kpt);
    s.dir.write("si_band.labelinfo.dat", w.labelinfo);
    s.dir.write("si.wout", w.wout);
    const e2e::Outcome vasp = e2e::run(s.dir, "tarlisen-import", "", "vasp EIGENVAL --kpoints KPOINTS --poscar POSCAR -o vasp");
    ASSERT_EQ(vasp.status, 0) << vasp.err;
    const e2e::Outcome w90 = e2e::run(s.dir, "tarlisen-import", "", "w90 si_band.dat -o w90");
    ASSERT_EQ(w90.status, 0) << w90.err;
    EXPECT_NE(w90.out.find("points L \\Gamma X W K \\Gamma (named by the k point file)"), std::string::npos) << w90.out;
    EXPECT_TRUE(s.dir.read("w90/fort.15") == s.dir.read("vasp/fort.15"));
    // fort.2 to the last digit but one: the .kpt keeps other digits of k than
    // EIGENVAL, which may move a point kept on a line by one dense step
    const std::vector<std::string> a = linesOf(s.dir.read("w90/fort.2")), b = linesOf(s.dir.read("vasp/fort.2"));
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_NEAR(std::stod(a[i]), std::stod(b[i]), 2e-5) << "fort.2 record " << i + 1;

    // a spin-polarised run: the two channels' band plots, the Fermi energy
    // of the .win beside the first, as VASP's both channels
    for (size_t c = 0; c < 2; ++c) {
        const W90Files ch = w90Files(kRun + "spin/EIGENVAL", c);
        const std::filesystem::path dir = s.dir / (c == 0 ? "up" : "dn");
        std::filesystem::create_directories(dir);
        e2e::spit(dir / "si_band.dat", ch.band);
        e2e::spit(dir / "si_band.kpt", ch.kpt);
        e2e::spit(dir / "si_band.labelinfo.dat", ch.labelinfo);
        e2e::spit(dir / "si.wout", ch.wout);
    }
    e2e::spit(s.dir / "up" / "si.win", "num_wann = 10\nfermi_energy_max = 9\nFermi_Energy : 5.0  ! eV\n");
    const e2e::Outcome vaspSpin =
        e2e::run(s.dir, "tarlisen-import", "", "vasp EIGENVAL.spin --kpoints KPOINTS --poscar POSCAR --fermi 5 -o vasp-spin");
    ASSERT_EQ(vaspSpin.status, 0) << vaspSpin.err;
    const e2e::Outcome w90Spin = e2e::run(s.dir, "tarlisen-import", "", "w90 up/si_band.dat --down dn/si_band.dat -o w90-spin");
    ASSERT_EQ(w90Spin.status, 0) << w90Spin.err;
    EXPECT_NE(w90Spin.out.find("Both spin channels (up/si_band.dat up, dn/si_band.dat down)"), std::string::npos) << w90Spin.out;
    EXPECT_NE(w90Spin.out.find("Fermi energy 5.0000 eV (from up/si.win)"), std::string::npos) << w90Spin.out;
    EXPECT_TRUE(s.dir.read("w90-spin/fort.15") == s.dir.read("vasp-spin/fort.15"));
    const std::vector<std::string> up = linesOf(s.dir.read("w90-spin/fort.2")), vs = linesOf(s.dir.read("vasp-spin/fort.2"));
    ASSERT_EQ(up.size(), vs.size());
    for (size_t i = 0; i < up.size(); ++i) EXPECT_NEAR(std::stod(up[i]), std::stod(vs[i]), 2e-5) << "fort.2 record " << i + 1;
    // --fermi before the .win's; a .win whose value does not read, and is
    // not read when --fermi gives the energy
    const e2e::Outcome given = e2e::run(s.dir, "tarlisen-import", "", "w90 up/si_band.dat --fermi 4.5 -o given");
    EXPECT_NE(given.out.find("Fermi energy 4.5000 eV (given)"), std::string::npos) << given.out;
    e2e::spit(s.dir / "up" / "si.win", "fermi_energy = 5,0\n");
    const e2e::Outcome badWin = e2e::run(s.dir, "tarlisen-import", "", "w90 up/si_band.dat -o bad");
    EXPECT_EQ(badWin.status, 1);
    EXPECT_EQ(badWin.err, "tarlisen-import: up/si.win, line 1: unreadable Fermi energy\n");
    const e2e::Outcome fewer = e2e::run(s.dir, "tarlisen-import", "", "w90 up/si_band.dat --down si_band.dat --fermi 5 -o fewer");
    EXPECT_EQ(fewer.status, 0) << fewer.err;  // --fermi given: the .win is not read

    // without the labels: the lattice of the .wout names the points
    std::filesystem::remove(s.dir / "si_band.labelinfo.dat");
    const e2e::Outcome unnamed = e2e::run(s.dir, "tarlisen-import", "", "w90 si_band.dat -o unnamed");
    ASSERT_EQ(unnamed.status, 0) << unnamed.err;
    EXPECT_NE(unnamed.out.find("points L \\Gamma X W K \\Gamma (the standard points of the face-centred cubic lattice)"),
              std::string::npos)
        << unnamed.out;

    // without the labels and the lattice: numbered points, lines in the fractions
    std::filesystem::remove(s.dir / "si.wout");
    const e2e::Outcome bare = e2e::run(s.dir, "tarlisen-import", "", "w90 si_band.dat -o bare");
    ASSERT_EQ(bare.status, 0) << bare.err;
    EXPECT_NE(bare.out.find("points 1 2 3 4 5 6 (numbered"), std::string::npos) << bare.out;
    EXPECT_NE(bare.out.find("fractions of the reciprocal lattice vectors"), std::string::npos) << bare.out;
}

TEST(W90Band, DamagedFilesAreNamedByFileAndLine) {
    const W90Files w = w90Files();
    struct Case {
        std::string band, kpt, labelinfo, wout, err;
    } cases[] = {
        {w.band, withLine(w.kpt, 1, "  197"), w.labelinfo, w.wout, "k, line 198: the file ends before k point 197 of 197"},
        {w.band, withLine(w.kpt, 3, "  0.5 0.5"), w.labelinfo, w.wout, "k, line 3: expected k1 k2 k3 weight"},
        {withLine(w.band, 197, ""), w.kpt, w.labelinfo, w.wout, "b, line 197: more than the 196 k points of the .kpt file in band 1"},
        {withLine(w.band, 20, ""), w.kpt, w.labelinfo, w.wout, "b, line 196: band 1 has 195 k points, the .kpt file 196"},
        {withLine(w.band, 200, " 0.3 1.0"), w.kpt, w.labelinfo, w.wout, "b, line 200: x differs from band 1's at k point 3"},
        {withLine(w.band, 5, " 0.1 1.0 2.0"), w.kpt, w.labelinfo, w.wout, "b, line 5: expected x E"},
        {w.band, w.kpt, withLine(w.labelinfo, 2, "G   300  0.1 0 0 0"), w.wout, "l, line 2: k point 300 is not one of the 196"},
        {w.band, w.kpt, withLine(w.labelinfo, 3, "X 79"), w.wout, "l, line 3: expected NAME index x k1 k2 k3"},
        {w.band, w.kpt, w.labelinfo, withLine(w.wout, 4, "  b_3 1 2"), "w, line 4: expected b_2 x y z"},
        {w.band, w.kpt, w.labelinfo, "nothing\n", "w: no 'Reciprocal-Space Vectors'"},
    };
    for (const Case& c : cases) {
        auto r = parseW90Band({"b", c.band}, {"k", c.kpt}, NamedText{"l", c.labelinfo}, NamedText{"w", c.wout});
        ASSERT_FALSE(r) << c.err;
        EXPECT_EQ(r.error().rfind(c.err, 0), 0u) << r.error();
    }
}

// A level far off the curve of its band is reported with its k point's
// line; in the highest band the starter window leaves that band out. Bands
// that cross bend at the crossing and are not reported.
TEST(VaspBands, LevelsFarOffTheirBandAreReported) {
    Scratch s;
    const std::string eig = e2e::slurp(kRun + "EIGENVAL");
    const struct {
        std::string body, says;
    } rows[] = {
        {eig, ""},
        {withLine(eig, 606, "   10     16.581564   0.000000"),
         "Band 10 at k point 50 (EIGENVAL.bad, line 596) lies 4.00 eV above its neighbours' mean: unconverged or "
         "damaged?\nThe starter window leaves out the highest band, which jumps so.\n"},
        {withLine(eig, 601, "    5      5.500000   0.000000"), "Band 5 at k point 50 (EIGENVAL.bad, line 596) lies "},
    };
    for (const auto& row : rows) {
        s.dir.write("EIGENVAL.bad", row.body);
        const e2e::Outcome r = e2e::run(s.dir, "tarlisen-import", "", "vasp EIGENVAL.bad --fermi 5 -o run");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.find("neighbours' mean") != std::string::npos, !row.says.empty()) << r.out;
        if (!row.says.empty()) {
            EXPECT_NE(r.out.find(row.says), std::string::npos) << r.out;
        }
    }
}
