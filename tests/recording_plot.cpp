#include "recording_plot.h"

#include <cstdio>
#include <sstream>

namespace common {

namespace {
std::string num(float v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", static_cast<double>(v));
    return b;
}
std::string quoted(const std::string& s) { return "'" + s + "'"; }
std::string points(int n, const float* x, const float* y) {
    std::string s = std::to_string(n);
    for (int i = 0; i < n; ++i) s += " (" + num(x[i]) + "," + num(y[i]) + ")";
    return s;
}
}  // namespace

std::vector<std::string> RecordingPlot::matching(const std::string& prefix) const {
    std::vector<std::string> r;
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0) r.push_back(c);
    return r;
}

std::vector<RecordingPlot::Polyline> RecordingPlot::polylinesOnPage() const {
    std::vector<Polyline> lines;
    float vp[4] = {0, 1, 0, 1}, win[4] = {0, 1, 0, 1};
    for (const auto& c : calls) {
        std::istringstream in(c);
        std::string what;
        in >> what;
        if (what == "svp" || what == "swin") {
            float* to = what == "svp" ? vp : win;
            for (int k = 0; k < 4; ++k) in >> to[k];
        } else if (what == "line") {
            int n = 0;
            in >> n;
            Polyline l;
            for (int i = 0; i < n; ++i) {
                char open, comma, close;
                float x, y;
                in >> open >> x >> comma >> y >> close;
                l.emplace_back(vp[0] + (x - win[0]) * (vp[1] - vp[0]) / (win[1] - win[0]),
                               vp[2] + (y - win[2]) * (vp[3] - vp[2]) / (win[3] - win[2]));
            }
            lines.push_back(std::move(l));
        }
    }
    return lines;
}

std::set<int> RecordingPlot::textFonts() const {
    std::set<int> fonts;
    int font = 1;
    for (const auto& c : calls) {
        if (c.rfind("scf ", 0) == 0) font = std::stoi(c.substr(4));
        if (c.rfind("ptxt ", 0) == 0 || c.rfind("text ", 0) == 0 || c.rfind("box ", 0) == 0) fonts.insert(font);
    }
    return fonts;
}

int RecordingPlot::open(const std::string& device) {
    rec("open " + quoted(device));
    if (failOpen) return 0;
    current = nextId++;
    return current;
}
void RecordingPlot::slct(int id) {
    current = id;
    rec("slct " + std::to_string(id));
}
int RecordingPlot::qid() { return current; }
void RecordingPlot::clos() { rec("clos"); }
void RecordingPlot::end() { rec("end"); }
void RecordingPlot::ask(bool flag) { rec(std::string("ask ") + (flag ? "T" : "F")); }
void RecordingPlot::pap(float width, float aspect) { rec("pap " + num(width) + " " + num(aspect)); }
void RecordingPlot::page() { rec("page"); }
void RecordingPlot::svp(float x1, float x2, float y1, float y2) {
    rec("svp " + num(x1) + " " + num(x2) + " " + num(y1) + " " + num(y2));
}
void RecordingPlot::swin(float x1, float x2, float y1, float y2) {
    rec("swin " + num(x1) + " " + num(x2) + " " + num(y1) + " " + num(y2));
}
void RecordingPlot::scr(int ci, float r, float g, float b) {
    rec("scr " + std::to_string(ci) + " " + num(r) + " " + num(g) + " " + num(b));
}
void RecordingPlot::sci(int ci) { rec("sci " + std::to_string(ci)); }
void RecordingPlot::sch(float size) {
    height_ = size;
    rec("sch " + num(size));
}
void RecordingPlot::scf(int font) { rec("scf " + std::to_string(font)); }
void RecordingPlot::slw(int width) { rec("slw " + std::to_string(width)); }
void RecordingPlot::sls(int style) { rec("sls " + std::to_string(style)); }
void RecordingPlot::sfs(int style) { rec("sfs " + std::to_string(style)); }
void RecordingPlot::sclp(int state) { rec("sclp " + std::to_string(state)); }
void RecordingPlot::move(float x, float y) { rec("move " + num(x) + " " + num(y)); }
void RecordingPlot::draw(float x, float y) { rec("draw " + num(x) + " " + num(y)); }
void RecordingPlot::line(int n, const float* x, const float* y) { rec("line " + points(n, x, y)); }
void RecordingPlot::pt(int n, const float* x, const float* y, int symbol) {
    rec("pt " + std::to_string(symbol) + " " + points(n, x, y));
}
void RecordingPlot::poly(int n, const float* x, const float* y) { rec("poly " + points(n, x, y)); }
void RecordingPlot::box(const std::string& xopt, float xtick, int nxsub,
                        const std::string& yopt, float ytick, int nysub) {
    rec("box " + quoted(xopt) + " " + num(xtick) + " " + std::to_string(nxsub) + " " +
        quoted(yopt) + " " + num(ytick) + " " + std::to_string(nysub));
}
void RecordingPlot::ptxt(float x, float y, float angle, float fjust, const std::string& text) {
    rec("ptxt " + num(x) + " " + num(y) + " " + num(angle) + " " + num(fjust) + " " + quoted(text));
}
void RecordingPlot::text(float x, float y, const std::string& text) {
    rec("text " + num(x) + " " + num(y) + " " + quoted(text));
}
int RecordingPlot::curs(float& x, float& y, char& ch) {
    rec("curs " + num(x) + " " + num(y));
    if (!withCursor || cursor.empty()) return 0;
    Pick p = cursor.front();
    cursor.pop_front();
    x = p.x;
    y = p.y;
    ch = p.ch;
    return 1;
}
bool RecordingPlot::hasCursor() { return withCursor; }

}  // namespace common
