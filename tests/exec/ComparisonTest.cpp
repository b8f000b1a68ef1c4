// Comparison chains and the full identity ===.
#include "ExpressionTestSupport.h"

#include "exec/ComparisonElements.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::Build;
using test::counting;
using test::elements;
using test::errorOf;
using test::evaluate;

TEST(Comparison, ScalarAgainstMatrixGivesBooleans) {
    IntValue row;
    test::fill(row, {1, 2, 3}, 1);
    ValuePtr v = evaluate(*Build().var(row).op('<').num(2).finish());
    EXPECT_EQ(elements(*v), (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(v->kind, KIND_BOOL);
    EXPECT_EQ(v->nrow, 1);
    // The scalar on the left: the matrix's shape still.
    IntValue column;
    test::fill(column, {1, 2, 3}, 3);
    ValuePtr w = evaluate(*Build().num(2).op('G').var(column).finish());
    EXPECT_EQ(elements(*w), (std::vector<double>{1, 1, 0}));
    EXPECT_EQ(w->nrow, 3);
}

TEST(Comparison, EveryOperator) {
    IntValue row;
    test::fill(row, {1, 2, 3}, 1);
    auto compare = [&](char op) {
        return elements(*evaluate(*Build().var(row).op(op).num(2).finish()));
    };
    EXPECT_EQ(compare('<'), (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(compare('L'), (std::vector<double>{1, 1, 0}));
    EXPECT_EQ(compare('E'), (std::vector<double>{0, 1, 0}));
    EXPECT_EQ(compare('N'), (std::vector<double>{1, 0, 1}));
    EXPECT_EQ(compare('G'), (std::vector<double>{0, 1, 1}));
    EXPECT_EQ(compare('>'), (std::vector<double>{0, 0, 1}));
}

TEST(Comparison, MatricesMustAgreeInShape) {
    IntValue two, three, column;
    test::fill(two, {1, 2}, 1);
    test::fill(three, {1, 2, 3}, 1);
    test::fill(column, {1, 2}, 2);
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(two).op('<').var(three).finish()); }),
              "incompatible matrix sizes");
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(two).op('E').var(column).finish()); }),
              "incompatible matrix sizes");
    IntValue other;
    test::fill(other, {2, 1}, 1);
    EXPECT_EQ(elements(*evaluate(*Build().var(two).op('<').var(other).finish())),
              (std::vector<double>{1, 0}));
}

TEST(Comparison, MixedTypesCompareAsDoubles) {
    IntValue one{1};
    DoubleValue d;
    test::fill(d, {0.5, 1.0, 1.5}, 1);
    EXPECT_EQ(elements(*evaluate(*Build().var(one).op('<').var(d).finish())),
              (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(elements(*evaluate(*Build().var(d).op('E').var(one).finish())),
              (std::vector<double>{0, 1, 0}));
}

TEST(Comparison, ComplexEqualityUsesBothParts) {
    ComplexValue z{complexd(1, 2)};
    IntValue one{1};
    EXPECT_EQ(test::scalar(*evaluate(*Build().var(z).op('E').var(one).finish())), 0);
    EXPECT_EQ(test::scalar(*evaluate(*Build().var(z).op('N').var(one).finish())), 1);
    EXPECT_EQ(test::scalar(*evaluate(*Build().var(z).op('G').var(one).finish())), 1);
}

TEST(Comparison, ChainEvaluatesItsThirdPartOnlyWhenNeeded) {
    int calls = 0;
    IntValue one{1}, two{2};
    // 2 < 1 is false everywhere: c is never evaluated.
    EXPECT_EQ(test::scalar(*evaluate(
                  *Build().var(two).op('<').var(one).op('<').add(counting(5, calls)).finish())),
              0);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(test::scalar(*evaluate(
                  *Build().var(one).op('<').var(two).op('<').add(counting(5, calls)).finish())),
              1);
    EXPECT_EQ(test::scalar(*evaluate(
                  *Build().var(one).op('<').var(two).op('>').add(counting(5, calls)).finish())),
              0);
    EXPECT_EQ(calls, 2);
}

TEST(Comparison, ChainAndsElementwise) {
    // 1 < [0 2 3] <= 2 gives [0 1 0]
    IntValue one{1}, two{2}, row;
    test::fill(row, {0, 2, 3}, 1);
    ValuePtr v = evaluate(*Build().var(one).op('<').var(row).op('L').var(two).finish());
    EXPECT_EQ(elements(*v), (std::vector<double>{0, 1, 0}));
    EXPECT_EQ(v->kind, KIND_BOOL);
    // A scalar first result broadcasts over the second.
    IntValue three{3};
    ValuePtr w = evaluate(*Build().var(one).op('<').var(three).op('>').var(row).finish());
    EXPECT_EQ(elements(*w), (std::vector<double>{1, 1, 0}));
}

TEST(Comparison, ChainInsideLogic) {
    // 1 < 2 & 3 > 4 is (1 < 2) & (3 > 4)
    IntValue one{1}, two{2}, three{3}, four{4};
    auto e = Build().var(one).op('<').var(two).op('&').var(three).op('>').var(four).finish();
    EXPECT_EQ(test::scalar(*evaluate(*e)), 0);
    auto f = Build().var(one).op('<').var(two).op('|').var(three).op('>').var(four).finish();
    EXPECT_EQ(test::scalar(*evaluate(*f)), 1);
}

ValuePtr identical(Value& a, Value& b) {
    return evaluate(*Build().var(a).op('I').var(b).finish());
}

TEST(Comparison, FullIdentity) {
    IntValue one{1}, row, column, emptyA, emptyB, text, codes;
    DoubleValue dOne{1.0}, dHalf{1.5};
    ComplexValue zOne{complexd(1, 0)};
    test::fill(row, {1, 2}, 1);
    test::fill(column, {1, 2}, 2);
    text.assignString("a");
    test::fill(codes, {97}, 1);
    EXPECT_EQ(test::scalar(*identical(one, dOne)), 1); // by value across int and double
    EXPECT_EQ(test::scalar(*identical(one, dHalf)), 0);
    EXPECT_EQ(test::scalar(*identical(one, zOne)), 0); // other differing types never match
    EXPECT_EQ(test::scalar(*identical(row, column)), 0);
    EXPECT_EQ(test::scalar(*identical(row, row)), 1);
    EXPECT_EQ(test::scalar(*identical(text, codes)), 0); // kind string against numeric
    EXPECT_EQ(test::scalar(*identical(emptyA, emptyB)), 1);
    emptyB.nrow = 1;
    EXPECT_EQ(test::scalar(*identical(emptyA, emptyB)), 0);
    ValuePtr result = identical(one, one);
    EXPECT_EQ(result->type(), INTEGER_VAL);
}

TEST(Comparison, FullIdentityOfLists) {
    ListValue a, b;
    a.resizeFillItems(2, 2, std::make_unique<IntValue>(3));
    b.resizeFillItems(2, 2, std::make_unique<DoubleValue>(3.0));
    EXPECT_EQ(test::scalar(*identical(a, b)), 1);
    b[1].value = std::make_unique<DoubleValue>(4.0);
    EXPECT_EQ(test::scalar(*identical(a, b)), 0);
    b[1].value.reset();
    EXPECT_EQ(test::scalar(*identical(a, b)), 0);
}

} // namespace
} // namespace vemlor
