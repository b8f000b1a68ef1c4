// Indexed assignment into values: storing and combining into selected
// elements, rows, columns and pages, broadcasting a one-element right side,
// widening, the refusals that leave the value unchanged, and lists.
#include "core/IndexedAssign.h"
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/ValueTestSupport.h"

#include <climits>
#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::codeOf;
using test::columnOf;
using test::elementsOf;
using test::matrixOf;
using test::rowOf;

template <class F> std::string internalMessage(F action) {
    try {
        action();
    } catch (const InternalError& e) {
        return e.what();
    }
    return "(no InternalError)";
}

// Pages [1 2; 3 4] and [5 6; 7 8].
std::unique_ptr<IntValue> twoPages() {
    auto a = std::make_unique<IntValue>();
    a->setShapeKind(8, 2, kind3D(2));
    const int storage[] = {1, 3, 2, 4, 5, 7, 6, 8};
    std::copy(storage, storage + 8, a->data());
    return a;
}

TEST(IndexedAssign, ElementsInOrderAndBroadcast) {
    auto x = rowOf<DoubleValue>({1.0, 2.0, 3.0, 4.0, 5.0});
    auto pair = rowOf<DoubleValue>({10.0, 20.0});
    const int p24[] = {2, 4};
    x->IndexedAssign(IRC_ELEMENTS, p24, 2, *pair);
    EXPECT_EQ(elementsOf(*x), (std::vector<double>{1, 10, 3, 20, 5}));

    IntValue seven(7); // an integer widens into the double vector
    const int ends[] = {5, 1};
    x->IndexedAssign(IRC_ELEMENTS, ends, 2, seven);
    EXPECT_EQ(elementsOf(*x), (std::vector<double>{7, 10, 3, 20, 7}));
    EXPECT_EQ(x->nrow, 1);
}

TEST(IndexedAssign, ColumnsTakeColumnsOfTheRightSide) {
    auto m = matrixOf<IntValue>(2, 3, {1, 2, 3, 4, 5, 6});
    IntValue zero(0);
    const int second[] = {2};
    m->IndexedAssign(IRC_COLUMNS, second, 1, zero); // M(:, 2) = 0
    EXPECT_EQ(elementsOf(*m), (std::vector<int>{1, 4, 0, 0, 3, 6}));

    auto r = matrixOf<IntValue>(2, 2, {7, 8, 9, 10});
    const int thirdFirst[] = {3, 1};
    m->IndexedAssign(IRC_COLUMNS, thirdFirst, 2, *r);
    // column 3 <- [7; 9], column 1 <- [8; 10]: [8 0 7; 10 0 9]
    EXPECT_EQ(elementsOf(*m), (std::vector<int>{8, 10, 0, 0, 7, 9}));
}

TEST(IndexedAssign, RowsTakeRowsOfTheRightSide) {
    auto m = matrixOf<IntValue>(3, 2, {1, 2, 3, 4, 5, 6});
    auto r = matrixOf<IntValue>(2, 2, {10, 20, 30, 40});
    const int thirdFirst[] = {3, 1};
    m->IndexedAssign(IRC_ROWS, thirdFirst, 2, *r);
    // [30 40; 3 4; 10 20]
    EXPECT_EQ(elementsOf(*m), (std::vector<int>{30, 3, 10, 40, 4, 20}));

    auto column = columnOf<IntValue>({7, 8}); // one row given as a column
    const int second[] = {2};
    m->IndexedAssign(IRC_ROWS, second, 1, *column);
    EXPECT_EQ(elementsOf(*m), (std::vector<int>{30, 7, 10, 40, 8, 20}));
}

TEST(IndexedAssign, PagesOfThreeDimensionalArrays) {
    auto a = twoPages();
    IntValue nine(9);
    const int second[] = {2};
    a->IndexedAssign(IRC_PAGES, second, 1, nine);
    EXPECT_EQ(elementsOf(*a), (std::vector<int>{1, 3, 2, 4, 9, 9, 9, 9}));

    auto swapped = twoPages();
    const int both[] = {2, 1};
    a->IndexedAssign(IRC_PAGES, both, 2, *swapped); // page 2 <- page 1 and back
    EXPECT_EQ(elementsOf(*a), (std::vector<int>{5, 7, 6, 8, 1, 3, 2, 4}));
    EXPECT_EQ(a->kind, kind3D(2));

    auto flat = matrixOf<IntValue>(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(internalMessage([&] { flat->IndexedAssign(IRC_PAGES, second, 1, nine); }),
              "BUG: page columns asked of a value that is not 3-D");
    EXPECT_EQ(internalMessage([&] { flat->IndexedAssign(4, second, 1, nine); }),
              "BUG: indexed assignment to an unknown kind of part");
    EXPECT_EQ(elementsOf(*flat), (std::vector<int>{1, 3, 2, 4}));
}

TEST(IndexedAssign, RefusalsLeaveTheValueUnchanged) {
    auto x = rowOf<IntValue>({1, 2, 3});
    auto pair = rowOf<IntValue>({8, 9});
    const int outside[] = {1, 4};
    EXPECT_EQ(codeOf([&] { x->IndexedAssign(IRC_ELEMENTS, outside, 2, *pair); }),
              "out of bounds error");
    DoubleValue half(0.5); // a double cannot narrow into an integer vector
    const int first[] = {1};
    EXPECT_EQ(codeOf([&] { x->IndexedAssign(IRC_ELEMENTS, first, 1, half); }),
              "incompatible lhs, rhs in assignment");
    auto three = rowOf<IntValue>({7, 8, 9}); // three values for two places
    const int two[] = {1, 2};
    EXPECT_NE(internalMessage([&] { x->IndexedAssign(IRC_ELEMENTS, two, 2, *three); }).find("BUG"),
              std::string::npos);
    EXPECT_EQ(elementsOf(*x), (std::vector<int>{1, 2, 3}));
}

TEST(IndexedAssign, ReadingTheTargetItselfUsesTheOldElements) {
    auto x = rowOf<IntValue>({1, 2, 3});
    const int reversed[] = {3, 2, 1};
    x->IndexedAssign(IRC_ELEMENTS, reversed, 3, *x);
    EXPECT_EQ(elementsOf(*x), (std::vector<int>{3, 2, 1}));
}

TEST(IndexedAssign, ListItemsAreDeepCopies) {
    ListValue list;
    list.setShapeKind(3, 1, 0);
    ListValue right;
    right.assignScalar(5.0); // a one-item list holding 5
    const int second[] = {2};
    indexedAssign(list, IRC_ELEMENTS, second, 1, right);
    right.assignScalar(6.0);
    ASSERT_NE(list[1].value, nullptr);
    EXPECT_EQ(list[1].value->scalarDouble(), 5.0);
    EXPECT_TRUE(list[0].empty());
    EXPECT_TRUE(list[2].empty());

    IntValue number(1);
    EXPECT_EQ(codeOf([&] { indexedAssign(list, IRC_ELEMENTS, second, 1, number); }),
              "incompatible lhs, rhs in assignment");
}

TEST(MathIndexedAssign, FourOperatorsOnSelectedPlaces) {
    auto x = rowOf<IntValue>({1, 2, 3});
    auto pair = rowOf<IntValue>({10, 20});
    const int ends[] = {1, 3};
    x->mathIndexedAssign(IRC_ELEMENTS, ends, 2, *pair, 'P');
    EXPECT_EQ(elementsOf(*x), (std::vector<int>{11, 2, 23}));

    auto m = matrixOf<DoubleValue>(2, 2, {1.0, 2.0, 3.0, 4.0});
    DoubleValue one(1.0);
    const int second[] = {2};
    m->mathIndexedAssign(IRC_COLUMNS, second, 1, one, 'M'); // [1 1; 3 3]
    EXPECT_EQ(elementsOf(*m), (std::vector<double>{1, 3, 1, 3}));
    auto factors = rowOf<IntValue>({2, 5});
    m->mathIndexedAssign(IRC_ROWS, second, 1, *factors, 'T'); // row 2 times [2 5]: [6 15]
    EXPECT_EQ(elementsOf(*m), (std::vector<double>{1, 6, 1, 15}));
    DoubleValue four(4.0);
    m->mathIndexedAssign(IRC_ELEMENTS, second, 1, four, 'D');
    EXPECT_EQ(elementsOf(*m), (std::vector<double>{1, 1.5, 1, 15}));

    ComplexValue z(complexd(1.0, 2.0));
    ComplexValue i(complexd(0.0, 1.0));
    const int first[] = {1};
    mathIndexedAssign(z, IRC_ELEMENTS, first, 1, i, 'T'); // (1+2i) i = -2 + i
    EXPECT_EQ(z[0], complexd(-2.0, 1.0));
}

TEST(MathIndexedAssign, IntegerDivisionAndWrapAround) {
    auto x = rowOf<IntValue>({7, INT_MIN, INT_MAX});
    auto divisors = rowOf<IntValue>({-2, -1});
    const int firstTwo[] = {1, 2};
    x->mathIndexedAssign(IRC_ELEMENTS, firstTwo, 2, *divisors, 'D');
    EXPECT_EQ(elementsOf(*x), (std::vector<int>{-3, INT_MIN, INT_MAX})); // truncated; wraps
    IntValue one(1);
    const int last[] = {3};
    x->mathIndexedAssign(IRC_ELEMENTS, last, 1, one, 'P');
    EXPECT_EQ((*x)[2], INT_MIN);

    auto zeroAmong = rowOf<IntValue>({1, 0});
    EXPECT_EQ(test::runtimeMessage(
                  [&] { x->mathIndexedAssign(IRC_ELEMENTS, firstTwo, 2, *zeroAmong, 'D'); }),
              "division by zero");
    EXPECT_EQ(elementsOf(*x), (std::vector<int>{-3, INT_MIN, INT_MIN}));
    EXPECT_EQ(internalMessage([&] { x->mathIndexedAssign(-1, last, 1, one, 'P'); }),
              "BUG: indexed assignment to an unknown kind of part");
    ListValue list;
    EXPECT_EQ(codeOf([&] { mathIndexedAssign(list, IRC_ELEMENTS, last, 0, one, 'P'); }),
              "incompatible lhs, rhs in assignment");
}

} // namespace
} // namespace vemlor
