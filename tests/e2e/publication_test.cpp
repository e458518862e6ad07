#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "common/console.h"
#include "common/plot.h"
#include "common/publication.h"
#include "e2e_support.h"

using namespace common;
using e2e::ScratchDir;

namespace {

struct Box {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double w() const { return x2 - x1; }
    double h() const { return y2 - y1; }
};

// The comment `key` in the header (before %%EndComments) and whether it
// appears again below it.
struct HeaderComment {
    std::string value;
    bool below = false;
};
HeaderComment headerComment(const std::string& eps, const std::string& key) {
    HeaderComment r;
    std::istringstream in(eps);
    bool header = true;
    for (std::string line; std::getline(in, line);) {
        if (line == "%%EndComments") header = false;
        if (line.rfind("%%" + key + ":", 0) != 0) continue;
        if (header)
            r.value = line.substr(key.size() + 3);
        else
            r.below = true;
    }
    return r;
}

Box boxOf(const std::string& text) {
    Box b;
    std::istringstream(text) >> b.x1 >> b.y1 >> b.x2 >> b.y2;
    return b;
}

// The extent of what is drawn, as ghostscript's bbox device measures it.
Box drawnExtent(const std::filesystem::path& eps) {
    const std::string out = eps.string() + ".bbox";
    const std::string cmd = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox '" + eps.string() + "' 2> '" + out + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    const std::string text = e2e::slurp(out);
    const auto at = text.find("%%HiResBoundingBox:");
    return at == std::string::npos ? Box{} : boxOf(text.substr(at + 19));
}

Box mediaBox(const std::filesystem::path& pdf) {
    const std::string text = e2e::slurp(pdf);
    const auto at = text.find("/MediaBox [");
    return at == std::string::npos ? Box{} : boxOf(text.substr(at + 11));
}

std::pair<long, long> pngSize(const std::filesystem::path& png) {
    const std::string d = e2e::slurp(png);
    if (d.size() < 24 || d.compare(1, 3, "PNG") != 0) return {0, 0};
    auto be = [&](size_t i) {
        long v = 0;
        for (size_t k = 0; k < 4; ++k) v = v * 256 + static_cast<unsigned char>(d[i + k]);
        return v;
    };
    return {be(16), be(20)};
}

// The EPS carries its box in the header, once, equal to the drawing; the PDF
// page is that box (turned for a landscape picture) and the PNG that box at
// 300 dpi, wide when the picture is.
void expectCroppedPictures(const ScratchDir& dir, const std::string& stem, bool pdfLandscape, bool pngLandscape,
                           const std::string& pdfEps, const std::string& pngEps) {
    for (const std::string& eps : {pdfEps, pngEps}) {
        EXPECT_EQ(eps.find("(atend)"), std::string::npos);
        const HeaderComment box = headerComment(eps, "BoundingBox");
        const HeaderComment hi = headerComment(eps, "HiResBoundingBox");
        EXPECT_FALSE(box.below);
        EXPECT_EQ(hi.value, box.value);
        e2e::spit(dir / "check.eps", eps);
        const Box b = boxOf(box.value), drawn = drawnExtent(dir / "check.eps");
        // PGPLOT's box holds the drawing with a few points to spare
        EXPECT_LE(b.x1, drawn.x1 + 0.5);
        EXPECT_LE(b.y1, drawn.y1 + 0.5);
        EXPECT_GE(b.x2, drawn.x2 - 0.5);
        EXPECT_GE(b.y2, drawn.y2 - 0.5);
        EXPECT_LT(b.w() - drawn.w() + b.h() - drawn.h(), 12.0) << box.value;
    }
    const Box pdfBox = boxOf(headerComment(pdfEps, "BoundingBox").value);
    const Box page = mediaBox(dir / (stem + ".pdf"));
    EXPECT_NEAR(page.w(), pdfLandscape ? pdfBox.h() : pdfBox.w(), 1.0);
    EXPECT_NEAR(page.h(), pdfLandscape ? pdfBox.w() : pdfBox.h(), 1.0);

    const Box pngBox = boxOf(headerComment(pngEps, "BoundingBox").value);
    const auto [w, h] = pngSize(dir / (stem + ".png"));
    EXPECT_NEAR(static_cast<double>(w), (pngLandscape ? pngBox.h() : pngBox.w()) * 300.0 / 72.0, 2.0);
    EXPECT_NEAR(static_cast<double>(h), (pngLandscape ? pngBox.w() : pngBox.h()) * 300.0 / 72.0, 2.0);
    if (pngLandscape) {
        EXPECT_GT(w, h);
    }
}

// A landscape picture stands upright in its EPS: wider than high, no turn
// left in the page set-up for a cropper to miss.
void expectUprightAndWide(const std::string& eps) {
    EXPECT_EQ(headerComment(eps, "Orientation").value, " Portrait");
    EXPECT_EQ(eps.find(" rotate\n"), std::string::npos);
    const Box b = boxOf(headerComment(eps, "BoundingBox").value);
    EXPECT_GT(b.w(), b.h()) << headerComment(eps, "BoundingBox").value;
}

// The pixels of a PNG as 8-bit RGB; none when it does not read.
struct Pixels {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    int at(int x, int y, int c) const { return rgb[(static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 3 + static_cast<size_t>(c)]; }
};
Pixels readPng(const std::filesystem::path& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Pixels p;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return p;
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr)) return Pixels{};
    p.w = static_cast<int>(image.width);
    p.h = static_cast<int>(image.height);
    return p;
}

// How far two pictures of the same size, give or take a pixel, lie apart:
// the mean difference of all channels, and the largest of the mean
// differences over blocks of 8 x 8 pixels (a line missing, moved or in
// another colour shows there; anti-aliasing of edges does not).
struct Apart {
    double mean = 0, worstBlock = 0;
};
Apart apart(const Pixels& a, const Pixels& b) {
    Apart r;
    const int w = std::min(a.w, b.w), h = std::min(a.h, b.h);
    constexpr int kBlock = 8;
    double total = 0;
    for (int by = 0; by + kBlock <= h; by += kBlock)
        for (int bx = 0; bx + kBlock <= w; bx += kBlock) {
            double block = 0;
            for (int y = by; y < by + kBlock; ++y)
                for (int x = bx; x < bx + kBlock; ++x)
                    for (int c = 0; c < 3; ++c) block += std::abs(a.at(x, y, c) - b.at(x, y, c));
            total += block;
            r.worstBlock = std::max(r.worstBlock, block / (3 * kBlock * kBlock));
        }
    r.mean = total / (3.0 * (w / kBlock) * kBlock * (h / kBlock) * kBlock);
    return r;
}

// The PNG the program draws and the one ghostscript makes of the same EPS
// (300 dpi, anti-aliased, cropped): the same size and the same picture;
// and the PDF the program makes of that EPS, drawn by ghostscript, is that
// picture too.
void expectAsGhostscriptDraws(const ScratchDir& dir, const std::string& stem) {
    const std::filesystem::path eps = dir / (stem + ".eps"), theirs = dir / (stem + "-gs.png");
    const std::filesystem::path pdf = dir / (stem + ".pdf"), pdfDrawn = dir / (stem + "-pdf-gs.png");
    const std::string gs = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r300 -dTextAlphaBits=4 "
                           "-dGraphicsAlphaBits=4 -sOutputFile='";
    const std::string cmd = gs + theirs.string() + "' -dEPSCrop '" + eps.string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    ASSERT_TRUE(renderEps(eps.string(), pdf.string(), PictureKind::Pdf));
    const std::string pdfCmd = gs + pdfDrawn.string() + "' '" + pdf.string() + "'";
    ASSERT_EQ(std::system(pdfCmd.c_str()), 0) << pdfCmd;
    const Pixels reference = readPng(theirs);
    ASSERT_GT(reference.w, 0) << stem;
    for (const std::filesystem::path& mine : {dir / (stem + ".png"), pdfDrawn}) {
        const Pixels p = readPng(mine);
        ASSERT_GT(p.w, 0) << mine;
        EXPECT_NEAR(p.w, reference.w, 1) << mine;
        EXPECT_NEAR(p.h, reference.h, 1) << mine;
        const Apart d = apart(p, reference);
        EXPECT_LT(d.mean, 1.5) << mine;
        EXPECT_LT(d.worstBlock, 40.0) << mine;
    }
}

}  // namespace

TEST(Publication, ExampleSessionsWriteCroppedEpsPdfAndPng) {
    {
        ScratchDir dir("publication-bands");
        const std::string ex = std::string(SOURCE_DIR) + "/examples/si-bands/";
        dir.copyIn(ex + "fort.1");
        dir.copyIn(ex + "fort.14");
        e2e::Outcome r = e2e::run(dir, "tarlisen", e2e::slurp(ex + "session.txt"));
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out.find("ghostscript"), std::string::npos);
        // five lines: landscape, written upright with its wide box; PDF and
        // PNG come from the same colour EPS
        const std::string eps = e2e::slurp(dir / "tarlisen.eps");
        expectUprightAndWide(eps);
        expectCroppedPictures(dir, "tarlisen", false, false, eps, eps);
    }
    {
        ScratchDir dir("publication-dos");
        const std::string ex = std::string(SOURCE_DIR) + "/examples/si-dos/";
        dir.copyIn(ex + "fort.1");
        // the session writes the PDF in portrait and the PNG in landscape;
        // their EPS is kept from the answers alone
        std::string script = e2e::slurp(ex + "session.txt");
        const std::string pdfPart = "12\n4\np\n", pngPart = "12\n5\nl\n";
        const auto cut = script.find(pdfPart + pngPart);
        ASSERT_NE(cut, std::string::npos);
        e2e::Outcome first = e2e::run(dir, "morvane", script.substr(0, cut + pdfPart.size()) + "0\n");
        ASSERT_EQ(first.status, 0);
        const std::string pdfEps = e2e::slurp(dir / "morvane.eps");
        e2e::Outcome r = e2e::run(dir, "morvane", script);
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out.find("ghostscript"), std::string::npos);
        e2e::Outcome second = e2e::run(dir, "morvane", script.substr(0, cut + pdfPart.size() + pngPart.size()) + "0\n");
        ASSERT_EQ(second.status, 0);
        const std::string pngEps = e2e::slurp(dir / "morvane.eps");
        expectUprightAndWide(pngEps);
        expectCroppedPictures(dir, "morvane", false, false, pdfEps, pngEps);
    }
}

TEST(Publication, HeaderCommentsMovedOnceAndRefusedWithoutABox) {
    std::string lines;  // many lines, more than the head and tail looked at
    for (int i = 0; i < 30000; ++i) lines += "0 0 1 1 L\n";
    for (const std::string& drawing : {lines + "x", std::string(300000, 'x')}) {  // and one line longer than both
    const std::string eps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: (atend)\n%%Pages: (atend)\n%%EndComments\n"
                            "%%Page: 1 1\n%%PageBoundingBox: (atend)\n" + drawing +
                            "\n%%PageTrailer\n%%PageBoundingBox: 1 2 30 40\n%%Trailer\n%%BoundingBox: 1 2 30 40\n"
                            "%%Pages: 1\n%%EOF\n";
    Result<std::string> fixed = boxInHeader(eps, "x.eps");
    ASSERT_TRUE(fixed) << fixed.error();
    EXPECT_TRUE(*fixed == "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 1 2 30 40\n%%HiResBoundingBox: 1 2 30 40\n"
                          "%%Pages: 1\n%%EndComments\n%%Page: 1 1\n%%PageBoundingBox: 1 2 30 40\n" + drawing +
                          "\n%%PageTrailer\n%%Trailer\n%%EOF\n")
        << fixed->substr(0, 300) << " ... " << fixed->substr(fixed->size() - 100);
    Result<std::string> again = boxInHeader(*fixed, "x.eps");
    ASSERT_TRUE(again);
    EXPECT_TRUE(*again == *fixed);
    }

    const std::string noBox = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: (atend)\n%%EndComments\nshowpage\n%%EOF\n";
    Result<std::string> refused = boxInHeader(noBox, "x.eps");
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error(), "x.eps: no bounding box in the trailer");
}

// PGPLOT's landscape page (the picture turned on a portrait page) comes out
// upright with the landscape box; anything else, the result again included,
// stays as it is.
TEST(Publication, LandscapeEpsTurnedUprightWithItsWideBox) {
    const std::string head = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 71 24 546 611\n%%HiResBoundingBox: 71 24 546 611\n";
    const std::string landscape = head + "%%Orientation: Landscape\n%%EndComments\n%%BeginPageSetup\n"
                                         "0.072 0.072 scale\n8617 250 translate 90 rotate\n%%EndPageSetup\n"
                                         "%%PageBoundingBox: 71 24 546 611\n0 0 1 1 L\n%%EOF\n";
    Result<std::string> upright = uprightLandscape(landscape, "x.eps");
    ASSERT_TRUE(upright) << upright.error();
    // K = 0.072 (8617 + 250) = 638.4: x 24 ... 611, y 638.4 - 546 ... 638.4 - 71
    EXPECT_EQ(*upright, "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 24 92 611 568\n%%HiResBoundingBox: 24 92 611 568\n"
                        "%%Orientation: Portrait\n%%EndComments\n%%BeginPageSetup\n0.072 0.072 scale\n"
                        "250 250 translate\n%%EndPageSetup\n%%PageBoundingBox: 24 92 611 568\n0 0 1 1 L\n%%EOF\n");
    Result<std::string> again = uprightLandscape(*upright, "x.eps");
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *upright);
    const std::string noTurn = head + "%%Orientation: Landscape\n%%EndComments\n%%BeginPageSetup\n%%EndPageSetup\n";
    EXPECT_EQ(uprightLandscape(noTurn, "x.eps").error(), "x.eps: no landscape page set-up");
}

// Nothing outside the program makes the pictures: with an empty PATH the
// PDF, the PNG and the SVG come, the PDF page and the SVG the size of the
// box; a damaged EPS is refused in one line naming it, and leaves no
// picture and no half-written file.
TEST(Publication, PdfPngAndSvgAreMadeWithNothingOnPath) {
    ScratchDir dir("publication-no-gs");
    // relative to the build folder: PGPLOT keeps 90 characters of a device's file name
    const std::string eps = (std::filesystem::relative(dir.path) / "picture.eps").string();
    CpgPlot plot;
    const int id = plot.open(eps + "/VCPS");
    ASSERT_GT(id, 0);
    plot.svp(0.1f, 0.9f, 0.1f, 0.9f);
    plot.swin(0, 1, 0, 1);
    plot.move(0, 0);
    plot.draw(1, 1);
    plot.clos();

    const char* was = std::getenv("PATH");
    const std::string path = was ? was : "";
    setenv("PATH", dir.path.c_str(), 1);
    std::istringstream in;
    std::ostringstream out;
    Console con(in, out);
    for (PictureKind kind : {PictureKind::Pdf, PictureKind::Png, PictureKind::Svg})
        finishPostScript(con, eps + "/VCPS", kind);
    EXPECT_EQ(out.str(), "");
    const Box b = boxOf(headerComment(e2e::slurp(eps), "BoundingBox").value);
    const Box page = mediaBox(dir / "picture.pdf");
    EXPECT_NEAR(page.w(), b.w(), 1.0);
    EXPECT_NEAR(page.h(), b.h(), 1.0);
    const auto [w, h] = pngSize(dir / "picture.png");
    EXPECT_NEAR(static_cast<double>(w), b.w() * 300.0 / 72.0, 2.0);
    EXPECT_NEAR(static_cast<double>(h), b.h() * 300.0 / 72.0, 2.0);
    const std::string svg = e2e::slurp(dir / "picture.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NEAR(std::stod(svg.substr(svg.find(" width=\"") + 8)), b.w(), 1.0);

    // cut short: refused, the pictures made before it removed first
    for (const char* f : {"picture.pdf", "picture.png", "picture.svg"}) std::filesystem::remove(dir / f);
    const std::string whole = e2e::slurp(eps);
    e2e::spit(eps, whole.substr(0, whole.find("PGPLOT restore")));
    finishPostScript(con, eps + "/VCPS", PictureKind::Png);
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(out.str(), " " + eps + ": cut short, its page is never shown\n");
    for (const auto& f : std::filesystem::directory_iterator(dir.path)) {
        EXPECT_EQ(f.path().filename().string().find(".tmp"), std::string::npos) << f.path();
        EXPECT_NE(f.path().extension(), ".png") << f.path();
    }
}

// The PNG and the PDF made in the program look as ghostscript draws the
// same EPS: the band picture (landscape, upright), the DOS picture with
// its shaded areas and colours, in landscape, and fills, lines and text in
// colours drawn over one another.
TEST(Publication, PngLooksAsGhostscriptDrawsTheEps) {
    if (std::system("gs --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ghostscript (gs) is not installed: the PNG is not compared with its rendering";
    {
        ScratchDir dir("publication-compare-bands");
        const std::string ex = std::string(SOURCE_DIR) + "/examples/si-bands/";
        dir.copyIn(ex + "fort.1");
        dir.copyIn(ex + "fort.14");
        ASSERT_EQ(e2e::run(dir, "tarlisen", e2e::slurp(ex + "session.txt")).status, 0);
        expectAsGhostscriptDraws(dir, "tarlisen");
    }
    {
        ScratchDir dir("publication-compare-dos");
        const std::string ex = std::string(SOURCE_DIR) + "/examples/si-dos/";
        dir.copyIn(ex + "fort.1");
        std::string script = e2e::slurp(ex + "session.txt");
        const std::string pngPart = "12\n5\nl\n";
        ASSERT_NE(script.find(pngPart), std::string::npos);
        ASSERT_EQ(e2e::run(dir, "morvane", script.substr(0, script.find(pngPart) + pngPart.size()) + "0\n").status, 0);
        expectAsGhostscriptDraws(dir, "morvane");
    }
    {
        // colours over one another: fills, strokes of several widths, text
        ScratchDir dir("publication-compare-colours");
        const std::string eps = (std::filesystem::relative(dir.path) / "colours.eps").string();
        CpgPlot plot;
        ASSERT_GT(plot.open(eps + "/VCPS"), 0);
        plot.svp(0.1f, 0.9f, 0.1f, 0.9f);
        plot.swin(0, 10, 0, 10);
        plot.box("BCNST", 0, 0, "BCNST", 0, 0);
        for (int k = 0; k < 6; ++k) {
            const float x[] = {1.5f * k, 1.5f * k + 3, 1.5f * k + 1}, y[] = {1, 2.0f + k, 8};
            plot.sci(2 + k);
            plot.poly(3, x, y);
            plot.sci(7 - k);
            plot.slw(1 + 4 * k);
            plot.move(0, 1.7f * k);
            plot.draw(10, 9 - 1.2f * k);
            plot.slw(2);
            plot.ptxt(1.5f * k + 0.5f, 9.2f, 0, 0, "Fe d\\u2g\\d");
        }
        plot.clos();
        ASSERT_TRUE(moveBoundingBoxToHeader(eps));
        ASSERT_TRUE(renderEps(eps, (dir / "colours.png").string(), PictureKind::Png));
        expectAsGhostscriptDraws(dir, "colours");
    }
}
