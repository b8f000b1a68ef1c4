// Expression statements, displayed assignments, breakpoints, the answer they
// leave, and statements whose right side is a list item.
#include "StatementTestSupport.h"

#include "exec/Answer.h"
#include "exec/AssignStatements.h"
#include "exec/IndexElements.h"

namespace vemlor::test {
namespace {

class DisplayStatementTest : public StatementTest {
  protected:
    void SetUp() override {
        StatementTest::SetUp();
        Answer::clear();
    }
};

// [1, "ab", 2.5] as a list variable; list.k reads item k.
ValuePtr mixedList() {
    std::vector<ValuePtr> items;
    items.push_back(std::make_unique<IntValue>(1));
    auto s = std::make_unique<IntValue>();
    s->assignString("ab");
    items.push_back(std::move(s));
    items.push_back(std::make_unique<DoubleValue>(2.5));
    return listOf(std::move(items));
}

TEST_F(DisplayStatementTest, AssignAndDisplayShowsAScalarOnTheNameLine) {
    DoubleValue x;
    AssignAndDisplayStm shown(std::make_unique<FastAssignStm>(doubleConst(5), 1, &x), 1, sink_, &x,
                              "x", ';');
    shown.exe();
    ASSERT_EQ(sink_.lines.size(), 1u);
    EXPECT_EQ(sink_.lines[0].text, "x = {b 5}");
    EXPECT_TRUE(sink_.lines[0].newLine);
    EXPECT_EQ(doubles(Answer::value()), values({5}));
}

TEST_F(DisplayStatementTest, AssignAndDisplayPutsTheNameAboveALongerValue) {
    DoubleValue m;
    AssignAndDisplayStm shown(
        std::make_unique<FastAssignStm>(held(doubleMatrix(2, 1, {1, 2})), 1, &m), 1, sink_, &m, "m",
        ';');
    shown.exe();
    // Matrix rows are laid out in fields one wider than the widest entry.
    EXPECT_EQ(sink_.texts(), (std::vector<std::string>{"m =", "{b  1}", "{b  2}"}));
    EXPECT_EQ(Answer::value().nrow, 2);
}

TEST_F(DisplayStatementTest, AnswerTakesTheWholeValueOfEachType) {
    IntValue s;
    s.assignString("hi");
    EvalAndDisplayStm(var(s), 1, sink_, ';').exe();
    EXPECT_EQ(Answer::value().type(), INTEGER_VAL);
    EXPECT_TRUE(Answer::value().isString());

    ListValue list;
    ValuePtr items = mixedList();
    list.assign(*items);
    AssignAndDisplayStm shown(std::make_unique<ListAssignStm>(var(*items), 1, &list), 1, sink_,
                              &list, "L", ';');
    shown.exe();
    const Value& answer = Answer::value();
    ASSERT_EQ(answer.type(), LIST_VAL);
    EXPECT_EQ(answer.n, 3); // the items themselves, not the list wrapped
    EXPECT_EQ(sink_.texts().at(1), "L =");

    EvalAndDisplayStm(doubleConst(0.5), 1, sink_, ';').exe();
    EXPECT_EQ(Answer::value().type(), DOUBLE_VAL);
}

TEST_F(DisplayStatementTest, ExpressionsOfUnknownTypeAreRefused) {
    EXPECT_EQ(failureOf([] { EvalStm(opaque(4), 1).exe(); }),
              "expression involving a list item not yet handled");
    EXPECT_EQ(failureOf([&] { EvalAndDisplayStm(opaque(4), 1, sink_, ';').exe(); }),
              "expression involving a list item not yet handled");
    EXPECT_EQ(failureOf([] { EvalStm(opaque(7), 1).exe(); }), "BUG: expression of unknown type 7");
}

TEST_F(DisplayStatementTest, ListItemsTakeTheTypeOfTheItemSelected) {
    ValuePtr list = mixedList();
    EvalAndDisplayStm(makeListItemRead(list.get(), intConst(2)), 1, sink_, ';').exe();
    EXPECT_TRUE(Answer::value().isString());

    // Checked assignment: the item's own type decides.
    DoubleValue x;
    CheckedAssignStm(makeListItemRead(list.get(), intConst(1)), 1, &x).exe();
    EXPECT_EQ(doubles(x), values({1}));
    ComplexValue z(complexd(0, 1));
    ValuePtr withComplex = listOf([&] {
        std::vector<ValuePtr> items;
        items.push_back(newValueCopy(z));
        return items;
    }());
    EXPECT_EQ(failureOf([&] {
                  CheckedAssignStm(makeListItemRead(withComplex.get(), intConst(1)), 1, &x).exe();
              }),
              "list item's type is incompatible with lhs of assignment");

    // A list assignment from an item holds a copy of it.
    ListValue l;
    ListAssignStm(makeListItemRead(list.get(), intConst(3)), 1, &l).exe();
    ASSERT_EQ(l.n, 1);
    EXPECT_EQ(doubles(*l[0].value), values({2.5}));
    EXPECT_NE(l[0].value.get(), static_cast<ListValue&>(*list)[2].value.get());

    EXPECT_EQ(failureOf([&] { GrowListStm(opaque(4), 1, &l, 'C').exe(); }),
              "cannot append a value of unknown type");
    EXPECT_EQ(failureOf([&] { ListAssignStm(opaque(4), 1, &l).exe(); }),
              "expression involving a list item not yet handled");
}

class StopRecorder : public DebugHook {
  public:
    int line = 0;
    const Value* variable = nullptr;
    std::string text;
    void stop(int l, const Value* v, std::string_view t) override {
        line = l;
        variable = v;
        text = t;
    }
};

TEST_F(DisplayStatementTest, BreakPointRunsItsStatementSetsTheAnswerAndOffersAStop) {
    DoubleValue x;
    StopRecorder debugger;
    BreakPointStm point(std::make_unique<FastAssignStm>(doubleConst(3), 4, &x), 4, &debugger, &x,
                        "x");
    point.exe();
    EXPECT_EQ(doubles(x), values({3}));
    EXPECT_EQ(doubles(Answer::value()), values({3}));
    EXPECT_EQ(debugger.line, 4);
    EXPECT_EQ(debugger.variable, &x);
    EXPECT_EQ(debugger.text, "x");
    EXPECT_TRUE(sink_.lines.empty());
}

} // namespace
} // namespace vemlor::test
