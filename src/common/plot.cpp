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
