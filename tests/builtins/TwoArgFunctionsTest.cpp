// OneOrTwoArgs built-ins and the Functor family. Expected values are worked
// out by hand or, for the special functions, from independent series sums
// and closed formulas evaluated separately.
#include "ValueFunctionsSupport.h"
#include "support/Fuzzy.h"

namespace vemlor::test {
namespace {

using Doubles = std::vector<double>;

TEST(Diag, VectorToMatrixAndBack) {
    ValueCalls calls;
    ValuePtr m = calls.twoArg("diag", *row({1, 2}));
    ASSERT_EQ(m->type(), DOUBLE_VAL);
    ASSERT_TRUE(hasShape(*m, 4, 2));
    EXPECT_EQ(elements(*m), (Doubles{1, 0, 0, 2}));
    ValuePtr above = calls.twoArg("diag", *row({5, 6}), scalar(1).get());
    ASSERT_TRUE(hasShape(*above, 9, 3));
    EXPECT_EQ(elements(*above), (Doubles{0, 0, 0, 5, 0, 0, 0, 6, 0}));

    auto square = matrix<IntValue>(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    ValuePtr d = calls.twoArg("diag", *square);
    ASSERT_EQ(d->type(), INTEGER_VAL);
    ASSERT_TRUE(hasShape(*d, 3, 3));
    EXPECT_EQ(elements(*d), (Doubles{1, 5, 9}));
    EXPECT_EQ(elements(*calls.twoArg("diag", *square, scalar(-1).get())), (Doubles{4, 8}));
    EXPECT_EQ(elements(*calls.twoArg("diag", *square, scalar(2).get())), (Doubles{3}));
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("diag", *square, scalar(0.5).get()); }),
              "in diag; invalid diagonal number");
}

TEST(Reshape, NewShapesAndRefusals) {
    ValueCalls calls;
    auto v = row({1, 2, 3, 4, 5, 6});
    ValuePtr r = calls.twoArg("reshape", *v, row({3, 2}).get());
    ASSERT_TRUE(hasShape(*r, 6, 3));
    EXPECT_EQ(elements(*r), (Doubles{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(hasShape(*calls.twoArg("reshape", *v, scalar(2).get()), 6, 2));
    EXPECT_TRUE(hasShape(*calls.twoArg("reshape", *v), 6, 6));
    ValuePtr cube = calls.twoArg("reshape", *v, row({1, 2, 3}).get());
    EXPECT_EQ(pageCount(cube->kind), 3);
    EXPECT_EQ(runtimeMessage([&] {
                  calls.twoArg("reshape", *v, row({4, 2}).get());
              }),
              "in reshape; number of elements must not change");
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("reshape", *v, scalar(4).get()); }),
              "in reshape; number of elements must not change");
    EXPECT_EQ(runtimeMessage([&] {
                  calls.twoArg("reshape", *v, row({-2, -3}).get());
              }),
              "in reshape; invalid shape argument");
    ValuePtr s = calls.twoArg("reshape", *text("abcd"), row({2, 2}).get());
    EXPECT_TRUE(s->isString());
}

TEST(Str, NumbersBecomeTheirDisplayedText) {
    ValueCalls calls;
    EXPECT_EQ(calls.twoArg("str", *scalar(2.5))->toString(), " 2.5");
    EXPECT_EQ(calls.twoArg("str", *scalar(3.14159265358979), scalar(3).get())->toString(), " 3.14");
    EXPECT_EQ(calls.twoArg("str", *matrix<IntValue>(2, 2, {1, 20, 300, 4}))->toString(),
              "   1 20\n 300  4");
    ValuePtr same = calls.twoArg("str", *text("as is"));
    EXPECT_TRUE(same->isString());
    EXPECT_EQ(same->toString(), "as is");
    EXPECT_EQ(runtimeMessage([&] {
                  calls.twoArg("str", *scalar(1), row({1, 2}).get());
              }),
              "in str; non-scalar precision");
}

TEST(Sort, ElementsOrRowsByAColumn) {
    ValueCalls calls;
    EXPECT_EQ(elements(*calls.twoArg("sort", *row({3, -1, 2}))), (Doubles{-1, 2, 3}));
    auto m = matrix<DoubleValue>(3, 2, {3, 30, 1, 10, 2, 20});
    ValuePtr byFirst = calls.twoArg("sort", *m, scalar(1).get());
    EXPECT_EQ(elements(*byFirst), (Doubles{1, 2, 3, 10, 20, 30}));
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("sort", *m, scalar(3).get()); }),
              "in sort; invalid column number (out of range)");
    EXPECT_EQ(runtimeMessage([&] {
                  calls.twoArg("sort", *m, row({1, 2}).get());
              }),
              "in sort; invalid column number (not a scalar)");
    ComplexValue z(complexd(1, 1));
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("sort", z); }), "in sort; invalid return type");
}

TEST(Sets, MergesOfSortedVectors) {
    ValueCalls calls;
    auto a = row({1, 2, 2});
    auto b = row({2, 3});
    EXPECT_EQ(elements(*calls.twoArg("union", *a, b.get())), (Doubles{1, 2, 2, 3}));
    EXPECT_EQ(elements(*calls.twoArg("intersect", *a, b.get())), (Doubles{2}));
    EXPECT_EQ(elements(*calls.twoArg("setminus", *row({1, 2, 2, 5}), b.get())), (Doubles{1, 5}));
    EXPECT_EQ(elements(*calls.twoArg("setxor", *a, b.get())), (Doubles{1, 3}));
    ValuePtr inside = calls.twoArg("issubset", *row({2, 2}), b.get());
    EXPECT_EQ(elements(*inside), (Doubles{1}));
    EXPECT_EQ(inside->kind, KIND_BOOL);
    EXPECT_EQ(elements(*calls.twoArg("issubset", *row({1, 3}), b.get())), (Doubles{0}));
    EXPECT_EQ(runtimeMessage([&] {
                  calls.twoArg("issubset", *row({3, 1}), b.get());
              }),
              "in issubset; non-sorted argument");
    EXPECT_TRUE(hasShape(*calls.twoArg("intersect", *row({1}), b.get()), 0, 0));
}

TEST(Swaprows, ExchangesRowsInPlace) {
    ValueCalls calls;
    auto m = matrix<DoubleValue>(3, 2, {1, 2, 3, 4, 5, 6});
    ValuePtr ok = calls.twoArg("swaprows", *m, column({1, 3}).get());
    EXPECT_EQ(elements(*ok), (Doubles{1}));
    EXPECT_EQ(ok->kind, KIND_BOOL);
    EXPECT_EQ(elements(*m), (Doubles{5, 3, 1, 6, 4, 2}));
    EXPECT_EQ(runtimeMessage([&] {
                  calls.twoArg("swaprows", *m, row({1, 2}).get());
              }),
              "in swaprows; requires 2 rows of numbers");
    EXPECT_EQ(runtimeMessage([&] {
                  calls.twoArg("swaprows", *m, matrix<DoubleValue>(2, 2, {1, 2, 2, 4}).get());
              }),
              "in swaprows; invalid row numbers");
    EXPECT_EQ(elements(*m), (Doubles{5, 3, 1, 6, 4, 2})); // the bad pair changed nothing
}

TEST(Strings, FindingAndOrdering) {
    ValueCalls calls;
    EXPECT_EQ(elements(*calls.twoArg("strfind", *text("hello"), text("l").get())), (Doubles{3}));
    EXPECT_EQ(elements(*calls.twoArg("findstr", *text("hello"), text("lo").get())), (Doubles{4}));
    EXPECT_EQ(elements(*calls.twoArg("strfind", *text("hello"), text("x").get())), (Doubles{0}));
    auto lines = matrix<IntValue>(2, 3, {'a', 'b', 'c', 'b', 'c', 'a'});
    ValuePtr perRow = calls.twoArg("strfind", *lines, text("c").get());
    ASSERT_TRUE(hasShape(*perRow, 2, 2));
    EXPECT_EQ(elements(*perRow), (Doubles{3, 2}));

    EXPECT_EQ(elements(*calls.twoArg("before", *text("abc"), text("abd").get())), (Doubles{1}));
    EXPECT_EQ(elements(*calls.twoArg("before", *text("ab"), text("abc").get())), (Doubles{1}));
    EXPECT_EQ(elements(*calls.twoArg("before", *text("abc"), text("abc").get())), (Doubles{0}));
    EXPECT_EQ(calls.twoArg("before", *text("abc"))->n, 0);
}

TEST(Strings, Str2numInBaseTenAndOthers) {
    ValueCalls calls;
    EXPECT_EQ(elements(*calls.twoArg("str2num", *text(" -12.5e2 "))), (Doubles{-1250}));
    EXPECT_EQ(elements(*calls.twoArg("str2num", *text("ff"), scalar(16).get())), (Doubles{255}));
    EXPECT_EQ(elements(*calls.twoArg("str2num", *text("-101"), scalar(2).get())), (Doubles{-5}));
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("str2num", *text("12abc")); }),
              "str2num called on non-number string");
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("str2num", *text("129"), scalar(8).get()); }),
              "str2num called on non-number string");
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("str2num", *text("1e999")); }),
              "stod argument out of range");
    EXPECT_EQ(
        runtimeMessage([&] { calls.twoArg("str2num", *text("ffffffffff"), scalar(16).get()); }),
        "stoi argument out of range");
}

TEST(Strings, BinaryDigits) {
    ValueCalls calls;
    ValuePtr b = calls.twoArg("binary", *scalar(6));
    EXPECT_TRUE(b->isString());
    EXPECT_EQ(b->toString(), "110");
    EXPECT_EQ(calls.twoArg("binary", *scalar(5), scalar(8).get())->toString(), "00000101");
    ValuePtr rows = calls.twoArg("binary", *row({1, 4}));
    ASSERT_TRUE(hasShape(*rows, 6, 2));
    EXPECT_EQ(rows->toString(), "001100"); // rows "001" and "100"
    EXPECT_EQ(calls.twoArg("binary", *scalar(0))->toString(), "0");
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("binary", *scalar(-1)); }),
              "in binary; argument must hold whole numbers from 0 to 2147483647");
}

TEST(Errors, ErrorRaisesOrWarns) {
    ValueCalls calls;
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("error", *scalar(1), text("bad {input}").get()); }),
              "bad {input}");
    EXPECT_EQ(runtimeMessage([&] { calls.twoArg("error", *scalar(2)); }), "");
    ValuePtr result = calls.twoArg("error", *scalar(0), text("careful").get());
    EXPECT_EQ(result->n, 0);
    ASSERT_EQ(calls.context.sink.lines.size(), 1u);
    EXPECT_EQ(calls.context.sink.lines[0], "{r warning:} {:careful");
    EXPECT_EQ(runtimeMessage([&] {
                  calls.twoArg("error", *row({1, 1}), text("x").get());
              }),
              "in error; level was not scalar");
}

TEST(Functors, PolynomialsAndDensities) {
    ValueCalls calls;
    // 1 + 2x + 3x^2 at 0, 1, 2.
    EXPECT_EQ(elements(calls.functor("poly", *row({1, 2, 3}), *row({0, 1, 2}))),
              (Doubles{1, 6, 17}));
    auto g = calls.functor("gauss", *row({1.0, 0.5}), *scalar(1.3));
    EXPECT_TRUE(fuzzyEqual((*g)[0], 0.6664492057835993));
    auto standard = calls.functor("gauss", *scalar(1), *scalar(0));
    EXPECT_TRUE(fuzzyEqual((*standard)[0], 0.3989422804014327));
    auto l = calls.functor("lor", *row({1.0, 0.5}), *scalar(2.0));
    EXPECT_TRUE(fuzzyEqual((*l)[0], 0.12732395447351627));
    EXPECT_EQ(runtimeMessage([&] { calls.functor("gauss", *scalar(0), *scalar(1)); }),
              "in gauss; width must be positive");
    auto m = matrix<DoubleValue>(2, 2, {0, 1, 2, 3});
    EXPECT_TRUE(hasShape(calls.functor("poly", *row({1}), *m), 4, 2));
}

TEST(Functors, BesselAgainstItsSeries) {
    ValueCalls calls;
    auto j = calls.functor("besselj", *scalar(2), *row({1.5}));
    EXPECT_TRUE(fuzzyEqual((*j)[0], 0.2320876721442147, 1e-10));
    EXPECT_TRUE(fuzzyEqual(calls.functor("besselj", *scalar(0), *scalar(2))->scalarDouble(),
                           0.22389077914123562, 1e-10));
    EXPECT_TRUE(fuzzyEqual(calls.functor("besselj", *scalar(3), *scalar(-2.5))->scalarDouble(),
                           -0.21660039103911352, 1e-10));
    EXPECT_EQ(runtimeMessage([&] { calls.functor("besselj", *scalar(1.5), *scalar(1)); }),
              "in besselj; the order must be a whole number");
}

TEST(Functors, DiscreteDistributions) {
    ValueCalls calls;
    EXPECT_EQ(elements(calls.functor("bnc", *scalar(10), *row({0, 3, 11, 2.5}))),
              (Doubles{1, 120, 0, 0}));
    EXPECT_EQ(calls.functor("bnc", *scalar(52), *scalar(5))->scalarDouble(), 2598960);
    auto b = calls.functor("binomial", *row({10, 0.3}), *row({3, -1}));
    EXPECT_TRUE(fuzzyEqual((*b)[0], 0.2668279319999998, 1e-12));
    EXPECT_EQ((*b)[1], 0);
    auto p = calls.functor("poisson", *scalar(2.5), *row({3, 0}));
    EXPECT_TRUE(fuzzyEqual((*p)[0], 0.21376301724973645, 1e-12));
    EXPECT_TRUE(fuzzyEqual((*p)[1], 0.0820849986238988, 1e-12));
    EXPECT_EQ(runtimeMessage([&] {
                  calls.functor("binomial", *row({10, 1.5}), *scalar(1));
              }),
              "in binomial; p must lie between 0 and 1");
}

} // namespace
} // namespace vemlor::test
