#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>

#include "band/core/character.h"
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

// fort.2 and fort.3 of the silicon example, made once by its session.
const std::pair<std::string, std::string>& siliconSetUp() {
    static const std::pair<std::string, std::string> files = [] {
        ScratchDir dir("picture-bands");
        dir.copyIn(kBands + "fort.1");
        dir.copyIn(kBands + "fort.14");
        e2e::run(dir, "tarlisen", e2e::slurp(kBands + "session.txt"));
        return std::make_pair(dir.read("fort.2"), dir.read("fort.3"));
    }();
    return files;
}
const std::string& siliconBands() { return siliconSetUp().first; }

// fort.16 for the example: groups "s" and "p", s falling with energy.
std::string siliconCharacter() {
    const band::BandInput& in = silicon_bands::silicon();
    band::CharacterFile c{in.nkpt, in.nbands, {"s", "p"}, {}};
    for (const band::KBlock& b : in.blocks)
        for (const band::BandRecord& r : b.bands) {
            const float s = std::clamp(0.5f - r.energy / 16.0f, 0.0f, 1.0f);
            c.w.insert(c.w.end(), {s, 1.0f - s});
        }
    return *band::formatCharacter(c);
}

// The starter layouts, with the Fermi energy of the calculation when given.
std::string siliconLayout(std::optional<float> sourceFermi = std::nullopt) {
    band::StarterBands s = silicon_bands::starter();
    s.sourceFermi = sourceFermi;
    auto text = band::formatStarterLayout(s);
    return text ? *text : text.error();
}

std::string dosLayout(std::optional<float> sourceFermi = std::nullopt) {
    auto in = dos::readDosInput(*common::RecordFile::load(kDos + "fort.1"));
    auto text = dos::formatStarterLayout(*in, {0.55f, false, false, sourceFermi, ""});
    return text ? *text : text.error();
}

// The DOS layout with its legend switched off.
void dosWithoutLegend(const ScratchDir& d) {
    d.copyIn(kDos + "fort.1");
    std::string layout = dosLayout();
    const size_t at = layout.find("\nlegend 1 ");
    if (at != std::string::npos) layout[at + 8] = '0';
    d.write("fort.7", layout);
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
// The bands with their character, and the layout that shows it.
void bandsInCharacter(const ScratchDir& d) {
    bands(d);
    d.write("fort.3", siliconSetUp().second);
    d.write("fort.16", siliconCharacter());
    band::StarterBands s = silicon_bands::starter();
    s.projections = true;
    d.write("fort.15", *band::formatStarterLayout(s));
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
// The bands here, the DOS in dos/, as the two importers leave them.
void bandsBesideDos(const ScratchDir& d, const std::string& dosInput, const std::string& dosLayoutText) {
    bandsAndLayout(d);
    std::filesystem::create_directories(d / "dos");
    d.write("dos/fort.1", dosInput);
    d.write("dos/fort.7", dosLayoutText);
}
void bandsWithDos(const ScratchDir& d) { bandsBesideDos(d, e2e::slurp(kDos + "fort.1"), dosLayout()); }
// Both layouts keep the Fermi energy of their calculation.
std::function<void(const ScratchDir&)> fermiLevels(float bands, float dos) {
    return [=](const ScratchDir& d) {
        bandsBesideDos(d, e2e::slurp(kDos + "fort.1"), dosLayout(dos));
        d.write("fort.15", siliconLayout(bands));
    };
}

// The vertical strokes of a PGPLOT EPS ("dx dy x y L" starts a polyline at
// x y, "dx dy C" goes on from where it stands): x, lower and upper y.
struct Stroke {
    long x, y0, y1;
};
std::vector<Stroke> verticalStrokes(const std::string& eps) {
    std::vector<Stroke> found;
    std::istringstream in(eps.substr(eps.find("%%EndPageSetup")));
    std::vector<std::string> words;
    long x = 0, y = 0;
    auto num = [&](size_t back) { return std::stol(words[words.size() - back]); };
    auto isNumber = [](const std::string& w) { return !w.empty() && w.find_first_not_of("-0123456789") == std::string::npos; };
    for (std::string w; in >> w;) {
        if ((w == "L" && words.size() >= 4) || (w == "C" && words.size() >= 2)) {
            const bool start = w == "L";
            if (start && (!isNumber(words[words.size() - 4]) || !isNumber(words[words.size() - 1]))) continue;
            const long dx = num(start ? 4 : 2), dy = num(start ? 3 : 1);
            if (start) {
                x = num(2);
                y = num(1);
            }
            if (dx == 0 && dy != 0) found.push_back({x, std::min(y, y + dy), std::max(y, y + dy)});
            x += dx;
            y += dy;
        }
        words.push_back(w);
    }
    return found;
}

// The figure of the bands with their DOS: the tallest strokes of the
// picture (the frame edges and separators of the bands, the edges of the
// DOS panel) all span the same heights, and the DOS panel, the last two of
// them, takes a quarter to a third of the width of both frames, apart from
// the band frame.
void checkFigure(const ScratchDir& dir, const Row& r) {
    const std::string eps = dir.read(std::string(r.written).substr(0, 2) + "eps");
    const std::vector<Stroke> strokes = verticalStrokes(eps);
    ASSERT_FALSE(strokes.empty()) << r.name;
    long tallest = 0;
    for (const Stroke& s : strokes) tallest = std::max(tallest, s.y1 - s.y0);
    std::vector<long> xs;
    for (const Stroke& s : strokes)
        if (s.y1 - s.y0 >= tallest - 2) {
            EXPECT_NEAR(s.y0, strokes.front().y0, 2) << r.name << ": a frame edge at x " << s.x;
            if (std::find_if(xs.begin(), xs.end(), [&](long v) { return std::abs(v - s.x) <= 2; }) == xs.end())
                xs.push_back(s.x);
        }
    std::sort(xs.begin(), xs.end());
    ASSERT_GE(xs.size(), 4u) << r.name;  // band frame with a separator or more, DOS panel
    const double dosWidth = static_cast<double>(xs.back() - xs[xs.size() - 2]);
    const double bandWidth = static_cast<double>(xs[xs.size() - 3] - xs.front());
    EXPECT_GT(xs[xs.size() - 2] - xs[xs.size() - 3], 50) << r.name << ": the DOS panel apart from the bands";
    EXPECT_GE(dosWidth / (dosWidth + bandWidth), 0.25) << r.name;
    EXPECT_LE(dosWidth / (dosWidth + bandWidth), 1.0 / 3.0) << r.name;
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
    // Nothing cut: the box, the scale undone, lies inside the square view
    // surface PGPLOT draws on (8.267 inches from the page's origin, in its
    // units of a thousandth of an inch), clear of the edges where PGPLOT
    // cuts what runs over them.
    std::istringstream origin(eps.substr(scaleAt + 25, 40));
    double a = 0, b = 0;
    origin >> a >> b;
    const size_t hiRes = eps.find("%%HiResBoundingBox: ");
    ASSERT_NE(hiRes, std::string::npos) << r.name;
    std::istringstream boxIn(eps.substr(hiRes + 20, 80));
    double box[4];
    boxIn >> box[0] >> box[1] >> box[2] >> box[3];
    const double side = 8267;
    EXPECT_GT(box[0] / scale / 0.072, a + 20) << r.name << ": cut at the left";
    EXPECT_GT(box[1] / scale / 0.072, b + 20) << r.name << ": cut at the bottom";
    EXPECT_LT(box[2] / scale / 0.072, a + side - 20) << r.name << ": cut at the right";
    EXPECT_LT(box[3] / scale / 0.072, b + side - 20) << r.name << ": cut at the top";
    if (std::string(r.written).find(".png") != std::string::npos) {
        const std::string png = dir.read(stem + "png");
        ASSERT_GT(png.size(), 24u);
        const long pixels = (static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]);
        EXPECT_NEAR(pixels, cm / 2.54 * 300.0, 1.0) << r.name;
    }
    if (std::string(r.written).find(".svg") != std::string::npos) {
        const std::string svg = dir.read(stem + "svg");
        const size_t width = svg.find(" width=\"");
        ASSERT_NE(width, std::string::npos) << r.name;
        EXPECT_NEAR(std::stod(svg.substr(width + 8)), points, 1.0) << r.name;
        EXPECT_EQ(svg.compare(width + 8 + svg.substr(width + 8).find_first_not_of("0123456789."), 2, "pt"), 0) << r.name;
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
        {"unknown suffix", "tarlisen", bandsAndLayout, "--output x.gif", 2, "",
         "tarlisen: --output takes a file ending in .eps, .plt, .pdf, .png or .svg, not 'x.gif'\n", "", ""},
        {"SVG, as the SVG option", "tarlisen", bandsAndLayout, "--output x.svg", 0, "", "", "x.eps x.svg",
         "1\n\nY\n-13\n9\n12\n10\n6\n0\n"},
        {"SVG in one column", "tarlisen", bandsAndLayout, "--output x.svg --width 8.5", 0, "", "", "x.eps x.svg", ""},
        {"figure in SVG", "tarlisen", bandsWithDos, "--output x.svg --dos dos --width 17", 0, "", "", "x.eps x.svg", ""},
        {"one column", "tarlisen", bandsAndLayout, "--output x.png --width 8.5", 0, "", "", "x.eps x.png", ""},
        {"a path of 200 characters", "tarlisen", [](const ScratchDir& d) { bandsAndLayout(d); inLongFolder(d); },
         kLongArgs.c_str(), 0, "", "", kLongWritten.c_str(), ""},
        {"no width for HPGL", "tarlisen", bands, "--output x.plt --width 8.5", 2, "", "tarlisen: --width makes", "", ""},
        {"narrowest, with a title", "tarlisen", bandsAndLayout, "--output x.eps --width 4 --title 'Si, E\\sub F \\endsub = 0'",
         0, "", "", "x.eps", ""},
        {"widest", "tarlisen", bandsAndLayout, "--output x.eps --width 50", 0, "", "", "x.eps", ""},
        {"title without a picture", "tarlisen", bands, "--title Si", 2, "", "tarlisen: --title goes with --output", "", ""},
        {"title longer than a text line", "tarlisen", bands,
         "--output x.eps --title 123456789012345678901234567890123456789012345678901234567890123456789012345678901", 2,
         "", "tarlisen: --title takes at most 80 characters", "", ""},
        {"starter DOS layout", "morvane", dosAndLayout, "--output y.eps", 0, "", "", "y.eps", "13\n12\n2\np\n0\n"},
        {"DOS PDF", "morvane", dosAndLayout, "--output=y.pdf", 0, "", "", "y.eps y.pdf", "13\n12\n4\np\n0\n"},
        {"two columns", "morvane", dosAndLayout, "--output=y.pdf --width=17", 0, "", "", "y.eps y.pdf", ""},
        {"DOS SVG", "morvane", dosAndLayout, "--output y.svg", 0, "", "", "y.eps y.svg", "13\n12\n6\np\n0\n"},
        {"DOS SVG in two columns", "morvane", dosAndLayout, "--output y.svg --width 17", 0, "", "", "y.eps y.svg", ""},
        {"one column DOS", "morvane", dosAndLayout, "--output y.eps --width 8.5", 0, "", "", "y.eps", ""},
        {"DOS at a path of 200 characters", "morvane", [](const ScratchDir& d) { dosAndLayout(d); inLongFolder(d); },
         kLongDosArgs.c_str(), 0, "", "", kLongDosWritten.c_str(), ""},
        {"DOS panels above the page", "morvane", [](const ScratchDir& d) { dosPanelsAt(d, " 100.00000"); },
         "--output y.eps", 1, "", kDosOffPage.c_str(), "", ""},
        {"DOS panels above the page, one column", "morvane", [](const ScratchDir& d) { dosPanelsAt(d, " 100.00000"); },
         "--output y.pdf --width 8.5", 1, "", kDosOffPage.c_str(), "", ""},
        {"narrowest DOS, with a title", "morvane", dosWithoutLegend,
         "--output y.eps --width 4 --title 'Si: s and p'", 0, "", "", "y.eps", ""},
        {"narrowest DOS, with a legend wider than the picture", "morvane", dosAndLayout, "--output y.eps --width 4", 1,
         "", "morvane: the lettering does not fit a picture 4.0 cm wide; a wider --width makes room for it\n", "", ""},
        {"widest DOS", "morvane", dosAndLayout, "--output y.eps --width 50 --title Si", 0, "", "", "y.eps", ""},
        {"DOS title without a picture", "morvane", dosAndLayout, "--title Si", 2, "",
         "morvane: --title goes with --output", "", ""},
        {"no DOS layout", "morvane", [](const ScratchDir& d) { d.copyIn(kDos + "fort.1"); }, "--output y.pdf", 1, "",
         "morvane: fort.7 could not be opened\n", "", ""},
        {"damaged DOS input", "morvane", [](const ScratchDir& d) { dosAndLayout(d); d.write("fort.1", "   1   x\n"); },
         "--output y.eps", 1, "", "morvane: fort.1, record 1", "", ""},
        {"no DOS input", "morvane", [](const ScratchDir& d) { d.write("fort.7", dosLayout()); }, "--output y.eps", 1, "",
         "morvane: fort.1 could not be opened\n", "", ""},
        {"bands with their DOS", "tarlisen", bandsWithDos, "--output x.eps --dos dos", 0, "", "", "x.eps",
         "1\n\nY\n-13\n9\n12\n10\n5\ndos\n0\n"},
        {"figure in one column", "tarlisen", bandsWithDos, "--output x.pdf --dos=dos/ --width 8.5", 0, "", "",
         "x.eps x.pdf", ""},
        {"figure in two columns", "tarlisen", bandsWithDos, "--output x.png --dos dos --width 17", 0, "", "",
         "x.eps x.png", ""},
        {"figure in HPGL", "tarlisen", bandsWithDos, "--output x.plt --dos dos", 0, "", "", "x.plt", ""},
        {"figure with a title, in one column", "tarlisen", bandsWithDos,
         "--output x.eps --dos dos --width 8.5 --title 'Si: bands and DOS'", 0, "", "", "x.eps", ""},
        {"Fermi energies 57 meV apart", "tarlisen", fermiLevels(6.242f, 6.299f), "--output x.eps --dos dos", 0,
         " The Fermi energies differ by 57 meV (bands 6.242 eV, DOS 6.299 eV): the DOS is drawn on the bands' "
         "energies, at their E_F.\n",
         "", "x.eps", ""},
        {"Fermi energies 8 meV apart", "tarlisen", fermiLevels(6.242f, 6.25f), "--output x.eps --dos dos", 0, "", "",
         "x.eps", ""},
        {"DOS folder without its layout", "tarlisen", [](const ScratchDir& d) { bandsWithDos(d); std::filesystem::remove(d / "dos/fort.7"); },
         "--output x.pdf --dos dos", 1, "", "tarlisen: dos/fort.7 could not be opened\n", "", ""},
        {"no DOS folder", "tarlisen", bandsAndLayout, "--output x.eps --dos nowhere", 1, "",
         "tarlisen: nowhere/fort.1 could not be opened\n", "", ""},
        {"damaged DOS input beside the bands", "tarlisen",
         [](const ScratchDir& d) { bandsBesideDos(d, "   1   x\n", dosLayout()); }, "--output x.eps --dos dos", 1, "",
         "tarlisen: dos/fort.1, record 1", "", ""},
        {"damaged DOS layout beside the bands", "tarlisen",
         [](const ScratchDir& d) { bandsBesideDos(d, e2e::slurp(kDos + "fort.1"), " 9\n"); }, "--output x.eps --dos dos",
         1, "", "tarlisen: dos/fort.7, record 1: number of buffers 9 outside 0 ... 8\n", "", ""},
        {"damaged Fermi record", "tarlisen",
         [](const ScratchDir& d) { bandsBesideDos(d, e2e::slurp(kDos + "fort.1"), dosLayout() + "fermi  6.2x\n"); },
         "--output x.eps --dos dos", 1, "", "tarlisen: dos/fort.7, record ", "", ""},
        {"a DOS without a picture", "tarlisen", bandsWithDos, "--dos dos", 2, "", "tarlisen: --dos goes with --output\n",
         "", ""},
        {"bands in their character", "tarlisen", bandsInCharacter, "--output x.eps", 0, "", "", "x.eps",
         "1\n\nY\n-13\n9\n12\n10\n1\n0\n"},
        {"bands in their character beside their DOS, one column", "tarlisen",
         [](const ScratchDir& d) { bandsWithDos(d); bandsInCharacter(d); }, "--output x.pdf --dos dos --width 8.5", 0, "",
         "", "x.eps x.pdf", ""},
        {"character of other bands", "tarlisen",
         [](const ScratchDir& d) { bandsInCharacter(d); d.write("fort.16", "    36    12     2\ns\np\n"); },
         "--output x.eps", 1, "", "tarlisen: fort.16, record 1: 36 k points and 12 bands; fort.14 has 36 and 10\n", "", ""},
        {"the picture's data", "tarlisen", bandsInCharacter, "--export x.csv", 0, "", "", "x.csv", ""},
        {"the data of plain bands", "tarlisen", bands, "--export=x.csv", 0, " No graph layout", "", "x.csv", ""},
        {"damaged character, no data", "tarlisen",
         [](const ScratchDir& d) { bandsInCharacter(d); d.write("fort.16", "    36    10     2\ns\n"); },
         "--export x.csv", 1, "", "tarlisen: fort.16, record 3: missing (the file ends early)\n", "", ""},
        {"data and picture at once", "tarlisen", bandsInCharacter, "--export x.csv --output x.eps", 2, "",
         "tarlisen: --export writes the data of fort.2 as it stands", "", ""},
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
            for (const char* f : {"x.eps", "x.pdf", "x.png", "x.svg", "y.eps", "y.pdf", "y.png", "y.svg", "x.csv"}) {
                EXPECT_FALSE(dir.has(f)) << r.name << ": " << f;
            }
        if (r.status == 0 && std::string(r.args).find("--width") != std::string::npos) checkWidth(dir, r);
        if (r.status == 0 && std::string(r.args).find("--dos") != std::string::npos &&
            std::string(r.written).find(".eps") != std::string::npos)
            checkFigure(dir, r);
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
