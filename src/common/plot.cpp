#include "common/plot.h"

#include <cpgplot.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "common/console.h"

namespace common {

// ---- CpgPlot: forwards to PGPLOT ----

int CpgPlot::open(const std::string& device) { return cpgopen(device.c_str()); }
void CpgPlot::slct(int id) { cpgslct(id); }
int CpgPlot::qid() {
    int id = 0;
    cpgqid(&id);
    return id;
}
void CpgPlot::clos() { cpgclos(); }
void CpgPlot::end() { cpgend(); }
void CpgPlot::ask(bool flag) { cpgask(flag ? 1 : 0); }
void CpgPlot::pap(float width, float aspect) { cpgpap(width, aspect); }
void CpgPlot::page() { cpgpage(); }
void CpgPlot::svp(float x1, float x2, float y1, float y2) { cpgsvp(x1, x2, y1, y2); }
void CpgPlot::swin(float x1, float x2, float y1, float y2) { cpgswin(x1, x2, y1, y2); }
void CpgPlot::scr(int ci, float r, float g, float b) { cpgscr(ci, r, g, b); }
void CpgPlot::sci(int ci) { cpgsci(ci); }
void CpgPlot::sch(float size) { cpgsch(size); }
void CpgPlot::scf(int font) { cpgscf(font); }
void CpgPlot::slw(int width) { cpgslw(width); }
void CpgPlot::sls(int style) { cpgsls(style); }
void CpgPlot::sfs(int style) { cpgsfs(style); }
void CpgPlot::sclp(int state) { cpgsclp(state); }
void CpgPlot::move(float x, float y) { cpgmove(x, y); }
void CpgPlot::draw(float x, float y) { cpgdraw(x, y); }
void CpgPlot::line(int n, const float* x, const float* y) { cpgline(n, x, y); }
void CpgPlot::pt(int n, const float* x, const float* y, int symbol) { cpgpt(n, x, y, symbol); }
void CpgPlot::poly(int n, const float* x, const float* y) { cpgpoly(n, x, y); }
void CpgPlot::box(const std::string& xopt, float xtick, int nxsub,
                  const std::string& yopt, float ytick, int nysub) {
    cpgbox(xopt.c_str(), xtick, nxsub, yopt.c_str(), ytick, nysub);
}
void CpgPlot::ptxt(float x, float y, float angle, float fjust, const std::string& text) {
    cpgptxt(x, y, angle, fjust, text.c_str());
}
void CpgPlot::text(float x, float y, const std::string& text) { cpgtext(x, y, text.c_str()); }
int CpgPlot::curs(float& x, float& y, char& ch) { return cpgcurs(&x, &y, &ch); }
bool CpgPlot::hasCursor() {
    char value[16] = {0};
    int len = sizeof value - 1;
    cpgqinf("CURSOR", value, &len);
    return len >= 3 && value[0] == 'Y';
}

// ---- RecordingPlot ----

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
void RecordingPlot::sch(float size) { rec("sch " + num(size)); }
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

// ---- device choice and cursor fallback ----

int openScreen(Plot& plot, Console& con) {
    const char* env = std::getenv("PGPLOT_DEV");
    std::string device = (env && *env) ? env : "/XWINDOW";
    int id = plot.open(device);
    if (id > 0) return id;
    con.line(" Screen device " + device + " could not be opened; drawing goes to /NULL.");
    return plot.open("/NULL");
}

static bool parseTwoReals(const std::string& line, float& x, float& y) {
    std::string s = line;
    for (char& c : s)
        if (c == ',' || c == '\t') c = ' ';
    std::istringstream in(s);
    std::string a, b, extra;
    if (!(in >> a >> b) || (in >> extra)) return false;
    auto va = field::readReal(a);
    auto vb = field::readReal(b);
    if (!va || !vb) return false;
    x = static_cast<float>(*va);
    y = static_cast<float>(*vb);
    return true;
}

void readCursor(Plot& plot, Console& con, float& x, float& y, char& ch) {
    // The instructions printed before must be visible while the program
    // waits for the key, also when the output goes through a pipe.
    con.out().flush();
    if (plot.hasCursor() && plot.curs(x, y, ch) == 1) return;
    for (;;) {
        con.prompt(" Cursor position (x, y): ");
        if (parseTwoReals(con.readLine(), x, y)) break;
    }
    ch = ' ';
}

}  // namespace common
