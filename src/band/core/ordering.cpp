#include "band/core/ordering.h"

#include "common/fortran_format.h"

namespace band {

using namespace common;

std::string makeSymCode(const BandRecord& rec, int nsel, const std::array<int, kMaxCodeFields>& sel) {
    std::string code(static_cast<size_t>(kCodeLength), ' ');
    if (nsel > kMaxCodeFields) nsel = kMaxCodeFields;
    for (int l = 1; l <= nsel; ++l) {
        const int field = sel[static_cast<size_t>(l - 1)];
        if (field < 0 || field >= static_cast<int>(rec.code.size())) continue;
        code.replace(static_cast<size_t>(3 * l - 3), 3, fortran::I(rec.code[static_cast<size_t>(field)], 3));
    }
    return code;
}

namespace {

// Number of k points from `from` to klast in steps of kstep (0 when past it).
int tripCount(int from, int klast, int kstep) {
    const int t = (klast - from) / kstep + 1;
    return t > 0 ? t : 0;
}

}  // namespace

void tlbsrt(BandTable<int>& band_order, int kfirst, int klast, int kstep, int nlower, int ninterp,
            const BandTable<std::string>& sym_code) {
    if (kstep != 1 && kstep != -1) return;
    const int lo = nlower + 1;
    const int hi = nlower + ninterp;

    for (int t = 0, k = kfirst + kstep; t < tripCount(kfirst + kstep, klast, kstep); ++t, k += kstep)
        for (int i = lo; i <= hi; ++i) band_order(i, k) = 0;

    int ref = kfirst;
    for (int c = lo; c <= hi; ++c) {
        bool again = true;
        while (again) {
            again = false;
            const std::string& code = sym_code(c, ref);
            const int n = tripCount(ref + kstep, klast, kstep);
            for (int t = 0, k = ref + kstep; t < n; ++t, k += kstep) {
                int found = 0;
                for (int i = lo; i <= hi && found == 0; ++i)
                    if (band_order(i, k) == 0 && sym_code(i, k) == code) found = i;
                if (found != 0) {
                    band_order(found, k) = c;
                    continue;
                }
                // The code is lost here: the next k point becomes the reference.
                ref += kstep;
                for (int j = lo; j <= hi; ++j) band_order(j, ref) = j;
                if (ref == klast) {
                    band_order(c, k) = c;
                    break;
                }
                // What band c was given beyond the new reference is given again.
                for (int s = 0, kk = ref + kstep; s < tripCount(ref + kstep, klast, kstep); ++s, kk += kstep)
                    for (int i = lo; i <= hi; ++i)
                        if (band_order(i, kk) == c) band_order(i, kk) = 0;
                again = true;
                break;
            }
        }
    }
}

void tlsrt2(BandTable<float>& energy_cur, BandTable<float>& energy_orig, const BandTable<int>& band_order,
            int nlower, int ninterp, int nbands, int nkl) {
    for (int j = 1; j <= nkl; ++j)
        for (int b = 1; b <= nbands; ++b) energy_orig(b, j) = energy_cur(b, j);
    energiesByBand(energy_cur, energy_orig, band_order, nlower, ninterp, nkl);
}

void energiesByBand(BandTable<float>& energy_cur, const BandTable<float>& energy_orig,
                    const BandTable<int>& band_order, int nlower, int ninterp, int nkl) {
    for (int j = 1; j <= nkl; ++j)
        for (int k = nlower + 1; k <= nlower + ninterp; ++k) {
            const int b = band_order(k, j);
            if (b >= 1 && b <= kMaxBands) energy_cur(b, j) = energy_orig(k, j);
        }
}

bool isOrderRow(const std::vector<int>& row, int nbands, int nlower, int ninterp) {
    if (static_cast<int>(row.size()) != nbands || nlower < 0 || ninterp < 1 || nlower + ninterp > nbands)
        return false;
    std::vector<bool> seen(static_cast<size_t>(nbands) + 1, false);
    for (int b = 1; b <= nbands; ++b) {
        const int v = row[static_cast<size_t>(b - 1)];
        const bool inside = b > nlower && b <= nlower + ninterp;
        if (!inside) {
            if (v != 0) return false;
            continue;
        }
        if (v <= nlower || v > nlower + ninterp || seen[static_cast<size_t>(v)]) return false;
        seen[static_cast<size_t>(v)] = true;
    }
    return true;
}

bool headerInRange(const SetupBlock& b) {
    return (b.begin_ns == 0 || b.begin_ns == 1) && (b.end_ns == 0 || b.end_ns == 1) && b.drop_sel >= 0 &&
           b.drop_sel <= 3 && (b.ns_incl == 0 || b.ns_incl == 1);
}

std::vector<std::vector<int>> tsort(const SetupBlock& block, int nbands) {
    std::vector<std::vector<int>> perms;
    if (block.order.empty() || nbands < 1) return perms;
    const auto nb = static_cast<size_t>(nbands);
    perms.emplace_back(nb, 0);

    const std::vector<int>& first = block.order.front();
    // positions(v): the positions at this k point whose entry is v, ascending.
    std::vector<std::vector<int>> positions(nb + 1);
    std::vector<size_t> used(nb + 1, 0);
    for (size_t k = 1; k < block.order.size(); ++k) {
        const std::vector<int>& row = block.order[k];
        for (auto& p : positions) p.clear();
        for (auto& u : used) u = 0;
        for (size_t h = 0; h < nb && h < row.size(); ++h) {
            const int v = row[h];
            if (v >= 1 && v <= nbands) positions[static_cast<size_t>(v)].push_back(static_cast<int>(h) + 1);
        }
        std::vector<int> perm(nb, 0);
        size_t q = 0;
        for (size_t h = 0; h < nb && h < first.size(); ++h) {
            const int v = first[h];
            if (v < 1 || v > nbands) continue;
            auto& list = positions[static_cast<size_t>(v)];
            auto& u = used[static_cast<size_t>(v)];
            perm[q++] = u < list.size() ? list[u++] : 0;
        }
        perms.push_back(std::move(perm));
    }
    return perms;
}

}  // namespace band
