// Blocks, conditionals, loops and the break / continue / return signals,
// built directly from hand-made elements.
#include "StatementTestSupport.h"

#include "exec/AssignStatements.h"

namespace vemlor::test {
namespace {

using ControlTest = StatementTest;

// for v = range, logging v at each body run.
StatementPtr loggingFor(ValuePtr range, Value& loopVariable, std::vector<double>& log) {
    return std::make_unique<ForStm>(held(std::move(range)), 1,
                                    action([&] { log.push_back(doubles(loopVariable)[0]); }),
                                    &loopVariable);
}

TEST_F(ControlTest, ForRunsOverElementsInStorageOrderAndNotOverEmptyRange) {
    DoubleValue x;
    std::vector<double> log;
    loggingFor(std::make_unique<DoubleValue>(), x, log)->exe();
    EXPECT_TRUE(log.empty());

    loggingFor(doubleMatrix(2, 3, {1, 2, 3, 4, 5, 6}), x, log)->exe();
    EXPECT_EQ(log, values({1, 2, 3, 4, 5, 6}));

    // An integer range sets integer loop values; the variable's class decides
    // how they are held.
    IntValue i;
    log.clear();
    loggingFor(intMatrix(1, 3, {7, 8, 9}), i, log)->exe();
    EXPECT_EQ(log, values({7, 8, 9}));
    EXPECT_EQ(i.n, 1);
}

TEST_F(ControlTest, ForEvaluatesItsRangeOnceEvenWhenTheBodyChangesIt) {
    ValuePtr range = row({1, 2, 3});
    DoubleValue x;
    std::vector<double> log;
    Value* r = range.get();
    ForStm loop(var(*r), 1, action([&] {
                    log.push_back(doubleAt(x, 0));
                    r->assignScalar(0); // shrinks the range variable to one element
                }),
                &x);
    loop.exe();
    EXPECT_EQ(log, values({1, 2, 3}));
}

TEST_F(ControlTest, BreakInAForInsideAWhileLeavesOnlyTheFor) {
    int whileRuns = 0, forRuns = 0;
    DoubleValue i;
    auto inner = seq(std::make_unique<IfStm>(condition([&] { return doubleAt(i, 0) == 2; }), 3,
                                             std::make_unique<BreakStm>(3)),
                     action([&] { ++forRuns; }, 4));
    auto forLoop = std::make_unique<ForStm>(
        held(row({1, 2, 3, 4})), 2, std::make_unique<BlockStm>(std::move(inner), sink_, 2), &i);
    auto outer = seq(action([&] { ++whileRuns; }, 1), std::move(forLoop));
    WhileStm loop(condition([&] { return whileRuns < 3; }), 1,
                  std::make_unique<BlockStm>(std::move(outer), sink_, 1));
    loop.exe();
    EXPECT_EQ(whileRuns, 3);
    EXPECT_EQ(forRuns, 3); // only i = 1 reaches the counter each time
}

TEST_F(ControlTest, ContinueSkipsTheRestOfTheBody) {
    DoubleValue i;
    std::vector<double> log;
    auto body = seq(std::make_unique<IfStm>(condition([&] { return doubleAt(i, 0) == 2; }), 2,
                                            std::make_unique<ContinueStm>(2)),
                    action([&] { log.push_back(doubleAt(i, 0)); }, 3));
    ForStm loop(held(row({1, 2, 3})), 1, std::make_unique<BlockStm>(std::move(body), sink_, 1), &i);
    loop.exe();
    EXPECT_EQ(log, values({1, 3}));
}

// The driver reports whatever it cannot name as "unspecified error": the
// signal must not look like any of the error types it knows.
TEST_F(ControlTest, SignalThatNoLoopCatchesLeavesAsAnUnnamedException) {
    ContinueStm alone(1);
    EXPECT_THROW(alone.exe(), LoopSignal);

    bool after = false;
    BlockStm block(seq(std::make_unique<BreakStm>(4), action([&] { after = true; }, 5)), sink_);
    try {
        block.exe();
        ADD_FAILURE() << "no signal";
    } catch (const std::exception&) {
        ADD_FAILURE() << "a signal must not be a std::exception";
    } catch (const LoopSignal& s) {
        EXPECT_EQ(s.flow, Flow::Break);
    }
    EXPECT_FALSE(after);
    EXPECT_TRUE(sink_.lines.empty()); // a signal is no failure: no "at line"

    // Inside an `if` the signal still travels outwards.
    IfStm guarded(intConst(1), 2, std::make_unique<ContinueStm>(2));
    EXPECT_THROW(guarded.exe(), LoopSignal);
}

// A `break` thrown out of an expression (a function body run from inside
// the loop) ends the loop like a returned one.
TEST_F(ControlTest, ThrownSignalFromAnExpressionEndsTheEnclosingLoop) {
    DoubleValue i;
    int runs = 0;
    auto body = action([&] {
        ++runs;
        if (doubleAt(i, 0) == 2) throw LoopSignal{Flow::Break, 7};
    });
    ForStm loop(held(row({1, 2, 3})), 1, std::move(body), &i);
    loop.exe();
    EXPECT_EQ(runs, 2);
}

TEST_F(ControlTest, ReturnInsideNestedLoopsStopsEverythingUpToTheCall) {
    DoubleValue i, j, result;
    int innerRuns = 0;
    bool afterLoops = false;
    auto innerBody =
        seq(action([&] { ++innerRuns; }),
            std::make_unique<IfStm>(condition([&] { return doubleAt(j, 0) == 2; }), 3,
                                    std::make_unique<ReturnStm>(intConst(5), 3, &result)));
    auto inner = std::make_unique<ForStm>(
        held(row({1, 2, 3})), 2, std::make_unique<BlockStm>(std::move(innerBody), sink_), &j);
    auto outer = std::make_unique<ForStm>(held(row({1, 2})), 1, std::move(inner), &i);
    BlockStm body(seq(std::move(outer), action([&] { afterLoops = true; }, 9)), sink_);
    body.exe();
    EXPECT_FALSE(RunFlags::running());
    EXPECT_EQ(innerRuns, 2);
    EXPECT_FALSE(afterLoops);
    EXPECT_EQ(doubles(result), values({5}));
    EXPECT_EQ(result.type(), DOUBLE_VAL);
}

TEST_F(ControlTest, ConditionsMustBeScalarAndDoublesTruncateTowardZero) {
    auto pair = [] { return held(row({1, 1})); };
    auto nothing = [] { return action([] {}); };
    EXPECT_EQ(failureOf([&] { WhileStm(pair(), 1, nothing()).exe(); }),
              "non-scalar condition in while clause");
    EXPECT_EQ(failureOf([&] { UnlessStm(pair(), 1, nothing()).exe(); }),
              "non-scalar condition in while clause");
    EXPECT_EQ(failureOf([&] { IfStm(pair(), 1, nothing()).exe(); }),
              "non-scalar condition in if clause");
    EXPECT_EQ(failureOf([&] { IfElseStm(pair(), 1, nothing(), nothing()).exe(); }),
              "non-scalar condition in if clause");

    std::string taken;
    auto branch = [&](double c) {
        taken.clear();
        IfElseStm(doubleConst(c), 1, action([&] { taken = "then"; }),
                  action([&] { taken = "else"; }))
            .exe();
        return taken;
    };
    EXPECT_EQ(branch(0.5), "else");
    EXPECT_EQ(branch(-0.9), "else");
    EXPECT_EQ(branch(1.5), "then");
    EXPECT_EQ(branch(-2), "then");

    bool ran = false;
    UnlessStm(doubleConst(0.7), 1, action([&] { ran = true; })).exe();
    EXPECT_TRUE(ran);
}

TEST_F(ControlTest, FailureAddsOneAtLineLinePerEnclosingBlockInnermostFirst) {
    // Script-like: line 3 holds a block whose line-5 statement fails.
    auto inner = std::make_unique<BlockStm>(seq(action([] {}, 4), failing("boom", 5)), sink_, 3);
    BlockStm outer(seq(action([] {}, 1), std::move(inner), action([] {}, 6)), sink_);
    EXPECT_EQ(failureOf([&] { outer.exe(); }), "boom");
    EXPECT_EQ(sink_.texts(), (std::vector<std::string>{"at line 5", "at line 3"}));

    // A statement without a line (typed input) adds nothing.
    sink_.lines.clear();
    BlockStm typed(seq(failing("bad", 0)), sink_);
    EXPECT_EQ(failureOf([&] { typed.exe(); }), "bad");
    EXPECT_TRUE(sink_.lines.empty());
}

TEST_F(ControlTest, ErrorInsideALoopBodyReportsTheBodyLineOncePerBlock) {
    DoubleValue i;
    auto body = std::make_unique<BlockStm>(seq(failing("oops", 5)), sink_, 4);
    BlockStm script(seq(std::make_unique<ForStm>(held(row({1, 2})), 4, std::move(body), &i)),
                    sink_);
    EXPECT_EQ(failureOf([&] { script.exe(); }), "oops");
    EXPECT_EQ(sink_.texts(), (std::vector<std::string>{"at line 5", "at line 4"}));
}

TEST_F(ControlTest, ForInWalksNumbersWithACounterAndListsWithATypeCheck) {
    ValuePtr numbers = intMatrix(1, 3, {4, 5, 6});
    IntValue x, k;
    std::vector<double> log;
    ForInStm(1, action([&] { log.push_back(intAt(x, 0) * 10 + intAt(k, 0)); }), &k, &x,
             numbers.get())
        .exe();
    EXPECT_EQ(log, values({41, 52, 63}));

    std::vector<ValuePtr> items;
    items.push_back(row({1, 2}));
    items.push_back(std::make_unique<DoubleValue>());
    items.push_back(std::make_unique<IntValue>(3));
    ValuePtr list = listOf(std::move(items));
    DoubleValue item;
    std::vector<int> counts;
    ForInStm walk(1, action([&] { counts.push_back(item.n); }), nullptr, &item, list.get());
    EXPECT_EQ(failureOf([&] { walk.exe(); }), "incompatible types assigning from list");
    EXPECT_EQ(counts, (std::vector<int>{2, 0})); // the integer item is refused
}

TEST_F(ControlTest, ClearedRunFlagStopsLoopsAndBlocks) {
    int runs = 0;
    WhileStm forever(intConst(1), 1, action([&] {
                         if (++runs == 3) RunFlags::run = false;
                     }));
    forever.exe();
    EXPECT_EQ(runs, 3);

    RunFlags::run = false;
    bool ran = false;
    BlockStm block(seq(action([&] { ran = true; })), sink_);
    block.exe();
    EXPECT_FALSE(ran);
}

// A recursive user function runs the same loop statement again while it is
// running; the outer activation must keep its own range.
TEST_F(ControlTest, LoopReenteredWhileRunningKeepsItsRange) {
    DoubleValue x;
    int depth = 0, outerRuns = 0;
    ForStm* self = nullptr;
    auto loop = std::make_unique<ForStm>(computed(DOUBLE_VAL,
                                                  [&](Value& w) {
                                                      if (depth == 0)
                                                          w.copyFrom(*row({1, 2}));
                                                      else
                                                          w.copyFrom(*row({7, 8, 9}));
                                                  }),
                                         1, action([&] {
                                             if (depth > 0) return;
                                             ++outerRuns;
                                             ++depth;
                                             self->execute();
                                             --depth;
                                         }),
                                         &x);
    self = loop.get();
    loop->exe();
    EXPECT_EQ(outerRuns, 2);
    EXPECT_EQ(doubles(x), values({9}));
}

class RecordingDebugger : public DebugHook {
  public:
    std::vector<std::pair<int, const Value*>> stops;
    void stop(int line, const Value* variable, std::string_view) override {
        stops.emplace_back(line, variable);
    }
};

TEST_F(ControlTest, SteppingOffersAStopAfterEachStatementWithTheAssignedVariable) {
    DoubleValue x;
    RecordingDebugger debugger;
    BlockStm block(seq(std::make_unique<FastAssignStm>(intConst(1), 2, &x), action([] {}, 3)),
                   sink_, 0, &debugger);
    block.exe();
    EXPECT_TRUE(debugger.stops.empty());

    RunFlags::stepping = true;
    block.exe();
    ASSERT_EQ(debugger.stops.size(), 2u);
    EXPECT_EQ(debugger.stops[0], std::make_pair(2, static_cast<const Value*>(&x)));
    EXPECT_EQ(debugger.stops[1], std::make_pair(3, static_cast<const Value*>(nullptr)));
}

TEST_F(ControlTest, RefersToSeesBodiesConditionsAndLoopVariables) {
    DoubleValue a, b, c;
    IfElseStm choice(intConst(1), 1, action([] {}), std::make_unique<FastAssignStm>(var(a), 2, &b));
    EXPECT_TRUE(choice.refersTo(&a));
    EXPECT_TRUE(choice.refersTo(&b));
    EXPECT_FALSE(choice.refersTo(&c));
    ForStm loop(var(a), 1, action([] {}), &c);
    EXPECT_TRUE(loop.refersTo(&c));
}

} // namespace
} // namespace vemlor::test
