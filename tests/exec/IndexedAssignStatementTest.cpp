// Indexed assignment statements: shape checks, masks, the growth rule,
// op-assigns and lists.
#include "StatementTestSupport.h"

#include "exec/IndexedAssignStatements.h"

namespace vemlor::test {
namespace {

using IndexedAssignTest = StatementTest;

// x[index] = right (op '=') or x[index] op= right.
std::string single(Value& x, ValuePtr index, ValuePtr right, char op = '=',
                   int mode = SELECT_AUTO) {
    return failureOf([&] {
        SingleIndexedAssignStm(held(std::move(right)), 1, &x, held(std::move(index)), op, mode)
            .exe();
    });
}

std::vector<EvaluatablePtr> pair(EvaluatablePtr a, EvaluatablePtr b) {
    std::vector<EvaluatablePtr> out;
    out.push_back(std::move(a));
    out.push_back(std::move(b));
    return out;
}

ValuePtr ints(std::initializer_list<int> xs) {
    return intMatrix(1, int(xs.size()), xs);
}

TEST_F(IndexedAssignTest, ElementsOfAVectorTakeAScalarOrOneElementEach) {
    DoubleValue x;
    x.copyFrom(*row({1, 2, 3}));
    EXPECT_EQ(single(x, ints({2}), row({9})), "");
    EXPECT_EQ(single(x, ints({3, 1}), row({7, 8})), "");
    EXPECT_EQ(doubles(x), values({8, 9, 7}));
    EXPECT_EQ(single(x, mask({1, 0, 1}), std::make_unique<IntValue>(0)), "");
    EXPECT_EQ(doubles(x), values({0, 9, 0}));
    // A mask of zeros selects nothing, and a scalar then changes nothing.
    EXPECT_EQ(single(x, mask({0, 0, 0}), row({5})), "");
    EXPECT_EQ(doubles(x), values({0, 9, 0}));
}

TEST_F(IndexedAssignTest, RefusedAssignmentsLeaveTheTargetUnchanged) {
    DoubleValue x;
    x.copyFrom(*row({1, 2, 3}));
    EXPECT_EQ(single(x, mask({1, 0}), row({5})), "invalid mask size");
    EXPECT_EQ(single(x, ints({0}), row({5})), "lhs index out of bounds");
    EXPECT_EQ(single(x, ints({1, 2}), row({5, 6, 7})),
              "incompatible lhs, rhs in assignment"); // count mismatch
    EXPECT_EQ(single(x, mask({0, 0, 0}), row({5, 6})), "empty lhs index with non-empty rhs");
    EXPECT_EQ(single(x, ints({2}), std::make_unique<ComplexValue>(complexd(1, 1))),
              "incompatible lhs, rhs in assignment");
    EXPECT_EQ(single(x, ints({5}), row({1}), 'P'), "lhs index out of bounds");
    EXPECT_EQ(doubles(x), values({1, 2, 3}));
    EXPECT_EQ(x.n, 3);
}

TEST_F(IndexedAssignTest, VectorsGrowWithZerosAndKeepTheirOrientation) {
    DoubleValue x;
    x.copyFrom(*row({1, 2}));
    EXPECT_EQ(single(x, ints({5}), row({9})), "");
    EXPECT_EQ(x.nrow, 1);
    EXPECT_EQ(doubles(x), values({1, 2, 0, 0, 9}));

    DoubleValue column;
    column.copyFrom(*doubleMatrix(2, 1, {1, 2}));
    EXPECT_EQ(single(column, ints({3, 4}), row({3, 4})), "");
    EXPECT_EQ(column.nrow, 4);
    EXPECT_EQ(doubles(column), values({1, 2, 3, 4}));

    DoubleValue scalar(7), empty;
    EXPECT_EQ(single(scalar, ints({3}), row({1})), "");
    EXPECT_EQ(scalar.nrow, 1);
    EXPECT_EQ(doubles(scalar), values({7, 0, 1}));
    EXPECT_EQ(single(empty, ints({2}), row({4})), "");
    EXPECT_EQ(empty.nrow, 1);
    EXPECT_EQ(doubles(empty), values({0, 4}));

    // The right side may be the target itself.
    DoubleValue self;
    self.copyFrom(*row({1, 2}));
    SingleIndexed_SeqAssignStm(var(self), 1, &self, held(ints({3, 4}))).exe();
    EXPECT_EQ(doubles(self), values({1, 2, 1, 2}));
}

TEST_F(IndexedAssignTest, MatricesDoNotGrowThroughASingleIndex) {
    DoubleValue m;
    m.copyFrom(*doubleMatrix(2, 2, {1, 2, 3, 4}));
    EXPECT_EQ(single(m, ints({5}), row({1}), '=', SELECT_ELEMENT),
              "an array cannot grow by only one item");
    EXPECT_EQ(single(m, ints({3}), row({1})), "lhs index out of bounds"); // a third column
    EXPECT_EQ(doubles(m), values({1, 2, 3, 4}));
}

TEST_F(IndexedAssignTest, SingleIndexOnAMatrixSelectsColumns) {
    DoubleValue m;
    m.copyFrom(*doubleMatrix(2, 3, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(single(m, ints({2}), row({0})), "");
    EXPECT_EQ(doubles(m), values({1, 2, 0, 0, 5, 6}));
    EXPECT_EQ(single(m, ints({3}), doubleMatrix(2, 1, {7, 8})), "");
    EXPECT_EQ(doubles(m), values({1, 2, 0, 0, 7, 8}));
    EXPECT_EQ(single(m, ints({1}), row({1, 2, 3})), "incompatible lhs, rhs in assignment");
    EXPECT_EQ(single(m, ints({2}), row({5}), 'P', SELECT_ROW), "");
    EXPECT_EQ(doubles(m), values({1, 7, 0, 5, 7, 13}));
}

TEST_F(IndexedAssignTest, OpAssignsCombineWithTheSelectedElements) {
    DoubleValue x;
    x.copyFrom(*row({2, 4, 6}));
    EXPECT_EQ(single(x, ints({2}), row({3}), 'T'), "");
    EXPECT_EQ(single(x, ints({1, 3}), row({1, 2}), 'M'), "");
    EXPECT_EQ(single(x, ints({3}), row({8}), 'D'), "");
    EXPECT_EQ(doubles(x), values({1, 12, 0.5}));
}

TEST_F(IndexedAssignTest, TwoIndicesWriteTheSubmatrixInColumnMajorOrder) {
    DoubleValue m;
    m.copyFrom(*doubleMatrix(2, 3, {1, 2, 3, 4, 5, 6}));
    IndexedAssignStm(held(row({7, 8, 9})), 1, &m, pair(held(ints({1})), wholeDimension()), '=')
        .exe();
    EXPECT_EQ(doubles(m), values({7, 2, 8, 4, 9, 6}));

    // Rows 2 and 1 of column 3 (repeated order honoured), then += on one place.
    IndexedAssignStm(held(doubleMatrix(2, 1, {20, 10})), 1, &m,
                     pair(held(ints({2, 1})), held(ints({3}))), '=')
        .exe();
    EXPECT_EQ(doubles(m), values({7, 2, 8, 4, 10, 20}));
    IndexedAssignStm(doubleConst(100), 1, &m, pair(held(ints({2})), held(ints({1}))), 'P').exe();
    EXPECT_EQ(doubles(m), values({7, 102, 8, 4, 10, 20}));

    auto at = [&](ValuePtr r, ValuePtr c, ValuePtr right) {
        return failureOf([&] {
            IndexedAssignStm(held(std::move(right)), 1, &m,
                             pair(held(std::move(r)), held(std::move(c))), '=')
                .exe();
        });
    };
    EXPECT_EQ(at(ints({3}), ints({1}), row({0})), "lhs index out of bounds");
    EXPECT_EQ(at(ints({1}), ints({4}), row({0})), "lhs index out of bounds");
    EXPECT_EQ(at(mask({1, 1, 0}), ints({1}), row({0})), "invalid mask size");
    EXPECT_EQ(at(ints({1, 2}), ints({1, 2}), row({1, 2, 3})),
              "incompatible lhs, rhs in assignment");
    EXPECT_EQ(at(mask({0, 0}), ints({1}), row({1, 2})), "empty lhs index with non-empty rhs");
    EXPECT_EQ(doubles(m), values({7, 102, 8, 4, 10, 20}));
}

TEST_F(IndexedAssignTest, ListsStoreValuesAsItemsAndGrowWithEmptyItems) {
    ListValue list;
    SingleIndexed_SeqAssignStm(doubleConst(5), 1, &list, held(ints({3}))).exe();
    ASSERT_EQ(list.n, 3);
    EXPECT_EQ(list.nrow, 1);
    EXPECT_TRUE(list[0].empty());
    EXPECT_EQ(doubles(*list[2].value), values({5}));

    // A list on the right hands out its items; an item is a copy.
    std::vector<ValuePtr> items;
    items.push_back(std::make_unique<IntValue>(1));
    items.push_back(row({2, 3}));
    ValuePtr source = listOf(std::move(items));
    SingleIndexed_SeqAssignStm(var(*source), 1, &list, held(ints({1, 2}))).exe();
    EXPECT_EQ(list[0].value->type(), INTEGER_VAL);
    EXPECT_EQ(doubles(*list[1].value), values({2, 3}));
    EXPECT_NE(list[1].value.get(), static_cast<ListValue&>(*source)[1].value.get());

    ValuePtr square = listOf({}, 1);
    for (int k = 0; k < 4; ++k)
        GrowListStm(std::make_unique<HeldElement>(std::make_unique<IntValue>(k)), 1, square.get(),
                    'S')
            .exe();
    square->nrow = 2; // a 2 by 2 list
    IndexedAnyAssignStm(held(row({9})), 1, square.get(), pair(held(ints({2})), held(ints({2}))))
        .exe();
    const auto& cells = static_cast<ListValue&>(*square);
    EXPECT_EQ(doubles(*cells[3].value), values({9}));
    EXPECT_EQ(doubles(*cells[2].value), values({2}));
}

TEST_F(IndexedAssignTest, RefersToCoversIndicesAndTarget) {
    DoubleValue x, i, other;
    SingleIndexedAssignStm stm(doubleConst(1), 1, &x, var(i), '=');
    EXPECT_TRUE(stm.refersTo(&x));
    EXPECT_TRUE(stm.refersTo(&i));
    EXPECT_FALSE(stm.refersTo(&other));
}

} // namespace
} // namespace vemlor::test
