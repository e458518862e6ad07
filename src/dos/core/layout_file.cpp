#include "dos/core/layout_file.h"

#include <optional>

#include "common/fortran_format.h"

namespace dos {

using namespace common;
using namespace annotate;

namespace {

std::string reals(RecordWriter& w, std::initializer_list<float> v, int width, int d) {
    std::string s;
    for (float x : v) s += w.F(x, width, d);
    return s;
}

std::string ticLine(RecordWriter& w, const TicRange& t) {
    return reals(w, {t.start, t.end, t.distance, t.label_distance}, 10, 5);
}

void readTics(RecordReader& r, TicRange& t, const char* what) {
    const std::string* rec = r.next();
    if (!rec) return;
    FieldCursor c(*rec);
    t.start = r.real(c, 10, 5, what);
    t.end = r.real(c, 10, 5, what);
    t.distance = r.real(c, 10, 5, what);
    t.label_distance = r.real(c, 10, 5, what);
    if (r.ok() && !ticsFit(t)) r.fail("more than 1000 tics or labels between tic start and end");
}

void readBuffers(RecordReader& r, const DosInput& in, DosGraph& g, Panel panel) {
    const std::string* rec = r.next();
    if (!rec) return;
    FieldCursor cc(*rec);
    const int n = r.intIn(cc, 2, 0, kBuffersPerPanel, "number of buffers");
    if (!r.ok()) return;
    (panel == Panel::DOS ? g.nd : g.nc) = n;
    const int ncurves = curveCount(in);
    for (int k = 0; k < n && r.ok(); ++k) {
        rec = r.next();
        if (!rec) return;
        CurveBuffer& b = g.buffer(DosGraph::first(panel) + k);
        FieldCursor c(*rec);
        b.curve = r.intIn(c, 2, 1, ncurves, "curve number");
        b.line_type = r.intIn(c, 2, 1, kMaxLineType, "line type");
        b.brush = r.intIn(c, 2, 0, kMaxBrush, "brush");
        b.own_scale = r.get(c.L(1), "own-scale flag");
        b.closed = r.get(c.L(1), "closed flag");
        b.offset = panel == Panel::DOS ? r.real(c, 12, 5, "offset") : 0.0f;
        b.min = r.real(c, 12, 5, "buffer minimum");
        b.max = r.real(c, 12, 5, "buffer maximum");
        b.title = c.A(kTitleWidth);
        if (!r.ok()) return;
        Result<CurveValues> values = fetchCurve(in, b.curve);
        if (values)
            b.values = *values;
        else
            r.fail(values.error());
    }
}

// "look B COLOUR WIDTH": the colour and line width of buffer B's curve.
const char* const kLookKeyword = "look";

bool readLook(RecordReader& r, const KeywordRecord& k, DosGraph& g) {
    if (!r.counted(k, 3)) return false;
    const int b = r.numberIn(k, 0, 1, kBuffers, "buffer number");
    if (r.ok() && !g.inUse(b)) return r.fail("buffer " + std::to_string(b) + " holds no curve");
    const int colour = r.numberIn(k, 1, 1, kMaxColour, "colour index");
    const int width = r.numberIn(k, 2, 1, kMaxLineWidth, "line width");
    if (!r.ok()) return false;
    g.buffer(b).colour = colour;
    g.buffer(b).width = width;
    return true;
}

}  // namespace

Result<std::string> formatLayout(const DosGraph& g) {
    RecordWriter w;
    auto line = [&w](const std::string& l) { w.record(l); };
    line(fortran::I(g.nd, 2));
    for (int k = 1; k <= g.nd; ++k) {
        const CurveBuffer& b = g.buffer(k);
        line(fortran::I(b.curve, 2) + fortran::I(b.line_type, 2) + fortran::I(b.brush, 2) + fortran::L(b.own_scale) +
             fortran::L(b.closed) + reals(w, {b.offset, b.min, b.max}, 12, 5) + fortran::A(b.title, kTitleWidth));
    }
    line(fortran::I(g.nc, 2));
    for (int k = DosGraph::first(Panel::COOP); k <= g.last(Panel::COOP); ++k) {
        const CurveBuffer& b = g.buffer(k);
        line(fortran::I(b.curve, 2) + fortran::I(b.line_type, 2) + fortran::I(b.brush, 2) + fortran::L(b.own_scale) +
             fortran::L(b.closed) + reals(w, {b.min, b.max}, 12, 5) + fortran::A(b.title, kTitleWidth));
    }
    std::string flags;
    for (bool f : g.flags) flags += fortran::L(f);
    line(flags);
    line(reals(w, {g.dos_x, g.dos_w, g.coop_x, g.coop_w, g.x0, g.w0, g.page_w, g.y0, g.h, g.page_h}, 10, 5));
    line(reals(w, {g.emin, g.emax}, 10, 5));
    line(ticLine(w, g.energy_tics));
    line(ticLine(w, g.dos_tics));
    line(ticLine(w, g.coop_tics));
    line(reals(w, {g.dos_axis_min, g.dos_axis_max, g.coop_axis_max, g.xfactor, g.dos_min, g.dos_max,
                g.coop_max},
               10, 5));
    line(reals(w, {g.efermi}, 10, 5) + fortran::L(g.fermi_line));
    std::string sides;
    for (int v : g.sides) sides += fortran::I(v, 1);
    line(sides);
    line(fortran::A(g.dos_title, kTextWidth));
    line(fortran::A(g.coop_title, kTextWidth));
    line(fortran::A(g.energy_title, kTextWidth));
    line(fortran::I(static_cast<long>(g.texts.size()), 4));
    for (const FreeText& t : g.texts)
        line(reals(w, {t.x, t.y, t.angle}, 10, 5) + fortran::I(t.pos, 2) + fortran::A(t.text, kTextWidth));
    // keyword records, each read by its word; only what differs from a
    // fresh graph, so a plain picture keeps the records of older layouts
    for (int b = 1; b <= kBuffers; ++b) {
        const CurveBuffer& buf = g.buffer(b);
        if (g.inUse(b) && (buf.colour != 1 || buf.width != common::kLineWidth))
            line(keywordRecord(kLookKeyword, {b, buf.colour, buf.width}));
    }
    if (g.legend != LegendPlace{}) line(legendRecord(g.legend));
    if (g.source_fermi) w.keywordRecord(kSourceFermiKeyword, *g.source_fermi);
    if (!g.picture_title.empty()) line(titleRecord(g.picture_title));
    return w.text();
}

Status parseLayout(const RecordFile& whole, const DosInput& in, DosGraph& g) {
    RecordReader r(whole);
    for (CurveBuffer& b : g.buf) b.resetAttributes();
    readBuffers(r, in, g, Panel::DOS);
    readBuffers(r, in, g, Panel::COOP);
    if (const std::string* rec = r.next()) {
        FieldCursor c(*rec);
        for (int k = 0; k < kFlags; ++k) g.flags[static_cast<size_t>(k)] = r.get(c.L(1), "display flag");
    }
    if (const std::string* rec = r.next()) {
        FieldCursor c(*rec);
        float* geom[10] = {&g.dos_x, &g.dos_w, &g.coop_x, &g.coop_w, &g.x0,
                           &g.w0,    &g.page_w, &g.y0,   &g.h,      &g.page_h};
        for (float* v : geom) *v = r.real(c, 10, 5, "geometry value");
        if (r.ok() && (g.page_w <= 0 || g.page_h <= 0 || g.w0 <= 0 || g.h <= 0 || g.dos_w <= 0 ||
                       g.coop_w <= 0))
            r.fail("panel or page size not above 0");
    }
    if (const std::string* rec = r.next()) {
        FieldCursor c(*rec);
        g.emin = r.real(c, 10, 5, "energy bound");
        g.emax = r.real(c, 10, 5, "energy bound");
        if (r.ok() && g.emax < g.emin) r.fail("upper energy bound below the lower one");
    }
    readTics(r, g.energy_tics, "energy tic setting");
    readTics(r, g.dos_tics, "DOS axis tic setting");
    readTics(r, g.coop_tics, "COOP axis tic setting");
    if (const std::string* rec = r.next()) {
        FieldCursor c(*rec);
        g.dos_axis_min = r.real(c, 10, 5, "axis range");
        g.dos_axis_max = r.real(c, 10, 5, "axis range");
        g.coop_axis_max = r.real(c, 10, 5, "axis range");
        g.xfactor = r.real(c, 10, 5, "x range factor");
        g.dos_min = r.real(c, 10, 5, "common range");
        g.dos_max = r.real(c, 10, 5, "common range");
        g.coop_max = r.real(c, 10, 5, "common range");
        if (r.ok() && g.xfactor <= 0) r.fail("x range factor not above 0");
    }
    if (const std::string* rec = r.next()) {
        FieldCursor c(*rec);
        g.efermi = r.real(c, 10, 5, "Fermi energy");
        g.fermi_line = r.get(c.L(1), "Fermi line flag");
    }
    if (const std::string* rec = r.next()) {
        FieldCursor c(*rec);
        for (int k = 0; k < kSides; ++k) g.sides[static_cast<size_t>(k)] = r.intIn(c, 1, 0, 3, "tic side");
    }
    std::string* titles[3] = {&g.dos_title, &g.coop_title, &g.energy_title};
    for (std::string* t : titles)
        if (const std::string* rec = r.next()) *t = fortran::A(*rec, kTextWidth);
    if (const std::string* rec = r.next()) {
        FieldCursor c(*rec);
        const int nt = r.intIn(c, 4, 0, kMaxTexts, "number of texts");
        g.texts.clear();
        for (int k = 0; k < nt && r.ok(); ++k) {
            rec = r.next();
            if (!rec) break;
            FieldCursor t(*rec);
            FreeText ft;
            ft.x = r.real(t, 10, 5, "text position");
            ft.y = r.real(t, 10, 5, "text position");
            ft.angle = r.real(t, 10, 5, "text angle");
            ft.pos = r.intIn(t, 2, 0, 2, "text position code");
            ft.text = t.A(kTextWidth);
            g.texts.push_back(ft);
        }
    }
    g.legend = {};
    g.source_fermi.reset();
    g.picture_title.clear();
    if (r.ok())
        readKeywordRecords(r, {{kLookKeyword, [&g](RecordReader& in, const KeywordRecord& k) { return readLook(in, k, g); }},
                               {kTitleKeyword, [&g](RecordReader&, const KeywordRecord& k) {
                                    g.picture_title = titleOf(k);
                                    return true;
                                }},
                               {kLegendKeyword, [&g](RecordReader& in, const KeywordRecord& k) {
                                    return readLegendRecord(in, k, g.legend);
                                }},
                               {kSourceFermiKeyword, [&g](RecordReader& in, const KeywordRecord& k) {
                                    g.source_fermi = static_cast<float>(in.realOf(k, "fermi value"));
                                    return in.ok();
                                }}});
    if (!r.ok()) return Failure{r.error()};
    return {};
}

std::string rangeRefusal(float lo, float hi) { return common::rangeRefusal(lo, hi, 10, 5); }

std::string valueRefusal(float v) { return fieldRefusal(v, 10, 5); }

std::string positiveRefusal(float v) { return fieldRefusal(v, 10, 5, 0.0f); }

std::string offsetRefusal(float v) { return fieldRefusal(v, 12, 5); }

std::string framePlacement(const DosGraph& g, const std::string& file, bool refusal) {
    // the geometry follows the two counts, their buffers and the flags
    const std::string where = file + ", record " + std::to_string(g.nd + g.nc + 4);
    const common::Box page = g.page();
    std::string line = common::placementLine(common::onPage(g.frame(), page), "frame", where, refusal);
    if (line.empty() && g.nd > 0)
        line = common::placementLine(common::onPage(g.panel(Panel::DOS).box, page), "DOS panel", where, refusal);
    if (line.empty() && g.nc > 0)
        line = common::placementLine(common::onPage(g.panel(Panel::COOP).box, page), "COOP panel", where, refusal);
    return line;
}

namespace {

Result<RecordFile> loadFile(const std::string& path) {
    std::optional<RecordFile> f = RecordFile::load(path);
    if (!f) return Failure{path + " could not be opened"};
    return std::move(*f);
}

}  // namespace

Result<StoredDos> loadStoredDos(const std::string& input, const std::string& layout) {
    Result<RecordFile> inputFile = loadFile(input);
    if (!inputFile) return Failure{inputFile.error()};
    Result<DosInput> in = readDosInput(*inputFile);
    if (!in) return Failure{in.error()};
    Result<RecordFile> layoutFile = loadFile(layout);
    if (!layoutFile) return Failure{layoutFile.error()};
    StoredDos d{std::move(*in), DosGraph{}};
    initGraph(d.graph, d.in);
    if (Status read = parseLayout(*layoutFile, d.in, d.graph); !read) return Failure{read.error()};
    return d;
}

Status saveLayout(const std::string& path, const DosGraph& g) {
    Result<std::string> text = formatLayout(g);
    if (!text) return Failure{path + " not written: " + text.error()};
    return writeFileAtomic(path, *text);
}

}  // namespace dos
