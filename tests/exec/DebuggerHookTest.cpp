// The stops the statements offer a debugger, checked without any window:
// while stepping, a block
// offers a stop after each statement with the variable it assigned; a
// breakpoint offers one with the name it shows.
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/AssignStatements.h"
#include "exec/DisplayStatements.h"
#include "exec/ExpressionBuilder.h"
#include "exec/RunFlags.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vemlor {
namespace {

struct Stop {
    int line;
    const Value* variable;
    std::string text;
    bool operator==(const Stop&) const = default;
};

struct RecordingDebugger : DebugHook {
    std::vector<Stop> stops;
    void stop(int line, const Value* variable, std::string_view text) override {
        stops.push_back({line, variable, std::string(text)});
    }
};

struct SilentSink : OutputSink {
    void print(std::string_view, bool, int) override {}
    char setItemSeparator(char) override { return 0; }
};

class DebuggerHook : public ::testing::Test {
  protected:
    void SetUp() override { RunFlags::run = true; }
    void TearDown() override {
        RunFlags::run = false;
        RunFlags::stepping = false;
    }
    SilentSink sink_;
    RecordingDebugger debugger_;
    DoubleValue x_, y_;
};

TEST_F(DebuggerHook, SteppingStopsAfterEachStatementOfABlock) {
    std::vector<StatementPtr> statements;
    statements.push_back(std::make_unique<AssignStm>(makeIntConstant(1), 2, &x_));
    statements.push_back(std::make_unique<AssignStm>(makeIntConstant(5), 3, &y_));
    BlockStm block(std::move(statements), sink_, 0, &debugger_);
    block.exe();
    EXPECT_EQ(y_.scalarDouble(), 5);
    EXPECT_TRUE(debugger_.stops.empty());
    RunFlags::stepping = true;
    block.exe();
    EXPECT_EQ(debugger_.stops, (std::vector<Stop>{{2, nullptr, ""}, {3, nullptr, ""}}));
}

TEST_F(DebuggerHook, BreakpointRunsItsStatementThenStops) {
    BreakPointStm point(std::make_unique<AssignStm>(makeIntConstant(3), 4, &x_), 4, &debugger_, &x_,
                        "x");
    point.exe();
    EXPECT_EQ(x_.scalarDouble(), 3);
    EXPECT_EQ(debugger_.stops, (std::vector<Stop>{{4, &x_, "x"}}));
}

} // namespace
} // namespace vemlor
