#include "common/plot.h"

#include <cpgplot.h>

#include <cmath>
#include <vector>

namespace common {

int sizedWidth(int width, const PictureSizes& sizes) {
    const int scaled = static_cast<int>(std::ceil(static_cast<double>(width) * sizes.line - 1e-6));
    return scaled < sizes.leastLine ? sizes.leastLine : scaled;
}

std::array<float, 2> SizedPlot::onSurface(float x, float y) const {
    auto ndc = [](float v, float w0, float w1, float v0, float v1) {
        return w1 == w0 ? v0 : v0 + (v - w0) / (w1 - w0) * (v1 - v0);
    };
    return {ndc(x, window_[0], window_[1], viewport_[0], viewport_[1]),
            ndc(y, window_[2], window_[3], viewport_[2], viewport_[3])};
}

void SizedPlot::poly(int n, const float* x, const float* y) {
    if (clip_ != 0) {
        inner_.poly(n, x, y);
        return;
    }
    std::vector<float> sx, sy;
    for (int i = 0; i < n; ++i) {
        const auto [px, py] = onSurface(x[i], y[i]);
        sx.push_back(px);
        sy.push_back(py);
    }
    inner_.svp(0.0f, 1.0f, 0.0f, 1.0f);
    inner_.swin(0.0f, 1.0f, 0.0f, 1.0f);
    inner_.poly(n, sx.data(), sy.data());
    inner_.svp(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    inner_.swin(window_[0], window_[1], window_[2], window_[3]);
}

void SizedPlot::placed(float x, float y, const std::string& text) {
    if (text.find_first_not_of(' ') == std::string::npos) return;
    const auto [nx, ny] = onSurface(x, y);
    // PGPLOT's character height 1 is 1/40 of the view surface
    const float h = height_ / 40.0f;
    if (nx < h || nx > 1.0f - h || ny < 0.5f * h || ny > 1.0f - h) offSurface_ = true;
}

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

float CpgPlot::len(const std::string& text) {
    float xl = 0, yl = 0;
    cpglen(0, text.c_str(), &xl, &yl);
    return xl;
}
void CpgPlot::qcs(float& xch, float& ych) { cpgqcs(0, &xch, &ych); }

// ---- measuring without a device ----

float Plot::len(const std::string& text) { return estimateLength(text, 1.0f); }
void Plot::qcs(float& xch, float& ych) { xch = ych = 1.0f / 40.0f; }

float Plot::estimateLength(const std::string& text, float size) {
    int chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;  // an escape (\u, \gG, ...) counted as at most one character
            continue;
        }
        ++chars;
    }
    return 0.6f * size / 40.0f * static_cast<float>(chars);
}

}  // namespace common
