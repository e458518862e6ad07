#include "band/core/matrix.h"

#include <cmath>

#include "common/fortran_format.h"

namespace band {

InvResult dinv(SquareMatrix& A, SquareMatrix& B, MatrixVector& w, int n) {
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) B(i, j) = (i == j) ? 1.0 : 0.0;

    // Row equilibration: every row of A scaled to a largest magnitude of 1.
    for (int r = 1; r <= n; ++r) {
        double big = 0.0;
        for (int k = 1; k <= n; ++k)
            if (std::fabs(A(r, k)) >= big) big = std::fabs(A(r, k));
        w[r] = big;
        if (!(big > kTiny)) return InvResult{InvStatus::null_row, r, big};
        for (int k = 1; k <= n; ++k) A(r, k) = A(r, k) / big;
    }

    for (int i = 1; i <= n; ++i) {
        // The row with the largest entry in column i; ties keep the earlier row.
        int p = i;
        double big = 0.0;
        for (int g = i; g <= n; ++g) {
            if (std::fabs(A(g, i)) > big) {
                big = std::fabs(A(g, i));
                p = g;
            }
        }
        if (!(big > kTiny)) return InvResult{InvStatus::noninvertible, i, big};

        // Rows are never exchanged: row p is added to row i (doubling it when p = i).
        if (p == i) {
            for (int k = 1; k <= n; ++k) {
                B(i, k) = B(i, k) + B(i, k);
                A(i, k) = A(i, k) + A(i, k);
            }
        } else {
            for (int k = 1; k <= n; ++k) {
                B(i, k) = B(i, k) + B(p, k);
                A(i, k) = A(i, k) + A(p, k);
            }
        }
        const double d = A(i, i);
        for (int k = 1; k <= n; ++k) {
            B(i, k) = B(i, k) / d;
            A(i, k) = A(i, k) / d;
        }
        for (int j = 1; j <= n; ++j) {
            if (j == i) continue;
            const double f = A(j, i);
            for (int k = 1; k <= n; ++k) {
                A(j, k) = A(j, k) - f * A(i, k);
                B(j, k) = B(j, k) - f * B(i, k);
            }
        }
    }

    // (D^-1 A)^-1 = A^-1 D: column k of B carries the factor of row k.
    for (int k = 1; k <= n; ++k)
        for (int i = 1; i <= n; ++i) B(i, k) = B(i, k) / w[k];
    return InvResult{};
}

InvResult inv(SquareMatrix& A, SquareMatrix& B, MatrixVector& w, int n) {
    InvResult r = dinv(A, B, w, n);
    if (r.ok())
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i) A(i, j) = B(i, j);
    return r;
}

std::vector<std::string> inversionMessage(const InvResult& r) {
    switch (r.status) {
        case InvStatus::null_row:
            return {"", " This matrix is null."};
        case InvStatus::noninvertible:
            return {"", " This matrix is noninvertible.", "  MAX is " + common::fortran::D(r.max, 20, 5)};
        case InvStatus::ok:
            break;
    }
    return {};
}

}  // namespace band
