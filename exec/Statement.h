// Statements: what a parsed input executes. This file holds the base class,
// blocks and the control statements; assignments are in AssignStatements.h
// and IndexedAssignStatements.h, expression and display statements in
// DisplayStatements.h.
//
// Every statement owns its expression and sub-statements and merely points
// at the variables it touches (they belong to the workspace or to a user
// function's frame). `break` and `continue` travel as a Flow returned by
// execute() up to the nearest loop; exe() is the entry for callers outside
// any loop and turns a signal that nothing caught into a thrown LoopSignal,
// which the driver reports as "unspecified error". Loops also catch a
// LoopSignal thrown from inside an expression (a function body's stray
// `break`), so both routes end the same loop.
#pragma once

#include "exec/Evaluatable.h"
#include "exec/ScalarCode.h"
#include "exec/StatementSupport.h"

#include <memory>
#include <string_view>
#include <vector>

namespace vemlor {

class OutputSink;
struct SequenceParts;

// How a statement ended: normally, or with a signal for the enclosing loop.
enum class Flow : unsigned char { Normal, Break, Continue };

// A break or continue signal that left the statement tree it was raised in.
struct LoopSignal {
    Flow flow;
    int line;
};

// Where compiled code handed back to the tree (see ScalarCode.h): for each
// statement from the code's root down to the one in progress, the part that
// was running (a block's statement index, a branch, a for loop's counters),
// and how the statement in progress stands.
struct ResumeFrame {
    int part = 0;
    long iteration = 0, count = 0; // a for loop's counters
    double value = 0, step = 0;
};

struct ResumePoint {
    enum class Leaf { Redo, Done, ConditionKnown };
    std::vector<ResumeFrame> frames;
    Leaf leaf = Leaf::Redo;
    Flow flow = Flow::Normal;                 // Done: the signal the statement ended with
    bool truth = false;                       // ConditionKnown: what the condition gave
    std::vector<scalar::ParkingCall*> parked; // results waiting for the redone statement
    bool isLeaf(size_t level) const { return level + 1 == frames.size(); }
    void dropParked();
};

// What the debugger offers statements: a possible stop at a source line,
// showing a variable (or none) and a text (or none).
class DebugHook {
  public:
    virtual ~DebugHook() = default;
    virtual void stop(int line, const Value* variable, std::string_view text) = 0;
};

class Statement {
  public:
    Statement(EvaluatablePtr expr, int line);
    virtual ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Runs the statement for a caller that is no loop or block (the driver,
    // a user-function call); a break or continue left over is thrown as a
    // LoopSignal.
    void exe();
    // Runs the statement; Break or Continue report a signal on its way to
    // the enclosing loop. A statement with a compiled form runs that.
    virtual Flow execute() = 0;
    // Runs the statement as a tree, never through its compiled form.
    virtual Flow executeTree() { return execute(); }
    // Goes on from where compiled code handed back inside this statement,
    // whose frame in `point` is `level`.
    virtual Flow resume(ResumePoint& point, size_t level);
    // The statement in progress when the code handed back had evaluated its
    // condition (by the tree) to `truth`.
    virtual Flow resumeAfterCondition(bool truth);
    void setScalarCode(scalar::ScalarCodePtr code);
    scalar::ScalarCode* scalarCode() const { return scalarCode_.get(); }
    // Whether the statement, one inside it or an expression it holds reads
    // or writes `v` (assignment targets and loop variables included).
    virtual bool refersTo(const Value* v) const { return expr_ && expr_->refersTo(v); }
    // Whether the statement offers the debugger its own stop (a breakpoint),
    // so that stepping needs none after it.
    virtual bool offersStop() const { return false; }
    int line() const { return line_; }
    Evaluatable* expression() const { return expr_.get(); }
    // Hands the expression to a statement built in this one's place.
    EvaluatablePtr releaseExpression() { return std::move(expr_); }

  protected:
    // execute() of a statement that may have a compiled form.
    Flow executeCompiledOrTree();

    EvaluatablePtr expr_; // may be absent
    int line_;
    scalar::ScalarCodePtr scalarCode_;
};

using StatementPtr = std::unique_ptr<Statement>;

// Several statements read for one input or one "{ }" block, run in order
// while the run flag stays set. A failure in a statement whose line is above
// 0 adds the console line "at line N" on its way out; while stepping, the
// debugger is offered a stop after each statement.
class BlockStm : public Statement {
  public:
    BlockStm(std::vector<StatementPtr> statements, OutputSink& out, int line = 0,
             DebugHook* debugger = nullptr);
    Flow execute() override { return executeCompiledOrTree(); }
    Flow executeTree() override { return runFrom(0, nullptr, 0); }
    Flow resume(ResumePoint& point, size_t level) override;
    bool refersTo(const Value* v) const override;
    // One hook per statement, for a block whose statements come from
    // different sources (typed lines and a script met by `use`).
    void setStatementHooks(std::vector<DebugHook*> hooks) { hooks_ = std::move(hooks); }
    const std::vector<StatementPtr>& statements() const { return statements_; }
    // The "at line" trace of a failure in statement `index`, as the block
    // prints it on the failure's way out.
    void reportFailure(size_t index);

  private:
    // Runs the statements from `first` on; with `point`, the first one goes
    // on from there (its frame is `childLevel`).
    Flow runFrom(size_t first, ResumePoint* point, size_t childLevel);

    std::vector<StatementPtr> statements_;
    OutputSink& out_;
    DebugHook* debugger_;           // may be null
    std::vector<DebugHook*> hooks_; // empty, or one per statement
};

// A statement with one sub-statement; `expr` is its condition or range.
class WithStm : public Statement {
  public:
    WithStm(EvaluatablePtr expr, int line, StatementPtr body);
    bool refersTo(const Value* v) const override;
    Statement& body() const { return *body_; }

  protected:
    StatementPtr body_;
};

// `if cond: body`. The condition must be one element ("non-scalar condition
// in if clause"); doubles count by their truncation toward zero.
class IfStm : public WithStm {
  public:
    IfStm(EvaluatablePtr condition, int line, StatementPtr body);
    Flow execute() override { return executeCompiledOrTree(); }
    Flow executeTree() override;
    Flow resume(ResumePoint& point, size_t level) override;
    Flow resumeAfterCondition(bool truth) override;
    detail::Condition& condition() { return condition_; }

  private:
    detail::Condition condition_;
};

class IfElseStm : public WithStm {
  public:
    IfElseStm(EvaluatablePtr condition, int line, StatementPtr body, StatementPtr elseBody);
    Flow execute() override { return executeCompiledOrTree(); }
    Flow executeTree() override;
    Flow resume(ResumePoint& point, size_t level) override;
    Flow resumeAfterCondition(bool truth) override;
    bool refersTo(const Value* v) const override;
    detail::Condition& condition() { return condition_; }
    Statement& elseBody() const { return *elseBody_; }

  private:
    StatementPtr elseBody_;
    detail::Condition condition_;
};

// `unless cond: body`: the body runs when the condition is false.
class UnlessStm : public WithStm {
  public:
    UnlessStm(EvaluatablePtr condition, int line, StatementPtr body);
    Flow execute() override { return executeCompiledOrTree(); }
    Flow executeTree() override;
    Flow resume(ResumePoint& point, size_t level) override;
    Flow resumeAfterCondition(bool truth) override;
    detail::Condition& condition() { return condition_; }

  private:
    detail::Condition condition_;
};

class WhileStm : public WithStm {
  public:
    WhileStm(EvaluatablePtr condition, int line, StatementPtr body);
    Flow execute() override { return executeCompiledOrTree(); }
    Flow executeTree() override;
    Flow resume(ResumePoint& point, size_t level) override;
    Flow resumeAfterCondition(bool truth) override;
    detail::Condition& condition() { return condition_; }

  private:
    detail::Condition condition_;
};

// `for x = range`: the range is evaluated once (an integer range gives
// integer loop values, any other a double range) and the loop variable takes
// each element in storage order.
class ForStm : public WithStm {
  public:
    ForStm(EvaluatablePtr range, int line, StatementPtr body, Value* loopVariable);
    Flow execute() override { return executeCompiledOrTree(); }
    Flow executeTree() override;
    Flow resume(ResumePoint& point, size_t level) override;
    bool refersTo(const Value* v) const override;
    Value* loopVariable() const { return loopVariable_; }
    bool integerRange() const { return integerRange_; }
    // The loop value after `value` in a range of this loop's kind.
    double nextValue(double value, double step) const;

  private:
    Value* loopVariable_;
    bool integerRange_;
    detail::IntResult intRange_;
    detail::DoubleResult doubleRange_;
    IntValue intCopy_;
    DoubleValue doubleCopy_;
    bool busy_ = false; // a recursive call runs this loop again

    template <class V> Flow iterate(V& range);
    Flow overSequence(const SequenceParts& parts);
    // Iterations `first` .. count - 1 of a sequence, starting at `value`.
    Flow sequenceFrom(long first, double value, double step, long count);
};

// `for x in c` and `for i, x in c` over a numeric collection or a list.
class ForInStm : public WithStm {
  public:
    // counter may be null.
    ForInStm(int line, StatementPtr body, Value* counter, Value* loopVariable, Value* collection);
    Flow execute() override;
    bool refersTo(const Value* v) const override;

  private:
    Value* counter_;
    Value* loopVariable_;
    Value* collection_;

    Flow overNumbers();
    Flow overItems();
};

class BreakStm : public Statement {
  public:
    explicit BreakStm(int line) : Statement(nullptr, line) {}
    Flow execute() override { return Flow::Break; }
};

class ContinueStm : public Statement {
  public:
    explicit ContinueStm(int line) : Statement(nullptr, line) {}
    Flow execute() override { return Flow::Continue; }
};

} // namespace vemlor
