// Taking parts of numeric values and erasing them: subValue in every mode,
// gathering by index lists, submatrices, and erasure of elements, rows,
// columns and pages, including the shapes and kinds the results get.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/ValueTestSupport.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::codeOf;
using test::columnOf;
using test::elementsOf;
using test::matrixOf;
using test::rowOf;

// [1 2 3; 4 5 6]
std::unique_ptr<IntValue> twoByThree() {
    return matrixOf<IntValue>(2, 3, {1, 2, 3, 4, 5, 6});
}

// Pages [1 2; 3 4], [5 6; 7 8], [9 10; 11 12].
std::unique_ptr<IntValue> threePages() {
    auto a = std::make_unique<IntValue>();
    a->setShapeKind(12, 2, kind3D(3));
    const int storage[] = {1, 3, 2, 4, 5, 7, 6, 8, 9, 11, 10, 12};
    std::copy(storage, storage + 12, a->data());
    return a;
}

void expectShape(const Value& v, int n, int nrow, int kind) {
    EXPECT_EQ(v.n, n);
    EXPECT_EQ(v.nrow, nrow);
    EXPECT_EQ(v.kind, kind);
}

TEST(ValueSubValue, ElementRowColumnAndAutomaticMode) {
    auto a = twoByThree();
    IntValue r;
    a->subValue(2, r, SELECT_ELEMENT);
    expectShape(r, 1, 1, 0);
    EXPECT_EQ(r[0], 4); // column-major: the second element is below the first
    a->subValue(2, r, SELECT_ROW);
    expectShape(r, 3, 1, 0);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{4, 5, 6}));
    a->subValue(3, r, SELECT_COLUMN);
    expectShape(r, 2, 2, 0);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{3, 6}));
    a->subValue(2, r, SELECT_AUTO); // a matrix: the column
    EXPECT_EQ(elementsOf(r), (std::vector<int>{2, 5}));

    auto row = rowOf<DoubleValue>({10.0, 20.0, 30.0});
    DoubleValue d;
    row->subValue(2, d, SELECT_AUTO); // a vector: the element
    expectShape(d, 1, 1, 0);
    EXPECT_EQ(d[0], 20.0);
    auto col = columnOf<DoubleValue>({10.0, 20.0, 30.0});
    col->subValue(3, d, SELECT_AUTO);
    EXPECT_EQ(d[0], 30.0);
}

TEST(ValueSubValue, ResultKeepsTheKindAndWidensIntoWiderResults) {
    auto names = matrixOf<IntValue>(2, 3, {'a', 'b', 'c', 'd', 'e', 'f'}, KIND_STRING);
    IntValue r;
    names->subValue(2, r, SELECT_ROW);
    EXPECT_EQ(r.kind, KIND_STRING);
    EXPECT_EQ(r.toString(), "def");

    ComplexValue z;
    twoByThree()->subValue(1, z, SELECT_ROW);
    EXPECT_EQ(elementsOf(z), (std::vector<complexd>{1, 2, 3}));
    IntValue narrow;
    auto d = rowOf<DoubleValue>({1.5});
    EXPECT_EQ(codeOf([&] { d->subValue(1, narrow, SELECT_ELEMENT); }),
              "incompatible lhs, rhs in assignment");
}

TEST(ValueSubValue, PagesOfThreeDimensionalArrays) {
    auto a = threePages();
    IntValue page;
    a->subValue(2, page, SELECT_PAGE);
    expectShape(page, 4, 2, KIND_NUMERIC); // one page is a plain 2-by-2 matrix
    EXPECT_EQ(elementsOf(page), (std::vector<int>{5, 7, 6, 8}));
    a->subValue(3, page, SELECT_AUTO);
    EXPECT_EQ(elementsOf(page), (std::vector<int>{9, 11, 10, 12}));

    EXPECT_EQ(codeOf([&] { a->subValue(4, page, SELECT_PAGE); }), "out of bounds error");
    try {
        twoByThree()->subValue(1, page, SELECT_PAGE);
        FAIL() << "a page of a 2-D value was taken";
    } catch (const InternalError& e) {
        EXPECT_STREQ(e.what(), "BUG: page columns asked of a value that is not 3-D");
    }
}

TEST(ValueSubValue, PositionsOutsideTheDimensionAreRefused) {
    auto a = twoByThree();
    IntValue r(99);
    EXPECT_EQ(codeOf([&] { a->subValue(0, r, SELECT_ELEMENT); }), "out of bounds error");
    EXPECT_EQ(codeOf([&] { a->subValue(7, r, SELECT_ELEMENT); }), "out of bounds error");
    EXPECT_EQ(codeOf([&] { a->subValue(3, r, SELECT_ROW); }), "out of bounds error");
    EXPECT_EQ(codeOf([&] { a->subValue(4, r, SELECT_COLUMN); }), "out of bounds error");
    EXPECT_EQ(r[0], 99);
}

TEST(ValueSelectIndexed, ElementsFormARowOnlyFromARow) {
    IntValue r;
    rowOf<IntValue>({10, 20, 30, 40})->selectIndexed({4, 1, 1}, r, SELECT_ELEMENT);
    expectShape(r, 3, 1, 0);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{40, 10, 10}));

    columnOf<IntValue>({10, 20, 30})->selectIndexed({3, 2}, r, SELECT_AUTO);
    expectShape(r, 2, 2, 0);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{30, 20}));

    twoByThree()->selectIndexed({2, 5}, r, SELECT_ELEMENT);
    expectShape(r, 2, 2, 0);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{4, 3}));

    // A 1-by-1 source is a row of one element only: the result is a column.
    IntValue(8).selectIndexed({1, 1}, r, SELECT_ELEMENT);
    expectShape(r, 2, 2, 0);

    auto s = test::stringOf("hello");
    s->selectIndexed({5, 1}, r, SELECT_AUTO);
    EXPECT_EQ(r.kind, KIND_STRING);
    EXPECT_EQ(r.toString(), "oh");
}

TEST(ValueSelectIndexed, RowsColumnsAndPages) {
    auto a = twoByThree();
    IntValue r;
    a->selectIndexed({2, 1, 2}, r, SELECT_ROW);
    expectShape(r, 9, 3, 0);
    // [4 5 6; 1 2 3; 4 5 6] column by column
    EXPECT_EQ(elementsOf(r), (std::vector<int>{4, 1, 4, 5, 2, 5, 6, 3, 6}));
    a->selectIndexed({3, 1}, r, SELECT_COLUMN);
    expectShape(r, 4, 2, 0);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{3, 6, 1, 4}));
    a->selectIndexed({2}, r, SELECT_AUTO); // a matrix: columns
    EXPECT_EQ(elementsOf(r), (std::vector<int>{2, 5}));

    auto p = threePages();
    p->selectIndexed({3, 1}, r, SELECT_AUTO);
    expectShape(r, 8, 2, kind3D(2));
    EXPECT_EQ(r.ncol3D(), 2);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{9, 11, 10, 12, 1, 3, 2, 4}));
    // Rows of a 3-D array run through every page and stay 3-D.
    p->selectIndexed({2}, r, SELECT_ROW);
    expectShape(r, 6, 1, kind3D(3));
    EXPECT_EQ(elementsOf(r), (std::vector<int>{3, 4, 7, 8, 11, 12}));
    EXPECT_EQ(codeOf([&] { p->selectIndexed({1, 4}, r, SELECT_PAGE); }), "out of bounds error");
}

TEST(ValueSelectIndexed, EmptyListsAndBadPositions) {
    auto a = twoByThree();
    IntValue r;
    a->selectIndexed({}, r, SELECT_COLUMN);
    EXPECT_EQ(r.n, 0);
    EXPECT_EQ(codeOf([&] { a->selectIndexed({1, 7}, r, SELECT_ELEMENT); }), "out of bounds error");
    EXPECT_EQ(codeOf([&] { a->selectIndexed({0}, r, SELECT_COLUMN); }), "out of bounds error");
    EXPECT_EQ(codeOf([&] { a->selectIndexed({3}, r, SELECT_ROW); }), "out of bounds error");
}

TEST(ValueSelectRowsCols, SubmatrixInTheOrderGiven) {
    auto a = twoByThree();
    IntValue r;
    a->selectRowsCols({2, 1}, {3, 3}, r);
    expectShape(r, 4, 2, 0);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{6, 3, 6, 3})); // [6 6; 3 3]
    a->selectRowsCols({1}, {3, 1, 2}, r);
    expectShape(r, 3, 1, 0);
    EXPECT_EQ(elementsOf(r), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(codeOf([&] { a->selectRowsCols({3}, {1}, r); }), "out of bounds error");
    EXPECT_EQ(codeOf([&] { a->selectRowsCols({1}, {4}, r); }), "out of bounds error");

    // The value selected into itself.
    a->selectRowsCols({2}, {2, 3}, *a);
    expectShape(*a, 2, 1, 0);
    EXPECT_EQ(elementsOf(*a), (std::vector<int>{5, 6}));
}

TEST(ValueErase, ElementsAreSortedDedupedAndClosedUp) {
    auto row = rowOf<IntValue>({1, 2, 3, 4, 5, 6});
    const int drop[] = {5, 2, 2};
    row->erase(SELECT_ELEMENT, drop, 3);
    expectShape(*row, 4, 1, 0);
    EXPECT_EQ(elementsOf(*row), (std::vector<int>{1, 3, 4, 6}));

    auto col = columnOf<DoubleValue>({1.0, 2.0, 3.0, 4.0, 5.0});
    const int ends[] = {5, 1};
    col->erase(SELECT_AUTO, ends, 2);
    expectShape(*col, 3, 3, 0); // a column stays a column
    EXPECT_EQ(elementsOf(*col), (std::vector<double>{2, 3, 4}));

    auto s = test::stringOf("abc");
    const int all[] = {3, 1, 2};
    s->erase(SELECT_ELEMENT, all, 3);
    expectShape(*s, 0, 0, KIND_STRING); // cleared, still an (empty) string
    EXPECT_EQ(s->data(), nullptr);

    auto same = rowOf<IntValue>({1, 2});
    same->erase(SELECT_ELEMENT, drop, 0);
    EXPECT_EQ(elementsOf(*same), (std::vector<int>{1, 2}));
}

TEST(ValueErase, RowsAndColumns) {
    // [1 2 3; 4 5 6; 7 8 9]
    auto m = matrixOf<IntValue>(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}, KIND_BOOL);
    const int rows[] = {3, 1};
    m->erase(SELECT_ROW, rows, 2);
    expectShape(*m, 3, 1, KIND_BOOL);
    EXPECT_EQ(elementsOf(*m), (std::vector<int>{4, 5, 6}));

    auto m2 = matrixOf<IntValue>(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    const int middle[] = {2};
    m2->erase(SELECT_COLUMN, middle, 1);
    expectShape(*m2, 6, 3, 0);
    EXPECT_EQ(elementsOf(*m2), (std::vector<int>{1, 4, 7, 3, 6, 9}));
    m2->erase(SELECT_AUTO, middle, 1); // a matrix: columns
    EXPECT_EQ(elementsOf(*m2), (std::vector<int>{1, 4, 7}));

    auto col = columnOf<IntValue>({1, 2, 3, 4});
    const int inner[] = {2, 3};
    col->erase(SELECT_ROW, inner, 2);
    expectShape(*col, 2, 2, 0);
    EXPECT_EQ(elementsOf(*col), (std::vector<int>{1, 4}));

    auto m3 = twoByThree();
    const int both[] = {1, 2};
    m3->erase(SELECT_ROW, both, 2);
    expectShape(*m3, 0, 0, 0);
}

TEST(ValueErase, BadPositionsChangeNothing) {
    auto row = rowOf<IntValue>({1, 2, 3});
    const int drop[] = {1, 4};
    EXPECT_EQ(codeOf([&] { row->erase(SELECT_ELEMENT, drop, 2); }), "out of bounds error");
    const int zero[] = {0};
    EXPECT_EQ(codeOf([&] { row->erase(SELECT_COLUMN, zero, 1); }), "out of bounds error");
    EXPECT_EQ(elementsOf(*row), (std::vector<int>{1, 2, 3}));
}

TEST(ValueErase, PagesAndColumnsOfThreeDimensionalArrays) {
    auto a = threePages();
    const int second[] = {2};
    a->erase(SELECT_AUTO, second, 1);
    expectShape(*a, 8, 2, kind3D(2));
    EXPECT_EQ(elementsOf(*a), (std::vector<int>{1, 3, 2, 4, 9, 11, 10, 12}));

    auto b = threePages();
    const int first[] = {1};
    b->erase(SELECT_COLUMN, first, 1); // the first column of every page
    expectShape(*b, 6, 2, kind3D(3));
    EXPECT_EQ(b->ncol3D(), 1);
    EXPECT_EQ(elementsOf(*b), (std::vector<int>{2, 4, 6, 8, 10, 12}));

    auto c = threePages();
    c->erase(SELECT_ROW, first, 1);
    expectShape(*c, 6, 1, kind3D(3));
    EXPECT_EQ(elementsOf(*c), (std::vector<int>{3, 4, 7, 8, 11, 12}));

    auto d = threePages();
    const int every[] = {1, 2, 3};
    d->erase(SELECT_PAGE, every, 3);
    expectShape(*d, 0, 0, KIND_NUMERIC);
}

} // namespace
} // namespace vemlor
