#include "exec/Statement.h"

#include "core/Display.h"
#include "core/Errors.h"
#include "exec/Answer.h"
#include "exec/RunFlags.h"

namespace vemlor {

void BlockStm::exe() {
    for (StatementPtr& s : statements_) {
        if (!RunFlags::running()) return;
        s->exe();
    }
}

bool BlockStm::refersTo(const Value* v) const {
    for (const StatementPtr& s : statements_)
        if (s->refersTo(v)) return true;
    return Statement::refersTo(v);
}

EvalStm::EvalStm(EvaluatablePtr expr, int line) : Statement(std::move(expr), line) {
    int type = expr_->resultType();
    if (type < INTEGER_VAL || type > LIST_VAL)
        raiseBug("Vemlor bug!! EvalStm with unrecognized value type");
    workspace_ = newValue(type);
}

const Value& EvalStm::evaluate() { return *expr_->pValue(workspace_.get()); }

void EvalStm::exe() { evaluate(); }

EvalAndDisplayStm::EvalAndDisplayStm(EvaluatablePtr expr, int line, OutputSink& out,
                                     char terminator)
    : EvalStm(std::move(expr), line), out_(out), terminator_(terminator) {}

void EvalAndDisplayStm::exe() {
    Answer::set(evaluate());
    DisplayOptions options;
    options.closedForm = terminator_ == '?';
    Display(out_).show(Answer::value(), options);
}

} // namespace vemlor
