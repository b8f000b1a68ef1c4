// Built-in call elements made by makeBuiltinCall: the class chosen for each
// family and argument type, the build-time refusals, and evaluation with and
// without a workspace. Families whose handlers live elsewhere are driven
// through small handlers defined here, so only the element is under test.
#include "BuiltinTestSupport.h"

#include "core/Errors.h"
#include "exec/FuncElementClasses.h"
#include "exec/FuncElements.h"
#include "support/Fuzzy.h"

#include <cmath>

#include <gmock/gmock.h>

namespace vemlor {
namespace {

using test::args;
using test::builtin;
using test::constant;
using test::fuzzyEqual;
using testing::HasSubstr;

struct Fixture : testing::Test {
    test::TestContext context;

    EvaluatablePtr call(const BuiltinInfo& f, std::vector<EvaluatablePtr> a) {
        return makeBuiltinCall(f, std::move(a), context);
    }
    EvaluatablePtr call(const std::string& name, std::vector<EvaluatablePtr> a) {
        return call(builtin(name), std::move(a));
    }
    std::string buildError(const std::string& name, std::vector<EvaluatablePtr> a) {
        try {
            call(name, std::move(a));
        } catch (const SyntaxError& e) {
            return e.what();
        }
        return {};
    }
};

// Evaluates with a fresh workspace of the announced type.
struct Evaluated {
    ValuePtr workspace;
    Value* result;
};
Evaluated evaluate(Evaluatable& e) {
    ValuePtr w = newValue(e.resultType());
    Value* r = e.pValue(w.get());
    return {std::move(w), r};
}

template <class V> const V& as(const Value* v) {
    EXPECT_EQ(v->type(), V().type());
    return static_cast<const V&>(*v);
}

using BuiltinCalls = Fixture;

TEST_F(BuiltinCalls, ElementwiseDoubleFunction) {
    EvaluatablePtr e = call("sqrt", args(constant(test::matrix<IntValue>(1, 3, {1, 4, 9}))));
    EXPECT_NE(dynamic_cast<SimpleFuncElement*>(e.get()), nullptr);
    EXPECT_EQ(e->category(), CAT_SIMPLE_FUNC);
    EXPECT_EQ(e->resultType(), DOUBLE_VAL);
    Evaluated r = evaluate(*e);
    const auto& y = as<DoubleValue>(r.result);
    ASSERT_EQ(y.n, 3);
    EXPECT_EQ(y.nrow, 1);
    EXPECT_EQ(y[0], 1);
    EXPECT_EQ(y[1], 2);
    EXPECT_EQ(y[2], 3);
}

TEST_F(BuiltinCalls, ElementwiseInPlaceOnTheWorkspace) {
    auto column = test::matrix<DoubleValue>(2, 1, {0.0, -1.0});
    EvaluatablePtr e =
        call("fstep", args(std::make_unique<test::IntoWorkspace>(std::move(column))));
    DoubleValue w;
    Value* r = e->pValue(&w);
    EXPECT_EQ(r, &w);
    EXPECT_EQ(w.nrow, 2);
    EXPECT_EQ(w[0], 0.5);
    EXPECT_EQ(w[1], 0);
    const double* buffer = w.data();
    e->pValue(&w);
    EXPECT_EQ(w.data(), buffer); // the settled workspace is reused
}

TEST_F(BuiltinCalls, StringKindDoesNotSurviveADoubleFunction) {
    EvaluatablePtr e = call("abs", args(constant(test::text("ab"))));
    Evaluated r = evaluate(*e);
    EXPECT_EQ(r.result->kind, KIND_NUMERIC);
    EXPECT_EQ(as<DoubleValue>(r.result)[0], 'a');
}

TEST_F(BuiltinCalls, ComplexArgumentsFollowTheSideMap) {
    EvaluatablePtr root = call("sqrt", args(constant(complexd(-4, 0))));
    EXPECT_EQ(root->resultType(), COMPLEX_VAL);
    Evaluated r = evaluate(*root);
    EXPECT_TRUE(fuzzyEqual(as<ComplexValue>(r.result)[0].imag(), 2));

    EvaluatablePtr part = call("real", args(constant(complexd(3, 4))));
    EXPECT_EQ(part->resultType(), DOUBLE_VAL);
    EXPECT_EQ(as<DoubleValue>(evaluate(*part).result)[0], 3);

    EvaluatablePtr conj = call("conj", args(constant(complexd(1, 2))));
    EXPECT_EQ(as<ComplexValue>(evaluate(*conj).result)[0], complexd(1, -2));

    EXPECT_THAT(buildError("erf", args(constant(complexd(1, 1)))),
                HasSubstr("this function does not accept a complex argument"));
    EXPECT_THAT(buildError("lower", args(constant(complexd(1, 1)))),
                HasSubstr("this function does not accept a complex argument"));
}

TEST_F(BuiltinCalls, SqrtOfNegativeDoubleStaysDouble) {
    EvaluatablePtr e = call("sqrt", args(constant(-4.0)));
    EXPECT_EQ(e->resultType(), DOUBLE_VAL);
    EXPECT_TRUE(std::isnan(as<DoubleValue>(evaluate(*e).result)[0]));
}

TEST_F(BuiltinCalls, IntegerFunctionConvertsDoubles) {
    EvaluatablePtr e = call("lower", args(constant(65.7)));
    EXPECT_EQ(e->resultType(), INTEGER_VAL);
    EXPECT_EQ(as<IntValue>(evaluate(*e).result)[0], 'a');

    EvaluatablePtr s = call("lower", args(constant(test::text("MiX"))));
    Evaluated r = evaluate(*s);
    EXPECT_EQ(test::textOf(*r.result), "mix");
    EXPECT_TRUE(r.result->isString()); // a string stays a string
}

TEST_F(BuiltinCalls, ColumnwiseReductions) {
    auto m = test::matrix<IntValue>(2, 3, {1, 5, 3, 4, 2, 6});
    EvaluatablePtr e = call("max", args(constant(std::move(m))));
    EXPECT_EQ(e->resultType(), DOUBLE_VAL);
    Evaluated r = evaluate(*e);
    const auto& y = as<DoubleValue>(r.result);
    ASSERT_EQ(y.n, 3);
    EXPECT_EQ(y.nrow, 1);
    EXPECT_EQ(y[0], 4);
    EXPECT_EQ(y[1], 5);
    EXPECT_EQ(y[2], 6);

    // A vector, row or column, is one column.
    EvaluatablePtr v =
        call("variance", args(constant(test::matrix<DoubleValue>(4, 1, {1, 2, 3, 4}))));
    Evaluated rv = evaluate(*v);
    ASSERT_EQ(rv.result->n, 1);
    EXPECT_EQ(as<DoubleValue>(rv.result)[0], 1.25);

    EvaluatablePtr all = call("all", args(constant(test::matrix<DoubleValue>(2, 2, {1, 0, 1, 3}))));
    EXPECT_EQ(all->resultType(), INTEGER_VAL);
    Evaluated ra = evaluate(*all);
    EXPECT_EQ(as<IntValue>(ra.result)[0], 1);
    EXPECT_EQ(as<IntValue>(ra.result)[1], 0);

    EXPECT_THAT(buildError("mean", args(constant(complexd(1, 1)))),
                HasSubstr("illegal argument type"));
}

TEST_F(BuiltinCalls, WholeValueQueriesAcceptLists) {
    auto list = std::make_unique<ListValue>();
    makeEmptyItemList(*list, 4, nullptr);
    EvaluatablePtr e = call("size", args(constant(std::move(list))));
    EXPECT_EQ(e->resultType(), INTEGER_VAL);
    EXPECT_EQ(as<IntValue>(evaluate(*e).result)[0], 4);

    EvaluatablePtr eps = call("numeric_limits", args(constant(test::text("eps"))));
    EXPECT_EQ(eps->resultType(), DOUBLE_VAL);
    EXPECT_EQ(as<DoubleValue>(evaluate(*eps).result)[0], 2.220446049250313e-16);
}

TEST_F(BuiltinCalls, ListsAreRefusedOutsideFamilyFive) {
    for (const char* name : {"sqrt", "mean", "lower", "all"}) {
        auto list = std::make_unique<ListValue>();
        makeEmptyItemList(*list, 2, nullptr);
        EXPECT_THAT(buildError(name, args(constant(std::move(list)))),
                    HasSubstr("function may not be applied to a list"))
            << name;
    }
}

TEST_F(BuiltinCalls, StrayEndAndArityAreCheckedAgain) {
    EXPECT_THAT(buildError("end", {}), HasSubstr("stray 'end' keyword"));
    EXPECT_THAT(buildError("sin", args(constant(1.0), constant(2.0))),
                HasSubstr("sin(...) has too many arguments"));
}

// ---- families driven by handlers defined here -------------------------------

double fortyTwo(BuiltinContext&) {
    return 42;
}

void echoOrAnswer(BuiltinContext& c, const Value* a, ValuePtr& result) {
    result = newValueCopy(a ? *a : c.answer());
}

void doubleAll(BuiltinContext&, const Value& v, DoubleValue& out) {
    out.assignConverted(v);
    for (int i = 0; i < out.n; ++i)
        out[i] *= 2;
}

// Returns an integer scalar: the second argument's count, or -1.
void countSecond(BuiltinContext&, const Value&, const Value* second, ValuePtr& result) {
    result = std::make_unique<IntValue>(second ? second->n : -1);
}

// a * x elementwise.
void scale(BuiltinContext&, const Value& a, const Value& x, DoubleValue& out) {
    out.assignConverted(x);
    for (int i = 0; i < out.n; ++i)
        out[i] *= a.scalarDouble();
}

// Output k holds k + the number of arguments.
void numbered(BuiltinContext&, std::span<const Value* const> in, std::span<ValuePtr> out) {
    for (size_t k = 0; k < out.size(); ++k)
        out[k] = std::make_unique<IntValue>(int(k + in.size()));
}

BuiltinInfo info(const char* name, Family family, Variant variant, const void* h, int resultType,
                 int minArgs, int maxArgs) {
    BuiltinInfo f;
    f.name = name;
    f.entry = {family, 0, variant};
    f.handler = h;
    f.resultType = resultType;
    f.minArgs = minArgs;
    f.maxArgs = maxArgs;
    return f;
}

template <class F> const void* ptr(F f) {
    return reinterpret_cast<const void*>(f);
}

TEST_F(BuiltinCalls, NoArgumentFamily) {
    EvaluatablePtr e =
        call(info("t", Family::NoArg, Variant::Untyped, ptr(&fortyTwo), DOUBLE_VAL, 0, 0), {});
    EXPECT_NE(dynamic_cast<TicLikeFuncElement*>(e.get()), nullptr);
    EXPECT_EQ(as<DoubleValue>(e->pValue(nullptr))[0], 42);
}

TEST_F(BuiltinCalls, OptionalArgumentFamilyTakesTheAnswerType) {
    context.answerValue = std::make_unique<ComplexValue>(complexd(0, 1));
    BuiltinInfo f = info("a", Family::OptionalArg, Variant::Untyped, ptr(&echoOrAnswer),
                         kSameAsFirstArgument, 0, 1);
    EvaluatablePtr bare = call(f, {});
    EXPECT_EQ(bare->resultType(), COMPLEX_VAL);
    EXPECT_EQ(as<ComplexValue>(bare->pValue(nullptr))[0], complexd(0, 1));
    EvaluatablePtr withArgument = call(f, args(constant(3)));
    EXPECT_EQ(withArgument->resultType(), INTEGER_VAL);
    EXPECT_EQ(as<IntValue>(evaluate(*withArgument).result)[0], 3);
}

TEST_F(BuiltinCalls, VectorFamilyRefusesComplex) {
    BuiltinInfo f =
        info("v", Family::ValueToValue, Variant::Double, ptr(&doubleAll), DOUBLE_VAL, 1, 1);
    EvaluatablePtr e = call(f, args(constant(test::matrix<IntValue>(1, 2, {1, 2}))));
    Evaluated r = evaluate(*e);
    EXPECT_EQ(as<DoubleValue>(r.result)[1], 4);
    try {
        call(f, args(constant(complexd(1, 1))));
        FAIL();
    } catch (const SyntaxError& e) {
        EXPECT_THAT(e.what(), HasSubstr("this function does not accept a complex argument"));
    }
}

TEST_F(BuiltinCalls, TwoArgumentFamilyWidensItsResult) {
    // Announced double, produced integer: delivered widened.
    BuiltinInfo f =
        info("two", Family::OneOrTwoArgs, Variant::Double, ptr(&countSecond), DOUBLE_VAL, 1, 2);
    EvaluatablePtr one = call(f, args(constant(1)));
    EXPECT_EQ(as<DoubleValue>(evaluate(*one).result)[0], -1);
    EvaluatablePtr two = call(f, args(constant(1), constant(test::text("abc"))));
    EXPECT_EQ(as<DoubleValue>(evaluate(*two).result)[0], 3);
    BuiltinInfo same = info("two", Family::OneOrTwoArgs, Variant::Double, ptr(&countSecond),
                            kSameAsFirstArgument, 1, 2);
    EXPECT_EQ(call(same, args(constant(1.5)))->resultType(), DOUBLE_VAL);
}

TEST_F(BuiltinCalls, FunctorFamilyNeedsBothArguments) {
    BuiltinInfo f = info("scale", Family::Functor, Variant::Double, ptr(&scale), DOUBLE_VAL, 2, 2);
    EvaluatablePtr e = call(f, args(constant(3), constant(test::matrix<IntValue>(1, 2, {1, 2}))));
    Evaluated r = evaluate(*e);
    EXPECT_EQ(as<DoubleValue>(r.result)[0], 3);
    EXPECT_EQ(as<DoubleValue>(r.result)[1], 6);
    try {
        call(f, args(constant(3)));
        FAIL();
    } catch (const SyntaxError& e) {
        EXPECT_THAT(e.what(), HasSubstr("function missing a parameter"));
    }
}

TEST_F(BuiltinCalls, GeneralFamilyOutputs) {
    BuiltinInfo f =
        info("gen", Family::General, Variant::GeneralFirst, ptr(&numbered), INTEGER_VAL, 0, -1);
    EvaluatablePtr e = call(f, args(constant(1.0), constant(2.0)));
    auto* general = dynamic_cast<GeneralFuncElement*>(e.get());
    ASSERT_NE(general, nullptr);
    EXPECT_EQ(e->category(), CAT_GENERAL_FUNC);
    EXPECT_EQ(as<IntValue>(e->pValue(nullptr))[0], 2);
    std::vector<ValuePtr> outputs(3);
    general->evaluateOutputs(outputs);
    EXPECT_EQ(as<IntValue>(outputs[2].get())[0], 4);
}

TEST_F(BuiltinCalls, GeneralFamilyHandsListsToItsHandlers) {
    BuiltinInfo f =
        info("gen", Family::General, Variant::GeneralFirst, ptr(&numbered), INTEGER_VAL, 0, -1);
    auto list = std::make_unique<ListValue>();
    makeEmptyItemList(*list, 1, nullptr);
    EvaluatablePtr e = call(f, args(constant(std::move(list)), constant(1)));
    EXPECT_EQ(as<IntValue>(e->pValue(nullptr))[0], 2);
}

TEST_F(BuiltinCalls, UnknownFamily) {
    BuiltinInfo f = info("x", Family::None, Variant::Untyped, nullptr, DOUBLE_VAL, 0, 0);
    EXPECT_THROW(call(f, {}), InternalError);
}

} // namespace
} // namespace vemlor
