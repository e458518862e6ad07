// The orbital character of the silicon bands (fort.16 made here from the
// example's fort.1) carried through the set-up's joins, drawn and exported.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include "band/core/character.h"
#include "band/core/starter_layout.h"
#include "e2e_support.h"
#include "silicon_bands.h"

using e2e::Outcome;
using e2e::ScratchDir;

namespace {

const std::string kBands = std::string(SOURCE_DIR) + "/examples/si-bands/";

// The weights of "s" and "p" of every level of the example, from a
// function of its k point block, its level, its energy and its symmetry
// code on Γ-X ("" off that line).
using WeightRule = std::function<std::pair<float, float>(int kfile, int level, float energy, const std::string& code)>;

std::string siliconCharacter(const WeightRule& rule) {
    const band::BandInput& in = silicon_bands::silicon();
    band::CharacterFile c{in.nkpt, in.nbands, {"s", "p"}, {}};
    for (int n = 1; n <= in.nkpt; ++n) {
        const band::KBlock& blk = in.block(n);
        std::string code;
        for (int b = 1; b <= in.nbands; ++b) {
            const band::BandRecord& r = blk.bands[static_cast<size_t>(b - 1)];
            code.clear();
            for (const band::Membership& m : blk.member)
                if (m.label == 2)
                    for (int s = 0; s < m.nsel; ++s) code += std::to_string(r.code[static_cast<size_t>(m.sel[static_cast<size_t>(s)])]);
            const auto [s, p] = rule(n, b, r.energy, code);
            c.w.push_back(s);
            c.w.push_back(p);
        }
    }
    Result<std::string> text = band::formatCharacter(c);
    EXPECT_TRUE(text) << text.error();
    return text ? *text : "";
}

// Δ2' (code 122 on Γ-X) all s, Δ5 (221, 212) all p: two characters that
// cross between the third and fourth k points of the line.
std::pair<float, float> bySymmetry(int, int, float, const std::string& code) {
    if (code == "122") return {1.0f, 0.0f};
    if (code == "221" || code == "212") return {0.0f, 1.0f};
    return {0.5f, 0.5f};
}

// s falling off with energy, p the rest but a tenth.
std::pair<float, float> byEnergy(int, int, float e, const std::string&) {
    const float s = std::clamp(0.5f - e / 16.0f, 0.0f, 0.9f);
    return {s, 0.9f - s};
}

// The example set up by its session (fort.3, fort.2), with the starter
// layout that shows the character and the weights of `rule`.
void siliconWithCharacter(const ScratchDir& dir, const WeightRule& rule) {
    dir.copyIn(kBands + "fort.1");
    dir.copyIn(kBands + "fort.14");
    e2e::run(dir, "tarlisen", e2e::slurp(kBands + "session.txt"));
    band::StarterBands s = silicon_bands::starter();
    s.projections = true;
    dir.write("fort.15", *band::formatStarterLayout(s));
    dir.write("fort.16", siliconCharacter(rule));
}

// The rows of an exported table as cells, the header first.
std::vector<std::vector<std::string>> table(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(csv);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string>& row = rows.emplace_back();
        std::istringstream cells(line);
        for (std::string c; std::getline(cells, c, ',');) row.push_back(c);
        if (!line.empty() && line.back() == ',') row.push_back("");
    }
    return rows;
}

}  // namespace

// Γ-X: the Δ2' band crosses the Δ5 pair; joined by their codes, each band
// keeps its character at every point of the line, so the s weight of a
// band never jumps, and the crossing bands are the one all s and the two all p.
TEST(BandCharacter, StaysWithItsBandThroughACrossing) {
    ScratchDir dir("character-crossing");
    siliconWithCharacter(dir, bySymmetry);
    const Outcome o = e2e::run(dir, "tarlisen", "", "--export x.csv");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out + o.err, "");
    const auto rows = table(dir.read("x.csv"));
    ASSERT_GT(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"line", "band", "spin", "distance", "energy", "s", "p"}));
    // band -> its s weights and energies along line 2
    std::map<int, std::vector<double>> s, e;
    for (size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 7u) << r;
        EXPECT_EQ(rows[r][2], "") << "one spin channel";
        if (rows[r][0] != "2") continue;
        s[std::stoi(rows[r][1])].push_back(std::stod(rows[r][5]));
        e[std::stoi(rows[r][1])].push_back(std::stod(rows[r][4]));
    }
    ASSERT_EQ(s.size(), 10u);
    int alls = 0, allp = 0;
    for (const auto& [b, w] : s) {
        ASSERT_EQ(w.size(), 51u) << b;
        const auto [lo, hi] = std::minmax_element(w.begin(), w.end());
        EXPECT_LT(*hi - *lo, 1e-4) << "band " << b << " changes its character along Γ-X";
        alls += *lo == 1.0;
        allp += *hi == 0.0;
    }
    EXPECT_GE(alls, 1);  // Δ2' bands
    EXPECT_GE(allp, 2);  // Δ5 pairs
    // and they do cross: the all-s band runs above the pair at Γ, below it at X
    int crossing = 0;
    for (const auto& [b, w] : s)
        if (w.front() == 1.0)
            for (const auto& [c, v] : s)
                if (v.front() == 0.0 && (e[b].front() - e[c].front()) * (e[b].back() - e[c].back()) < 0) ++crossing;
    EXPECT_GE(crossing, 2);
}

// The character in colours: the bands drawn in the blends of blue (s) and
// orange (p) at 8.5 cm; the fat band of p in orange
// under the lines; the same from the graph menu after loading the layout.
TEST(BandCharacter, DrawnInColoursOrAsAFatBand) {
    ScratchDir dir("character-picture");
    siliconWithCharacter(dir, byEnergy);
    ASSERT_EQ(e2e::run(dir, "tarlisen", "", "--output c.eps --width 8.5").status, 0);
    const Outcome o = e2e::run(dir, "tarlisen", "", "--output x.eps");
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string eps = dir.read("x.eps");
    // PGPLOT's colours: red green blue in 1024ths, then K
    EXPECT_NE(eps.find("0 458 715 K"), std::string::npos) << "pure s in blue";
    const size_t blends = std::count(eps.begin(), eps.end(), 'K');
    EXPECT_GT(blends, 20u) << "a band changes colour along its length";

    const Outcome menu = e2e::run(dir, "tarlisen", "1\n\nY\n-13\n9\n12\n10\n1\n0\n");
    EXPECT_EQ(menu.status, 0);
    EXPECT_EQ(e2e::withoutCreationDate(dir.read("tarlisen.eps")), e2e::withoutCreationDate(eps));

    // the fat band of p, chosen in the graph menu and kept in the layout
    const Outcome fat = e2e::run(dir, "tarlisen", "1\n\nY\n-13\n9\n12\n15\n2\n2\n11\n0\n");
    EXPECT_EQ(fat.status, 0) << fat.out;
    EXPECT_NE(fat.out.find(" (1) s\n (2) p\n Group (1-2): "), std::string::npos) << fat.out;
    EXPECT_NE(dir.read("fort.15").find("\ncharacter 2 2\n"), std::string::npos);
    ASSERT_EQ(e2e::run(dir, "tarlisen", "", "--output f.eps").status, 0);
    const std::string ribbons = dir.read("f.eps");
    const size_t orange = ribbons.find("924 639 0 K");
    ASSERT_NE(orange, std::string::npos);
    EXPECT_NE(ribbons.find(" EP", orange), std::string::npos) << "filled ribbons in orange";
}
