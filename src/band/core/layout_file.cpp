#include "band/core/layout_file.h"

#include <optional>

#include "annotate/settings.h"
#include "band/core/graph.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;
using namespace annotate;

namespace {

bool reals(RecordReader& in, std::initializer_list<float*> out, const std::string& what) {
    const std::string* r = in.next();
    if (!r) return false;
    FieldCursor c(*r);
    for (float* v : out) {
        auto x = c.F(10, 5);
        if (!x) return in.fail("unreadable " + what);
        *v = static_cast<float>(*x);
    }
    return true;
}

bool logicals(RecordReader& in, std::initializer_list<bool*> out, const std::string& what) {
    const std::string* r = in.next();
    if (!r) return false;
    FieldCursor c(*r);
    for (bool* v : out) {
        auto x = c.L(1);
        if (!x) return in.fail("unreadable " + what);
        *v = *x;
    }
    return true;
}

bool text(RecordReader& in, std::string& out) {
    const std::string* r = in.next();
    if (!r) return false;
    out = fortran::A(*r, 80);
    return true;
}

// A frame stored before the Fermi text stood right of it (the landscape
// frame reached the right edge of the view surface): narrowed, its lines
// in proportion, so that the text has its room on the surface.
void leaveRoomRight(FrameGeom& f, common::OneBased<float, kMaxShown + 1>& pos, int n) {
    const float widest = 1.0f - common::kFrameRightRoom - f.frame_x0;
    if (f.right() <= 1.0f - common::kFrameRightRoom || !(widest > 0)) return;
    const float scale = widest / f.frame_w;
    f.frame_w = widest;
    for (int i = 1; i <= n + 1; ++i) pos[i] *= scale;
}

// A band range's record (I5 I5 I3 I4 I2); the spin-down look's record
// carries the number of lines and 0 in the range's fields.
std::string styleFields(const BandStyle& st, int first, int last) {
    return fortran::I(first, 5) + fortran::I(last, 5) + fortran::I(st.colour, 3) + fortran::I(st.width, 4) +
           fortran::I(st.style, 2);
}

// Colour, width and style fields of a look record.
void lookFields(RecordReader& in, FieldCursor& c, BandStyle& st) {
    st.colour = in.intIn(c, 3, 1, band::kMaxColour, "colour index");
    st.width = in.intIn(c, 4, 1, band::kMaxLineWidth, "line width");
    st.style = in.intIn(c, 2, 1, band::kMaxLineStyle, "line style");
}

// The band ranges' block: their number, then a record each.
Status parseStyles(RecordReader& in, std::vector<BandStyle>& styles) {
    auto done = [&]() -> Status { return Failure{in.error()}; };
    const std::string* r = in.next();
    FieldCursor nc(*r);
    const int nstyles = in.intIn(nc, 4, 0, band::kMaxBandStyles, "number of band line styles");
    if (!in.ok()) return done();
    for (int k = 0; k < nstyles; ++k) {
        r = in.next();
        if (!r) return done();
        FieldCursor c(*r);
        BandStyle st;
        st.first = in.intIn(c, 5, 1, band::kMaxBands, "first band");
        st.last = in.intIn(c, 5, st.first, band::kMaxBands, "last band");
        lookFields(in, c, st);
        if (!in.ok()) return done();
        styles.push_back(st);
    }
    return {};
}

// The spin-down block after the band ranges: its look record, then the
// channel digits of every line's bands.
Status parseSpinDown(RecordReader& in, int nlines, SpinDown& spin) {
    auto done = [&]() -> Status { return Failure{in.error()}; };
    const std::string* r = in.next();
    FieldCursor c(*r);
    in.intIn(c, 5, nlines, nlines, "number of lines of the spin channels");
    in.intIn(c, 5, 0, 0, "spin-down range field");
    lookFields(in, c, spin.look);
    if (!in.ok()) return done();
    for (int l = 0; l < nlines; ++l) {
        r = in.next();
        if (!r) return done();
        std::vector<bool> line;
        for (char d : fortran::trimRight(*r)) {
            if (d != '1' && d != '2') {
                in.fail("spin channel digit '" + std::string(1, d) + "' is neither 1 (up) nor 2 (down)");
                return done();
            }
            line.push_back(d == '2');
        }
        if (line.size() > static_cast<size_t>(band::kMaxBands)) {
            in.fail("more than " + std::to_string(band::kMaxBands) + " bands in a line's spin channels");
            return done();
        }
        spin.bands.push_back(std::move(line));
    }
    return {};
}

const char* const kCharacterKeyword = "character";

// "character MODE GROUP": 1 the colours of the groups, 2 the fat band of GROUP.
std::string characterRecord(const CharacterView& v) {
    return keywordRecord(kCharacterKeyword, {static_cast<long>(v.mode), v.group});
}

bool readCharacterRecord(RecordReader& in, const KeywordRecord& k, CharacterView& v) {
    if (!in.counted(k, 2)) return false;
    const int mode = in.numberIn(k, 0, 0, 2, "character mode");
    const int group = in.numberIn(k, 1, 1, kMaxGroups, "character group");
    if (!in.ok()) return false;
    v = {static_cast<CharacterMode>(mode), group};
    return true;
}

}  // namespace

Result<std::string> formatLayout(const BandGraph& g) {
    const int n = g.nshow;
    const FrameGeom& f = g.geom;
    RecordWriter w;
    auto real = [&w](float v, const std::string& what) { return w.F(v, 10, 5, what); };
    w.record(fortran::I(n, 2));
    std::string flags;
    for (int k = 1; k <= kBandFlags; ++k) flags += fortran::L(g.flags[static_cast<size_t>(k)]);
    w.record(flags);
    w.record(real(f.frame_x0, "frame_x0") + real(f.frame_y0, "frame_y0") + real(f.frame_w, "frame_w") +
             real(f.frame_h, "frame_h") + real(f.view_right, "view_right") + real(f.view_top, "view_top"));
    for (int i = 1; i <= n + 1; ++i) w.record(real(g.line_pos[i], "line position"));
    w.record(real(g.elow, "minimum energy") + real(g.ehigh, "maximum energy") +
             real(g.efermi, "Fermi energy"));
    w.record(real(g.tics.start, "tic start") + real(g.tics.end, "tic end") +
             real(g.tics.distance, "tic distance") + real(g.tics.label_distance, "label distance"));
    std::string sides;
    for (int i = 1; i <= n + 1; ++i) sides += fortran::I(g.tic_side[i], 1);
    w.record(sides);
    for (int i = 1; i <= n + 1; ++i) w.record(fortran::A(g.labels[i], 80));
    for (int i = 1; i <= n; ++i) w.record(fortran::A(g.titles[i], 80));
    w.record(fortran::A(g.vtitle, 80));
    w.record(fortran::I(static_cast<long>(g.texts.size()), 4));
    for (const FreeText& t : g.texts)
        w.record(real(t.x, "free text x") + real(t.y, "free text y") + real(t.angle, "text angle") +
                 fortran::I(t.pos, 2) + fortran::A(t.text, 80));
    w.record(fortran::L(g.border) + fortran::L(g.fermi_line));
    // band colours and line widths: only when set, so a plain picture keeps
    // the records of the older layout (and so for every later block)
    if (!g.styles.empty() || !g.spin.bands.empty()) {
        w.record(fortran::I(static_cast<long>(g.styles.size()), 4));
        for (const BandStyle& st : g.styles) w.record(styleFields(st, st.first, st.last));
    }
    // the spin-down bands: their look, then a digit a band for every line
    // (1 spin up, 2 spin down)
    if (!g.spin.bands.empty()) {
        w.record(styleFields(g.spin.look, static_cast<int>(g.spin.bands.size()), 0));
        for (const std::vector<bool>& line : g.spin.bands) {
            std::string digits;
            for (bool down : line) digits += down ? '2' : '1';
            w.record(digits);
        }
    }
    // keyword records, each read by its word
    if (g.legend != LegendPlace{}) w.record(legendRecord(g.legend));
    if (g.source_fermi) w.keywordRecord(kSourceFermiKeyword, *g.source_fermi);
    if (!g.picture_title.empty()) w.record(titleRecord(g.picture_title));
    if (g.show.mode != CharacterMode::off) w.record(characterRecord(g.show));
    return w.text();
}

namespace {

// The records before the keyword records.
Status parseFixedRecords(const RecordFile& file, BandGraph& g) {
    RecordReader in(file);
    auto done = [&]() -> Status { return Failure{in.error()}; };
    auto refuse = [&](const std::string& what) {
        in.fail(what);
        return done();
    };
    // 1: number of symmetry lines
    const std::string* r = in.next();
    if (!r) return done();
    auto n = FieldCursor(*r).I(2);
    if (!n) return refuse("unreadable number of symmetry lines");
    if (*n < 1 || *n > band::kMaxShown)
        return refuse("number of symmetry lines outside 1 ... " + std::to_string(band::kMaxShown));
    g.nshow = static_cast<int>(*n);
    const size_t count = static_cast<size_t>(g.nshow);

    // 2: element flags 1 .. kBandFlags
    r = in.next();
    if (!r) return done();
    FieldCursor fc(*r);
    for (size_t k = 1; k <= static_cast<size_t>(kBandFlags); ++k) {
        auto v = fc.L(1);
        if (!v) return refuse("unreadable element flags");
        g.flags[k] = *v;
    }

    // 3: geometry
    FrameGeom& f = g.geom;
    if (!reals(in, {&f.frame_x0, &f.frame_y0, &f.frame_w, &f.frame_h, &f.view_right, &f.view_top},
               "frame geometry"))
        return done();
    if (!(f.frame_w > 0 && f.frame_h > 0 && f.view_right > 0 && f.view_top > 0))
        return refuse("frame or page size not positive");

    // 4: line positions 1 .. n+1, one per record
    for (size_t i = 1; i <= count + 1; ++i) {
        if (!reals(in, {&g.line_pos[i]}, "symmetry line position")) return done();
        if (i > 1 && g.line_pos[i] < g.line_pos[i - 1])
            return refuse("symmetry line positions not in ascending order");
    }
    leaveRoomRight(f, g.line_pos, g.nshow);

    // 5: energy window and Fermi energy
    if (!reals(in, {&g.elow, &g.ehigh, &g.efermi}, "energies")) return done();
    if (!(g.elow < g.ehigh)) return refuse("minimum energy not below maximum");

    // 6: tic settings
    if (!reals(in, {&g.tics.start, &g.tics.end, &g.tics.distance, &g.tics.label_distance}, "tic settings"))
        return done();
    if (!ticsFit(g.tics)) return refuse("more than 1000 tics or labels between tic start and end");

    // 7: tic sides of axis positions 1 .. n+1, one digit each
    r = in.next();
    if (!r) return done();
    FieldCursor sc(*r);
    for (size_t i = 1; i <= count + 1; ++i) {
        auto v = sc.I(1);
        if (!v) return refuse("unreadable tic side");
        if (*v < 0 || *v > 3) return refuse("tic side outside 0 ... 3");
        g.tic_side[i] = static_cast<int>(*v);
    }

    // 8-10: labels 1 .. n+1, titles 1 .. n, vertical title
    for (size_t i = 1; i <= count + 1; ++i)
        if (!text(in, g.labels[i])) return done();
    for (size_t i = 1; i <= count; ++i)
        if (!text(in, g.titles[i])) return done();
    if (!text(in, g.vtitle)) return done();

    // 11-12: free texts
    r = in.next();
    if (!r) return done();
    auto m = FieldCursor(*r).I(4);
    if (!m) return refuse("unreadable number of free texts");
    if (*m < 0 || *m > band::kMaxFreeTexts)
        return refuse("number of free texts outside 0 ... " + std::to_string(band::kMaxFreeTexts));
    g.texts.assign(static_cast<size_t>(*m), FreeText{});
    for (FreeText& t : g.texts) {
        r = in.next();
        if (!r) return done();
        FieldCursor c(*r);
        auto x = c.F(10, 5), y = c.F(10, 5), a = c.F(10, 5);
        auto pos = c.I(2);
        if (!x || !y || !a || !pos) return refuse("unreadable free text");
        if (*pos < 0 || *pos > 2) return refuse("position code outside 0 ... 2");
        t.x = static_cast<float>(*x);
        t.y = static_cast<float>(*y);
        t.angle = static_cast<float>(*a);
        t.pos = static_cast<int>(*pos);
        t.text = c.A(80);
    }

    // 13: border and Fermi line
    if (!logicals(in, {&g.border, &g.fermi_line}, "border and Fermi line flags")) return done();

    // 14-15: band colours and line widths (absent from older layouts)
    g.styles.clear();
    g.spin = {};
    g.legend = {};
    auto positional = [&in] { return in.peek() && !startsKeyword(*in.peek()); };
    if (positional()) {
        if (Status read = parseStyles(in, g.styles); !read) return read;
    }
    // 16-: the spin-down bands (pictures of both spin channels only)
    if (positional()) {
        if (Status read = parseSpinDown(in, g.nshow, g.spin); !read) return read;
    }
    // then the keyword records, in any order
    g.source_fermi.reset();
    g.picture_title.clear();
    g.show = {};
    if (!readKeywordRecords(in, {{kCharacterKeyword, [&g](RecordReader& r, const KeywordRecord& k) {
                                      return readCharacterRecord(r, k, g.show);
                                  }},
                                 {kLegendKeyword, [&g](RecordReader& r, const KeywordRecord& k) {
                                      return readLegendRecord(r, k, g.legend);
                                  }},
                                 {kTitleKeyword, [&g](RecordReader&, const KeywordRecord& k) {
                                      g.picture_title = titleOf(k);
                                      return true;
                                  }},
                                 {kSourceFermiKeyword, [&g](RecordReader& r, const KeywordRecord& k) {
                                      g.source_fermi = static_cast<float>(r.realOf(k, "fermi value"));
                                      return r.ok();
                                  }}}))
        return done();
    return {};
}

}  // namespace

Status parseLayout(const RecordFile& file, BandGraph& g) {
    return parseFixedRecords(file, g);
}

std::string energyWindowRefusal(float elow, float ehigh) { return rangeRefusal(elow, ehigh, 10, 5); }

std::string valueRefusal(float v) { return fieldRefusal(v, 10, 5); }

std::string framePlacement(const BandGraph& g, const std::string& file, bool refusal) {
    // record 3 holds the frame and the page
    return common::placementLine(common::onPage(g.geom.frame(), g.geom.page()), "frame", file + ", record 3", refusal);
}

Status saveLayout(const std::string& path, const BandGraph& g) {
    Result<std::string> text = formatLayout(g);
    if (!text) return Failure{path + " not written: " + text.error()};
    return writeFileAtomic(path, *text);
}

Status loadLayout(const RecordFile& file, BandGraph& g) {
    BandGraph fresh;
    // What belongs to the drawing rather than to the layout stays.
    fresh.bands = g.bands;
    fresh.character = g.character;
    fresh.nsub = g.nsub;
    Status read = parseLayout(file, fresh);
    if (!read) return read;
    fresh.range = fresh.ehigh - fresh.elow;
    g = std::move(fresh);
    return {};
}

}  // namespace band
