// Capacities and the program-wide records of the band program. The main
// routine owns one of each and hands them to the dialogues by reference.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/page.h"
#include "common/one_based.h"

namespace band {

constexpr int kMaxBands = 1000;      // band records per k point
constexpr int kMaxLinePoints = 11;   // k points on one symmetry line
constexpr int kMaxLabels = 10;       // distinct line labels in fort.1
constexpr int kMaxShown = 10;        // symmetry lines in one band graph
constexpr int kMaxFreeTexts = 200;   // free texts in one band graph
constexpr int kGridPoints = 51;      // interpolated points per line (26 nonsymmorphic)
constexpr int kCodeLength = 32;      // characters of one symmetry code
constexpr int kMaxCodeFields = 10;   // code fields 1..10 of a band record

struct BandState {
    int nkpt = 0;
    int nbands = 0;
    int nlower = 0;
    int ninterp = 0;
    int nlines = 0;
    bool stored_setup = false;  // the set-up changes the stored one (fort.3)
};

// Normalised device coordinates of the band diagram.
struct FrameGeom {
    float view_right = common::kPortraitWidth;
    float view_top = common::kPortraitHeight;
    float frame_w = common::kFrameWidth;
    float frame_h = common::kFrameHeight;
    float frame_x0 = common::kFrameX0;
    float frame_y0 = common::kFrameY0;

    // The geometry for more than three displayed lines, drawn in landscape:
    // an A4 sheet cuts the square view surface 0.042 above its bottom, so the
    // frame stands high enough that the line titles below it, with their
    // subscripts and descenders, stay on the sheet; the Fermi text has its
    // room right of the frame.
    static FrameGeom wide() {
        return FrameGeom{1.0f, 1.0f, 1.0f - common::kFrameRightRoom - 0.16f, 0.75f, 0.16f, 0.17f};
    }
    // A picture of four or more lines is drawn in landscape, in the wide geometry.
    static bool landscape(int nshow) { return nshow >= 4; }
    static FrameGeom forLines(int nshow) { return landscape(nshow) ? wide() : FrameGeom{}; }
    float right() const { return frame_x0 + frame_w; }
    float top() const { return frame_y0 + frame_h; }
    common::Box frame() const { return {frame_x0, frame_y0, frame_w, frame_h}; }
    common::Box page() const { return {0.0f, 0.0f, view_right, view_top}; }
};

// A table indexed from 1 like the band tables: (level or band, k position).
template <typename T>
class BandTable {
public:
    BandTable() : data_(static_cast<size_t>(band::kMaxBands) * band::kMaxLinePoints) {}
    T& operator()(int b, int k) { return data_.at(index(b, k)); }
    const T& operator()(int b, int k) const { return data_.at(index(b, k)); }
    void fill(const T& v) { std::fill(data_.begin(), data_.end(), v); }

private:
    static size_t index(int b, int k) {
        return static_cast<size_t>(b - 1) * band::kMaxLinePoints + static_cast<size_t>(k - 1);
    }
    std::vector<T> data_;
};

// The symmetry line being set up (also the header of its block in fort.3).
struct LineState {
    int label = 0;
    int nkl = 0;
    bool use_bin = true;  // built from fort.1 rather than taken over from fort.3
    int kfirst = 1, klast = 1, kstep = 1;
    int begin_ns = 0, end_ns = 0;
    int drop_sel = 0;
    int ns_incl = 0;
};

// Per-line k points and band tables, positions 1..nkl.
struct LineTables {
    struct KPoint {
        float x = 0, y = 0, z = 0;
        int kfile = 0;
        int nsel = 0;
        std::array<int, band::kMaxCodeFields> sel{};
    };
    common::OneBased<KPoint, kMaxLinePoints> kpts;  // index 1..nkl
    BandTable<float> energy_orig;
    BandTable<float> energy_cur;
    BandTable<int> band_order;
    BandTable<std::string> sym_code;
    common::OneBased<float, kMaxLinePoints> kdist;  // index 1..nkl
    float line_length = 0;
    float emin = 0, emax = 0, elow = 0, ehigh = 0;
};

}  // namespace band
