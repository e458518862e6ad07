// morvane on damaged copies of the files it reads: the silicon fort.1 and
// the layout fort.7 of the example session.
#include <gtest/gtest.h>

#include "common/records.h"
#include "dos/core/layout_file.h"
#include "dos/core/graph.h"
#include "dos/core/dos_input.h"
#include "hostile_files.h"
#include "hostile_support.h"

using namespace common;
using namespace dos;

namespace {

const std::string kExample = std::string(SOURCE_DIR) + "/examples/si-dos/";

const std::string& layout() {
    static const std::string text = [] {
        e2e::ScratchDir dir("hostile-origin-" + hostile::testName());
        dir.copyIn(kExample + "fort.1");
        e2e::run(dir, "morvane", e2e::slurp(kExample + "session.txt"));
        return e2e::slurp(dir / "fort.7");
    }();
    return text;
}

void prepare(const e2e::ScratchDir& dir) {
    dir.copyIn(kExample + "fort.1");
    e2e::spit(dir / "fort.7", layout());
}

// Damage in the header records, beside the sampled ones.
void header(const std::string& text, std::vector<hostile::Variant>& v) {
    const auto recs = hostile::records(text);
    for (size_t r : {1, 2, 3, 4, 5, 304, 305, 306}) {
        v.push_back({"truncated before record " + std::to_string(r), hostile::joined(recs, r - 1), true, false});
        std::string letters = recs[r - 1];
        letters.replace(0, std::min<size_t>(3, letters.size()), "x?Q");
        v.push_back(hostile::withRecord(text, r, letters, "letters"));
        v.back().refuse = hostile::numeric(recs[r - 1]);
    }
}

}  // namespace

TEST(HostileDos, InputFort1) {
    const std::string text = e2e::slurp(kExample + "fort.1");
    auto v = hostile::damaged(text, 911);
    header(text, v);
    v.push_back(hostile::withRecord(text, 1, "   3   5   4   5 901", "901 energies"));
    v.push_back(hostile::withRecord(text, 1, "   3   6   4   5 701", "six AO projections"));
    v.push_back(hostile::withRecord(text, 1, "   2   5   4   5 701", "two total curves"));
    v.push_back(hostile::withRecord(text, 1, "   3   5   4   5 702", "more energies than records"));
    v.push_back(hostile::withRecord(text, 2, "  21   2   2   2   2", "21 description lines"));
    v.push_back(hostile::withRecord(text, 306, "   -99.99999", "an energy grid that descends"));
    hostile::check({"morvane", "fort.1", e2e::slurp(kExample + "session.txt"), prepare,
                    {"fort.7", "morvane.eps", "morvane.plt", "morvane.pdf", "morvane.png"}, hostile::wholeDosFile},
                   v);
}

TEST(HostileDos, LayoutFort7) {
    const std::string text = layout();
    ASSERT_FALSE(text.empty());
    auto v = hostile::damaged(text, 1);
    const auto recs = hostile::records(text);
    v.push_back(hostile::withRecord(text, 1, " 9", "nine DOS buffers"));
    v.push_back(hostile::withRecord(text, 2, "99" + recs[1].substr(2), "curve 99"));
    v.push_back(hostile::withRecord(text, 2, " 1 9" + recs[1].substr(4), "line type 9"));
    v.push_back(hostile::withRecord(text, 2, " 1 116" + recs[1].substr(6), "brush 16"));
    for (size_t r = 1; r <= recs.size(); ++r)
        if (recs[r - 1].size() == 40 && recs[r - 1].find_first_not_of(" 0123456789.-") == std::string::npos)
            v.push_back(hostile::withRecord(text, r, "   0.00000   1.00000   0.00001   0.00001", "100000 labelled tics"));
    for (size_t r = 1; r <= recs.size(); ++r)
        if (recs[r - 1] == "   1") v.push_back(hostile::withRecord(text, r, "  11", "eleven free texts"));
    hostile::check({"morvane", "fort.7", e2e::slurp(kExample + "session-load.txt"), prepare,
                    {"fort.7", "morvane.eps"}, hostile::wholeDosFile},
                   v);
}
