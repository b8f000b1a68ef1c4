// The one-pass form of the elementwise operators (out = l op r) must leave
// exactly what copying l and combining in place leaves: elements, shape and
// kind word, for every broadcast case, and when out is r itself. The
// language reaches both forms, so a disagreement would show as results that
// depend on how an expression was written.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OperatorCodes.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace vemlor {
namespace {

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

template <class T> bool same(T a, T b) {
    return a == b || (a != a && b != b);
}

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
        EXPECT_TRUE(same(out[i], expected[i])) << i;

    V rightAsOut;
    rightAsOut.copyFrom(r);
    rightAsOut.assignElementwise(l, rightAsOut, code);
    ASSERT_EQ(rightAsOut.n, expected.n);
    EXPECT_EQ(rightAsOut.nrow, expected.nrow);
    for (int i = 0; i < rightAsOut.n; ++i)
        EXPECT_TRUE(same(rightAsOut[i], expected[i])) << i;
}

TEST(ArithmeticInto, MatchesCopyThenCombine) {
    Mat<DoubleValue> m(2, 3, {1, -2, 3, 4.5, 0, -6});
    Mat<DoubleValue> other(2, 3, {2, 2, -1, 0.5, 3, 4});
    DoubleValue scalar(1.5), empty;
    Mat<DoubleValue> text(1, 3, {97, 98, 99});
    text.kind = KIND_STRING;
    DoubleValue one(3.0);
    one.kind = KIND_STRING;
    std::vector<std::pair<const DoubleValue*, const DoubleValue*>> pairs = {
        {&m, &other},  {&m, &scalar},     {&scalar, &m},     {&scalar, &scalar}, {&text, &scalar},
        {&one, &text}, {&scalar, &empty}, {&empty, &scalar}, {&empty, &empty},   {&m, &m}};
    for (int code : {OP_PLUS, OP_MINUS, OP_TIMES, OP_DIVIDE, OP_POWER, OP_INT_DIVIDE, OP_MOD})
        for (auto [l, r] : pairs) {
            SCOPED_TRACE(testing::Message()
                         << "code " << code << ", sizes " << l->n << " " << r->n);
            expectSameAsInPlace(*l, *r, code);
        }
    Mat<IntValue> ints(1, 3, {7, -8, 9});
    for (int code : {OP_PLUS, OP_TIMES, OP_DIVIDE, OP_POWER, OP_MOD})
        expectSameAsInPlace<IntValue>(ints, IntValue(2), code);
    Mat<ComplexValue> complexes(1, 2, {complexd(1, 2), complexd(0, -1)});
    expectSameAsInPlace<ComplexValue>(complexes, complexes, OP_TIMES);
    expectSameAsInPlace<ComplexValue>(ComplexValue(complexd(2, 1)), complexes, OP_DIVIDE);
}

// A refused operation leaves the result as it was.
TEST(ArithmeticInto, RefusalsLeaveTheResultAlone) {
    Mat<IntValue> l(1, 3, {6, 8, 9});
    Mat<IntValue> zeros(1, 3, {1, 0, 2});
    Mat<IntValue> out(1, 2, {4, 5});
    EXPECT_THROW(out.assignElementwise(l, zeros, OP_DIVIDE), RuntimeError);
    EXPECT_THROW(out.assignElementwise(l, out, OP_PLUS), CodeError);
    EXPECT_THROW(out.assignElementwise(l, l, OP_MATRIX_PRODUCT), CodeError);
    EXPECT_EQ(out.n, 2);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
}

} // namespace
} // namespace vemlor
