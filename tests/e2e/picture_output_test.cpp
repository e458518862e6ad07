#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <sstream>

#include "band/core/starter_layout.h"
#include "common/publication.h"
#include "common/records.h"
#include "dos/core/dos_input.h"
#include "dos/core/starter_layout.h"
#include "e2e_support.h"
#include "silicon_bands.h"

using e2e::Outcome;
using e2e::ScratchDir;

namespace {

const std::string kBands = std::string(SOURCE_DIR) + "/examples/si-bands/";
const std::string kDos = std::string(SOURCE_DIR) + "/examples/si-dos/";

// fort.2 of the silicon example, made once by its session.
const std::string& siliconBands() {
    static const std::string text = [] {
        ScratchDir dir("picture-bands");
        dir.copyIn(kBands + "fort.1");
        dir.copyIn(kBands + "fort.14");
        e2e::run(dir, "tarlisen", e2e::slurp(kBands + "session.txt"));
        return dir.read("fort.2");
    }();
    return text;
}

std::string siliconLayout() {
    auto text = band::formatStarterLayout(silicon_bands::starter());
    return text ? *text : text.error();
}

std::string dosLayout() {
    auto in = dos::readDosInput(*common::RecordFile::load(kDos + "fort.1"));
    auto text = dos::formatStarterLayout(*in, {0.55f, false});
    return text ? *text : text.error();
}

struct Row {
    const char* name;
    const char* program;
    std::function<void(const ScratchDir&)> files;
    const char* args;
    int status;
    const char* out;      // expected standard output
    const char* err;      // expected start of standard error
    const char* written;  // files the run writes ("" none)
    const char* menu;     // a dialogue that loads the layout and writes the same EPS ("" none)
};

void bands(const ScratchDir& d) {
    d.copyIn(kBands + "fort.1");
    d.copyIn(kBands + "fort.14");
    d.write("fort.2", siliconBands());
}
void bandsAndLayout(const ScratchDir& d) {
    bands(d);
    d.write("fort.15", siliconLayout());
}
// A folder whose path, with a picture's name in it, is 200 characters long:
// longer than PGPLOT keeps of a device's file name.
const std::string kLongFolder = std::string(96, 'a') + "/" + std::string(96, 'b');
const std::string kLongArgs = "--output " + kLongFolder + "/x.pdf --width 8.5";
const std::string kLongWritten = kLongFolder + "/x.eps " + kLongFolder + "/x.pdf";
const std::string kLongDosArgs = "--output " + kLongFolder + "/y.png";
const std::string kLongDosWritten = kLongFolder + "/y.eps " + kLongFolder + "/y.png";
void inLongFolder(const ScratchDir& d) { std::filesystem::create_directories(d / kLongFolder); }

// The text with record n (from 1) changed by `change`.
std::string withRecord(const std::string& text, int n, const std::function<void(std::string&)>& change) {
    std::istringstream in(text);
    std::string out;
    int k = 0;
    for (std::string line; std::getline(in, line);) {
        if (++k == n) change(line);
        out += line + "\n";
    }
    return out;
}
// A layout whose frame (band record 3: x origin, y origin, ...) or DOS panels
// (the geometry record, its eighth field the bottom) lie off the page.
void bandFrameAt(const ScratchDir& d, const char* origin) {
    bands(d);
    d.write("fort.15", withRecord(siliconLayout(), 3, [&](std::string& r) { r.replace(0, 20, origin); }));
}
// fort.7's geometry record: after the two counts with their buffers, and the flags.
int geometryRecord(const std::string& layout) {
    std::istringstream in(layout);
    std::vector<std::string> r;
    for (std::string line; std::getline(in, line);) r.push_back(line);
    const int nd = std::stoi(r.at(0));
    return nd + std::stoi(r.at(static_cast<size_t>(nd) + 1)) + 4;
}
void dosPanelsAt(const ScratchDir& d, const char* bottom) {
    d.copyIn(kDos + "fort.1");
    d.write("fort.7", withRecord(dosLayout(), geometryRecord(dosLayout()),
                                 [&](std::string& r) { r.replace(70, 10, bottom); }));
}
const std::string kDosOffPage =
    "morvane: fort.7, record " + std::to_string(geometryRecord(dosLayout())) + ": the frame lies outside the page\n";

void dosAndLayout(const ScratchDir& d) {
    d.copyIn(kDos + "fort.1");
    d.write("fort.7", dosLayout());
}

// A picture made CM wide (--width CM): the EPS box, the PDF page and the
// PNG at 300 dpi that wide, and every line at least 0.5 pt at that width
// (PGPLOT's "n LW" strokes 5n thousandths of an inch, under the scale the
// picture got).
void checkWidth(const ScratchDir& dir, const Row& r) {
    const std::string args = r.args;
    const double cm = std::stod(args.substr(args.find("--width") + 8));
    const double points = cm / 2.54 * 72.0;
    const std::string first = std::string(r.written).substr(0, std::string(r.written).find(' '));
    const std::string stem = first.substr(0, first.size() - 3);
    const std::string eps = dir.read(stem + "eps");
    const std::optional<double> width = common::boxWidth(eps);
    ASSERT_TRUE(width) << r.name;
    EXPECT_NEAR(*width, points, 0.01) << r.name;
    const size_t scaleAt = eps.find(" scale\n0.072 0.072 scale\n");
    ASSERT_NE(scaleAt, std::string::npos) << r.name;
    const double scale = std::stod(eps.substr(eps.rfind('\n', scaleAt) + 1));
    int least = 1000;
    // the page set-up's own width is PGPLOT's start, under no stroke
    for (size_t at = eps.find(" LW ", eps.find("%%EndPageSetup")); at != std::string::npos; at = eps.find(" LW ", at + 1)) {
        const size_t start = eps.find_last_of(" \n", at - 1) + 1;
        if (std::isdigit(static_cast<unsigned char>(eps[start]))) least = std::min(least, std::stoi(eps.substr(start)));
    }
    EXPECT_GE(least * 0.36 * scale, 0.5) << r.name << ": line width " << least;
    if (std::string(r.written).find(".png") != std::string::npos) {
        const std::string png = dir.read(stem + "png");
        ASSERT_GT(png.size(), 24u);
        const long pixels = (static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]);
        EXPECT_NEAR(pixels, cm / 2.54 * 300.0, 1.0) << r.name;
    }
    if (std::string(r.written).find(".pdf") != std::string::npos) {
        const std::string pdf = dir.read(stem + "pdf");
        const size_t box = pdf.find("/MediaBox [");
        ASSERT_NE(box, std::string::npos) << r.name;
        std::istringstream in(pdf.substr(box + 11, 80));
        double x0 = 0, y0 = 0, x1 = 0;
        in >> x0 >> y0 >> x1;
        EXPECT_NEAR(x1 - x0, points, 1.0) << r.name;
    }
}

// No question asked: standard input holds answers that must stay unread.
TEST(PictureOutput, DrawsTheStoredPictureOrSaysWhichFileIsMissing) {
    const Row rows[] = {
        {"starter band layout", "tarlisen", bandsAndLayout, "--output x.eps", 0, "", "", "x.eps",
         "1\n\nY\n-13\n9\n12\n10\n1\n0\n"},
        {"colour, as the PNG option", "tarlisen", bandsAndLayout, "--output=x.png", 0, "", "", "x.eps x.png",
         "1\n\nY\n-13\n9\n12\n10\n4\n0\n"},
        {"no band layout", "tarlisen", bands, "--output x.pdf", 0,
         " No graph layout fort.15: the frame and the bands over their whole energy range.\n", "", "x.eps x.pdf", ""},
        {"HPGL", "tarlisen", bands, "--output x.plt", 0, " No graph layout", "", "x.plt", ""},
        {"no bands", "tarlisen", [](const ScratchDir& d) { d.write("fort.15", siliconLayout()); }, "--output x.eps", 1,
         "", "tarlisen: fort.2 could not be opened\n", "", ""},
        {"damaged band layout", "tarlisen", [](const ScratchDir& d) { bands(d); d.write("fort.15", " 5\nTTx\n"); },
         "--output x.eps", 1, "", "tarlisen: fort.15, record 2", "", ""},
        {"more lines than fort.2", "tarlisen", [](const ScratchDir& d) { bandsAndLayout(d); d.write("fort.2", " 5\n"); },
         "--output x.eps", 1, "", "tarlisen: fort.2, record 2: ends after 0 of 5", "", ""},
        {"frame right of the page", "tarlisen", [](const ScratchDir& d) { bandFrameAt(d, " 100.00000   0.17000"); },
         "--output x.eps", 1, "", "tarlisen: fort.15, record 3: the frame lies outside the page\n", "", ""},
        {"frame below the page, one column", "tarlisen", [](const ScratchDir& d) { bandFrameAt(d, "   0.16000  -1.00000"); },
         "--output x.pdf --width 8.5", 1, "", "tarlisen: fort.15, record 3: the frame lies outside the page\n", "", ""},
        {"frame above the page", "tarlisen", [](const ScratchDir& d) { bandFrameAt(d, "   0.16000   5.00000"); },
         "--output x.png", 1, "", "tarlisen: fort.15, record 3: the frame lies outside the page\n", "", ""},
        {"no such directory", "tarlisen", bandsAndLayout, "--output out/x.pdf", 1, "",
         "tarlisen: out/x.eps cannot be written: no directory out\n", "", ""},
        {"unknown suffix", "tarlisen", bandsAndLayout, "--output x.svg", 2, "", "tarlisen: --output takes a file ending in", "", ""},
        {"one column", "tarlisen", bandsAndLayout, "--output x.png --width 8.5", 0, "", "", "x.eps x.png", ""},
        {"a path of 200 characters", "tarlisen", [](const ScratchDir& d) { bandsAndLayout(d); inLongFolder(d); },
         kLongArgs.c_str(), 0, "", "", kLongWritten.c_str(), ""},
        {"no width for HPGL", "tarlisen", bands, "--output x.plt --width 8.5", 2, "", "tarlisen: --width makes", "", ""},
        {"starter DOS layout", "morvane", dosAndLayout, "--output y.eps", 0, "", "", "y.eps", "13\n12\n2\np\n0\n"},
        {"DOS PDF", "morvane", dosAndLayout, "--output=y.pdf", 0, "", "", "y.eps y.pdf", "13\n12\n4\np\n0\n"},
        {"two columns", "morvane", dosAndLayout, "--output=y.pdf --width=17", 0, "", "", "y.eps y.pdf", ""},
        {"one column DOS", "morvane", dosAndLayout, "--output y.eps --width 8.5", 0, "", "", "y.eps", ""},
        {"DOS at a path of 200 characters", "morvane", [](const ScratchDir& d) { dosAndLayout(d); inLongFolder(d); },
         kLongDosArgs.c_str(), 0, "", "", kLongDosWritten.c_str(), ""},
        {"DOS panels above the page", "morvane", [](const ScratchDir& d) { dosPanelsAt(d, " 100.00000"); },
         "--output y.eps", 1, "", kDosOffPage.c_str(), "", ""},
        {"DOS panels above the page, one column", "morvane", [](const ScratchDir& d) { dosPanelsAt(d, " 100.00000"); },
         "--output y.pdf --width 8.5", 1, "", kDosOffPage.c_str(), "", ""},
        {"no DOS layout", "morvane", [](const ScratchDir& d) { d.copyIn(kDos + "fort.1"); }, "--output y.pdf", 1, "",
         "morvane: fort.7 could not be opened\n", "", ""},
        {"damaged DOS input", "morvane", [](const ScratchDir& d) { dosAndLayout(d); d.write("fort.1", "   1   x\n"); },
         "--output y.eps", 1, "", "morvane: fort.1, record 1", "", ""},
        {"no DOS input", "morvane", [](const ScratchDir& d) { d.write("fort.7", dosLayout()); }, "--output y.eps", 1, "",
         "morvane: fort.1 could not be opened\n", "", ""},
    };
    for (const Row& r : rows) {
        ScratchDir dir("picture-row");
        r.files(dir);
        const Outcome o = e2e::run(dir, r.program, "1\n\nY\n0\n0\n", r.args);
        EXPECT_EQ(o.status, r.status) << r.name << "\n" << o.err;
        EXPECT_EQ(o.out.rfind(r.out, 0), 0u) << r.name << "\n" << o.out;
        if (!*r.out) {
            EXPECT_EQ(o.out, "") << r.name;
        }
        EXPECT_EQ(o.err.rfind(r.err, 0), 0u) << r.name << "\n" << o.err;
        if (*r.err && r.status == 1) {
            EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << r.name << ": one line";
        }
        std::istringstream written(r.written);
        for (std::string f; written >> f;) {
            EXPECT_GT(dir.read(f).size(), 1000u) << r.name << ": " << f;
        }
        if (!*r.written)
            for (const char* f : {"x.eps", "x.pdf", "x.png", "y.eps", "y.pdf", "y.png"}) {
                EXPECT_FALSE(dir.has(f)) << r.name << ": " << f;
            }
        if (r.status == 0 && std::string(r.args).find("--width") != std::string::npos) checkWidth(dir, r);
        if (!*r.menu) continue;
        // the output option of the dialogue, after loading the same layout, draws the same picture
        const std::string eps = std::string(r.program) + ".eps";
        const std::string mine = std::string(r.written).substr(0, 5);
        const Outcome menu = e2e::run(dir, r.program, r.menu);
        EXPECT_EQ(menu.status, 0) << r.name << "\n" << menu.out;
        EXPECT_EQ(e2e::withoutCreationDate(dir.read(eps)), e2e::withoutCreationDate(dir.read(mine))) << r.name;
    }
}

}  // namespace
