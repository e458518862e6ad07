#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "common/eps_replay.h"
#include "common/png_encode.h"
#include "common/plot.h"
#include "common/publication.h"
#include "common/records.h"
#include "fixtures.h"

using namespace common;

namespace {

// A real PGPLOT EPS, its box moved into the head as every picture has it:
// a black frame, a red polyline of three segments, a dot, a filled
// triangle, a circle marker, a thicker blue line.
const std::string& pgplotEps() {
    static const std::string text = [] {
        fixture::ScratchDir dir("eps-replay");
        const std::string eps = (std::filesystem::relative(dir.path) / "p.eps").string();
        CpgPlot plot;
        const int id = plot.open(eps + "/VCPS");
        EXPECT_GT(id, 0);
        plot.svp(0.1f, 0.9f, 0.1f, 0.9f);
        plot.swin(0, 10, 0, 10);
        plot.box("BC", 0, 0, "BC", 0, 0);
        plot.sci(2);
        const float x[] = {1, 2, 3, 4}, y[] = {1, 3, 2, 4};
        plot.line(4, x, y);
        const float dx[] = {5}, dy[] = {5};
        plot.pt(1, dx, dy, -1);
        const float tx[] = {6, 8, 7}, ty[] = {1, 1, 3};
        plot.poly(3, tx, ty);
        const float mx[] = {8}, my[] = {8};
        plot.pt(1, mx, my, 4);
        plot.sci(4);
        plot.slw(5);
        plot.move(1, 9);
        plot.draw(9, 9);
        plot.clos();
        EXPECT_TRUE(moveBoundingBoxToHeader(eps));
        return *readWholeFile(eps);
    }();
    return text;
}

bool red(const Shape& s) { return s.red == 1 && s.green == 0 && s.blue == 0; }

}  // namespace

// What the replay reads from a PGPLOT EPS: the box of its head, strokes in
// their colours and widths, a polyline as one stroke, fills, markers.
TEST(EpsReplay, ReadsTheShapesOfAPgplotPicture) {
    const std::string& eps = pgplotEps();
    Result<EpsPicture> p = readEps(eps, "p.eps");
    ASSERT_TRUE(p) << p.error();
    double box[4];
    ASSERT_TRUE(headBox(eps, box));
    EXPECT_EQ(p->x0, box[0]);
    EXPECT_EQ(p->y1, box[3]);

    // the frame: black, one stroke of its four sides, inside the box
    const Shape& frame = p->shapes.front();
    EXPECT_FALSE(frame.fill);
    EXPECT_EQ(frame.red + frame.green + frame.blue, 0);
    for (const Shape& s : p->shapes)
        for (const PathStep& step : s.path)
            if (step.kind != PathStep::Close) {
                EXPECT_GE(step.x, p->x0);
                EXPECT_LE(step.x, p->x1);
                EXPECT_GE(step.y, p->y0);
                EXPECT_LE(step.y, p->y1);
            }
    // the red polyline is one stroke of three segments with round ends;
    // PGPLOT's width 1 is 1/200 inch
    std::vector<const Shape*> reds;
    for (const Shape& s : p->shapes)
        if (red(s) && !s.fill) reds.push_back(&s);
    ASSERT_FALSE(reds.empty());
    EXPECT_EQ(reds.front()->path.size(), 4u);
    EXPECT_EQ(reds.front()->cap, 1);
    EXPECT_NEAR(reds.front()->width, 0.36, 1e-9);
    // the dot: a segment of no length
    bool dot = false;
    for (const Shape* s : reds)
        dot = dot || (s->path.size() == 2 && s->path[0].x == s->path[1].x && s->path[0].y == s->path[1].y);
    EXPECT_TRUE(dot);
    // the triangle: filled even-odd, closed
    int fills = 0, circles = 0;
    for (const Shape& s : p->shapes) {
        if (s.fill && red(s)) {
            ++fills;
            EXPECT_TRUE(s.evenOdd);
            EXPECT_EQ(s.path.back().kind, PathStep::Close);
        }
        for (const PathStep& step : s.path) circles += step.kind == PathStep::Circle;
    }
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(circles, 1);  // the marker, in PGPLOT's own marker procedure
    // the last line: blue, five times as wide
    const Shape& last = p->shapes.back();
    EXPECT_EQ(last.blue, 1);
    EXPECT_NEAR(last.width, 5 * 0.36, 1e-9);
}

// The page set-up's scale (--width) and PGPLOT's landscape turn reach every
// point and width.
TEST(EpsReplay, FollowsTheScaleAndTurnOfThePage) {
    const std::string& eps = pgplotEps();
    Result<std::string> half = scaledToWidth(eps, 5.0, "p.eps");
    ASSERT_TRUE(half);
    Result<EpsPicture> a = readEps(eps, "p.eps"), b = readEps(*half, "p.eps");
    ASSERT_TRUE(a && b);
    const double s = b->width() / a->width();
    EXPECT_NEAR(s, 5.0 / 2.54 * 72 / a->width(), 0.01);
    ASSERT_EQ(a->shapes.size(), b->shapes.size());
    EXPECT_NEAR(b->shapes.back().width, s * a->shapes.back().width, 1e-5);
    EXPECT_NEAR(b->shapes.back().path[1].x, s * a->shapes.back().path[1].x, 1e-3);

    std::string turned = eps;
    const std::string upright = "\n350 250 translate\n";
    ASSERT_NE(turned.find(upright), std::string::npos);
    turned.replace(turned.find(upright), upright.size(), "\n8000 250 translate 90 rotate\n");
    Result<EpsPicture> t = readEps(turned, "p.eps");
    ASSERT_TRUE(t);
    // (X, Y) of the picture, at (0.072 (350 + X), 0.072 (250 + Y)) upright,
    // lands at (0.072 (8000 - Y), 0.072 (250 + X))
    const PathStep& p = a->shapes.back().path[1];
    const PathStep& q = t->shapes.back().path[1];
    EXPECT_NEAR(q.x, 0.072 * 8000 - (p.y - 0.072 * 250), 1e-6);
    EXPECT_NEAR(q.y, p.x - 0.072 * 350 + 0.072 * 250, 1e-6);
}

// A damaged EPS is refused in one line naming the file, and the record
// where the replay stopped.
TEST(EpsReplay, DamagedPicturesAreRefusedInOneLine) {
    const std::string& eps = pgplotEps();
    const size_t setup = eps.find("%%EndPageSetup\n") + 15;
    const size_t setupRecord = static_cast<size_t>(std::count(eps.begin(), eps.begin() + static_cast<long>(setup), '\n'));
    auto with = [](std::string t, const std::string& from, const std::string& to) {
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const std::string at = "p.eps, record " + std::to_string(setupRecord + 1) + ": ";
    struct Row {
        const char* name;
        std::string text, why;
    } rows[] = {
        {"cut before its end", eps.substr(0, eps.find("PGPLOT restore")), "p.eps: cut short, its page is never shown"},
        {"a word outside the dialect", eps.substr(0, setup) + "1 2 frob\n" + eps.substr(setup),
         at + "unknown operator 'frob'"},
        {"a segment without its numbers", eps.substr(0, setup) + "C\n" + eps.substr(setup), at + "'C' wants 2 numbers"},
        {"a damaged number", eps.substr(0, setup) + "12x 3 C\n" + eps.substr(setup), at + "'12x' is no number"},
        {"a grestore too many", eps.substr(0, setup) + "grestore\n" + eps.substr(setup),
         at + "'grestore' without its gsave"},
        {"not PGPLOT's", with(eps, "%%Creator: PGPLOT", "%%Creator: someone"),
         "p.eps: not a PostScript picture of PGPLOT"},
        {"no box in the head", with(with(eps, "%%BoundingBox:", "%%Box:"), "%%HiResBoundingBox:", "%%HiResBox:"),
         "p.eps: no bounding box in the header"},
        {"not PostScript", "GIF89a", "p.eps: not a PostScript picture of PGPLOT"},
    };
    for (const Row& r : rows) {
        Result<EpsPicture> p = readEps(r.text, "p.eps");
        ASSERT_FALSE(p) << r.name;
        EXPECT_EQ(p.error(), r.why) << r.name;
    }
}

// The PNG is the box at 300 dpi, white where nothing is drawn, in grey when
// the picture has no colour; PDF and SVG pages are the box in points.
// Every file is whole or absent.
TEST(EpsReplay, RendersPagesTheSizeOfTheBox) {
    fixture::ScratchDir dir("eps-render");
    Result<EpsPicture> p = readEps(pgplotEps(), "p.eps");
    ASSERT_TRUE(p);
    const std::string stem = (dir.path / "p").string();
    for (PictureKind kind : {PictureKind::Pdf, PictureKind::Png, PictureKind::Svg}) {
        const std::string out = pictureFile(stem + ".eps", kind);
        ASSERT_TRUE(renderPicture(*p, out, kind)) << out;
        EXPECT_GT(readWholeFile(out)->size(), 500u) << out;
    }
    // in colour, 24-bit RGB; the same picture with each colour's darkest
    // channel as its grey, 8-bit grey: every pixel that channel's value
    EpsPicture greys = *p;
    for (Shape& s : greys.shapes) s.red = s.green = s.blue = std::min({s.red, s.green, s.blue});
    ASSERT_TRUE(renderPicture(greys, stem + "-grey.png", PictureKind::Png));
    const struct {
        std::string file;
        int colourType;
    } pngs[] = {{stem + ".png", 2}, {stem + "-grey.png", 0}};
    std::vector<std::vector<unsigned char>> darkest;
    for (const auto& row : pngs) {
        const std::string png = *readWholeFile(row.file);
        auto be = [&](size_t i) {
            return (static_cast<unsigned char>(png[i]) << 24) | (static_cast<unsigned char>(png[i + 1]) << 16) |
                   (static_cast<unsigned char>(png[i + 2]) << 8) | static_cast<unsigned char>(png[i + 3]);
        };
        EXPECT_EQ(be(16), pngPixels(p->width())) << row.file;
        EXPECT_EQ(be(20), pngPixels(p->height())) << row.file;
        EXPECT_EQ(png[24], 8) << row.file;
        EXPECT_EQ(png[25], row.colourType) << row.file;
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, row.file.c_str())) << row.file;
        image.format = PNG_FORMAT_RGB;
        std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << row.file;
        std::vector<unsigned char> low(rgb.size() / 3);
        for (size_t i = 0; i < low.size(); ++i) low[i] = std::min({rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]});
        EXPECT_GT(std::count_if(low.begin(), low.end(), [](unsigned char v) { return v < 255; }), 1000) << row.file;
        darkest.push_back(std::move(low));
    }
    EXPECT_TRUE(darkest[0] == darkest[1]);
    const std::string svg = *readWholeFile(stem + ".svg");
    EXPECT_NE(svg.find("width=\"" + std::to_string(static_cast<int>(p->width())) + "pt\""), std::string::npos)
        << svg.substr(0, 300);
    const std::string pdf = *readWholeFile(stem + ".pdf");
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 " + std::to_string(static_cast<int>(p->width()))), std::string::npos);
    // a reader finds every object where the cross-reference table says
    EXPECT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
    const size_t xref = std::stoul(pdf.substr(pdf.rfind("startxref\n") + 10));
    ASSERT_EQ(pdf.compare(xref, 9, "xref\n0 5\n"), 0);
    for (int object = 1; object <= 4; ++object) {
        const size_t offset = std::stoul(pdf.substr(xref + 9 + 20 * static_cast<size_t>(object), 10));
        EXPECT_EQ(pdf.compare(offset, 8, std::to_string(object) + " 0 obj\n"), 0) << object;
    }
    EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");

    // a folder that is not there: one line naming the file, nothing left behind
    for (const auto& [file, kind] : {std::pair{"no/p.png", PictureKind::Png}, std::pair{"no/p.pdf", PictureKind::Pdf}}) {
        const Status refused = renderPicture(*p, (dir.path / file).string(), kind);
        ASSERT_FALSE(refused) << file;
        EXPECT_EQ(refused.error().rfind((dir.path / file).string() + ": cannot be written", 0), 0u)
            << refused.error();
        EXPECT_EQ(refused.error().find('\n'), std::string::npos);
    }
}

namespace {

// The pixels of a PNG held in memory, as libpng reads them back: 8-bit grey
// or RGB as the file says; none when it does not read.
std::vector<unsigned char> decoded(const std::string& png, bool grey) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return {};
    image.format = grey ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    return pixels;
}

}  // namespace

// What the PNG encoder writes reads back through libpng as exactly the
// rows given: long runs, rows without any, rows as the one above, white
// rows put without their bytes, the smallest picture and rows too long for
// deflate's window to reach the one above.
TEST(EpsReplay, PngFilesReadBackAsTheRowsGiven) {
    // a byte that repeats nowhere near: no copy in the row, none from above
    auto noise = [](int x, int y) { return static_cast<unsigned char>((x * 2654435761u + y * 40503u) >> 13); };
    const struct Row {
        const char* name;
        int width, height;
        bool grey;
        std::function<int(int x, int y)> byte;  // -1: a white row put as such
        size_t most;                            // the file's size at most (0: not looked at)
    } rows[] = {
        {"grey runs past the longest copy", 1000, 4, true, [](int x, int y) { return x < 600 + y ? 0 : 255 - y; }, 300},
        {"coloured runs, each pixel repeated", 700, 3, false, [](int x, int) { return x % 3 == 0 ? 200 : x % 3 == 1 ? 30 : 90; }, 300},
        {"grey without runs", 257, 5, true, noise, 0},
        {"colour without runs", 300, 5, false, noise, 0},
        {"rows as the one above", 500, 40, true, [&](int x, int) { return noise(x, 0); }, 1000},
        {"white rows between drawn ones", 80, 9, false, [](int x, int y) { return y % 3 ? -1 : (x * y) % 256; }, 0},
        {"white rows of one or two bytes", 1, 4, true, [](int, int y) { return y % 2 ? -1 : 17; }, 0},
        {"one pixel", 1, 1, false, [](int x, int) { return 40 + x; }, 0},
        {"one grey pixel", 1, 1, true, [](int, int) { return 40; }, 0},
        // 33001 bytes a row: the row above is out of the window's reach
        {"rows longer than the window", 11000, 3, false, [&](int x, int) { return noise(x, 0); }, 0},
    };
    for (const Row& r : rows) {
        const int channels = r.grey ? 1 : 3;
        const size_t rowBytes = static_cast<size_t>(r.width) * channels;
        std::string png;
        PngEncoder encoder(r.width, r.height, r.grey, 300, [&](std::string_view bytes) { png += bytes; });
        std::vector<unsigned char> expected;
        for (int y = 0; y < r.height; ++y) {
            if (r.byte(0, y) < 0) {
                encoder.putWhiteRow();
                expected.insert(expected.end(), rowBytes, 255);
                continue;
            }
            for (size_t x = 0; x < rowBytes; ++x) encoder.row()[x] = static_cast<unsigned char>(r.byte(static_cast<int>(x), y));
            expected.insert(expected.end(), encoder.row(), encoder.row() + rowBytes);
            encoder.putRow();
        }
        encoder.finish();
        EXPECT_EQ(decoded(png, r.grey), expected) << r.name;
        EXPECT_EQ(png[25], r.grey ? 0 : 2) << r.name;
        if (r.most) {
            EXPECT_LE(png.size(), r.most) << r.name;
        }
        // 300 dots an inch, in dots a metre
        EXPECT_NE(png.find(std::string("pHYs\0\0\x2e\x23\0\0\x2e\x23\1", 13)), std::string::npos) << r.name;
    }
}

// A stroke with round ends covers a pixel as far as its pen reaches the
// pixel's centre, give or take half a pixel: black within, white beyond,
// half grey where the edge of the pen passes through the centre.
TEST(EpsReplay, RoundStrokesCoverThePixelsTheirPenReaches) {
    // a page of 300 x 300 pixels; (x, y) the centre of a pixel, y down
    EpsPicture page;
    page.x1 = page.y1 = 72;
    auto at = [](double x, double y, PathStep::Kind kind) { return PathStep{kind, x * 0.24, 72 - y * 0.24, 0}; };
    auto stroke = [&](double x0, double y0, double x1, double y1, double penPixels) {
        Shape s;
        s.path = {at(x0, y0, PathStep::Move), at(x1, y1, PathStep::Line)};
        s.width = penPixels * 0.24;
        s.cap = s.join = 1;
        page.shapes.push_back(s);
    };
    stroke(100.5, 100.5, 100.5, 100.5, 6);  // a dot 6 pixels across
    stroke(20.5, 200.5, 80.5, 200.5, 4);    // a line 4 pixels wide
    stroke(150.5, 20.5, 190.5, 60.5, 4);    // the same, at 45 degrees
    stroke(20.5, 250.5, 80.5, 250.5, 0);    // the thinnest, on a row of pixels
    stroke(20.5, 260, 80.5, 260, 0);        // the thinnest, between two rows
    stroke(-1e12, 280.5, 150.5, 280.5, 4);  // from far off the page
    stroke(1e30, -1e30, 2e30, 1e30, 4);     // nowhere near it
    // a polyline turning sharply, 6 pixels wide: its round join fills the
    // outside of the turn
    stroke(200.5, 150.5, 230.5, 180.5, 6);
    page.shapes.back().path.push_back(at(260.5, 150.5, PathStep::Line));
    fixture::ScratchDir dir("eps-coverage");
    const std::string file = (dir.path / "c.png").string();
    ASSERT_TRUE(renderPicture(page, file, PictureKind::Png));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str()));
    ASSERT_EQ(image.width, 300u);
    image.format = PNG_FORMAT_GRAY;
    std::vector<unsigned char> grey(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr));
    const struct {
        const char* where;
        int x, y, value;
    } rows[] = {
        {"dot, centre", 100, 100, 0},          {"dot, 2 from the centre", 102, 100, 0},
        {"dot, on its edge", 103, 100, 127},   {"dot, on its edge below", 100, 103, 127},
        {"dot, beyond", 104, 100, 255},        {"dot, diagonally out", 103, 103, 255},
        {"line, middle", 50, 200, 0},          {"line, 1 off", 50, 201, 0},
        {"line, on its edge", 50, 202, 127},   {"line, beyond", 50, 203, 255},
        {"line, on its round end", 82, 200, 127}, {"line, past its end", 83, 200, 255},
        {"diagonal, middle", 170, 40, 0},      {"diagonal, 1.4 across", 172, 40, 0},
        {"diagonal, 2.1 across", 173, 40, 158}, {"diagonal, 2.8 across", 172, 38, 255},
        {"thinnest, its row", 50, 250, 0},     {"thinnest, the row below", 50, 251, 255},
        {"thinnest between, above", 50, 259, 127}, {"thinnest between, below", 50, 260, 127},
        {"from far off, its middle", 10, 280, 0}, {"from far off, on its edge", 0, 282, 127},
        {"from far off, on its round end", 152, 280, 127}, {"from far off, past its end", 153, 280, 255},
        {"nothing drawn", 250, 250, 255},
        {"join, 2 outside its corner", 230, 182, 0}, {"join, on its round edge", 230, 183, 127},
        {"join, beyond", 230, 184, 255},       {"join, inside the turn", 230, 177, 0},
    };
    for (const auto& r : rows) EXPECT_NEAR(grey[static_cast<size_t>(r.y) * 300 + static_cast<size_t>(r.x)], r.value, 2) << r.where;
}
