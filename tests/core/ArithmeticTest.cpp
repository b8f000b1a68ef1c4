// Elementwise arithmetic, the logical and bitwise operators, vector add and
// the concatenations of MathMatrix<T>. Expected values are worked out by hand
// (integer wrap-around with modular arithmetic on 2^32).
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OperatorCodes.h"
#include "support/Fuzzy.h"

#include <climits>
#include <cmath>
#include <functional>
#include <tuple>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::fuzzyEqual;

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

// The message of the CodeError a failing operation raises, "" when it
// succeeds.
std::string codeOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const CodeError& e) {
        return e.message();
    }
    return "";
}

// The message of the RuntimeError an operation raises, empty when none.
std::string runtimeMessage(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const RuntimeError& e) {
        return e.what();
    }
    return {};
}

TEST(ArithmeticBroadcast, ScalarOnEitherSide) {
    auto row = Mat<IntValue>(1, 3, {1, 2, 3});
    row.elementwise(IntValue(1), OP_PLUS);
    expectExact(row, 1, 3, {2, 3, 4});

    // A scalar left operand takes the right one's shape but keeps its kind.
    IntValue scalar(1);
    auto text = Mat<IntValue>(1, 3, {1, 2, 3});
    text.kind = KIND_STRING;
    scalar.elementwise(text, OP_PLUS);
    expectExact(scalar, 1, 3, {2, 3, 4});
    EXPECT_EQ(scalar.kind, KIND_NUMERIC);

    auto word = Mat<IntValue>(1, 2, {97, 98});
    word.kind = KIND_STRING;
    word.elementwise(IntValue(1), OP_PLUS);
    expectExact(word, 1, 2, {98, 99});
    EXPECT_EQ(word.kind, KIND_STRING);

    DoubleValue ten(10.0);
    ten.elementwise(Mat<DoubleValue>(2, 2, {1, 2, 4, 5}), OP_DIVIDE);
    expectExact(ten, 2, 2, {10, 5, 2.5, 2});

    DoubleValue two(2.0);
    DoubleValue empty;
    two.elementwise(empty, OP_TIMES);
    EXPECT_EQ(two.n, 0);
}

TEST(ArithmeticBroadcast, ShapeMismatchRaisesOperatorAndLeavesOperands) {
    auto l = Mat<IntValue>(1, 3, {1, 2, 3});
    auto r = Mat<IntValue>(1, 2, {1, 2});
    EXPECT_EQ(codeOf([&] { l.elementwise(r, OP_PLUS); }), "incompatible objects at operator +");
    expectExact(l, 1, 3, {1, 2, 3});
    expectExact(r, 1, 2, {1, 2});

    // Same count, different rows: still incompatible.
    auto square = Mat<DoubleValue>(2, 2, {1, 2, 3, 4});
    auto flat = Mat<DoubleValue>(1, 4, {1, 2, 3, 4});
    EXPECT_EQ(codeOf([&] { square.elementwise(flat, OP_MINUS); }),
              "incompatible objects at operator -");
    EXPECT_EQ(codeOf([&] { square.elementwise(flat, OP_TIMES); }),
              "incompatible objects at operator *");
    EXPECT_EQ(codeOf([&] { square.elementwise(flat, OP_DIVIDE); }),
              "incompatible objects at operator /");
    EXPECT_EQ(codeOf([&] { square.elementwise(flat, OP_POWER); }),
              "incompatible objects at operator ^");
    EXPECT_EQ(codeOf([&] { square.elementwise(flat, OP_INT_DIVIDE); }),
              "incompatible objects at operator _");
    EXPECT_EQ(codeOf([&] { square.elementwise(flat, OP_MOD); }),
              "incompatible objects at operator u");
}

TEST(ArithmeticBroadcast, PlaceholderAndForeignCodes) {
    DoubleValue a(1.0), b(2.0);
    EXPECT_EQ(codeOf([&] { a.elementwise(b, OP_MATRIX_POWER); }),
              "incompatible objects at operator 3");
    EXPECT_EQ(codeOf([&] { a.elementwise(b, OP_MATRIX_PRODUCT); }),
              "incompatible objects at operator 0");
    EXPECT_EQ(codeOf([&] { a.elementwise(b, OP_KRONECKER); }),
              "incompatible objects at operator 1");
    EXPECT_EQ(codeOf([&] { a.elementwise(b, OP_CROSS); }), "incompatible objects at operator 2");
    EXPECT_EQ(codeOf([&] { a.elementwise(b, 1); }), "incompatible objects at operator 1");
    EXPECT_EQ(codeOf([&] { a.elementwise(b, 15); }), "incompatible objects at operator 5");
    EXPECT_THROW(a.elementwise(b, OP_VECTOR_ADD), InternalError);
    EXPECT_THROW(a.elementwise(b, -1), InternalError);
    EXPECT_EQ(a[0], 1.0);
}

TEST(ArithmeticElements, QuotientsAndRemainders) {
    auto intOp = [](int a, int b, int code) {
        IntValue v(a);
        v.elementwise(IntValue(b), code);
        return v[0];
    };
    auto doubleOp = [](double a, double b, int code) {
        DoubleValue v(a);
        v.elementwise(DoubleValue(b), code);
        return v[0];
    };
    EXPECT_EQ(intOp(7, 2, OP_INT_DIVIDE), 3);
    EXPECT_EQ(intOp(-7, 2, OP_INT_DIVIDE), -3);
    EXPECT_EQ(doubleOp(-7, 2, OP_INT_DIVIDE), -4.0);
    EXPECT_EQ(doubleOp(7, 2, OP_INT_DIVIDE), 3.0);
    EXPECT_EQ(intOp(7, -2, OP_DIVIDE), -3);
    EXPECT_EQ(intOp(7, 3, OP_MOD), 1);
    EXPECT_EQ(intOp(-7, 3, OP_MOD), -1);
    EXPECT_EQ(doubleOp(7, 3, OP_MOD), 1.0);
    EXPECT_EQ(doubleOp(-7, 3, OP_MOD), -1.0);
    EXPECT_EQ(doubleOp(7.5, 2, OP_MOD), 1.5);
    EXPECT_TRUE(std::isinf(doubleOp(1, 0, OP_DIVIDE)));
    EXPECT_TRUE(fuzzyEqual(doubleOp(2, 0.5, OP_POWER), std::sqrt(2.0)));
    EXPECT_TRUE(std::isnan(doubleOp(-8, 1.0 / 3, OP_POWER)));

    EXPECT_EQ(intOp(INT_MIN, -1, OP_MOD), 0);
}

// Integer results beyond 32 bits are refused, and the left operand keeps its
// elements even when only a later one overflows.
TEST(ArithmeticElements, IntegerOverflowIsRefusedWhole) {
    auto intOp = [](int a, int b, int code) {
        IntValue v(a);
        v.elementwise(IntValue(b), code);
        return v[0];
    };
    for (auto [a, b, code] : {std::tuple{50000, 50000, OP_TIMES}, {INT_MAX, 1, OP_PLUS},
                              {INT_MIN, 1, OP_MINUS}, {2, 31, OP_POWER}, {3, 40, OP_POWER},
                              {INT_MIN, -1, OP_DIVIDE}, {INT_MIN, -1, OP_INT_DIVIDE}})
        EXPECT_EQ(runtimeMessage([&] { intOp(a, b, code); }), "integer overflow") << a << " " << b;
    EXPECT_EQ(intOp(40000, 40000, OP_TIMES), 1600000000);
    EXPECT_EQ(intOp(2, 30, OP_POWER), 1073741824);
    EXPECT_EQ(intOp(-2, 31, OP_POWER), INT_MIN);
    auto row = Mat<IntValue>(1, 3, {1, INT_MAX, 3});
    EXPECT_EQ(runtimeMessage([&] { row.elementwise(IntValue(1), OP_PLUS); }), "integer overflow");
    expectExact(row, 1, 3, {1, INT_MAX, 3});
    EXPECT_EQ(intOp(2, 10, OP_POWER), 1024);
    EXPECT_EQ(intOp(-3, 3, OP_POWER), -27);
    EXPECT_EQ(intOp(0, 0, OP_POWER), 1);
    // Negative exponents: 1 / a^|b| truncated.
    EXPECT_EQ(intOp(2, -1, OP_POWER), 0);
    EXPECT_EQ(intOp(1, -5, OP_POWER), 1);
    EXPECT_EQ(intOp(-1, -3, OP_POWER), -1);
    EXPECT_EQ(intOp(-1, -2, OP_POWER), 1);
}

TEST(ArithmeticElements, IntegerDivisionByZeroIsRefusedWhole) {
    auto l = Mat<IntValue>(1, 3, {6, 8, 9});
    auto r = Mat<IntValue>(1, 3, {3, 2, 0});
    for (int code : {OP_DIVIDE, OP_INT_DIVIDE, OP_MOD}) {
        EXPECT_EQ(runtimeMessage([&] { l.elementwise(r, code); }), "division by zero");
        expectExact(l, 1, 3, {6, 8, 9});
    }
    EXPECT_EQ(runtimeMessage([&] { l.elementwise(IntValue(0), OP_DIVIDE); }), "division by zero");
    IntValue zero(0);
    EXPECT_EQ(runtimeMessage([&] { zero.elementwise(IntValue(-2), OP_POWER); }),
              "division by zero");
    EXPECT_EQ(runtimeMessage([&] { zero.elementwise(IntValue(3), OP_MOD); }), "");
    EXPECT_EQ(zero[0], 0);
}

TEST(ArithmeticElements, PairwiseWithAliasedOperand) {
    auto m = Mat<DoubleValue>(2, 2, {1, 2, 3, 4});
    m.elementwise(m, OP_TIMES);
    expectExact(m, 2, 2, {1, 4, 9, 16});
}

// out = l op r in one pass must leave exactly what copying l and combining
// in place leaves: elements, shape and kind word, for every broadcast case,
// and when out is l or r itself.
template <class V> void expectSameAsInPlace(const V& l, const V& r, int code) {
    V expected;
    expected.copyFrom(l);
    expected.elementwise(r, code);
    V out;
    out.setShapeKind(7, 7, KIND_NUMERIC); // leftovers that must not show
    out.assignElementwise(l, r, code);
    ASSERT_EQ(out.n, expected.n);
    EXPECT_EQ(out.nrow, expected.nrow);
    EXPECT_EQ(out.kind, expected.kind);
    for (int i = 0; i < out.n; ++i)
        EXPECT_TRUE(out[i] == expected[i] || (out[i] != out[i] && expected[i] != expected[i])) << i;

    V rightAsOut;
    rightAsOut.copyFrom(r);
    rightAsOut.assignElementwise(l, rightAsOut, code);
    ASSERT_EQ(rightAsOut.n, expected.n);
    EXPECT_EQ(rightAsOut.nrow, expected.nrow);
    for (int i = 0; i < rightAsOut.n; ++i)
        EXPECT_TRUE(rightAsOut[i] == expected[i] || expected[i] != expected[i]) << i;
}

TEST(ArithmeticInto, MatchesCopyThenCombine) {
    auto matrix = Mat<DoubleValue>(2, 3, {1, -2, 3, 4.5, 0, -6});
    auto other = Mat<DoubleValue>(2, 3, {2, 2, -1, 0.5, 3, 4});
    DoubleValue scalar(1.5), empty;
    auto text = Mat<DoubleValue>(1, 3, {97, 98, 99});
    text.kind = KIND_STRING;
    DoubleValue one(3.0);
    one.kind = KIND_STRING;
    std::vector<std::pair<const DoubleValue*, const DoubleValue*>> pairs = {
        {&matrix, &other}, {&matrix, &scalar}, {&scalar, &matrix}, {&scalar, &scalar},
        {&text, &scalar},  {&one, &text},      {&scalar, &empty},  {&empty, &scalar},
        {&empty, &empty},  {&matrix, &matrix}};
    for (int code : {OP_PLUS, OP_MINUS, OP_TIMES, OP_DIVIDE, OP_POWER, OP_INT_DIVIDE, OP_MOD})
        for (auto [l, r] : pairs) {
            SCOPED_TRACE(testing::Message() << "code " << code << ", sizes " << l->n << " " << r->n);
            expectSameAsInPlace(*l, *r, code);
        }
    auto ints = Mat<IntValue>(1, 3, {7, -8, 9});
    for (int code : {OP_PLUS, OP_TIMES, OP_DIVIDE, OP_POWER, OP_MOD})
        expectSameAsInPlace<IntValue>(ints, IntValue(2), code);
    auto complexes = Mat<ComplexValue>(1, 2, {complexd(1, 2), complexd(0, -1)});
    expectSameAsInPlace<ComplexValue>(complexes, complexes, OP_TIMES);
    expectSameAsInPlace<ComplexValue>(ComplexValue(complexd(2, 1)), complexes, OP_DIVIDE);
}

TEST(ArithmeticInto, RefusalsLeaveTheResultAlone) {
    auto l = Mat<IntValue>(1, 3, {6, 8, 9});
    auto zeros = Mat<IntValue>(1, 3, {1, 0, 2});
    auto out = Mat<IntValue>(1, 2, {4, 5});
    EXPECT_EQ(runtimeMessage([&] { out.assignElementwise(l, zeros, OP_DIVIDE); }),
              "division by zero");
    EXPECT_EQ(codeOf([&] { out.assignElementwise(l, out, OP_PLUS); }),
              "incompatible objects at operator +");
    EXPECT_EQ(codeOf([&] { out.assignElementwise(l, l, OP_MATRIX_PRODUCT); }),
              "incompatible objects at operator 0");
    expectExact(out, 1, 2, {4, 5});
}

TEST(ArithmeticComplex, OperatorsUseComplexArithmetic) {
    auto op = [](complexd a, complexd b, int code) {
        ComplexValue v(a);
        v.elementwise(ComplexValue(b), code);
        return v[0];
    };
    using namespace std::complex_literals;
    EXPECT_EQ(op(1.0 + 2i, 3.0 - 1i, OP_PLUS), 4.0 + 1i);
    EXPECT_EQ(op(1.0 + 2i, 3.0 - 1i, OP_MINUS), -2.0 + 3i);
    EXPECT_EQ(op(1.0 + 2i, 3.0 - 1i, OP_TIMES), 5.0 + 5i);
    complexd q = op(1.0 + 2i, 3.0 - 1i, OP_DIVIDE);
    EXPECT_TRUE(fuzzyEqual(q.real(), 0.1));
    EXPECT_TRUE(fuzzyEqual(q.imag(), 0.7));
    EXPECT_EQ(op(1.0 + 1i, 2.0, OP_POWER), 2i);
    EXPECT_EQ(op(1i, 2.0, OP_POWER), -1.0 + 0i);
    EXPECT_EQ(op(0.0, 0.0, OP_POWER), 1.0 + 0i);
    EXPECT_EQ(op(2.0, -2.0, OP_POWER), 0.25 + 0i);
    complexd root = op(-1.0, 0.5, OP_POWER);
    EXPECT_NEAR(root.real(), 0.0, 1e-15);
    EXPECT_TRUE(fuzzyEqual(root.imag(), 1.0));
    complexd halfTurn = op(1i, 0.5, OP_POWER);
    EXPECT_TRUE(fuzzyEqual(halfTurn.real(), std::sqrt(0.5)));
    EXPECT_TRUE(fuzzyEqual(halfTurn.imag(), std::sqrt(0.5)));
    // Whole quotient and remainder agree with the double rules on the real
    // axis and work per component otherwise.
    EXPECT_EQ(op(-7.0, 2.0, OP_INT_DIVIDE), -4.0 + 0i);
    EXPECT_EQ(op(7.0, 3.0, OP_MOD), 1.0 + 0i);
    EXPECT_EQ(op(5.0 + 7i, 2.0, OP_INT_DIVIDE), 2.0 + 3i);
    EXPECT_EQ(op(5.0 + 7i, 2.0, OP_MOD), 1.0 + 1i);
}

TEST(ArithmeticScalarFunctions, BitwiseAndLogical) {
    auto d = [](double a, double b, int code) {
        DoubleValue v(a);
        v.scalarFunction(DoubleValue(b), code);
        return v[0];
    };
    EXPECT_EQ(d(12.7, 10.2, OP_BITAND), 8.0);
    EXPECT_EQ(d(12, 10, OP_BITOR), 14.0);
    EXPECT_EQ(d(12, 10, OP_BITXOR), 6.0);
    EXPECT_EQ(d(-1, 5, OP_BITAND), 5.0);
    EXPECT_EQ(d(-1.9, 0, OP_BITOR), -1.0);
    EXPECT_TRUE(fuzzyEqual(d(2, 0.5, OP_POWER), std::sqrt(2.0)));
    EXPECT_EQ(d(7.5, 2, OP_MOD), 1.5);

    auto l = Mat<DoubleValue>(1, 4, {0, 1, 2, 0});
    auto r = Mat<DoubleValue>(1, 4, {3, 0, 4, 0});
    auto both = Mat<DoubleValue>(1, 4, {0, 1, 2, 0});
    both.scalarFunction(r, OP_AND);
    expectExact(both, 1, 4, {0, 0, 1, 0});
    auto either = Mat<DoubleValue>(1, 4, {0, 1, 2, 0});
    either.scalarFunction(r, OP_OR);
    expectExact(either, 1, 4, {1, 1, 1, 0});
    l.scalarFunction(r, OP_XOR);
    expectExact(l, 1, 4, {1, 1, 0, 0});

    auto bits = Mat<IntValue>(1, 3, {12, -1, 6});
    bits.scalarFunction(IntValue(10), OP_BITAND);
    expectExact(bits, 1, 3, {8, 10, 2});
    IntValue one(1);
    one.scalarFunction(Mat<IntValue>(2, 1, {0, 7}), OP_XOR);
    expectExact(one, 2, 1, {1, 0});
}

TEST(ArithmeticScalarFunctions, Refusals) {
    auto l = Mat<DoubleValue>(1, 3, {1, 2, 3});
    auto r = Mat<DoubleValue>(1, 2, {1, 2});
    EXPECT_EQ(codeOf([&] { l.scalarFunction(r, OP_AND); }), "incompatible objects at operator i");
    EXPECT_EQ(codeOf([&] { l.scalarFunction(r, OP_BITXOR); }),
              "incompatible objects at operator i");
    EXPECT_THROW(l.scalarFunction(DoubleValue(1.0), OP_PLUS), InternalError);
    IntValue i(5);
    EXPECT_EQ(runtimeMessage([&] { i.scalarFunction(IntValue(0), OP_MOD); }), "division by zero");
    ComplexValue z(complexd(1, 1));
    EXPECT_THROW(z.scalarFunction(ComplexValue(1.0), OP_BITAND), RuntimeError);
    z.scalarFunction(ComplexValue(0.0), OP_OR);
    EXPECT_EQ(z[0], complexd(1.0));
}

TEST(ArithmeticVectorAdd, RowsColumnsAndSameShape) {
    auto m = Mat<DoubleValue>(2, 2, {1, 2, 3, 4});
    m.vectorAdd(Mat<DoubleValue>(1, 2, {10, 20}), 1);
    expectExact(m, 2, 2, {11, 22, 13, 24});

    auto c = Mat<DoubleValue>(2, 2, {1, 2, 3, 4});
    c.vectorAdd(Mat<DoubleValue>(2, 1, {10, 20}), 1);
    expectExact(c, 2, 2, {11, 12, 23, 24});

    auto s = Mat<DoubleValue>(2, 3, {1, 2, 3, 4, 5, 6});
    s.vectorAdd(Mat<DoubleValue>(2, 1, {1, 2}), -1);
    expectExact(s, 2, 3, {0, 1, 2, 2, 3, 4});
    s.vectorAdd(Mat<DoubleValue>(1, 3, {1, 1, 1}), -1);
    expectExact(s, 2, 3, {-1, 0, 1, 1, 2, 3});
    s.vectorAdd(Mat<DoubleValue>(2, 3, {1, 1, 1, 1, 1, 1}), 1);
    expectExact(s, 2, 3, {0, 1, 2, 2, 3, 4});

    auto i = Mat<IntValue>(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(runtimeMessage([&] { i.vectorAdd(Mat<IntValue>(1, 2, {INT_MAX, 0}), 1); }),
              "integer overflow");
    i.vectorAdd(Mat<IntValue>(1, 2, {10, 0}), 1);
    expectExact(i, 2, 2, {11, 2, 13, 4});
}

TEST(ArithmeticVectorAdd, MismatchRaisesAt) {
    auto m = Mat<DoubleValue>(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(codeOf([&] {
                  m.vectorAdd(Mat<DoubleValue>(1, 3, {1, 2, 3}), 1);
              }),
              "incompatible objects at operator @");
    EXPECT_EQ(codeOf([&] {
                  m.vectorAdd(Mat<DoubleValue>(3, 1, {1, 2, 3}), -1);
              }),
              "incompatible objects at operator @");
    EXPECT_EQ(codeOf([&] {
                  m.vectorAdd(Mat<DoubleValue>(1, 4, {1, 2, 3, 4}), 1);
              }),
              "incompatible objects at operator @");
    expectExact(m, 2, 2, {1, 2, 3, 4});
}

TEST(ArithmeticConcat, EmptyOperands) {
    IntValue empty;
    empty.concatHorizontal(Mat<IntValue>(1, 2, {1, 2}));
    expectExact(empty, 1, 2, {1, 2});

    auto row = Mat<IntValue>(1, 2, {1, 2});
    row.concatHorizontal(IntValue());
    row.concatVertical(IntValue());
    expectExact(row, 1, 2, {1, 2});

    IntValue none;
    none.concatVertical(IntValue());
    none.concatHorizontal(IntValue());
    EXPECT_EQ(none.n, 0);

    // An empty left operand becomes a copy of the right one, kind included.
    IntValue start;
    auto word = Mat<IntValue>(1, 2, {104, 105});
    word.kind = KIND_STRING;
    start.concatHorizontal(word);
    expectExact(start, 1, 2, {104, 105});
    EXPECT_EQ(start.kind, KIND_STRING);
}

TEST(ArithmeticConcat, ShapesAndErrors) {
    auto row = Mat<IntValue>(1, 2, {1, 2});
    EXPECT_EQ(codeOf([&] { row.concatVertical(IntValue(3)); }),
              "incompatible objects at operator ;");
    auto column = Mat<IntValue>(2, 1, {1, 2});
    EXPECT_EQ(codeOf([&] { column.concatHorizontal(IntValue(3)); }),
              "incompatible objects at operator ,");
    expectExact(row, 1, 2, {1, 2});
    expectExact(column, 2, 1, {1, 2});

    auto m = Mat<DoubleValue>(2, 2, {1, 2, 3, 4});
    m.concatHorizontal(Mat<DoubleValue>(2, 1, {5, 6}));
    expectExact(m, 2, 3, {1, 2, 5, 3, 4, 6});
    m.concatVertical(Mat<DoubleValue>(1, 3, {7, 8, 9}));
    expectExact(m, 3, 3, {1, 2, 5, 3, 4, 6, 7, 8, 9});
    m.concatVertical(Mat<DoubleValue>(2, 3, {-1, -2, -3, -4, -5, -6}));
    expectExact(m, 5, 3, {1, 2, 5, 3, 4, 6, 7, 8, 9, -1, -2, -3, -4, -5, -6});

    ComplexValue z(complexd(1, 1));
    z.concatHorizontal(ComplexValue(complexd(0, 2)));
    z.concatVertical(z);
    expectExact(z, 2, 2, {complexd(1, 1), complexd(0, 2), complexd(1, 1), complexd(0, 2)});

    IntValue scalar(5); // a 1-by-1 value is also a column; it must not stay one
    scalar.concatHorizontal(scalar);
    expectExact(scalar, 1, 2, {5, 5});

    auto word = Mat<IntValue>(1, 2, {97, 98});
    word.kind = KIND_STRING;
    word.concatHorizontal(Mat<IntValue>(1, 1, {99}));
    EXPECT_EQ(word.kind, KIND_STRING);
}

TEST(ArithmeticConcat, RepeatedGrowthKeepsEveryElement) {
    DoubleValue column;
    DoubleValue row;
    for (int i = 1; i <= 2000; ++i) {
        column.concatVertical(DoubleValue(double(i)));
        row.concatHorizontal(DoubleValue(double(-i)));
    }
    ASSERT_EQ(column.n, 2000);
    ASSERT_EQ(column.nrow, 2000);
    ASSERT_EQ(row.nrow, 1);
    ASSERT_EQ(row.n, 2000);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(column[i], i + 1.0);
        ASSERT_EQ(row[i], -(i + 1.0));
    }
}

TEST(ArithmeticConcat, ThreeDimensionalOperandBecomesPlainMatrix) {
    auto cube = Mat<DoubleValue>(1, 4, {1, 2, 3, 4});
    cube.kind = kind3D(2); // 1-by-2-by-2
    cube.concatHorizontal(DoubleValue(5.0));
    expectExact(cube, 1, 5, {1, 2, 3, 4, 5});
    EXPECT_EQ(cube.kind, KIND_NUMERIC);
}

} // namespace
} // namespace vemlor
