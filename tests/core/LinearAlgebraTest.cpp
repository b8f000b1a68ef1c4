// Matrix product, matrix power, Kronecker and cross products of
// MathMatrix<T>. Expected matrices are worked out by hand.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "support/Fuzzy.h"

#include <climits>
#include <cmath>
#include <functional>
#include <initializer_list>

#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::fuzzyEqual;
using namespace std::complex_literals;

// A rows-by-cols matrix from its elements listed row by row. Values cannot be
// moved, so the helper is a derived class that fills itself.
template <class V> struct Mat : V {
    Mat(int rows, int cols, std::initializer_list<typename V::element_type> rowMajor) {
        this->setShape(rows, cols);
        auto it = rowMajor.begin();
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j)
                (*this)[j * rows + i] = *it++;
    }
};

template <class V>
void expectExact(const V& v, int rows, int cols,
                 std::initializer_list<typename V::element_type> rowMajor) {
    ASSERT_EQ(v.nrow, rows);
    ASSERT_EQ(v.n, rows * cols);
    auto it = rowMajor.begin();
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j, ++it)
            EXPECT_EQ(v[j * rows + i], *it) << i << "," << j;
}

void expectNear(const DoubleValue& v, int rows, int cols, std::initializer_list<double> rowMajor) {
    ASSERT_EQ(v.nrow, rows);
    ASSERT_EQ(v.n, rows * cols);
    auto it = rowMajor.begin();
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j, ++it) {
            if (*it == 0)
                EXPECT_NEAR(v[j * rows + i], 0.0, 1e-13) << i << "," << j;
            else
                EXPECT_TRUE(fuzzyEqual(v[j * rows + i], *it, 1e-12)) << i << "," << j;
        }
}

std::string codeOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const CodeError& e) {
        return e.message();
    }
    return "";
}

TEST(LinearAlgebraProduct, DoubleThroughBlas) {
    auto a = Mat<DoubleValue>(2, 3, {1, 2, 3, 4, 5, 6});
    a.matrixProduct(Mat<DoubleValue>(3, 2, {7, 8, 9, 10, 11, 12}));
    expectExact(a, 2, 2, {58, 64, 139, 154});

    auto row = Mat<DoubleValue>(1, 3, {1, 2, 3});
    row.matrixProduct(Mat<DoubleValue>(3, 1, {4, 5, 6}));
    expectExact(row, 1, 1, {32});

    auto column = Mat<DoubleValue>(2, 1, {1, 2});
    column.matrixProduct(Mat<DoubleValue>(1, 3, {3, 4, 5}));
    expectExact(column, 2, 3, {3, 4, 5, 6, 8, 10});

    auto square = Mat<DoubleValue>(2, 2, {1, 2, 3, 4});
    square.matrixProduct(square);
    expectExact(square, 2, 2, {7, 10, 15, 22});
}

TEST(LinearAlgebraProduct, IntegerAndComplex) {
    auto a = Mat<IntValue>(2, 3, {1, 2, 3, 4, 5, 6});
    a.matrixProduct(Mat<IntValue>(3, 2, {7, 8, 9, 10, 11, 12}));
    expectExact(a, 2, 2, {58, 64, 139, 154});

    auto big = Mat<IntValue>(1, 2, {50000, 1});
    big.matrixProduct(Mat<IntValue>(2, 1, {50000, 0}));
    expectExact(big, 1, 1, {-1794967296}); // wraps like elementwise '*'

    auto z = Mat<ComplexValue>(2, 2, {1.0, 1i, 0.0, 1.0});
    z.matrixProduct(Mat<ComplexValue>(2, 1, {1.0, 1i}));
    expectExact(z, 2, 1, {0.0, 1i});

    auto w = Mat<ComplexValue>(1, 2, {1.0 + 1i, 2.0});
    w.matrixProduct(Mat<ComplexValue>(2, 2, {1i, 1.0, 3.0, -1i}));
    // (1+i)i + 2*3 = 5+i;  (1+i)*1 + 2*(-i) = 1-i
    expectExact(w, 1, 2, {5.0 + 1i, 1.0 - 1i});
}

TEST(LinearAlgebraProduct, SizeFailuresAndEmpties) {
    auto a = Mat<DoubleValue>(2, 3, {1, 2, 3, 4, 5, 6});
    auto b = Mat<DoubleValue>(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(codeOf([&] { a.matrixProduct(b); }), "incompatible objects at operator .");
    expectExact(a, 2, 3, {1, 2, 3, 4, 5, 6});

    DoubleValue empty;
    empty.matrixProduct(DoubleValue());
    EXPECT_EQ(empty.n, 0);
    DoubleValue noColumns;
    noColumns.setShapeKind(0, 2, 0); // 2-by-0
    noColumns.matrixProduct(DoubleValue());
    EXPECT_EQ(noColumns.n, 0);
    EXPECT_EQ(codeOf([&] {
                  empty.matrixProduct(Mat<DoubleValue>(1, 2, {1, 2}));
              }),
              "incompatible objects at operator .");
}

TEST(LinearAlgebraPower, WholeExponents) {
    auto a = Mat<DoubleValue>(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 10});
    a.matrixPower(DoubleValue(0.0));
    expectExact(a, 3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1});

    auto fib = Mat<DoubleValue>(2, 2, {2, 1, 1, 1});
    fib.matrixPower(DoubleValue(3.0));
    expectExact(fib, 2, 2, {13, 8, 8, 5});

    auto shear = Mat<DoubleValue>(2, 2, {1, 1, 0, 1});
    shear.matrixPower(DoubleValue(1000.0));
    expectExact(shear, 2, 2, {1, 1000, 0, 1});

    auto i = Mat<IntValue>(2, 2, {2, 1, 1, 1});
    i.matrixPower(IntValue(3));
    expectExact(i, 2, 2, {13, 8, 8, 5});
    i.matrixPower(IntValue(1));
    expectExact(i, 2, 2, {13, 8, 8, 5});

    auto z = Mat<ComplexValue>(2, 2, {1.0, 1i, 0.0, 1.0});
    z.matrixPower(ComplexValue(3.0));
    expectExact(z, 2, 2, {1.0, 3i, 0.0, 1.0});
    auto rotation = Mat<ComplexValue>(2, 2, {1i, 0.0, 0.0, 1i});
    rotation.matrixPower(ComplexValue(2.0));
    expectExact(rotation, 2, 2, {-1.0, 0.0, 0.0, -1.0});
}

TEST(LinearAlgebraPower, FractionalExponentsThroughEigenvalues) {
    // [5 4; 4 5] has eigenvalues 9 and 1 along (1, 1) and (1, -1): its
    // square root is [2 1; 1 2], its inverse [5 -4; -4 5] / 9.
    auto a = Mat<DoubleValue>(2, 2, {5, 4, 4, 5});
    a.matrixPower(DoubleValue(0.5));
    expectNear(a, 2, 2, {2, 1, 1, 2});

    auto b = Mat<DoubleValue>(2, 2, {5, 4, 4, 5});
    b.matrixPower(DoubleValue(-1.0));
    expectNear(b, 2, 2, {5.0 / 9, -4.0 / 9, -4.0 / 9, 5.0 / 9});

    auto diagonal = Mat<DoubleValue>(3, 3, {4, 0, 0, 0, 9, 0, 0, 0, 16});
    diagonal.matrixPower(DoubleValue(1.5));
    expectNear(diagonal, 3, 3, {8, 0, 0, 0, 27, 0, 0, 0, 64});

    DoubleValue scalar(16.0);
    scalar.matrixPower(DoubleValue(0.25));
    expectNear(scalar, 1, 1, {2});
}

TEST(LinearAlgebraPower, Refusals) {
    auto wide = Mat<DoubleValue>(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(codeOf([&] { wide.matrixPower(DoubleValue(2.0)); }),
              "incompatible objects at operator ^");
    auto square = Mat<DoubleValue>(2, 2, {1, 2, 2, 1});
    EXPECT_EQ(codeOf([&] {
                  square.matrixPower(Mat<DoubleValue>(1, 2, {1, 2}));
              }),
              "incompatible objects at operator ^");
    // Eigenvalues 3 and -1.
    EXPECT_EQ(codeOf([&] { square.matrixPower(DoubleValue(0.5)); }), "invalid matrix power");
    auto skew = Mat<DoubleValue>(2, 2, {4, 1, 0, 4});
    EXPECT_EQ(codeOf([&] { skew.matrixPower(DoubleValue(0.5)); }), "invalid matrix power");
    expectExact(skew, 2, 2, {4, 1, 0, 4});

    auto i = Mat<IntValue>(2, 2, {1, 0, 0, 1});
    EXPECT_THROW(i.matrixPower(IntValue(-1)), RuntimeError);
    auto z = Mat<ComplexValue>(2, 2, {1.0, 0.0, 0.0, 1.0});
    EXPECT_THROW(z.matrixPower(ComplexValue(0.5)), RuntimeError);
    EXPECT_THROW(z.matrixPower(ComplexValue(1i)), RuntimeError);
}

TEST(LinearAlgebraKronecker, BlocksOfScaledCopies) {
    auto a = Mat<DoubleValue>(2, 2, {1, 2, 3, 4});
    a.kronecker(Mat<DoubleValue>(2, 2, {0, 5, 6, 7}));
    expectExact(a, 4, 4, {0, 5, 0, 10, 6, 7, 12, 14, 0, 15, 0, 20, 18, 21, 24, 28});

    auto row = Mat<IntValue>(1, 2, {1, 2});
    row.kronecker(Mat<IntValue>(2, 1, {1, 2}));
    expectExact(row, 2, 2, {1, 2, 2, 4});

    auto column = Mat<IntValue>(2, 1, {1, -1});
    column.kronecker(Mat<IntValue>(1, 3, {1, 2, 3}));
    expectExact(column, 2, 3, {1, 2, 3, -1, -2, -3});

    auto z = Mat<ComplexValue>(1, 2, {1i, 2.0});
    z.kronecker(ComplexValue(1.0 + 1i));
    expectExact(z, 1, 2, {-1.0 + 1i, 2.0 + 2i});

    DoubleValue empty;
    empty.kronecker(a);
    EXPECT_EQ(empty.n, 0);
    auto m = Mat<DoubleValue>(1, 2, {1, 2});
    m.kronecker(DoubleValue());
    EXPECT_EQ(m.n, 0);
}

TEST(LinearAlgebraCross, SingleVectors) {
    auto x = Mat<DoubleValue>(1, 3, {1, 0, 0});
    x.cross(Mat<DoubleValue>(1, 3, {0, 1, 0}));
    expectExact(x, 1, 3, {0, 0, 1});

    // Shape follows the left operand even when the right one is a column.
    auto u = Mat<DoubleValue>(3, 1, {1, 2, 3});
    u.cross(Mat<DoubleValue>(1, 3, {4, 5, 6}));
    expectExact(u, 3, 1, {-3, 6, -3});

    auto i = Mat<IntValue>(1, 3, {1, 2, 3});
    i.cross(Mat<IntValue>(1, 3, {4, 5, 6}));
    expectExact(i, 1, 3, {-3, 6, -3});

    auto z = Mat<ComplexValue>(1, 3, {1i, 0.0, 0.0});
    z.cross(Mat<ComplexValue>(1, 3, {0.0, 1i, 0.0}));
    expectExact(z, 1, 3, {0.0, 0.0, -1.0});
}

TEST(LinearAlgebraCross, SetsOfVectors) {
    // Columns e1, e2 crossed with columns e2, e3 give e3, e1.
    auto cols = Mat<DoubleValue>(3, 2, {1, 0, 0, 1, 0, 0});
    cols.cross(Mat<DoubleValue>(3, 2, {0, 0, 1, 0, 0, 1}));
    expectExact(cols, 3, 2, {0, 1, 0, 0, 1, 0});

    // The same as rows of a 2-by-3 matrix.
    auto rows = Mat<DoubleValue>(2, 3, {1, 0, 0, 0, 1, 0});
    rows.cross(Mat<DoubleValue>(2, 3, {0, 1, 0, 0, 0, 1}));
    expectExact(rows, 2, 3, {0, 0, 1, 1, 0, 0});

    // A 3-by-3 matrix holds columns: e1, e2, e3 each crossed with e3.
    auto identity = Mat<DoubleValue>(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1});
    identity.cross(Mat<DoubleValue>(3, 1, {0, 0, 1}));
    expectExact(identity, 3, 3, {0, 1, 0, -1, 0, 0, 0, 0, 0});

    // A single left vector takes the layout of the right set.
    auto single = Mat<DoubleValue>(1, 3, {0, 0, 1});
    single.cross(Mat<DoubleValue>(2, 3, {1, 0, 0, 0, 1, 0}));
    expectExact(single, 2, 3, {0, 1, 0, -1, 0, 0});

    // Columns on the left, a row vector on the right.
    auto left = Mat<DoubleValue>(3, 2, {1, 0, 0, 1, 0, 0});
    left.cross(Mat<DoubleValue>(1, 3, {0, 0, 1}));
    expectExact(left, 3, 2, {0, 1, -1, 0, 0, 0});
}

TEST(LinearAlgebraCross, UnfitSizesRaiseCaret) {
    auto a = Mat<DoubleValue>(3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(codeOf([&] {
                  a.cross(Mat<DoubleValue>(3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
              }),
              "incompatible objects at operator ^");
    EXPECT_EQ(codeOf([&] {
                  a.cross(Mat<DoubleValue>(2, 2, {1, 2, 3, 4}));
              }),
              "incompatible objects at operator ^");
    auto pair = Mat<DoubleValue>(1, 2, {1, 2});
    EXPECT_EQ(codeOf([&] {
                  pair.cross(Mat<DoubleValue>(1, 3, {1, 2, 3}));
              }),
              "incompatible objects at operator ^");
    expectExact(a, 3, 2, {1, 2, 3, 4, 5, 6});
}

} // namespace
} // namespace vemlor
