// Lists where the language cannot look: a list copied into or from an item
// of itself, the empty storage behind erased items, and the limits of the
// large empty lists that `list(n)` makes (checked before anything changes).
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/ValueTestSupport.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::elementsOf;
using test::rowOf;

// A row list whose item k is the integer row k*10+1, ..., of the given length.
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

TEST(ValueListAliasing, CopyingItselfOrItsOwnItem) {
    ListValue l;
    l.copyFrom(*rowOf<DoubleValue>({1.0, 2.0}));
    l.copyFrom(l); // a list wrapping a copy of itself
    ASSERT_EQ(l.n, 1);
    ASSERT_EQ(l[0].value->type(), LIST_VAL);
    const auto& inner = static_cast<const ListValue&>(*l[0].value);
    ASSERT_EQ(inner.n, 1);
    EXPECT_EQ(inner[0].value->n, 2);

    ListValue nest;
    nest.copyFrom(*listOfLengths({2, 0, 1})); // a list holding the list
    nest.assignConverted(*nest[0].value);     // takes over the list in its own item
    ASSERT_EQ(nest.n, 3);
    EXPECT_EQ(elementsOf(static_cast<const IntValue&>(*nest[0].value)), (std::vector<int>{1, 2}));
    EXPECT_TRUE(nest[1].empty());
}

TEST(ValueListAliasing, ErasedItemsLeaveEmptyStorage) {
    auto l = listOfLengths({1, 2, 3, 4, 5});
    const int drop[] = {4, 2, 4};
    l->erase(SELECT_AUTO, drop, 3);
    ASSERT_EQ(l->n, 3);
    EXPECT_EQ((*l)[1].count(), 3);
    for (int i = l->n; i < l->capacity(); ++i)
        EXPECT_TRUE(l->data()[i].empty()) << i;
}

TEST(ValueEmptyItemList, MoreThanTenMillionItemsAreRefusedBeforeAnything) {
    test::RecordingSink sink;
    ListValue l;
    l.assignScalar(1);
    EXPECT_THROW(makeEmptyItemList(l, 10000001, &sink), RuntimeError);
    EXPECT_THROW(makeEmptyItemList(l, 5000000000L, &sink), RuntimeError);
    EXPECT_TRUE(sink.lines.empty()); // refused before any warning
    EXPECT_EQ(l.n, 1);               // and before the list was touched
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
    ASSERT_EQ(l.n, 10000000);
    EXPECT_EQ(l[9999999].value->type(), DOUBLE_VAL);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"creating a very large list"}));
}

} // namespace
} // namespace vemlor
