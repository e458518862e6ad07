// The test double of the graphics layer: every call recorded as one text
// line with its arguments, so that a test asserts what a routine draws.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "common/plot.h"

namespace common {

// Records every call as one line, e.g. "svp 0.11785 0.707107 0.125 0.875"
// or "box '' 0 0 'ABN     ITSV' 1 4". Cursor reads are served from
// `cursor` while `withCursor` is set; otherwise the device has no cursor.
class RecordingPlot : public Plot {
public:
    struct Pick { float x, y; char ch; };
    std::vector<std::string> calls;
    bool withCursor = false;
    std::deque<Pick> cursor;
    int nextId = 1;
    int current = 0;
    bool failOpen = false;  // every open fails (returns 0)

    // The calls whose line starts with `prefix`.
    std::vector<std::string> matching(const std::string& prefix) const;
    void clear() { calls.clear(); }
    // Every polyline drawn (line calls), its points in normalized device
    // coordinates through the viewport and window in force.
    using Polyline = std::vector<std::pair<float, float>>;
    std::vector<Polyline> polylinesOnPage() const;
    // The fonts in force at every text and every box drawn (1, PGPLOT's
    // own, before any is set).
    std::set<int> textFonts() const;

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
    // Not recorded: the estimates at the character height in force.
    float len(const std::string& text) override { return estimateLength(text, height_); }
    void qcs(float& xch, float& ych) override { xch = ych = height_ / 40.0f; }

private:
    void rec(const std::string& s) { calls.push_back(s); }
    float height_ = 1.0f;
};

}  // namespace common
