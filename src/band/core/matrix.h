// Inversion of the small symmetric matrices of the band fit: Gauss-Jordan
// elimination with row equilibration, in double precision.
#pragma once

#include "common/one_based.h"

#include <array>
#include <string>
#include <vector>

namespace band {

constexpr int kMaxOrder = 22;       // largest matrix: 2 conditions x 11 k points
constexpr double kTiny = 1.0e-10;   // row maxima and pivots at or below this are zero

// An n x n matrix (n <= 22) stored column by column, indexed from 1.
class SquareMatrix {
public:
    double& operator()(int i, int j) { return a_[index(i, j)]; }
    double operator()(int i, int j) const { return a_[index(i, j)]; }

private:
    static size_t index(int i, int j) {
        return static_cast<size_t>(j - 1) * kMaxOrder + static_cast<size_t>(i - 1);
    }
    std::array<double, kMaxOrder * kMaxOrder> a_{};
};

using MatrixVector = common::OneBased<double, kMaxOrder>;  // index 1..n

enum class InvStatus { ok, null_row, noninvertible };

struct InvResult {
    InvStatus status = InvStatus::ok;
    int row = 0;       // the null row, or the pivot column that failed
    double max = 0.0;  // the largest pivot magnitude found when noninvertible
    bool ok() const { return status == InvStatus::ok; }
};

// B := A^-1. A is destroyed; w holds the row scale factors. On failure B and
// A hold partial results and the caller reports the status.
InvResult dinv(SquareMatrix& A, SquareMatrix& B, MatrixVector& w, int n);

// As dinv, and then A := B, so that both hold the inverse.
InvResult inv(SquareMatrix& A, SquareMatrix& B, MatrixVector& w, int n);

// The console lines of a failed inversion (an empty line first):
// "(/,' This matrix is null.')" or
// "(/,' This matrix is noninvertible.',/,'  MAX is ',D20.5)".
std::vector<std::string> inversionMessage(const InvResult& r);

}  // namespace band
