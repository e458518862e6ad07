#include <gtest/gtest.h>

#include <random>

#include "band/core/matrix.h"

using namespace band;

using band::dinv;
using band::inv;
using band::InvStatus;
using band::MatrixVector;
using band::SquareMatrix;

namespace {

SquareMatrix product(const SquareMatrix& a, const SquareMatrix& b, int n) {
    SquareMatrix c;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            double s = 0;
            for (int k = 1; k <= n; ++k) s += a(i, k) * b(k, j);
            c(i, j) = s;
        }
    return c;
}

void expectIdentity(const SquareMatrix& m, int n, double tol) {
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) EXPECT_NEAR(m(i, j), i == j ? 1.0 : 0.0, tol) << "at (" << i << "," << j << ")";
}

}  // namespace

TEST(MatrixInverse, IdentityOfEverySizeInvertsToItself) {
    for (int n = 1; n <= band::kMaxOrder; ++n) {
        SquareMatrix a, b;
        MatrixVector w{};
        for (int i = 1; i <= n; ++i) a(i, i) = 1.0;
        ASSERT_TRUE(dinv(a, b, w, n).ok());
        expectIdentity(b, n, 0.0);
        expectIdentity(a, n, 0.0);  // A ends as the identity
    }
}

TEST(MatrixInverse, OneByOne) {
    for (double x : {4.0, -2.5e-3, 3.0e-10}) {
        SquareMatrix a, b;
        MatrixVector w{};
        a(1, 1) = x;
        ASSERT_TRUE(inv(a, b, w, 1).ok()) << x;
        EXPECT_DOUBLE_EQ(b(1, 1), 1.0 / x);
        EXPECT_DOUBLE_EQ(a(1, 1), 1.0 / x);
    }
    SquareMatrix a, b;
    MatrixVector w{};
    a(1, 1) = 1.0e-10;  // at the threshold: no longer a number to divide by
    EXPECT_EQ(dinv(a, b, w, 1).status, InvStatus::null_row);
}

TEST(MatrixInverse, NullRowIsReported) {
    SquareMatrix a, b;
    MatrixVector w{};
    a(1, 1) = 2;
    a(1, 2) = 1;
    a(3, 1) = 1;
    a(3, 3) = 5;  // row 2 all zero
    auto r = dinv(a, b, w, 3);
    EXPECT_EQ(r.status, InvStatus::null_row);
    EXPECT_EQ(r.row, 2);
    EXPECT_EQ(band::inversionMessage(r), (std::vector<std::string>{"", " This matrix is null."}));
}

TEST(MatrixInverse, NoninvertibleReportsTheLargestPivot) {
    // After row 1 is eliminated the second pivot is exactly 2^-40.
    SquareMatrix a, b;
    MatrixVector w{};
    a(1, 1) = 1;
    a(1, 2) = 1;
    a(2, 1) = 1;
    a(2, 2) = 1 + std::ldexp(1.0, -40);
    auto r = inv(a, b, w, 2);
    EXPECT_EQ(r.status, InvStatus::noninvertible);
    EXPECT_EQ(r.row, 2);
    EXPECT_DOUBLE_EQ(r.max, std::ldexp(1.0, -40));
    EXPECT_EQ(band::inversionMessage(r),
              (std::vector<std::string>{"", " This matrix is noninvertible.", "  MAX is          0.90949D-12"}));

    SquareMatrix c, d;
    c(1, 1) = c(1, 2) = c(2, 1) = c(2, 2) = 3;  // equal rows: the second pivot is 0
    r = dinv(c, d, w, 2);
    EXPECT_EQ(r.status, InvStatus::noninvertible);
    EXPECT_EQ(band::inversionMessage(r).back(), "  MAX is          0.00000D+00");
}

TEST(MatrixInverse, PivotFromALowerRowIsAddedNotExchanged) {
    SquareMatrix a, b;
    MatrixVector w{};
    a(1, 2) = 1;
    a(2, 1) = 1;  // zero on the diagonal
    ASSERT_TRUE(dinv(a, b, w, 2).ok());
    EXPECT_DOUBLE_EQ(b(1, 1), 0);
    EXPECT_DOUBLE_EQ(b(1, 2), 1);
    EXPECT_DOUBLE_EQ(b(2, 1), 1);
    EXPECT_DOUBLE_EQ(b(2, 2), 0);
}

TEST(MatrixInverse, RandomMatricesTimesTheirInverseGiveTheIdentity) {
    std::mt19937 gen(12345);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int n : {2, 5, 13, 22}) {
        // symmetric positive definite, badly scaled rows like a Gram matrix
        SquareMatrix m, spd;
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) m(i, j) = u(gen);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) {
                double s = 0;
                for (int k = 1; k <= n; ++k) s += m(k, i) * m(k, j);
                spd(i, j) = (s + (i == j ? 0.5 : 0.0)) * std::pow(10.0, -(i + j) / 8.0);
            }
        SquareMatrix a = spd, b;
        MatrixVector w{};
        ASSERT_TRUE(inv(a, b, w, n).ok()) << n;
        expectIdentity(product(spd, a, n), n, 1e-9);
        expectIdentity(product(b, spd, n), n, 1e-9);

        SquareMatrix g = m, gi;  // a general matrix
        ASSERT_TRUE(dinv(g, gi, w, n).ok()) << n;
        expectIdentity(product(m, gi, n), n, 1e-9);
    }
}
