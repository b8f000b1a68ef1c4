// Blocks, conditionals and loops.
#include "exec/Statement.h"

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/ExpressionSupport.h"
#include "exec/RunFlags.h"
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

constexpr std::string_view kIfMessage = "non-scalar condition in if clause";
constexpr std::string_view kWhileMessage = "non-scalar condition in while clause";

} // namespace

void Statement::exe() {
    Flow flow = execute();
    if (flow != Flow::Normal) throw LoopSignal{flow, line_};
}

BlockStm::BlockStm(std::vector<StatementPtr> statements, OutputSink& out, int line,
                   DebugHook* debugger)
    : Statement(nullptr, line), statements_(std::move(statements)), out_(out), debugger_(debugger) {
}

Flow BlockStm::execute() {
    for (StatementPtr& s : statements_) {
        if (!RunFlags::running()) break;
        Flow flow;
        try {
            flow = s->execute();
        } catch (const LoopSignal&) {
            throw; // a signal is no failure: no line to report
        } catch (...) {
            if (s->line() > 0)
                out_.print("at line " + std::to_string(s->line()), true, PRINT_LITERAL);
            throw;
        }
        if (flow != Flow::Normal) return flow;
        if (debugger_ && RunFlags::steppingOn())
            debugger_->stop(s->line(), s->assignedVariable(), {});
    }
    return Flow::Normal;
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

Flow IfStm::execute() {
    return condition_.evaluate() ? body_->execute() : Flow::Normal;
}

IfElseStm::IfElseStm(EvaluatablePtr condition, int line, StatementPtr body, StatementPtr elseBody)
    : WithStm(std::move(condition), line, std::move(body)), elseBody_(std::move(elseBody)),
      condition_(expr_.get(), kIfMessage) {
    if (!elseBody_) raiseBug("BUG: if-else statement without an else body");
}

Flow IfElseStm::execute() {
    return condition_.evaluate() ? body_->execute() : elseBody_->execute();
}

bool IfElseStm::refersTo(const Value* v) const {
    return WithStm::refersTo(v) || elseBody_->refersTo(v);
}

UnlessStm::UnlessStm(EvaluatablePtr condition, int line, StatementPtr body)
    : WithStm(std::move(condition), line, std::move(body)), condition_(expr_.get(), kWhileMessage) {
}

Flow UnlessStm::execute() {
    return condition_.evaluate() ? Flow::Normal : body_->execute();
}

WhileStm::WhileStm(EvaluatablePtr condition, int line, StatementPtr body)
    : WithStm(std::move(condition), line, std::move(body)), condition_(expr_.get(), kWhileMessage) {
}

Flow WhileStm::execute() {
    while (RunFlags::running() && condition_.evaluate())
        if (runBody(*body_) == Flow::Break) break;
    return Flow::Normal;
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
Flow ForStm::execute() {
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
    if (integerRange_) {
        int x = integerPart(parts.start), step = integerPart(parts.step);
        for (long i = 0; i < parts.count && RunFlags::running(); ++i, x = int(x + (long long)step)) {
            loopVariable_->assignScalarInt(x);
            if (runBody(*body_) == Flow::Break) break;
        }
        return Flow::Normal;
    }
    double x = parts.start;
    for (long i = 0; i < parts.count && RunFlags::running(); ++i, x += parts.step) {
        loopVariable_->assignScalar(x);
        if (runBody(*body_) == Flow::Break) break;
    }
    return Flow::Normal;
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
