// Assignments without an index: conversions, op-assigns, growth, lists,
// erasure, `return` and multiple assignment.
#include "StatementTestSupport.h"

#include "exec/AssignStatements.h"
namespace vemlor::test {
namespace {

using AssignTest = StatementTest;

ValuePtr text(std::string_view s) {
    auto v = std::make_unique<IntValue>();
    v->assignString(s);
    return v;
}

TEST_F(AssignTest, AssignConvertsIntegersAndKeepsTheKindWord) {
    DoubleValue x;
    AssignStm(held(text("ab")), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({97, 98}));
    EXPECT_EQ(x.kind, KIND_STRING);
    EXPECT_EQ(x.nrow, 1);

    // A result computed into the statement's scratch: the target gets it and
    // a later run leaves the earlier target value alone until it assigns.
    double next = 1;
    FastAssignStm fast(computed(DOUBLE_VAL,
                                [&](Value& w) {
                                    w.copyFrom(*row({next, next + 1}));
                                }),
                       1, &x);
    fast.exe();
    EXPECT_EQ(doubles(x), values({1, 2}));
    EXPECT_EQ(x.kind, KIND_NUMERIC);
    next = 10;
    fast.exe();
    EXPECT_EQ(doubles(x), values({10, 11}));

    // x = x + 1 style: the right side reads the target itself.
    AssignStm self(var(x), 1, &x);
    self.exe();
    EXPECT_EQ(doubles(x), values({10, 11}));
}

TEST_F(AssignTest, OpAssignsApplyTheElementwiseOperatorInPlace) {
    DoubleValue x;
    x.copyFrom(*row({1, 2, 3}));
    AssignPlusDStm(doubleConst(1), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({2, 3, 4}));
    AssignMinusDStm(held(row({1, 1, 2})), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({1, 2, 2}));
    AssignTimesDStm(intConst(3), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({3, 6, 6}));
    AssignDivideDStm(doubleConst(4), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({0.75, 1.5, 1.5}));
    EXPECT_EQ(failureOf([&] {
                  AssignPlusDStm(held(row({1, 2})), 1, &x).exe();
              }),
              "incompatible objects at operator +");

    // A scalar target takes the shape of the right side.
    DoubleValue s(10);
    AssignMinusDStm(held(row({1, 2})), 1, &s).exe();
    EXPECT_EQ(doubles(s), values({9, 8}));
}

TEST_F(AssignTest, IntegerOpAssignTruncatesOnIntegersAndConvertsForDoubles) {
    IntValue i(7);
    OpAssignIntStm(intConst(2), 1, &i, 'D').exe();
    EXPECT_EQ(doubles(i), values({3}));
    OpAssignIntStm(intConst(-5), 1, &i, 'T').exe();
    EXPECT_EQ(doubles(i), values({-15}));
    EXPECT_EQ(failureOf([&] { OpAssignIntStm(intConst(0), 1, &i, 'D').exe(); }),
              "division by zero");

    DoubleValue x(7);
    OpAssignIntStm(intConst(2), 1, &x, 'D').exe();
    EXPECT_EQ(doubles(x), values({3.5}));
    OpAssignIntStm(intConst(2), 1, &x, 'M').exe();
    EXPECT_EQ(doubles(x), values({1.5}));
}

TEST_F(AssignTest, GrowAssignConcatenatesHorizontallyOrVertically) {
    DoubleValue x;
    GrowAssignDStm right(doubleConst(1), 1, &x, 'C');
    right.exe();
    right.exe();
    EXPECT_EQ(x.nrow, 1);
    EXPECT_EQ(doubles(x), values({1, 1}));

    DoubleValue c(1);
    GrowAssignDStm(intConst(2), 1, &c, 'S').exe();
    GrowAssignDStm(held(doubleMatrix(2, 1, {3, 4})), 1, &c, 'S').exe();
    EXPECT_EQ(c.nrow, 4);
    EXPECT_EQ(doubles(c), values({1, 2, 3, 4}));

    // A 2 by 2 matrix ;= a row gives 3 rows, column by column.
    DoubleValue m;
    m.copyFrom(*doubleMatrix(2, 2, {1, 2, 3, 4}));
    GrowAssignDStm(held(row({5, 6})), 1, &m, 'S').exe();
    EXPECT_EQ(m.nrow, 3);
    EXPECT_EQ(doubles(m), values({1, 2, 5, 3, 4, 6}));
    EXPECT_EQ(failureOf([&] {
                  GrowAssignDStm(held(row({1, 2, 3})), 1, &m, 'S').exe();
              }),
              "incompatible objects at operator ;");
    EXPECT_EQ(failureOf([&] { GrowAssignDStm(held(row({1})), 1, &m, 'C').exe(); }),
              "incompatible objects at operator ,");

    ComplexValue z(complexd(0, 1));
    EXPECT_EQ(failureOf([&] { GrowAssignDStm(held(newValueCopy(z)), 1, &m, 'C').exe(); }),
              "rhs type is incompatible with lhs");

    // x ;= x doubles a column.
    GrowAssignDStm(var(c), 1, &c, 'S').exe();
    EXPECT_EQ(doubles(c), values({1, 2, 3, 4, 1, 2, 3, 4}));
}

// Repeated appends must not reallocate on every step: the number of distinct
// buffers stays logarithmic in the number of appends.
TEST_F(AssignTest, RepeatedGrowthIsAmortised) {
    for (char direction : {'C', 'S'}) {
        DoubleValue x;
        GrowAssignDStm append(doubleConst(2), 1, &x, direction);
        int reallocations = 0;
        const double* last = nullptr;
        for (int k = 0; k < 20000; ++k) {
            append.exe();
            if (x.data() != last) ++reallocations;
            last = x.data();
        }
        EXPECT_EQ(x.n, 20000);
        EXPECT_EQ(direction == 'C' ? x.nrow : x.ncol(), 1);
        EXPECT_LT(reallocations, 60) << "direction " << direction;
    }
}

TEST_F(AssignTest, ComplexAndCheckedAssignmentsApplyTheWideningRule) {
    ComplexValue z;
    ComplexAssignStm(intConst(3), 1, &z).exe();
    EXPECT_EQ(z[0], complexd(3, 0));
    EXPECT_EQ(failureOf([&] { ComplexAssignStm(held(listOf({})), 1, &z).exe(); }),
              "invalid type assigning to complex");

    CheckedAssignStm(intConst(4), 1, &z).exe();
    EXPECT_EQ(z[0], complexd(4, 0));
    DoubleValue x(1);
    EXPECT_EQ(failureOf([&] { CheckedAssignStm(held(newValueCopy(z)), 1, &x).exe(); }),
              "incompatible types in assignment or return");
    EXPECT_EQ(doubles(x), values({1}));
    CheckedAssignStm(held(text("a")), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({97}));
    EXPECT_EQ(x.kind, KIND_STRING);

    ListValue list;
    EXPECT_EQ(failureOf([&] { CheckedAssignStm(held(listOf({})), 1, &list).exe(); }),
              "this type of checked assignment not yet implemented");
}

TEST_F(AssignTest, ReturnChecksTheOutputTypeAndClearsTheRunFlag) {
    DoubleValue out;
    ReturnStm(intConst(2), 1, &out).exe();
    EXPECT_FALSE(RunFlags::running());
    EXPECT_EQ(out.type(), DOUBLE_VAL);
    EXPECT_EQ(doubles(out), values({2}));

    RunFlags::run = true;
    EXPECT_EQ(failureOf([&] {
                  ReturnStm(held(std::make_unique<ComplexValue>(complexd(1, 1))), 1, &out).exe();
              }),
              "incompatable data type in return statement");
    EXPECT_TRUE(RunFlags::running());

    ReturnStm(nullptr, 1, nullptr).exe();
    EXPECT_FALSE(RunFlags::running());
}

TEST_F(AssignTest, ListAssignCopiesListsAndWrapsOtherValues) {
    ListValue list;
    std::vector<ValuePtr> items;
    items.push_back(std::make_unique<IntValue>(1));
    items.push_back(row({2, 3}));
    ListAssignStm(held(listOf(std::move(items))), 1, &list).exe();
    ASSERT_EQ(list.n, 2);
    EXPECT_EQ(doubles(*list[1].value), values({2, 3}));

    ListAssignStm(held(row({4, 5})), 1, &list).exe();
    ASSERT_EQ(list.n, 1);
    EXPECT_EQ(list[0].value->type(), DOUBLE_VAL);
    EXPECT_EQ(doubles(*list[0].value), values({4, 5}));
}

TEST_F(AssignTest, GrowListAppendsItemsToVectorsOnly) {
    ListValue list;
    GrowListStm down(doubleConst(1), 1, &list, 'S');
    down.exe();
    down.exe();
    EXPECT_EQ(list.n, 2);
    EXPECT_EQ(list.nrow, 2); // a column

    ListValue across;
    GrowListStm right(held(text("x")), 1, &across, 'C');
    right.exe();
    right.exe();
    right.exe();
    EXPECT_EQ(across.nrow, 1);
    EXPECT_EQ(across.n, 3);
    EXPECT_TRUE(across[2].value->isString());

    std::vector<ValuePtr> four;
    for (int k = 0; k < 4; ++k)
        four.push_back(std::make_unique<IntValue>(k));
    ValuePtr square = listOf(std::move(four), 2);
    EXPECT_EQ(failureOf([&] { GrowListStm(doubleConst(1), 1, square.get(), 'C').exe(); }),
              "an array cannot grow by only one item");
    EXPECT_EQ(square->n, 4);

    // A list on the right is concatenated, not nested.
    GrowListStm(var(across), 1, &across, 'C').exe();
    EXPECT_EQ(across.n, 6);
    EXPECT_EQ(across.nrow, 1);
    EXPECT_EQ(failureOf([&] { GrowListStm(var(list), 1, &across, 'C').exe(); }),
              "incompatible objects at operator ,");
    GrowListStm(held(listOf({})), 1, &list, 'S').exe();
    EXPECT_EQ(list.n, 2);
}

TEST_F(AssignTest, ErasureRemovesElementsOfVectorsAndColumnsOfMatrices) {
    DoubleValue x;
    x.copyFrom(*row({1, 2, 3, 4, 5}));
    ErasureStm(intConst(3), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({1, 2, 4, 5}));
    ErasureStm(held(mask({1, 0, 0, 1})), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({2, 4}));

    DoubleValue column;
    column.copyFrom(*doubleMatrix(3, 1, {1, 2, 3}));
    ErasureStm(intConst(1), 1, &column).exe();
    EXPECT_EQ(column.nrow, 2);

    DoubleValue m;
    m.copyFrom(*doubleMatrix(2, 3, {1, 2, 3, 4, 5, 6}));
    ErasureStm(intConst(2), 1, &m).exe();
    EXPECT_EQ(doubles(m), values({1, 2, 5, 6}));
    EXPECT_EQ(failureOf([&] { ErasureStm(intConst(1), 1, &m, SELECT_ELEMENT).exe(); }),
              "can't erase elements from a non-vector");

    ErasureStm(nullptr, 1, &m).exe();
    EXPECT_TRUE(m.isEmpty());
}

class TwoOutputs : public Evaluatable, public MultiOutputSource {
  public:
    Value* pValue(Value*) override { return nullptr; }
    int resultType() const override { return DOUBLE_VAL; }
    bool refersTo(const Value*) const override { return false; }
    void evaluateOutputs(std::span<ValuePtr> outputs) override {
        outputs[0] = std::make_unique<IntValue>(1);
        if (outputs.size() > 2) outputs[2] = row({2, 3});
    }
};

TEST_F(AssignTest, MultiAssignCopiesEachDeliveredOutputInOrder) {
    DoubleValue a, b(9), c;
    MultiAssignStm multi(std::make_unique<TwoOutputs>(), 1, {&a, &b, &c});
    multi.exe();
    EXPECT_EQ(a.type(), DOUBLE_VAL);
    EXPECT_EQ(doubles(a), values({1}));
    EXPECT_EQ(doubles(b), values({9})); // left out by the call
    EXPECT_EQ(doubles(c), values({2, 3}));
    EXPECT_TRUE(multi.refersTo(&b));

    EXPECT_EQ(failureOf([&] { MultiAssignStm(doubleConst(1), 1, {&a}); }).substr(0, 3), "BUG");
}

} // namespace
} // namespace vemlor::test
