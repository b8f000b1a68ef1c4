#include "exec/DisplayStatements.h"

#include "core/Display.h"
#include "core/Errors.h"
#include "exec/Answer.h"

namespace vemlor {

namespace {

// Forwards to another sink, putting a prefix in front of the first text
// printed, so that a one-line display lands on the same line as a name.
class PrefixedSink : public OutputSink {
  public:
    PrefixedSink(OutputSink& out, std::string prefix) : out_(out), prefix_(std::move(prefix)) {}
    void print(std::string_view text, bool newLine, int mode) override {
        if (used_) {
            out_.print(text, newLine, mode);
            return;
        }
        used_ = true;
        out_.print(prefix_ + std::string(text), newLine, mode);
    }
    char setItemSeparator(char separator) override { return out_.setItemSeparator(separator); }

  private:
    OutputSink& out_;
    std::string prefix_;
    bool used_ = false;
};

DisplayOptions optionsFor(char terminator) {
    DisplayOptions options;
    options.closedForm = terminator == '?';
    return options;
}

} // namespace

EvalStm::EvalStm(EvaluatablePtr expr, int line) : EvalStm(std::move(expr), line, false) {
    expr_->resultUnused();
}

EvalStm::EvalStm(EvaluatablePtr expr, int line, bool)
    : Statement(std::move(expr), line), result_(expr_.get()) {}

const Value& EvalStm::evaluate(std::string_view itemMessage) {
    return result_.evaluate(itemMessage);
}

Flow EvalStm::execute() {
    evaluate("expression involving a list item not yet handled");
    return Flow::Normal;
}

EvalAndDisplayStm::EvalAndDisplayStm(EvaluatablePtr expr, int line, OutputSink& out,
                                     char terminator)
    : EvalStm(std::move(expr), line, true), out_(out), terminator_(terminator) {}

Flow EvalAndDisplayStm::execute() {
    Answer::set(evaluate("expression involving a list item not yet handled"));
    Display(out_).show(Answer::value(), optionsFor(terminator_));
    return Flow::Normal;
}

AssignAndDisplayStm::AssignAndDisplayStm(StatementPtr assignment, int line, OutputSink& out,
                                         Value* variable, std::string name, char terminator)
    : WithStm(nullptr, line, std::move(assignment)), out_(out), variable_(variable),
      name_(std::move(name)), terminator_(terminator) {
    if (!variable) raiseBug("BUG: displayed assignment without its variable");
}

Flow AssignAndDisplayStm::execute() {
    Flow flow = body_->execute();
    Answer::set(*variable_);
    const Value& shown = Answer::value();
    DisplayOptions options = optionsFor(terminator_);
    if (shown.n == 1 && shown.type() != LIST_VAL) {
        PrefixedSink sink(out_, name_ + " = ");
        Display(sink).show(shown, options);
    } else {
        out_.print(name_ + " =", true, PRINT_LITERAL);
        Display(out_).show(shown, options);
    }
    return flow;
}

bool AssignAndDisplayStm::refersTo(const Value* v) const {
    return v == variable_ || WithStm::refersTo(v);
}

BreakPointStm::BreakPointStm(StatementPtr body, int line, DebugHook* debugger, Value* variable,
                             std::string text)
    : WithStm(nullptr, line, std::move(body)), debugger_(debugger), variable_(variable),
      text_(std::move(text)) {}

Flow BreakPointStm::execute() {
    Flow flow = body_->execute();
    if (variable_) Answer::set(*variable_);
    if (debugger_) debugger_->stop(line_, variable_, text_);
    return flow;
}

bool BreakPointStm::refersTo(const Value* v) const {
    return (variable_ && v == variable_) || WithStm::refersTo(v);
}

} // namespace vemlor
