// The ValueToValue family (one value in, one value out). Expected values
// are worked out by hand.
#include "ValueFunctionsSupport.h"
#include "support/Fuzzy.h"

namespace vemlor::test {
namespace {

using Doubles = std::vector<double>;

TEST(Shapes, ZerosOnesAndEyeFollowTheShapeRule) {
    ValueCalls calls;
    auto z = calls.toDouble("zeros", *row({2, 3}));
    ASSERT_TRUE(hasShape(*z, 6, 2));
    EXPECT_EQ(elements(*z), Doubles(6, 0.0));
    EXPECT_TRUE(hasShape(calls.toDouble("zeros", *scalar(3)), 9, 3));
    auto o = calls.toDouble("ones", *intRow({3, 1}));
    ASSERT_TRUE(hasShape(*o, 3, 3));
    EXPECT_EQ(elements(*o), Doubles(3, 1.0));
    auto e = calls.toDouble("eye", *row({2, 3}));
    EXPECT_EQ(elements(*e), (Doubles{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(elements(calls.toDouble("eye", *scalar(2))), (Doubles{1, 0, 0, 1}));
}

TEST(Shapes, ThreeNumbersMakeA3DArray) {
    ValueCalls calls;
    auto z = calls.toDouble("ones", *row({2, 2, 3}));
    EXPECT_TRUE(hasShape(*z, 12, 2));
    EXPECT_TRUE(z->is3D());
    EXPECT_EQ(pageCount(z->kind), 3);
    auto e = calls.toDouble("eye", *row({2, 2, 2}));
    EXPECT_EQ(elements(*e), (Doubles{1, 0, 0, 1, 1, 0, 0, 1}));
    EXPECT_FALSE(calls.toDouble("zeros", *row({2, 2, 1}))->is3D());
}

TEST(Shapes, EmptyAndInvalidShapes) {
    ValueCalls calls;
    EXPECT_TRUE(hasShape(calls.toDouble("zeros", *row({0, 4})), 0, 0));
    EXPECT_TRUE(hasShape(calls.toDouble("ones", DoubleValue()), 0, 0));
    std::vector<std::unique_ptr<DoubleValue>> bad;
    bad.push_back(row({-1, 2}));
    bad.push_back(row({2.5}));
    bad.push_back(row({1, 2, 3, 4}));
    for (const auto& shape : bad)
        EXPECT_EQ(runtimeMessage([&] { calls.toDouble("zeros", *shape); }),
                  "in zeros; invalid shape argument");
    EXPECT_EQ(runtimeMessage([&] {
                  calls.toDouble("ones", *row({100000, 100000}));
              }),
              "in ones; matrix too large");
}

TEST(Sequences, CountStepAndPoints) {
    ValueCalls calls;
    EXPECT_EQ(elements(calls.toDouble("seq", *scalar(4))), (Doubles{1, 2, 3, 4}));
    EXPECT_EQ(elements(calls.toDouble("seq", *row({3, 5.5}))), (Doubles{3, 4, 5}));
    EXPECT_EQ(elements(calls.toDouble("seq", *row({2, -1}))), (Doubles{2, 1, 0, -1}));
    auto l = calls.toDouble("linspace", *row({0, 1, 5}));
    ASSERT_TRUE(hasShape(*l, 5, 1));
    EXPECT_EQ(elements(*l), (Doubles{0, 0.25, 0.5, 0.75, 1}));
    // Both ends exact even where the step does not add up to the end.
    auto t = calls.toDouble("linspace", *row({0.1, 0.7, 7}));
    EXPECT_EQ((*t)[0], 0.1);
    EXPECT_EQ((*t)[6], 0.7);
    EXPECT_TRUE(fuzzyEqual((*t)[3], 0.4));
}

TEST(Sequences, DegenerateCounts) {
    ValueCalls calls;
    EXPECT_TRUE(hasShape(calls.toDouble("seq", *scalar(0)), 0, 0));
    EXPECT_EQ(elements(calls.toDouble("linspace", *row({2, 9, 1}))), (Doubles{9}));
    EXPECT_TRUE(hasShape(calls.toDouble("linspace", *row({2, 9, 0})), 0, 0));
    EXPECT_EQ(runtimeMessage([&] {
                  calls.toDouble("linspace", *row({0, 1, 2.5}));
              }),
              "in seq; invalid number of points");
}

TEST(ColumnWork, CumsumPerColumnOrWholeVector) {
    ValueCalls calls;
    EXPECT_EQ(elements(calls.toDouble("cumsum", *row({1, 2, 3, 4}))), (Doubles{1, 3, 6, 10}));
    auto m = matrix<DoubleValue>(2, 2, {1, 2, 3, 4});
    auto c = calls.toDouble("cumsum", *m);
    ASSERT_TRUE(hasShape(*c, 4, 2));
    EXPECT_EQ(elements(*c), (Doubles{1, 4, 2, 6}));
}

TEST(ColumnWork, DiffKeepsOrientation) {
    ValueCalls calls;
    auto d = calls.toDouble("diff", *column({1, 4, 9, 16}));
    ASSERT_TRUE(hasShape(*d, 3, 3));
    EXPECT_EQ(elements(*d), (Doubles{3, 5, 7}));
    EXPECT_TRUE(hasShape(calls.toDouble("diff", *row({1, 4})), 1, 1));
    auto m = matrix<DoubleValue>(3, 2, {1, 10, 4, 20, 9, 50});
    auto dm = calls.toDouble("diff", *m);
    ASSERT_TRUE(hasShape(*dm, 4, 2));
    EXPECT_EQ(elements(*dm), (Doubles{3, 5, 10, 30}));
    EXPECT_TRUE(hasShape(calls.toDouble("diff", *scalar(5)), 0, 0));
}

TEST(ColumnWork, ColumnAndRowSums) {
    ValueCalls calls;
    auto m = matrix<DoubleValue>(2, 3, {1, 2, 3, 4, 5, 6});
    auto c = calls.toDouble("colsums", *m);
    ASSERT_TRUE(hasShape(*c, 3, 1));
    EXPECT_EQ(elements(*c), (Doubles{5, 7, 9}));
    auto r = calls.toDouble("rowsums", *m);
    ASSERT_TRUE(hasShape(*r, 2, 2));
    EXPECT_EQ(elements(*r), (Doubles{6, 15}));
    EXPECT_EQ(elements(calls.toDouble("rowsums", *intRow({1, 2, 3}))), (Doubles{6}));
}

TEST(Rearranging, ReverseKeepsKindAndShape) {
    ValueCalls calls;
    auto r = calls.toDouble("reverse", *text("abc"));
    EXPECT_TRUE(r->isString());
    EXPECT_EQ(r->toString(), "cba");
    EXPECT_TRUE(hasShape(calls.toDouble("reverse", *column({1, 2})), 2, 2));
}

TEST(Rearranging, UniqueSortsAndDropsRepeats) {
    ValueCalls calls;
    auto u = calls.toDouble("unique", *row({3, 1, 3, 2, 1}));
    ASSERT_TRUE(hasShape(*u, 3, 1));
    EXPECT_EQ(elements(*u), (Doubles{1, 2, 3}));
    EXPECT_TRUE(hasShape(calls.toDouble("unique", *column({2, 2, 5})), 2, 2));
}

TEST(Positions, FindallSortindAndSortrows) {
    ValueCalls calls;
    auto f = calls.toInt("findall", *row({0, 3, 0, -1}));
    ASSERT_TRUE(hasShape(*f, 2, 1));
    EXPECT_EQ(elements(*f), (Doubles{2, 4}));
    EXPECT_TRUE(hasShape(calls.toInt("findall", *column({1, 0, 1})), 2, 2));
    EXPECT_TRUE(hasShape(calls.toInt("findall", *row({0, 0})), 0, 0));

    auto s = calls.toInt("sortind", *row({30, 10, 20, 10}));
    EXPECT_EQ(elements(*s), (Doubles{2, 4, 3, 1}));
    EXPECT_EQ(s->kind, KIND_NUMERIC);

    auto m = matrix<DoubleValue>(3, 2, {2, 1, 1, 9, 2, 0});
    auto order = calls.toInt("sortrows", *m);
    ASSERT_TRUE(hasShape(*order, 3, 1));
    EXPECT_EQ(elements(*order), (Doubles{2, 3, 1}));
}

TEST(Positions, ShapeReportsRowsColumnsAndPages) {
    ValueCalls calls;
    EXPECT_EQ(elements(calls.toInt("shape", *matrix<DoubleValue>(2, 3, {1, 2, 3, 4, 5, 6}))),
              (Doubles{2, 3}));
    auto cube = calls.toDouble("zeros", *row({2, 3, 4}));
    EXPECT_EQ(elements(calls.toInt("shape", *cube)), (Doubles{2, 3, 4}));
}

TEST(InPlace, SortitAndPermutationsChangeTheirArgument) {
    ValueCalls calls;
    auto v = row({3, 1, 2});
    EXPECT_EQ(elements(calls.toInt("sortit", *v)), (Doubles{0}));
    EXPECT_EQ(elements(*v), (Doubles{1, 2, 3}));
    auto none = calls.toInt("nextPerm", *v);
    EXPECT_EQ(none->n, 0);
    EXPECT_EQ(elements(*v), (Doubles{1, 3, 2}));
    auto last = intRow({3, 2, 1});
    calls.toInt("nextPerm", *last); // wraps round to the first arrangement
    EXPECT_EQ(elements(*last), (Doubles{1, 2, 3}));
    calls.toInt("prevPerm", *last); // and back
    EXPECT_EQ(elements(*last), (Doubles{3, 2, 1}));
}

TEST(Text, TrimCutsPadElementsAtBothEnds) {
    ValueCalls calls;
    EXPECT_EQ(elements(calls.toInt("trim", *row({0, 0, 1, 2, 0}))), (Doubles{1, 2}));
    auto s = calls.toInt("trim", *text("  hi "));
    EXPECT_TRUE(s->isString());
    EXPECT_EQ(s->toString(), "hi");
    auto c = calls.toInt("trim", *column({0, 5, 0, 6, 0}));
    EXPECT_TRUE(hasShape(*c, 3, 3));
    auto empty = calls.toInt("trim", *text("   "));
    EXPECT_EQ(empty->n, 0);
    EXPECT_TRUE(empty->isString());
}

TEST(Text, RatGivesNumeratorAndDenominator) {
    ValueCalls calls;
    EXPECT_EQ(elements(calls.toInt("rat", *scalar(0.75))), (Doubles{3, 4}));
    EXPECT_EQ(elements(calls.toInt("rat", *scalar(3.141592653589793))), (Doubles{355, 113}));
    auto two = calls.toInt("rat", *row({-0.5, 2}));
    ASSERT_TRUE(hasShape(*two, 4, 2));
    EXPECT_EQ(elements(*two), (Doubles{-1, 2, 2, 1}));
}

TEST(Text, WhatisAndUnbinary) {
    ValueCalls calls;
    EXPECT_EQ(calls.toInt("whatis", *scalar(0.7071067811865476))->toString(), "sqrt1/2");
    EXPECT_EQ(calls.toInt("whatis", *row({0.5, 3}))->toString(), "1/2, 3");
    EXPECT_EQ(calls.toInt("whatis", DoubleValue())->n, 0);
    EXPECT_EQ(elements(calls.toInt("unbinary", *text("1101"))), (Doubles{13}));
    EXPECT_EQ(elements(calls.toInt("unbinary", *row({1, 0, 0}))), (Doubles{4}));
    EXPECT_EQ(runtimeMessage([&] { calls.toInt("unbinary", *text("102")); }),
              "in unbinary; not a binary number");
}

TEST(Unavailable, LaterPartsSaySo) {
    ValueCalls calls;
    EXPECT_EQ(runtimeMessage([&] { calls.toDouble("inv", *scalar(2)); }),
              "inv is not yet available");
    EXPECT_EQ(runtimeMessage([&] { calls.toInt("getline", *scalar(1)); }),
              "getline is not yet available");
}

} // namespace
} // namespace vemlor::test
