// Storage behaviour shared by every value class: resizing with and without
// keeping the contents (when the buffer is kept or replaced, and how the
// shape follows), amortised growth, shape setters, and handing buffers over.
#include "core/MathMatrix.h"
#include "core/ValueTestSupport.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::elementsOf;
using test::rowOf;

std::unique_ptr<DoubleValue> counting(int count) {
    auto v = std::make_unique<DoubleValue>();
    v->setShapeKind(count, 1, 0);
    for (int i = 0; i < count; ++i)
        (*v)[i] = i;
    return v;
}

TEST(ValueResizeKeep, ScalarGrowsIntoAColumnRowStaysARow) {
    DoubleValue s(4.5);
    s.resizeKeep(5);
    EXPECT_EQ(s.n, 5);
    EXPECT_EQ(s.nrow, 5);
    EXPECT_EQ(s[0], 4.5);

    auto row = rowOf<IntValue>({1, 2, 3});
    row->resizeKeep(5);
    EXPECT_EQ(row->n, 5);
    EXPECT_EQ(row->nrow, 1);
    EXPECT_EQ(row->ncol(), 5);
    EXPECT_EQ(std::vector<int>(row->data(), row->data() + 3), (std::vector<int>{1, 2, 3}));

    auto col = test::columnOf<IntValue>({1, 2, 3, 4});
    col->resizeKeep(2);
    EXPECT_EQ(col->nrow, 2);
    EXPECT_EQ(elementsOf(*col), (std::vector<int>{1, 2}));
}

TEST(ValueResizeKeep, ShrinkingReallocatesOnlyWhenMuchIsFreed) {
    auto v = counting(1000);
    const double* buffer = v->data();
    v->resizeKeep(999);
    EXPECT_EQ(v->data(), buffer);
    EXPECT_EQ(v->n, 999);
    EXPECT_EQ((*v)[998], 998.0);

    auto big = counting(1000);
    big->resizeKeep(400); // more than half dropped
    EXPECT_EQ(big->capacity(), 400);
    EXPECT_EQ((*big)[399], 399.0);

    // Dropping 4 of 8 (half, and at least 4) reallocates; 3 of 7 does not.
    auto eight = counting(8);
    eight->resizeKeep(4);
    EXPECT_EQ(eight->capacity(), 4);
    auto seven = counting(7);
    seven->resizeKeep(4);
    EXPECT_EQ(seven->capacity(), 7);

    // Less than half, but more than 100000 elements freed.
    auto huge = counting(300000);
    huge->resizeKeep(199999);
    EXPECT_EQ(huge->capacity(), 199999);
    EXPECT_EQ((*huge)[199998], 199998.0);
    auto edge = counting(300000);
    edge->resizeKeep(200000); // exactly 100000 freed: kept
    EXPECT_EQ(edge->capacity(), 300000);
}

TEST(ValueResizeKeep, RepeatedGrowthIsAmortised) {
    IntValue v;
    int moves = 0;
    const int* last = nullptr;
    for (int k = 1; k <= 100000; ++k) {
        v.resizeKeep(k);
        v[k - 1] = k;
        if (v.data() != last) ++moves;
        last = v.data();
    }
    EXPECT_LT(moves, 40);
    EXPECT_EQ(v.nrow, 100000); // grown from empty as a column
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[99999], 100000);
}

TEST(ValueShape, SetShapeResizesOnlyWhenTheCountChanges) {
    auto v = counting(6);
    const double* buffer = v->data();
    v->setShape(3, 2);
    EXPECT_EQ(v->nrow, 3);
    EXPECT_EQ(v->ncol(), 2);
    EXPECT_EQ(v->data(), buffer);
    EXPECT_EQ((*v)[5], 5.0); // same count: contents stay
    v->setShape(4, 5);
    EXPECT_EQ(v->n, 20);
    EXPECT_EQ(v->nrow, 4);

    IntValue k;
    k.setShapeKind(12, 2, kind3D(2));
    EXPECT_EQ(k.n, 12);
    EXPECT_EQ(k.ncol3D(), 3);

    DoubleValue f;
    f.resizeFill(6, 3, 1.25);
    EXPECT_EQ(f.nrow, 3);
    EXPECT_EQ(elementsOf(f), std::vector<double>(6, 1.25));
}

TEST(ValueListStorage, ResizedListsHoldOnlyEmptyItems) {
    ListValue l;
    l.resizeFillItems(4, 4, std::make_unique<IntValue>(7));
    ASSERT_EQ(l.n, 4);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(l[i].count(), 1);
    // A new count gives empty items even when the buffer is reused.
    l.resize(3);
    EXPECT_EQ(l.n, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(l[i].empty()) << i;

    // Shrinking with resizeKeep empties the dropped items, so growing back
    // into the spare room finds nothing hidden there.
    l.resizeFillItems(5, 5, std::make_unique<IntValue>(1));
    l.resizeKeep(4);
    EXPECT_TRUE(l.data()[4].empty());
    l.resizeKeep(5);
    EXPECT_EQ(l[3].count(), 1);
    EXPECT_TRUE(l[4].empty());
}

} // namespace
} // namespace vemlor
