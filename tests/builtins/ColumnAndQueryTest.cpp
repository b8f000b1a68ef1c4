// The per-column reductions (Column family) and the whole-value queries
// (ValueToScalar), called through the registry's pointers. Expected values are
// hand computations.
#include "BuiltinTestSupport.h"

#include "core/Errors.h"
#include "support/Fuzzy.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gmock/gmock.h>

namespace vemlor {
namespace {

using test::builtin;
using test::fuzzyEqual;

double column(const std::string& name, const std::vector<double>& x) {
    return reinterpret_cast<handler::ColumnToDouble>(builtin(name).handler)(x.data(),
                                                                            int(x.size()));
}
int columnInt(const std::string& name, const std::vector<double>& x) {
    return reinterpret_cast<handler::ColumnToInt>(builtin(name).handler)(x.data(), int(x.size()));
}
double wholeDouble(const std::string& name, const Value& v) {
    test::TestContext context;
    return reinterpret_cast<handler::ValueToDouble>(builtin(name).handler)(context, v);
}
int wholeInt(const std::string& name, const Value& v) {
    test::TestContext context;
    return reinterpret_cast<handler::ValueToInt>(builtin(name).handler)(context, v);
}
template <class F> std::string runtimeError(F f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.what();
    }
    return {};
}

TEST(ColumnFunctions, StatisticsOfOneToFour) {
    std::vector<double> x{1, 2, 3, 4};
    EXPECT_EQ(column("mean", x), 2.5);
    EXPECT_EQ(column("sumsq", x), 30);
    EXPECT_EQ(column("variance", x), 1.25); // 30/4 - 2.5^2, divisor n
    EXPECT_TRUE(fuzzyEqual(column("stdev", x), 1.118033988749895));
    EXPECT_EQ(column("elsum", x), 10);
    EXPECT_EQ(column("prod", x), 24);
    EXPECT_EQ(column("min", {3, -1, 2}), -1);
    EXPECT_EQ(column("max", {3, -1, 2}), 3);
    EXPECT_EQ(column("range", {3, -1, 2}), 4);
    EXPECT_EQ(column("lastElement", x), 4);
    EXPECT_EQ(column("binteg", x), 7.5); // trapezoids 1.5 + 2.5 + 3.5
}

TEST(ColumnFunctions, ConstantColumnHasNoNegativeVariance) {
    std::vector<double> x{0.1, 0.1, 0.1};
    EXPECT_GE(column("variance", x), 0.0);
    EXPECT_FALSE(std::isnan(column("stdev", x)));
}

TEST(ColumnFunctions, NormAvoidsOverflowAndUnderflow) {
    EXPECT_TRUE(fuzzyEqual(column("norm", {3, 4}), 5));
    EXPECT_TRUE(fuzzyEqual(column("norm", {3e200, -4e200}), 5e200));
    EXPECT_TRUE(fuzzyEqual(column("norm", {3e-200, 4e-200}), 5e-200));
    EXPECT_EQ(column("norm", {0, 0}), 0);
}

TEST(ColumnFunctions, EmptyColumns) {
    EXPECT_EQ(column("elsum", {}), 0);
    EXPECT_EQ(column("prod", {}), 1);
    EXPECT_EQ(column("binteg", {}), 0);
    EXPECT_TRUE(std::isnan(column("mean", {})));
    EXPECT_TRUE(std::isnan(column("min", {})));
    EXPECT_TRUE(std::isnan(column("lastElement", {})));
}

TEST(ColumnFunctions, IntegerResults) {
    EXPECT_EQ(columnInt("all", {1, 2, 0}), 0);
    EXPECT_EQ(columnInt("all", {1, -2}), 1);
    EXPECT_EQ(columnInt("all", {}), 1);
    EXPECT_EQ(columnInt("any", {0, 0}), 0);
    EXPECT_EQ(columnInt("any", {0, 0.5}), 1);
    EXPECT_EQ(columnInt("minind", {3, 1, 1}), 2); // first of equal minima
    EXPECT_EQ(columnInt("maxind", {1, 5, 5}), 2);
    EXPECT_EQ(columnInt("maxind", {}), 0);
    EXPECT_EQ(columnInt("find", {0, 0, 7, 8}), 3);
    EXPECT_EQ(columnInt("find", {0}), 0);
    EXPECT_EQ(columnInt("rfind", {0, 7, 8, 0}), 3);
}

TEST(ValueToScalar, NumericLimits) {
    EXPECT_EQ(wholeDouble("numeric_limits", *test::text("eps")), 2.220446049250313e-16);
    EXPECT_EQ(wholeDouble("numeric_limits", *test::text("max")), 1.7976931348623157e308);
    EXPECT_EQ(wholeDouble("numeric_limits", *test::text("min")), 2.2250738585072014e-308);
    EXPECT_EQ(wholeDouble("numeric_limits", *test::text("bits")), 53);
    EXPECT_EQ(wholeDouble("numeric_limits", *test::text("int")), 2147483647);
    EXPECT_EQ(wholeDouble("numeric_limits", *test::text("maxi")), 2147483647);
    EXPECT_EQ(wholeDouble("numeric_limits", *test::text("mini")), -2147483648.0);
    const char* expected = "in numeric_limits; unrecognised string parameter";
    EXPECT_EQ(runtimeError([] { wholeDouble("numeric_limits", *test::text("epsilon")); }),
              expected);
    EXPECT_EQ(runtimeError([] { wholeDouble("numeric_limits", IntValue(5)); }), expected);
}

TEST(ValueToScalar, Trace) {
    EXPECT_EQ(wholeDouble("trace", *test::matrix<IntValue>(2, 2, {1, 2, 3, 4})), 5);
    // A 2-by-3 matrix sums its two diagonal elements.
    EXPECT_EQ(wholeDouble("trace", *test::matrix<DoubleValue>(2, 3, {1, 2, 3, 4, 5.5, 6})), 6.5);
}

TEST(ValueToScalar, ShapeQueries) {
    auto m = test::matrix<DoubleValue>(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(wholeInt("size", *m), 6);
    EXPECT_EQ(wholeInt("nrow", *m), 2);
    EXPECT_EQ(wholeInt("ncol", *m), 3);
    EXPECT_EQ(wholeInt("isvector", *m), 0);
    EXPECT_EQ(wholeInt("isscalar", *m), 0);
    EXPECT_EQ(wholeInt("isempty", DoubleValue()), 1);
    EXPECT_EQ(wholeInt("isscalar", DoubleValue(2.0)), 1);

    DoubleValue cube; // 2 x 2 x 2
    cube.setShapeKind(8, 2, kind3D(2));
    EXPECT_EQ(wholeInt("ncol", cube), 2);
    EXPECT_EQ(wholeInt("size", cube), 8);
    EXPECT_EQ(wholeInt("type", cube), 7);
    EXPECT_EQ(wholeInt("typeinfo", cube), 2 * 16 + 7);

    ListValue list;
    makeEmptyItemList(list, 3, nullptr);
    EXPECT_EQ(wholeInt("size", list), 3);
}

TEST(ValueToScalar, KindQueries) {
    auto s = test::text("abc");
    EXPECT_EQ(wholeInt("ischar", *s), 1);
    EXPECT_EQ(wholeInt("type", *s), 1);
    IntValue flag(1);
    flag.kind = KIND_BOOL;
    EXPECT_EQ(wholeInt("isboolean", flag), 1);
    EXPECT_EQ(wholeInt("isboolean", IntValue(1)), 0);
}

TEST(ValueToScalar, IsNum) {
    for (const char* yes : {"1.5e3", " -2 ", ".5", "5.", "+7E-2", "0"})
        EXPECT_EQ(wholeInt("isnum", *test::text(yes)), 1) << yes;
    for (const char* no : {"abc", "1e", "", "inf", "nan", "0x10", "1.2.3", "- 1", "1 2"})
        EXPECT_EQ(wholeInt("isnum", *test::text(no)), 0) << no;
    EXPECT_EQ(runtimeError([] { wholeInt("isnum", DoubleValue(1.0)); }),
              "isnum called for a non-string");
}

TEST(ValueToScalar, UnavailableQueries) {
    EXPECT_EQ(runtimeError([] { wholeInt("isdefined", IntValue(1)); }),
              "function isdefined is not yet implemented: sorry!");
    EXPECT_EQ(runtimeError([] { wholeInt("figure", IntValue(1)); }), "figure is not yet available");
    EXPECT_EQ(runtimeError([] { wholeDouble("grindex", IntValue(1)); }),
              "grindex is not yet available");
}

} // namespace
} // namespace vemlor
