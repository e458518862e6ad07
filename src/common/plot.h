// The graphics layer: every PGPLOT call of both programs goes through Plot.
// CpgPlot forwards to the real library; the tests have a recording double.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace common {

// The font of every text of both programs' pictures (labels, titles, free
// texts, tic numbers, the Fermi text): PGPLOT's Roman font.
constexpr int kTextFont = 2;

class Plot {
public:
    virtual ~Plot() = default;
    virtual int open(const std::string& device) = 0;
    virtual void slct(int id) = 0;
    virtual int qid() = 0;
    virtual void clos() = 0;
    virtual void end() = 0;
    virtual void ask(bool flag) = 0;
    virtual void pap(float width, float aspect) = 0;
    virtual void page() = 0;
    virtual void svp(float x1, float x2, float y1, float y2) = 0;
    virtual void swin(float x1, float x2, float y1, float y2) = 0;
    virtual void scr(int ci, float r, float g, float b) = 0;
    virtual void sci(int ci) = 0;
    virtual void sch(float size) = 0;
    virtual void scf(int font) = 0;
    virtual void slw(int width) = 0;
    virtual void sls(int style) = 0;
    virtual void sfs(int style) = 0;
    // PGSCLP: clipping at the viewport edge on (1) or off (0).
    virtual void sclp(int state) = 0;
    virtual void move(float x, float y) = 0;
    virtual void draw(float x, float y) = 0;
    virtual void line(int n, const float* x, const float* y) = 0;
    virtual void pt(int n, const float* x, const float* y, int symbol) = 0;
    virtual void poly(int n, const float* x, const float* y) = 0;
    virtual void box(const std::string& xopt, float xtick, int nxsub,
                     const std::string& yopt, float ytick, int nysub) = 0;
    virtual void ptxt(float x, float y, float angle, float fjust, const std::string& text) = 0;
    virtual void text(float x, float y, const std::string& text) = 0;
    // PGCURS: 1 when a point was read, 0 when the device has none.
    virtual int curs(float& x, float& y, char& ch) = 0;
    // PGQINF('CURSOR') == 'YES' for the selected device.
    virtual bool hasCursor() = 0;
    // PGLEN in normalized device coordinates: the width of a text (PGPLOT
    // escapes) at the character height in force.
    virtual float len(const std::string& text);
    // PGQCS in normalized device coordinates: the character height in force
    // measured along x and along y (they differ on a surface not square).
    virtual void qcs(float& xch, float& ych);

    // How many times larger than asked characters are drawn (SizedPlot):
    // offsets of texts from the frame, given in character heights, grow with it.
    virtual float textScale() { return 1.0f; }

protected:
    // Estimates for a square view surface, for devices that do not measure:
    // a character height of `size` is size/40 of the surface, and each
    // character 0.6 of a height wide.
    static float estimateLength(const std::string& text, float size);
};

class CpgPlot : public Plot {
public:
    int open(const std::string& device) override;
    void slct(int id) override;
    int qid() override;
    void clos() override;
    void end() override;
    void ask(bool flag) override;
    void pap(float width, float aspect) override;
    void page() override;
    void svp(float x1, float x2, float y1, float y2) override;
    void swin(float x1, float x2, float y1, float y2) override;
    void scr(int ci, float r, float g, float b) override;
    void sci(int ci) override;
    void sch(float size) override;
    void scf(int font) override;
    void slw(int width) override;
    void sls(int style) override;
    void sfs(int style) override;
    void sclp(int state) override;
    void move(float x, float y) override;
    void draw(float x, float y) override;
    void line(int n, const float* x, const float* y) override;
    void pt(int n, const float* x, const float* y, int symbol) override;
    void poly(int n, const float* x, const float* y) override;
    void box(const std::string& xopt, float xtick, int nxsub,
             const std::string& yopt, float ytick, int nysub) override;
    void ptxt(float x, float y, float angle, float fjust, const std::string& text) override;
    void text(float x, float y, const std::string& text) override;
    int curs(float& x, float& y, char& ch) override;
    bool hasCursor() override;
    float len(const std::string& text) override;
    void qcs(float& xch, float& ych) override;
};

// Sizes of a picture drawn to be shown at another size than it is drawn:
// character heights multiplied by `text`; line widths multiplied by `line`
// (rounded up, so that thick stays thick and thin stays thin) and raised to
// at least `leastLine`; every viewport shrunk by `content` towards the
// centre of the view surface, which leaves room round the drawing for text
// that `text` enlarged.
struct PictureSizes {
    float text = 1.0f;
    float line = 1.0f;
    int leastLine = 1;
    float content = 1.0f;
};

// A line width of the picture as the sizes draw it.
int sizedWidth(int width, const PictureSizes& sizes);

// A Plot that draws on another with the sizes of PictureSizes; everything
// else passes through unchanged. It notes the thinnest line width in force
// at a stroke (a line, a text, a box), for the sizes of the next drawing.
class SizedPlot : public Plot {
public:
    SizedPlot(Plot& inner, PictureSizes sizes) : inner_(inner), sizes_(sizes) {}
    // The thinnest width asked for any stroke drawn so far; 0 before one.
    int thinnestStroke() const { return thinnest_; }
    // Whether a text was placed so near the view surface's edge, or beyond
    // it, that PGPLOT cut it (in part or whole).
    bool textOffSurface() const { return offSurface_; }
    int open(const std::string& device) override { return inner_.open(device); }
    void slct(int id) override { inner_.slct(id); }
    int qid() override { return inner_.qid(); }
    void clos() override { inner_.clos(); }
    void end() override { inner_.end(); }
    void ask(bool flag) override { inner_.ask(flag); }
    void pap(float width, float aspect) override { inner_.pap(width, aspect); }
    void page() override { inner_.page(); }
    void svp(float x1, float x2, float y1, float y2) override {
        viewport_ = {shrunk(x1), shrunk(x2), shrunk(y1), shrunk(y2)};
        inner_.svp(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    }
    void swin(float x1, float x2, float y1, float y2) override {
        window_ = {x1, x2, y1, y2};
        inner_.swin(x1, x2, y1, y2);
    }
    void scr(int ci, float r, float g, float b) override { inner_.scr(ci, r, g, b); }
    void sci(int ci) override { inner_.sci(ci); }
    void sch(float size) override {
        height_ = size * sizes_.text;
        inner_.sch(height_);
    }
    void scf(int font) override { inner_.scf(font); }
    void slw(int width) override {
        width_ = width;
        inner_.slw(sizedWidth(width, sizes_));
    }
    void sls(int style) override { inner_.sls(style); }
    void sfs(int style) override { inner_.sfs(style); }
    void sclp(int state) override {
        clip_ = state;
        inner_.sclp(state);
    }
    void move(float x, float y) override { inner_.move(x, y); }
    void draw(float x, float y) override {
        stroke();
        inner_.draw(x, y);
    }
    void line(int n, const float* x, const float* y) override {
        stroke();
        inner_.line(n, x, y);
    }
    void pt(int n, const float* x, const float* y, int symbol) override {
        stroke();
        inner_.pt(n, x, y, symbol);
    }
    // PGPLOT clips a filled polygon at the viewport even with clipping off:
    // with clipping off it is drawn on the whole view surface instead.
    void poly(int n, const float* x, const float* y) override;
    void box(const std::string& xopt, float xtick, int nxsub, const std::string& yopt, float ytick,
             int nysub) override {
        stroke();
        inner_.box(xopt, xtick, nxsub, yopt, ytick, nysub);
    }
    // Texts are drawn unclipped: one that grew past its viewport then
    // reaches the view surface's edge, where it is seen and given room.
    void ptxt(float x, float y, float angle, float fjust, const std::string& text) override {
        stroke();
        placed(x, y, text);
        inner_.sclp(0);
        inner_.ptxt(x, y, angle, fjust, text);
        inner_.sclp(clip_);
    }
    void text(float x, float y, const std::string& text) override {
        stroke();
        placed(x, y, text);
        inner_.sclp(0);
        inner_.text(x, y, text);
        inner_.sclp(clip_);
    }
    int curs(float& x, float& y, char& ch) override { return inner_.curs(x, y, ch); }
    bool hasCursor() override { return inner_.hasCursor(); }
    // Measures in the caller's view surface, which the content's shrinking
    // maps onto a smaller part of the device's: a text takes more of it.
    float len(const std::string& text) override { return inner_.len(text) / sizes_.content; }
    void qcs(float& xch, float& ych) override {
        inner_.qcs(xch, ych);
        xch /= sizes_.content;
        ych /= sizes_.content;
    }
    float textScale() override { return sizes_.text / sizes_.content; }

private:
    float shrunk(float v) const { return 0.5f + (v - 0.5f) * sizes_.content; }
    void stroke() {
        if (thinnest_ == 0 || width_ < thinnest_) thinnest_ = width_;
    }
    // Notes a text, not blank, whose reference point (x, y) lies within a
    // character height of the view surface's edge or beyond it.
    void placed(float x, float y, const std::string& text);
    // A point of the window in force on the view surface (device coordinates).
    std::array<float, 2> onSurface(float x, float y) const;
    Plot& inner_;
    PictureSizes sizes_;
    int width_ = 1;
    int thinnest_ = 0;
    int clip_ = 1;
    float height_ = 1.0f;
    std::array<float, 4> viewport_{0, 1, 0, 1}, window_{0, 1, 0, 1};
    bool offSurface_ = false;
};

}  // namespace common
