// Evaluation: arithmetic through the flat loop and the precedence climb,
// integer overflow, unary operators and factorials, sequences, the logical
// and query operators, conversions and the run-time messages.
#include "ExpressionTestSupport.h"

#include "exec/ConstantElements.h"
#include "exec/ConversionElements.h"
#include "exec/Expression.h"
#include "support/Fuzzy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vemlor {
namespace {

using test::Build;
using test::counting;
using test::elements;
using test::errorOf;
using test::evaluate;
using test::fuzzyEqual;
using test::scalar;

double valueOf(EvaluatablePtr e) {
    return scalar(*evaluate(*e));
}

TEST(ExpressionEval, LeftToRightWithPrecedence) {
    IntValue two{2}, three{3}, ten{10};
    DoubleValue half{0.5};
    // 10 - 2 * 3 + 2 = 6; 10 - 3 - 2 = 5 (left to right)
    EXPECT_EQ(
        valueOf(Build().var(ten).op('-').var(two).op('*').var(three).op('+').var(two).finish()), 6);
    EXPECT_EQ(valueOf(Build().var(ten).op('-').var(three).op('-').var(two).finish()), 5);
    // 10 / 2 * 3 = 15, not 10 / 6
    EXPECT_EQ(valueOf(Build().var(ten).op('/').var(two).op('*').var(three).finish()), 15);
    // mixed: 3 * 0.5 + 10 / 2 * 0.5 = 4
    EXPECT_EQ(valueOf(Build()
                          .var(three)
                          .op('*')
                          .var(half)
                          .op('+')
                          .var(ten)
                          .op('/')
                          .var(two)
                          .op('*')
                          .var(half)
                          .finish()),
              4);
    // 7 / 2 with integers is the double 3.5
    IntValue seven{7};
    EXPECT_EQ(valueOf(Build().var(seven).op('/').var(two).finish()), 3.5);
}

TEST(ExpressionEval, PowerAssociatesLeftToRight) {
    IntValue two{2}, three{3};
    EXPECT_EQ(valueOf(Build().var(two).op('^').var(three).op('^').var(two).finish()), 64);
    EXPECT_EQ(valueOf(Build().num(2).op('^').num(3).op('^').num(2).finish()), 64);
    // ^ binds tighter than *: 3 * 2^3 = 24
    EXPECT_EQ(valueOf(Build().var(three).op('*').var(two).op('^').var(three).finish()), 24);
}

TEST(ExpressionEval, GeneralOperators) {
    IntValue seven{7}, minusSeven{-7}, two{2}, three{3};
    DoubleValue dSeven{7}, dMinusSeven{-7}, dTwo{2};
    EXPECT_EQ(valueOf(Build().var(seven).op('_').var(two).finish()), 3);
    EXPECT_EQ(valueOf(Build().var(minusSeven).op('_').var(two).finish()), -3);
    EXPECT_EQ(valueOf(Build().var(dMinusSeven).op('_').var(dTwo).finish()), -4);
    EXPECT_EQ(valueOf(Build().var(seven).op('u').var(three).finish()), 1);
    EXPECT_EQ(valueOf(Build().var(dSeven).op('u').var(three).finish()), 1);
    // 6 a 3 = 2, 6 r 3 = 7, 6 X 3 = 5 (bitwise); 2 & 0 = 0; 0 | 3 = 1; 1 x 1 = 0
    IntValue six{6}, zero{0}, one{1};
    EXPECT_EQ(valueOf(Build().var(six).op('a').var(three).finish()), 2);
    EXPECT_EQ(valueOf(Build().var(six).op('r').var(three).finish()), 7);
    EXPECT_EQ(valueOf(Build().var(six).op('X').var(three).finish()), 5);
    EXPECT_EQ(valueOf(Build().var(two).op('&').var(zero).finish()), 0);
    EXPECT_EQ(valueOf(Build().var(zero).op('|').var(three).finish()), 1);
    EXPECT_EQ(valueOf(Build().var(one).op('x').var(one).finish()), 0);
    // Level order: 1 + 2 a 3 is (1 + 2) a 3 = 3
    EXPECT_EQ(valueOf(Build().var(one).op('+').var(two).op('a').var(three).finish()), 3);
}

TEST(ExpressionEval, MatrixOperatorsInTheClimb) {
    DoubleValue a, b, column;
    test::fill(a, {1.0, 3.0, 2.0, 4.0}, 2); // [1 2; 3 4]
    test::fill(b, {1.0, 0.0, 0.0, 1.0}, 2);
    test::fill(column, {10.0, 20.0}, 2);
    // [1 2; 3 4] . I + I = [2 2; 3 5]
    auto e = Build().var(a).op('.').var(b).op('+').var(b).finish();
    EXPECT_EQ(elements(*evaluate(*e)), (std::vector<double>{2, 3, 2, 5}));
    // vector add of a column adds 10 to row 1 and 20 to row 2
    auto p = Build().var(a).op('p').var(column).finish();
    EXPECT_EQ(elements(*evaluate(*p)), (std::vector<double>{11, 23, 12, 24}));
    // matrix power: [1 2; 3 4]^2 = [7 10; 15 22]
    IntValue two{2};
    auto r = Build().var(a).op('R').var(two).finish();
    EXPECT_EQ(elements(*evaluate(*r)), (std::vector<double>{7, 15, 10, 22}));
}

TEST(ExpressionEval, SizeMismatchRaisesTheOperatorCode) {
    DoubleValue three, two;
    test::fill(three, {1.0, 2.0, 3.0}, 1);
    test::fill(two, {1.0, 2.0}, 1);
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(three).op('+').var(two).finish()); }),
              "incompatible objects at operator +");
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(three).op(';').var(two).finish()); }),
              "incompatible objects at operator ;");
}

TEST(ExpressionEval, IntegerDivisionByZero) {
    IntValue one{1}, zero{0};
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(one).op('_').var(zero).finish()); }),
              "division by zero");
}

TEST(ExpressionEval, ScalarBroadcastKeepsTheLeftKind) {
    IntValue row, one{1};
    test::fill(row, {1, 2, 3}, 1);
    auto e = Build().var(row).op('+').var(one).finish();
    EXPECT_EQ(elements(*evaluate(*e)), (std::vector<double>{2, 3, 4}));
    auto f = Build().text("ab").op('+').var(one).finish();
    ValuePtr v = evaluate(*f);
    EXPECT_EQ(v->toString(), "bc");
    EXPECT_TRUE(v->isString());
}

TEST(ExpressionEval, UnaryOperators) {
    IntValue m;
    test::fill(m, {1, 0, 3, 4}, 2); // [1 3; 0 4]
    EXPECT_EQ(elements(*evaluate(*Build().var(m).unary('-').finish())),
              (std::vector<double>{-1, 0, -3, -4}));
    EXPECT_EQ(elements(*evaluate(*Build().var(m).unary('~').finish())),
              (std::vector<double>{0, 1, 0, 0}));
    ValuePtr t = evaluate(*Build().var(m).unary('\'').finish());
    EXPECT_EQ(elements(*t), (std::vector<double>{1, 3, 0, 4}));
    ValuePtr column = evaluate(*Build().var(m).unary(':').finish());
    EXPECT_EQ(column->nrow, 4);
    EXPECT_EQ(column->ncol(), 1);
    ComplexValue z{complexd(1, 2)};
    ValuePtr c = evaluate(*Build().var(z).unary('"').finish());
    EXPECT_EQ(static_cast<ComplexValue&>(*c)[0], complexd(1, -2));
    // The variable itself is untouched.
    EXPECT_EQ(m[0], 1);
}

TEST(ExpressionEval, IntegerFactorials) {
    EXPECT_EQ(valueOf(Build().num(0).unary('!').finish()), 1);
    EXPECT_EQ(valueOf(Build().num(12).unary('!').finish()), 479001600);
    EXPECT_EQ(errorOf([] { evaluate(*Build().num(13).unary('!').finish()); }), "integer overflow");
    EXPECT_EQ(errorOf([] { evaluate(*Build().num(-1).unary('!').finish()); }),
              "n! with integer n < 0 is not allowed");
}

TEST(ExpressionEval, DoubleFactorials) {
    EXPECT_EQ(valueOf(Build().real(4.6).unary('!').finish()), 120); // rounds to 5
    EXPECT_TRUE(fuzzyEqual(valueOf(Build().real(20).unary('!').finish()), 2432902008176640000.0));
    EXPECT_TRUE(
        fuzzyEqual(valueOf(Build().real(170).unary('!').finish()), 7.257415615307998967e306));
    EXPECT_EQ(valueOf(Build().real(171).unary('!').finish()),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(valueOf(Build().real(-2).unary('!').finish()),
              std::numeric_limits<double>::infinity());
}

TEST(ExpressionEval, Sequences) {
    ValuePtr empty = evaluate(*Build().num(1).op(':').num(0).finish());
    EXPECT_EQ(empty->n, 0);
    EXPECT_EQ(elements(*evaluate(*Build().num(1).op(':').real(0.5).op(':').num(2).finish())),
              (std::vector<double>{1, 1.5, 2}));
    ValuePtr three = evaluate(*Build().num(0).op(':').real(0.1).op(':').real(0.3).finish());
    ASSERT_EQ(three->n, 3);
    EXPECT_EQ(three->nrow, 1);
    EXPECT_EQ(elements(*three)[2], 0.1 + 0.1);
    // Accumulated: the tenth step of 0.1 lands on 0.9999999999999999, not 1.
    ValuePtr eleven = evaluate(*Build().num(0).op(':').real(0.1).op(':').real(1.05).finish());
    ASSERT_EQ(eleven->n, 11);
    EXPECT_EQ(elements(*eleven)[10], 0.99999999999999989);
    EXPECT_EQ(elements(*evaluate(*Build().num(5).op(':').num(-2).op(':').num(0).finish())),
              (std::vector<double>{5, 3, 1}));
    IntValue pair;
    test::fill(pair, {1, 2}, 1);
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(pair).op(':').num(3).finish()); }),
              "sequence must have scalar start, step, stop");
}

TEST(ExpressionEval, ShortCircuitOperators) {
    int calls = 0;
    IntValue pair;
    test::fill(pair, {1, 2}, 1);
    EXPECT_EQ(
        errorOf([&] { evaluate(*Build().var(pair).op('A').add(counting(1, calls)).finish()); }),
        "in logical operator; non-scalar condition");
    EXPECT_EQ(calls, 0);
    IntValue zero{0}, one{1};
    EXPECT_EQ(valueOf(Build().var(zero).op('A').add(counting(1, calls)).finish()), 0);
    EXPECT_EQ(valueOf(Build().var(one).op('O').add(counting(0, calls)).finish()), 1);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(valueOf(Build().var(one).op('A').add(counting(5, calls)).finish()), 1);
    EXPECT_EQ(valueOf(Build().var(zero).op('O').add(counting(0, calls)).finish()), 0);
    EXPECT_EQ(calls, 2);
    // The left side is truncated (0.5 is false), the right side only tested for zero.
    DoubleValue half{0.5};
    EXPECT_EQ(valueOf(Build().var(half).op('O').var(zero).finish()), 0);
    EXPECT_EQ(valueOf(Build().var(one).op('A').var(half).finish()), 1);
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(one).op('A').var(pair).finish()); }),
              "in logical operator; non-scalar condition");
}

TEST(ExpressionEval, QueryOperator) {
    int yes = 0, no = 0;
    IntValue one{1}, zero{0};
    EXPECT_EQ(
        valueOf(
            Build().var(one).op('?').add(counting(10, yes)).op('W').add(counting(20, no)).finish()),
        10);
    EXPECT_EQ(valueOf(Build()
                          .var(zero)
                          .op('?')
                          .add(counting(10, yes))
                          .op('W')
                          .add(counting(20, no))
                          .finish()),
              20);
    EXPECT_EQ(yes, 1);
    EXPECT_EQ(no, 1);
    // Parts with operators of their own: 2 < 1 ? 1 + 1 :: 5 * 5
    auto e = Build()
                 .num(2)
                 .op('<')
                 .var(one)
                 .op('?')
                 .var(one)
                 .op('+')
                 .var(one)
                 .op('W')
                 .num(5)
                 .op('*')
                 .num(5)
                 .finish();
    EXPECT_EQ(valueOf(std::move(e)), 25);
    DoubleValue half{0.5};
    EXPECT_EQ(valueOf(Build().var(half).op('?').num(1).op('W').real(2.5).finish()), 2.5);
    IntValue pair;
    test::fill(pair, {1, 2}, 1);
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(pair).op('?').num(1).op('W').num(2).finish()); }),
              "in query; non-scalar condition");
}

TEST(ExpressionEval, ComplexExpressions) {
    ComplexValue z{complexd(0, 1)};
    IntValue two{2};
    ValuePtr v = evaluate(*Build().var(z).op('^').var(two).op('.').var(two).finish());
    EXPECT_EQ(static_cast<ComplexValue&>(*v)[0], complexd(-2, 0));
    EXPECT_EQ(errorOf([&] { evaluate(*Build().var(z).op('a').var(two).finish()); }),
              "invalid operation in a complex-number expression");
}

TEST(ExpressionEval, Concatenation) {
    IntValue one{1};
    DoubleValue half{0.5};
    ValuePtr row = evaluate(*Build().var(one).op(',').var(half).op(',').num(3).finish());
    EXPECT_EQ(row->type(), DOUBLE_VAL);
    EXPECT_EQ(elements(*row), (std::vector<double>{1, 0.5, 3}));
    ValuePtr text = evaluate(*Build().text("ab").op(',').text("cd").finish());
    EXPECT_EQ(text->toString(), "abcd");
    EXPECT_TRUE(text->isString());
    ValuePtr withEmpty = evaluate(*Build().add(makeEmptySet()).op(',').var(one).finish());
    EXPECT_EQ(elements(*withEmpty), (std::vector<double>{1}));
}

TEST(ExpressionEval, WorkspaceTypeIsChecked) {
    IntValue one{1};
    DoubleValue half{0.5};
    auto mixed = Build().var(one).op('+').var(half).finish();
    IntValue wrong;
    EXPECT_EQ(errorOf([&] { mixed->pValue(&wrong); }),
              "BUG: mixed-type expression evaluated into a workspace that is not double");
    auto general = Build().var(one).op('.').var(half).finish();
    EXPECT_EQ(errorOf([&] { general->pValue(&wrong); }),
              "BUG: mixed-type expression evaluated into a workspace that is not double");
}

TEST(ExpressionEval, Conversions) {
    DoubleValue d;
    test::fill(d, {2.7, -2.7}, 1);
    auto toInt = makeDoubleToInt(makeVariable(&d));
    EXPECT_EQ(toInt->resultType(), INTEGER_VAL);
    EXPECT_EQ(elements(*evaluate(*toInt)), (std::vector<double>{2, -2}));
    // Already an integer: the element itself.
    IntValue i{4};
    auto same = makeDoubleToInt(makeVariable(&i));
    EXPECT_EQ(same->pValue(nullptr), &i);
    TypeCheckElement check(makeVariable(&d), DOUBLE_VAL);
    ComplexValue z;
    EXPECT_EQ(errorOf([&] { check.pValue(&z); }), "invalid argument type");
    IntToDoubleElement widen(makeVariable(&i));
    EXPECT_EQ(scalar(*evaluate(widen)), 4);
    IntToDoubleElement refuse(makeVariable(&d));
    EXPECT_EQ(errorOf([&] { evaluate(refuse); }), "incompatible lhs, rhs in assignment");
}

TEST(ExpressionEval, LeafElements) {
    EXPECT_EQ(errorOf([] { evaluate(*makeOpenSequence()); }), "incorrect use of ':'");
    DoubleValue m;
    test::fill(m, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0}, 2); // 2 by 3
    EXPECT_EQ(scalar(*evaluate(*makeEndIndex(&m, 0))), 2);
    EXPECT_EQ(scalar(*evaluate(*makeEndIndex(&m, 1))), 3);
    EXPECT_EQ(scalar(*evaluate(*makeEndIndex(&m, 2))), 1);
    EXPECT_EQ(scalar(*evaluate(*makeEndIndex(&m, -1))), 3);
    DoubleValue row;
    test::fill(row, {1.0, 2.0, 3.0, 4.0}, 1);
    EXPECT_EQ(scalar(*evaluate(*makeEndIndex(&row, -1))), 4);
    EXPECT_TRUE(makeEndIndex(&row, 0)->refersTo(nullptr));

    auto constant = makeIntConstant(5);
    EXPECT_TRUE(negateConstant(*constant));
    EXPECT_EQ(scalar(*evaluate(*constant)), -5);
    EXPECT_FALSE(negateConstant(*makeVariable(&row)));
}

TEST(ExpressionEval, IncrementChangesTheVariable) {
    IntValue i;
    test::fill(i, {1, 5}, 1);
    auto up = makeIncDec(&i, 'i');
    EXPECT_EQ(up->pValue(nullptr), &i);
    EXPECT_EQ(elements(i), (std::vector<double>{2, 6}));
    DoubleValue d{0.5};
    auto down = makeIncDec(&d, 'd');
    down->pValue(nullptr);
    EXPECT_EQ(d[0], -0.5);
    ComplexValue z;
    EXPECT_EQ(errorOf([&] { makeIncDec(&z, 'i'); }),
              test::syntaxText("variable has wrong type for increment or decement"));
}

TEST(ExpressionEval, RefersToLooksIntoEveryOperand) {
    IntValue x{1}, y{2}, other{3};
    auto e = Build().var(x).op('+').var(y).op('.').num(2).finish();
    EXPECT_TRUE(e->refersTo(&x));
    EXPECT_TRUE(e->refersTo(&y));
    EXPECT_FALSE(e->refersTo(&other));
}

} // namespace
} // namespace vemlor
