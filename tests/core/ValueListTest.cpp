// Lists: deep copies in and out of items, the assignment forms, the queries
// that look at item sizes, item text, selection and erasure of items, and
// the large empty lists of the list-creating built-in with their limits.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/ValueTestSupport.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::codeOf;
using test::elementsOf;
using test::matrixOf;
using test::rowOf;
using test::runtimeMessage;
using test::stringOf;

const IntValue& intItem(const ListValue& l, int i) {
    return static_cast<const IntValue&>(*l[i].value);
}

// A row list of integer-row items of the given lengths (0 = empty item);
// item k holds the numbers k*10+1, k*10+2, ...
std::unique_ptr<ListValue> listOfLengths(std::initializer_list<int> lengths) {
    auto l = std::make_unique<ListValue>();
    l->setShapeKind(int(lengths.size()), 1, 0);
    int k = 0;
    for (int length : lengths) {
        if (length > 0) {
            auto v = std::make_unique<IntValue>();
            v->setShapeKind(length, 1, 0);
            for (int j = 0; j < length; ++j)
                (*v)[j] = k * 10 + j + 1;
            (*l)[k].value = std::move(v);
        }
        ++k;
    }
    return l;
}

TEST(ValueListItem, CopiesAreDeepAndEmptyStaysEmpty) {
    ListItem a;
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.count(), 0);
    a.value = rowOf<IntValue>({1, 2, 3});
    ListItem b(a);
    ASSERT_FALSE(b.empty());
    EXPECT_NE(b.value.get(), a.value.get());
    static_cast<IntValue&>(*b.value)[0] = 99;
    EXPECT_EQ(static_cast<IntValue&>(*a.value)[0], 1);

    ListItem none;
    b = none;
    EXPECT_TRUE(b.empty());
    b = a;
    EXPECT_EQ(b.count(), 3);
    ListItem& same = b;
    b = same; // self-assignment keeps the value
    EXPECT_EQ(b.count(), 3);
}

TEST(ValueListAssign, StringScalarAndWrappedValues) {
    ListValue l;
    l.assignString("abc");
    EXPECT_EQ(l.n, 1);
    EXPECT_EQ(l.nrow, 1);
    EXPECT_EQ(l.kind, KIND_TEXT);
    ASSERT_EQ(l[0].value->type(), INTEGER_VAL);
    EXPECT_EQ(l[0].value->kind, KIND_STRING);
    EXPECT_EQ(l[0].value->toString(), "abc");

    l.assignScalar(2.5);
    EXPECT_EQ(l.kind, 0);
    ASSERT_EQ(l[0].value->type(), DOUBLE_VAL);
    EXPECT_EQ(l[0].value->scalarDouble(), 2.5);
    l.assignScalarInt(-4);
    ASSERT_EQ(l[0].value->type(), INTEGER_VAL);
    EXPECT_EQ(l[0].value->scalarInt(), -4);

    auto m = matrixOf<DoubleValue>(2, 2, {1.0, 2.0, 3.0, 4.0});
    l.copyFrom(*m);
    EXPECT_EQ(l.n, 1);
    ASSERT_EQ(l[0].value->type(), DOUBLE_VAL);
    EXPECT_EQ(l[0].value->nrow, 2);
    EXPECT_NE(l[0].value->rawData(), m->rawData());

    l.copyFrom(l); // a list wrapping a copy of itself
    EXPECT_EQ(l.n, 1);
    ASSERT_EQ(l[0].value->type(), LIST_VAL);
    const auto& inner = static_cast<const ListValue&>(*l[0].value);
    ASSERT_EQ(inner.n, 1);
    EXPECT_EQ(inner[0].value->nrow, 2);
}

TEST(ValueListAssign, ConvertedCopiesItemByItemDeeply) {
    auto src = listOfLengths({2, 0, 1});
    src->kind = KIND_TEXT;
    ListValue dst;
    dst.assignScalar(1);
    dst.assignConverted(*src);
    EXPECT_EQ(dst.n, 3);
    EXPECT_EQ(dst.nrow, 1);
    EXPECT_EQ(dst.kind, KIND_TEXT);
    EXPECT_TRUE(dst[1].empty());
    EXPECT_EQ(elementsOf(intItem(dst, 0)), (std::vector<int>{1, 2}));
    static_cast<IntValue&>(*dst[2].value)[0] = 0;
    EXPECT_EQ(intItem(*src, 2)[0], 21);

    ValuePtr outer = std::make_unique<ListValue>();
    outer->copyFrom(*src); // a list holding the list
    ValuePtr copy = newValueCopy(*outer);
    auto& copiedInner = static_cast<ListValue&>(*static_cast<ListValue&>(*copy)[0].value);
    copiedInner[0].value.reset();
    const auto& originalInner =
        static_cast<const ListValue&>(*static_cast<ListValue&>(*outer)[0].value);
    EXPECT_EQ(originalInner[0].count(), 2);

    EXPECT_EQ(codeOf([&] { dst.assignConverted(IntValue(1)); }),
              "incompatible lhs, rhs in assignment");

    // A list taking over the list nested in its own first item.
    ListValue nest;
    nest.copyFrom(*src);
    nest.assignConverted(*nest[0].value);
    EXPECT_EQ(nest.n, 3);
    EXPECT_EQ(elementsOf(intItem(nest, 0)), (std::vector<int>{1, 2}));
}

TEST(ValueListQueries, ItemsCompareByElementCount) {
    auto l = listOfLengths({2, 0, 3, 3, 0});
    EXPECT_EQ(l->indexOfMax(), 2);
    EXPECT_EQ(l->indexOfMin(), 1);
    EXPECT_EQ(l->firstNonzero(), 1);
    EXPECT_EQ(l->lastNonzero(), 4);
    EXPECT_TRUE(l->anyNonzero());
    EXPECT_FALSE(l->allNonzero());

    auto full = listOfLengths({1, 4});
    EXPECT_TRUE(full->allNonzero());
    EXPECT_EQ(full->indexOfMin(), 0);
    auto empties = listOfLengths({0, 0});
    EXPECT_FALSE(empties->anyNonzero());
    EXPECT_EQ(empties->firstNonzero(), 0);
    EXPECT_EQ(empties->lastNonzero(), 0);
    EXPECT_EQ(ListValue().indexOfMax(), 0);
    EXPECT_TRUE(ListValue().allNonzero());
}

TEST(ValueListText, StringItemUsesTheDisplayLayout) {
    auto l = std::make_unique<ListValue>();
    l->setShapeKind(6, 6, 0);
    (*l)[0].value = stringOf("abc");
    (*l)[1].value = std::make_unique<IntValue>(42);
    (*l)[2].value = matrixOf<IntValue>(2, 2, {1, 2, 3, 4});
    (*l)[4].value = listOfLengths({1});
    (*l)[5].value = std::make_unique<DoubleValue>(0.5);
    EXPECT_EQ(l->stringItem(0, 9), "abc");
    // Numbers are right-aligned in a field one wider than the column.
    EXPECT_EQ(l->stringItem(1, 9), " 42");
    EXPECT_EQ(l->stringItem(2, 9), " 1 2\n 3 4");
    EXPECT_EQ(l->stringItem(3, 9), "");
    EXPECT_EQ(runtimeMessage([&] { (void)l->stringItem(4, 9); }),
              "text of a nested list not yet implemented");
    EXPECT_EQ(l->stringItem(5, 9), " 0.5");

    EXPECT_EQ(runtimeMessage([&] { (void)l->toString(); }), "text of a list not implemented yet");
}

TEST(ValueListSelect, PartsAreDeepCopiedLists) {
    // 2-by-2 list: items 1 and 2 in the first column, 3 and 4 in the second.
    auto l = listOfLengths({1, 2, 3, 0});
    l->nrow = 2;
    ListValue part;
    l->subValue(2, part, SELECT_ROW);
    EXPECT_EQ(part.n, 2);
    EXPECT_EQ(part.nrow, 1);
    EXPECT_EQ(part[0].count(), 2);
    EXPECT_TRUE(part[1].empty());
    EXPECT_NE(part[0].value.get(), (*l)[1].value.get());

    l->subValue(2, part, SELECT_AUTO); // a matrix: the column
    EXPECT_EQ(part.nrow, 2);
    EXPECT_EQ(part[0].count(), 3);

    l->selectIndexed({4, 1, 1}, part, SELECT_ELEMENT);
    EXPECT_EQ(part.n, 3);
    EXPECT_EQ(part.nrow, 3);
    EXPECT_TRUE(part[0].empty());
    EXPECT_EQ(elementsOf(intItem(part, 1)), (std::vector<int>{1}));
    EXPECT_NE(part[1].value.get(), part[2].value.get());

    l->selectRowsCols({1}, {2, 1}, part);
    EXPECT_EQ(part.n, 2);
    EXPECT_EQ(part[0].count(), 3);
    EXPECT_EQ(part[1].count(), 1);

    DoubleValue numeric;
    EXPECT_EQ(codeOf([&] { l->subValue(1, numeric, SELECT_ELEMENT); }),
              "incompatible lhs, rhs in assignment");
}

TEST(ValueListSelect, EraseAndTransposeMoveItems) {
    auto l = listOfLengths({1, 2, 3, 4, 5});
    const int drop[] = {4, 2, 4};
    l->erase(SELECT_AUTO, drop, 3);
    EXPECT_EQ(l->n, 3);
    EXPECT_EQ(l->nrow, 1);
    EXPECT_EQ((*l)[0].count(), 1);
    EXPECT_EQ((*l)[1].count(), 3);
    EXPECT_EQ((*l)[2].count(), 5);
    for (int i = l->n; i < l->capacity(); ++i)
        EXPECT_TRUE(l->data()[i].empty()) << i;

    // [a b c; d e f] with counts 1..6 row by row, stored column by column.
    auto m = listOfLengths({1, 4, 2, 5, 3, 6});
    m->nrow = 2;
    m->transpose();
    EXPECT_EQ(m->nrow, 3);
    std::vector<int> counts;
    for (int i = 0; i < m->n; ++i)
        counts.push_back((*m)[i].count());
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4, 5, 6}));

    const int all[] = {1, 2, 3};
    auto r = listOfLengths({1, 1, 1});
    r->erase(SELECT_ELEMENT, all, 3);
    EXPECT_EQ(r->n, 0);
    EXPECT_EQ(r->data(), nullptr);
}

TEST(ValueListSelect, ItemCopiesOneItemOut) {
    auto l = listOfLengths({3, 0});
    IntValue out(5);
    l->item(0, out);
    EXPECT_EQ(elementsOf(out), (std::vector<int>{1, 2, 3}));
    out[0] = 100;
    EXPECT_EQ(intItem(*l, 0)[0], 1);
    DoubleValue widened;
    l->item(0, widened);
    EXPECT_EQ(elementsOf(widened), (std::vector<double>{1, 2, 3}));
    l->item(1, out);
    EXPECT_EQ(out.n, 0);
    EXPECT_EQ(codeOf([&] { l->item(2, out); }), "out of bounds error");
    ListValue wrong;
    EXPECT_EQ(codeOf([&] { l->item(0, wrong); }), "incompatible lhs, rhs in assignment");

    // A numeric value's item i is its row i + 1.
    auto m = matrixOf<IntValue>(2, 2, {1, 2, 3, 4}, KIND_BOOL);
    m->item(1, out);
    EXPECT_EQ(out.nrow, 1);
    EXPECT_EQ(out.kind, KIND_BOOL);
    EXPECT_EQ(elementsOf(out), (std::vector<int>{3, 4}));
}

TEST(ValueListFill, ResizeFillItemsCopiesTheValueIntoEveryItem) {
    ListValue l;
    l.resizeFillItems(3, 1, stringOf("xy"));
    EXPECT_EQ(l.n, 3);
    EXPECT_EQ(l.nrow, 1);
    EXPECT_NE(l[0].value.get(), l[1].value.get());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(l[i].value->toString(), "xy");
    l.resizeFillItems(2, 2, nullptr);
    EXPECT_TRUE(l[0].empty());
    EXPECT_TRUE(l[1].empty());
}

void expectEmptyDoubleItems(const ListValue& l, int count) {
    ASSERT_EQ(l.n, count);
    EXPECT_EQ(l.nrow, count);
    EXPECT_EQ(l.kind, KIND_TEXT);
    for (int i : {0, count / 2, count - 1}) {
        ASSERT_FALSE(l[i].empty()) << i;
        EXPECT_EQ(l[i].value->type(), DOUBLE_VAL);
        EXPECT_EQ(l[i].value->n, 0);
    }
}

TEST(ValueEmptyItemList, SmallListsAndTheWarningThreshold) {
    test::RecordingSink sink;
    ListValue l;
    makeEmptyItemList(l, 3, &sink);
    expectEmptyDoubleItems(l, 3);
    makeEmptyItemList(l, 100000, &sink);
    expectEmptyDoubleItems(l, 100000);
    EXPECT_TRUE(sink.lines.empty());
    makeEmptyItemList(l, 100001, &sink);
    expectEmptyDoubleItems(l, 100001);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"creating a very large list"}));
}

TEST(ValueEmptyItemList, MoreThanTenMillionItemsAreRefusedBeforeAnything) {
    test::RecordingSink sink;
    ListValue l;
    l.assignScalar(1);
    EXPECT_EQ(runtimeMessage([&] { makeEmptyItemList(l, 10000001, &sink); }),
              "attempt to create list of more than 10 million items");
    EXPECT_TRUE(sink.lines.empty()); // refused before any warning
    EXPECT_EQ(l.n, 1);               // and before the list was touched
    EXPECT_EQ(runtimeMessage([&] { makeEmptyItemList(l, 5000000000L, &sink); }),
              "attempt to create list of more than 10 million items");
}

// Ten million small heap values take seconds and most of a gigabyte under
// AddressSanitizer; the plain build checks the upper limit.
TEST(ValueEmptyItemList, TenMillionItemsAreAllowed) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "too slow under AddressSanitizer";
#endif
    test::RecordingSink sink;
    ListValue l;
    makeEmptyItemList(l, 10000000, &sink);
    expectEmptyDoubleItems(l, 10000000);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"creating a very large list"}));
}

} // namespace
} // namespace vemlor
