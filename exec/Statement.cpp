// Blocks, conditionals and loops.
#include "exec/Statement.h"

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/ExpressionSupport.h"
#include "exec/RunFlags.h"
#include "exec/ScalarMachine.h"
#include "exec/SequenceElement.h"

#include <string>

namespace vemlor {

namespace {

// Runs a loop body. A signal thrown out of an expression (a stray `break` in
// a function body called from here) ends or continues this loop just like
// one returned by a statement.
Flow runBody(Statement& body) {
    try {
        return body.execute();
    } catch (const LoopSignal& signal) {
        return signal.flow;
    }
}

// The same for a body that goes on from where compiled code handed back.
Flow resumeBody(Statement& body, ResumePoint& point, size_t level) {
    try {
        return body.resume(point, level);
    } catch (const LoopSignal& signal) {
        return signal.flow;
    }
}

// Drops the results parked for a redone statement once it has run, whether
// it used them or failed before it could.
class ParkedResults {
  public:
    explicit ParkedResults(ResumePoint& point) : point_(point) {}
    ~ParkedResults() { point_.dropParked(); }
    ParkedResults(const ParkedResults&) = delete;
    ParkedResults& operator=(const ParkedResults&) = delete;

  private:
    ResumePoint& point_;
};

constexpr std::string_view kIfMessage = "non-scalar condition in if clause";
constexpr std::string_view kWhileMessage = "non-scalar condition in while clause";

} // namespace

void ResumePoint::dropParked() {
    for (scalar::ParkingCall* call : parked)
        call->dropParked();
    parked.clear();
}

Statement::Statement(EvaluatablePtr expr, int line) : expr_(std::move(expr)), line_(line) {}

Statement::~Statement() = default;

void Statement::exe() {
    Flow flow = execute();
    if (flow != Flow::Normal) throw LoopSignal{flow, line_};
}

void Statement::setScalarCode(scalar::ScalarCodePtr code) {
    scalarCode_ = std::move(code);
}

Flow Statement::executeCompiledOrTree() {
    return scalarCode_ ? scalar::runStatement(*scalarCode_) : executeTree();
}

// Only the statement in progress gets here: compound statements go on in
// their own parts.
Flow Statement::resume(ResumePoint& point, size_t) {
    switch (point.leaf) {
    case ResumePoint::Leaf::Done:
        return point.flow;
    case ResumePoint::Leaf::ConditionKnown:
        return resumeAfterCondition(point.truth);
    default: {
        ParkedResults parked(point);
        return executeTree();
    }
    }
}

Flow Statement::resumeAfterCondition(bool) {
    raiseBug("BUG: a statement without a condition resumed after its condition");
}

BlockStm::BlockStm(std::vector<StatementPtr> statements, OutputSink& out, int line,
                   DebugHook* debugger)
    : Statement(nullptr, line), statements_(std::move(statements)), out_(out), debugger_(debugger) {
}

Flow BlockStm::resume(ResumePoint& point, size_t level) {
    if (point.isLeaf(level)) return Statement::resume(point, level);
    return runFrom(size_t(point.frames[level].part), &point, level + 1);
}

Flow BlockStm::runFrom(size_t first, ResumePoint* point, size_t childLevel) {
    for (size_t i = first; i < statements_.size(); ++i) {
        Statement& s = *statements_[i];
        bool resuming = point && i == first;
        if (!resuming && !RunFlags::running()) break;
        Flow flow;
        try {
            flow = resuming ? s.resume(*point, childLevel) : s.execute();
        } catch (const LoopSignal&) {
            throw; // a signal is no failure: no line to report
        } catch (...) {
            reportFailure(i);
            throw;
        }
        if (flow != Flow::Normal) return flow;
        // A step shows where execution stands, not a value: only a
        // breakpoint has an expression to show.
        if (RunFlags::steppingOn() && !s.offersStop()) {
            DebugHook* hook = i < hooks_.size() ? hooks_[i] : debugger_;
            if (hook) hook->stop(s.line(), nullptr, {});
        }
    }
    return Flow::Normal;
}

void BlockStm::reportFailure(size_t index) {
    int line = statements_[index]->line();
    if (line > 0) out_.print("at line " + std::to_string(line), true, PRINT_LITERAL);
}

bool BlockStm::refersTo(const Value* v) const {
    for (const StatementPtr& s : statements_)
        if (s->refersTo(v)) return true;
    return Statement::refersTo(v);
}

WithStm::WithStm(EvaluatablePtr expr, int line, StatementPtr body)
    : Statement(std::move(expr), line), body_(std::move(body)) {
    if (!body_) raiseBug("BUG: compound statement without a body");
}

bool WithStm::refersTo(const Value* v) const {
    return body_->refersTo(v) || Statement::refersTo(v);
}

IfStm::IfStm(EvaluatablePtr condition, int line, StatementPtr body)
    : WithStm(std::move(condition), line, std::move(body)), condition_(expr_.get(), kIfMessage) {}

Flow IfStm::executeTree() {
    return condition_.evaluate() ? body_->execute() : Flow::Normal;
}

Flow IfStm::resume(ResumePoint& point, size_t level) {
    if (point.isLeaf(level)) return Statement::resume(point, level);
    return body_->resume(point, level + 1);
}

Flow IfStm::resumeAfterCondition(bool truth) {
    return truth ? body_->execute() : Flow::Normal;
}

IfElseStm::IfElseStm(EvaluatablePtr condition, int line, StatementPtr body, StatementPtr elseBody)
    : WithStm(std::move(condition), line, std::move(body)), elseBody_(std::move(elseBody)),
      condition_(expr_.get(), kIfMessage) {
    if (!elseBody_) raiseBug("BUG: if-else statement without an else body");
}

Flow IfElseStm::executeTree() {
    return condition_.evaluate() ? body_->execute() : elseBody_->execute();
}

Flow IfElseStm::resume(ResumePoint& point, size_t level) {
    if (point.isLeaf(level)) return Statement::resume(point, level);
    Statement& branch = point.frames[level].part == 0 ? *body_ : *elseBody_;
    return branch.resume(point, level + 1);
}

Flow IfElseStm::resumeAfterCondition(bool truth) {
    return truth ? body_->execute() : elseBody_->execute();
}

bool IfElseStm::refersTo(const Value* v) const {
    return WithStm::refersTo(v) || elseBody_->refersTo(v);
}

UnlessStm::UnlessStm(EvaluatablePtr condition, int line, StatementPtr body)
    : WithStm(std::move(condition), line, std::move(body)), condition_(expr_.get(), kWhileMessage) {
}

Flow UnlessStm::executeTree() {
    return condition_.evaluate() ? Flow::Normal : body_->execute();
}

Flow UnlessStm::resume(ResumePoint& point, size_t level) {
    if (point.isLeaf(level)) return Statement::resume(point, level);
    return body_->resume(point, level + 1);
}

Flow UnlessStm::resumeAfterCondition(bool truth) {
    return truth ? Flow::Normal : body_->execute();
}

WhileStm::WhileStm(EvaluatablePtr condition, int line, StatementPtr body)
    : WithStm(std::move(condition), line, std::move(body)), condition_(expr_.get(), kWhileMessage) {
}

Flow WhileStm::executeTree() {
    while (RunFlags::running() && condition_.evaluate())
        if (runBody(*body_) == Flow::Break) break;
    return Flow::Normal;
}

Flow WhileStm::resume(ResumePoint& point, size_t level) {
    if (point.isLeaf(level)) return Statement::resume(point, level);
    if (resumeBody(*body_, point, level + 1) == Flow::Break) return Flow::Normal;
    return executeTree();
}

Flow WhileStm::resumeAfterCondition(bool truth) {
    if (!truth || runBody(*body_) == Flow::Break) return Flow::Normal;
    return executeTree();
}

ForStm::ForStm(EvaluatablePtr range, int line, StatementPtr body, Value* loopVariable)
    : WithStm(std::move(range), line, std::move(body)), loopVariable_(loopVariable),
      integerRange_(expr_ && expr_->resultType() == INTEGER_VAL), intRange_(expr_.get()),
      doubleRange_(expr_.get()) {
    if (!expr_ || !loopVariable) raiseBug("BUG: for statement without a range or loop variable");
}

bool ForStm::refersTo(const Value* v) const {
    return v == loopVariable_ || WithStm::refersTo(v);
}

// The range is copied before the first iteration, so a body that changes a
// variable named as the range does not change the iterations. A recursive
// call that runs this loop again while it is running gets a copy of its own.
Flow ForStm::executeTree() {
    if (expr_->category() == CAT_SEQUENCE)
        return overSequence(evaluateSequenceParts(static_cast<SequenceElement&>(*expr_)));
    if (busy_) {
        if (integerRange_) {
            IntValue own;
            own.copyFrom(intRange_.evaluate());
            return iterate(own);
        }
        DoubleValue own;
        own.copyFrom(doubleRange_.evaluate());
        return iterate(own);
    }
    detail::BusyGuard guard(busy_);
    if (integerRange_) {
        intCopy_.copyFrom(intRange_.evaluate());
        return iterate(intCopy_);
    }
    doubleCopy_.copyFrom(doubleRange_.evaluate());
    return iterate(doubleCopy_);
}

// a:b and a:s:b take their values one at a time, as the elements of the
// range would have them, without building the range.
Flow ForStm::overSequence(const SequenceParts& parts) {
    if (integerRange_)
        return sequenceFrom(0, integerPart(parts.start), integerPart(parts.step), parts.count);
    return sequenceFrom(0, parts.start, parts.step, parts.count);
}

Flow ForStm::sequenceFrom(long first, double value, double step, long count) {
    for (long i = first; i < count && RunFlags::running(); ++i, value = nextValue(value, step)) {
        if (integerRange_)
            loopVariable_->assignScalarInt(int(value));
        else
            loopVariable_->assignScalar(value);
        if (runBody(*body_) == Flow::Break) break;
    }
    return Flow::Normal;
}

// Integer ranges step in 32-bit integers, as their elements are built.
double ForStm::nextValue(double value, double step) const {
    if (integerRange_) return int(int(value) + (long long)int(step));
    return value + step;
}

Flow ForStm::resume(ResumePoint& point, size_t level) {
    if (point.isLeaf(level)) return Statement::resume(point, level);
    const ResumeFrame& frame = point.frames[level];
    if (resumeBody(*body_, point, level + 1) == Flow::Break) return Flow::Normal;
    return sequenceFrom(frame.iteration + 1, nextValue(frame.value, frame.step), frame.step,
                        frame.count);
}

template <class V> Flow ForStm::iterate(V& range) {
    for (int i = 0; i < range.n && RunFlags::running(); ++i) {
        if constexpr (std::is_same_v<V, IntValue>)
            loopVariable_->assignScalarInt(range[i]);
        else
            loopVariable_->assignScalar(range[i]);
        if (runBody(*body_) == Flow::Break) break;
    }
    return Flow::Normal;
}

ForInStm::ForInStm(int line, StatementPtr body, Value* counter, Value* loopVariable,
                   Value* collection)
    : WithStm(nullptr, line, std::move(body)), counter_(counter), loopVariable_(loopVariable),
      collection_(collection) {
    if (!loopVariable || !collection) raiseBug("BUG: for-in statement without its variables");
}

Flow ForInStm::execute() {
    switch (collection_->type()) {
    case INTEGER_VAL:
    case DOUBLE_VAL:
        return overNumbers();
    case LIST_VAL:
        return overItems();
    default:
        return Flow::Normal;
    }
}

bool ForInStm::refersTo(const Value* v) const {
    return v == collection_ || v == loopVariable_ || (counter_ && v == counter_) ||
           WithStm::refersTo(v);
}

// The count is taken at the start; a body that shortens the collection ends
// the loop at its new end.
Flow ForInStm::overNumbers() {
    int count = collection_->n;
    bool integers = collection_->type() == INTEGER_VAL;
    for (int i = 0; i < count && i < collection_->n && RunFlags::running(); ++i) {
        if (integers)
            loopVariable_->assignScalarInt(static_cast<const JMatrix<int>&>(*collection_)[i]);
        else
            loopVariable_->assignScalar(static_cast<const JMatrix<double>&>(*collection_)[i]);
        if (counter_) counter_->assignScalarInt(i + 1);
        if (runBody(*body_) == Flow::Break) break;
    }
    return Flow::Normal;
}

// An empty item counts as an empty double.
Flow ForInStm::overItems() {
    int count = collection_->n;
    for (int i = 0; i < count && i < collection_->n && RunFlags::running(); ++i) {
        const Value* item = static_cast<const JMatrix<ListItem>&>(*collection_)[i].value.get();
        int itemType = item ? item->type() : DOUBLE_VAL;
        if (itemType != loopVariable_->type())
            raiseRuntime("incompatible types assigning from list");
        if (item)
            loopVariable_->assign(*item);
        else
            loopVariable_->setShapeKind(0, 0, KIND_NUMERIC);
        if (counter_) counter_->assignScalarInt(i + 1);
        if (runBody(*body_) == Flow::Break) break;
    }
    return Flow::Normal;
}

} // namespace vemlor
