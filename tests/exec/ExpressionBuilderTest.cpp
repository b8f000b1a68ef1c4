// The builder's decisions: which class evaluates an expression, what is
// folded at build time, how percent, brackets and sequences are arranged,
// and the build-time refusals.
#include "ExpressionTestSupport.h"

#include "exec/ComparisonElements.h"
#include "exec/ConstantElements.h"
#include "exec/ConversionElements.h"
#include "exec/Expression.h"
#include "exec/SequenceElement.h"
#include "exec/UnaryElements.h"
#include "exec/ValueElement.h"
#include "support/Fuzzy.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::Build;
using test::elements;
using test::errorOf;
using test::evaluate;
using test::scalar;
using test::syntaxText;

template <class C> bool is(const EvaluatablePtr& e) {
    return dynamic_cast<const C*>(e.get()) != nullptr;
}

class BuilderTest : public ::testing::Test {
  protected:
    IntValue i1{3}, i2{4};
    DoubleValue d1{2.5};
    ComplexValue z1{complexd(1, 2)};
    ListValue list;
};

TEST_F(BuilderTest, ClassFollowsOperatorsAndOperandTypes) {
    EXPECT_TRUE(is<SimpleExpression>(Build().var(i1).op('+').var(i2).op('*').var(i1).finish()));
    EXPECT_TRUE(is<SimpleExpression>(Build().var(d1).op('-').var(d1).finish()));
    EXPECT_TRUE(is<SimpleMixedTypeExpression>(Build().var(i1).op('+').var(d1).finish()));
    EXPECT_TRUE(is<GeneralIntegerExpression>(Build().var(i1).op('_').var(i2).finish()));
    EXPECT_TRUE(is<GeneralIntegerExpression>(Build().var(i1).op(',').var(i2).finish()));
    EXPECT_TRUE(is<GeneralMixedTypeExpression>(Build().var(i1).op('.').var(d1).finish()));
    EXPECT_TRUE(is<GeneralMixedTypeExpression>(Build().var(d1).op('a').var(d1).finish()));
    EXPECT_TRUE(is<GeneralComplexExpression>(Build().var(i1).op('.').var(z1).finish()));
}

TEST_F(BuilderTest, DivisionAndPowerMakeIntegerExpressionsDouble) {
    auto quotient = Build().var(i1).op('/').var(i2).finish();
    EXPECT_TRUE(is<SimpleMixedTypeExpression>(quotient));
    EXPECT_EQ(quotient->resultType(), DOUBLE_VAL);
    auto power = Build().var(i1).op('^').var(i2).finish();
    EXPECT_TRUE(is<GeneralMixedTypeExpression>(power));
    EXPECT_EQ(power->resultType(), DOUBLE_VAL);
    // The whole-number quotient and the remainder stay integer.
    EXPECT_EQ(Build().var(i1).op('_').var(i2).op('u').var(i1).finish()->resultType(), INTEGER_VAL);
}

TEST_F(BuilderTest, ComplexOperandsWrapTheOthers) {
    auto e = Build().var(i1).op('+').var(z1).op('*').var(d1).finish();
    ASSERT_TRUE(is<SimpleExpression>(e));
    EXPECT_EQ(e->resultType(), COMPLEX_VAL);
    const auto& entries = static_cast<Expression&>(*e).entries();
    EXPECT_TRUE(is<ToComplexElement>(entries[0].operand));
    EXPECT_TRUE(is<ValueElement>(entries[1].operand));
    EXPECT_TRUE(is<ToComplexElement>(entries[2].operand));
    ValuePtr v = evaluate(*e);
    EXPECT_EQ(static_cast<ComplexValue&>(*v)[0], complexd(3 + 2.5, 5.0)); // 3 + (1+2i)*2.5
}

TEST_F(BuilderTest, SingleOperandStandsForItself) {
    auto e = Build().var(i1).finish();
    EXPECT_TRUE(is<ValueElement>(e));
    auto c = Build().num(5).finish();
    EXPECT_EQ(c->category(), CAT_NUMBER);
}

TEST_F(BuilderTest, ImplicitOperatorMultiplies) {
    // "pi r^2": two operands with nothing between them.
    auto e = Build().real(3).var(d1).op('^').num(2).finish();
    EXPECT_TRUE(test::fuzzyEqual(scalar(*evaluate(*e)), 3 * 6.25));
}

TEST_F(BuilderTest, ConstantsAreFolded) {
    auto e = Build().num(2).op('*').num(3).op('+').num(4).finish();
    ASSERT_EQ(e->category(), CAT_NUMBER);
    EXPECT_EQ(e->resultType(), INTEGER_VAL);
    EXPECT_EQ(scalar(*evaluate(*e)), 10);
    auto q = Build().num(7).op('/').num(2).finish();
    ASSERT_EQ(q->category(), CAT_NUMBER);
    EXPECT_EQ(q->resultType(), DOUBLE_VAL);
    EXPECT_EQ(scalar(*evaluate(*q)), 3.5);
    // A variable anywhere prevents folding.
    EXPECT_NE(Build().num(2).op('*').var(i1).finish()->category(), CAT_NUMBER);
}

TEST_F(BuilderTest, MatrixLiteralsFoldRowByRow) {
    auto e = Build().num(1).op(',').num(2).op(';').num(3).op(',').num(4).finish();
    ASSERT_EQ(e->category(), CAT_NUMBER);
    ValuePtr v = evaluate(*e);
    EXPECT_EQ(v->nrow, 2);
    EXPECT_EQ(elements(*v), (std::vector<double>{1, 3, 2, 4}));
}

TEST_F(BuilderTest, ComparisonsAreNotFolded) {
    auto e = Build().num(1).op('<').num(2).finish();
    EXPECT_NE(e->category(), CAT_NUMBER);
    EXPECT_TRUE(is<ComparatorElement<int>>(e));
}

// A stand-in for a one-argument built-in call: squares its argument and
// counts how often it runs.
class SquareCall : public WithEvaluatable {
  public:
    SquareCall(EvaluatablePtr argument, int& calls)
        : WithEvaluatable(std::move(argument)), calls_(calls) {}
    Value* pValue(Value* workspace) override {
        ++calls_;
        double x = child_->pValue(&scratch_)->scalarDouble();
        workspace->assignScalar(x * x);
        return workspace;
    }
    int resultType() const override { return DOUBLE_VAL; }
    int category() const override { return CAT_SIMPLE_FUNC; }

  private:
    DoubleValue scratch_;
    int& calls_;
};

TEST_F(BuilderTest, FunctionOfAConstantIsFoldedOnce) {
    int calls = 0;
    auto single = Build().add(std::make_unique<SquareCall>(makeDoubleConstant(3), calls)).finish();
    ASSERT_EQ(single->category(), CAT_NUMBER);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(scalar(*evaluate(*single)), 9);
    EXPECT_EQ(calls, 1);

    auto sum = Build()
                   .num(1)
                   .op('+')
                   .add(std::make_unique<SquareCall>(makeDoubleConstant(2), calls))
                   .finish();
    ASSERT_EQ(sum->category(), CAT_NUMBER);
    EXPECT_EQ(scalar(*evaluate(*sum)), 5);

    auto ofVariable = Build().add(std::make_unique<SquareCall>(makeVariable(&d1), calls)).finish();
    EXPECT_EQ(ofVariable->category(), CAT_SIMPLE_FUNC);
}

TEST_F(BuilderTest, FoldingThatFailsIsLeftToRunTime) {
    // 50000*50000 wraps to -1794967296, below -(2^30 - 1).
    auto overflow = Build().num(50000).op('*').num(50000).finish();
    EXPECT_NE(overflow->category(), CAT_NUMBER);
    EXPECT_EQ(errorOf([&] { evaluate(*overflow); }), "integer overflow");
    // 1.6e9 is above 2^30 but positive: only the smallest element is checked.
    auto large = Build().num(40000).op('*').num(40000).finish();
    ASSERT_EQ(large->category(), CAT_NUMBER);
    EXPECT_EQ(scalar(*evaluate(*large)), 1600000000.0);
}

TEST_F(BuilderTest, PercentOperators) {
    IntValue a{1}, b{6}, c{1}, d{2};
    // a + b // c + d is a + b / (c + d)
    auto slash = Build().var(a).op('+').var(b).op('V').var(c).op('+').var(d).percent().finish();
    EXPECT_EQ(scalar(*evaluate(*slash)), 3);
    // a + b % c + d is (a + b) / (c + d)
    auto percent = Build().var(a).op('+').var(b).op('%').var(c).op('+').var(d).percent().finish();
    EXPECT_TRUE(test::fuzzyEqual(scalar(*evaluate(*percent)), 7.0 / 3.0));
    // finish() rewrites them even when the parser did not ask.
    auto late = Build().var(b).op('%').var(c).op('+').var(d).finish();
    EXPECT_EQ(scalar(*evaluate(*late)), 2);
}

TEST_F(BuilderTest, SequencesCombineOnAppend) {
    auto two = Build().num(1).op(':').num(3).finish();
    ASSERT_TRUE(is<SequenceElement>(two));
    EXPECT_EQ(two->resultType(), INTEGER_VAL);
    EXPECT_EQ(static_cast<SequenceElement&>(*two).step(), nullptr);

    auto three = Build().num(1).op(':').real(0.5).op(':').num(2).finish();
    ASSERT_TRUE(is<SequenceElement>(three));
    EXPECT_EQ(three->resultType(), DOUBLE_VAL);
    auto& s = static_cast<SequenceElement&>(*three);
    ASSERT_NE(s.step(), nullptr);
    EXPECT_EQ(s.step()->resultType(), DOUBLE_VAL);

    IntValue m;
    test::fill(m, {1, 2, 3}, 1);
    auto toEnd = Build().num(2).op(':').add(makeEndIndex(&m, -1)).finish();
    EXPECT_EQ(toEnd->resultType(), INTEGER_VAL);
    EXPECT_EQ(elements(*evaluate(*toEnd)), (std::vector<double>{2, 3}));

    EXPECT_EQ(errorOf([] { Build().num(1).op(':').num(2).op(':').num(3).op(':').num(4); }),
              syntaxText("a:b:c:d ??"));
}

TEST_F(BuilderTest, UnaryAfterSequenceStopAppliesToTheStop) {
    // 1:-3:-5 with the -3 built as a unary minus of a variable: step -3.
    IntValue three{3};
    auto e = Build().num(1).op(':').var(three).unary('-').op(':').num(-5).finish();
    EXPECT_EQ(elements(*evaluate(*e)), (std::vector<double>{1, -2, -5}));
}

TEST_F(BuilderTest, UnaryRefusals) {
    EXPECT_EQ(errorOf([&] { Build().var(list).unary('-'); }),
              syntaxText("illegal unary operator for a list"));
    EXPECT_EQ(errorOf([&] { Build().var(list).unary('~'); }),
              syntaxText("illegal unary operator for a list"));
    EXPECT_EQ(errorOf([&] { Build().var(z1).unary('!'); }),
              syntaxText("illegal unary operator for a complex value"));
    EXPECT_EQ(errorOf([&] { Build().var(z1).unary('~'); }),
              syntaxText("illegal unary operator for a complex value"));
    EXPECT_EQ(errorOf([&] { Build().var(list).unary('\'').finish(); }), "");
    EXPECT_EQ(errorOf([&] { Build().var(z1).unary('"').finish(); }), "");
}

TEST_F(BuilderTest, BuildTimeMessages) {
    EXPECT_EQ(errorOf([] { Build().finish(); }), syntaxText("an empty expression is not allowed"));
    EXPECT_EQ(errorOf([] { Build().num(1).op('+').finish(); }),
              syntaxText("Incorrectly placed operator in bracket or expression"));
    EXPECT_EQ(errorOf([&] { Build().var(list).op('+').var(i1).finish(); }),
              syntaxText("expression contains an illegal operation involving a list"));
    EXPECT_EQ(errorOf([&] {
                  ExpressionBuilder b;
                  b.append(makeVariable(&list), '+');
              }),
              "BUG: a list operand with an arithmetic operator");
    // A list alone, or in a bracket of its own, is fine.
    EXPECT_EQ(errorOf([&] { Build().var(list).finish(); }), "");
}

TEST_F(BuilderTest, ComparisonChainShapes) {
    EXPECT_EQ(errorOf([] { Build().num(1).op('<').num(2).op('<').num(3).op('<').num(4).finish(); }),
              syntaxText("illegal form of comparison (more than 3 parts)"));
    EXPECT_EQ(errorOf([] { Build().num(1).op('I').num(1).op('I').num(1).finish(); }),
              syntaxText("illegal combination of === with a further comparison"));
    EXPECT_EQ(errorOf([] { Build().num(1).op('<').num(2).op('I').num(1).finish(); }),
              syntaxText("illegal combination of === with a further comparison"));
    EXPECT_TRUE(is<FullyCompareElement>(Build().num(1).op('I').real(1).finish()));
    EXPECT_TRUE(is<ComparatorElement<double>>(Build().var(d1).op('<').real(1).finish()));
    EXPECT_TRUE(is<ComparatorElementMixedType>(Build().var(i1).op('E').real(3).finish()));
    EXPECT_TRUE(is<ComparatorElement<complexd>>(Build().var(z1).op('N').num(1).finish()));
    // Arithmetic binds tighter: i1 + 1 < 5 compares 4 with 5.
    auto e = Build().var(i1).op('+').num(1).op('<').num(5).finish();
    ASSERT_TRUE(is<ComparatorElement<int>>(e));
    EXPECT_EQ(scalar(*evaluate(*e)), 1);
}

TEST_F(BuilderTest, BracketSeparatorsGroupRowsAndElements) {
    // [i1 + 1, 2 * 3; i2, i1 < i2] is [4 6; 4 1]
    auto e = Build()
                 .var(i1)
                 .op('+')
                 .num(1)
                 .op(',')
                 .num(2)
                 .op('*')
                 .num(3)
                 .op(';')
                 .var(i2)
                 .op(',')
                 .var(i1)
                 .op('<')
                 .var(i2)
                 .finish();
    ValuePtr v = evaluate(*e);
    EXPECT_EQ(v->nrow, 2);
    EXPECT_EQ(elements(*v), (std::vector<double>{4, 4, 6, 1}));
}

} // namespace
} // namespace vemlor
