// Expression statements and the statements that show a result: a plain
// expression, a displayed expression, a displayed assignment and a
// breakpoint. Displays go through the console sink given at construction;
// each displayed result also becomes the answer (`ans`).
#pragma once

#include "exec/Statement.h"

#include <string>

namespace vemlor {

// An expression whose value is not shown.
class EvalStm : public Statement {
  public:
    EvalStm(EvaluatablePtr expr, int line);
    Flow execute() override;

  protected:
    // For statements that do read the value.
    EvalStm(EvaluatablePtr expr, int line, bool valueRead);
    // The result; a list-item access gives the item itself. Another
    // expression whose type is only known once evaluated is `itemMessage`.
    const Value& evaluate(std::string_view itemMessage);

  private:
    detail::AnyResult result_;
};

// An expression whose value becomes the answer and is shown; terminator '?'
// adds the closed form of a scalar.
class EvalAndDisplayStm : public EvalStm {
  public:
    EvalAndDisplayStm(EvaluatablePtr expr, int line, OutputSink& out, char terminator);
    Flow execute() override;

  private:
    OutputSink& out_;
    char terminator_;
};

// An assignment shown under the variable's name: "name = value" on one line
// for a scalar, otherwise "name =" followed by the value's lines. The
// variable becomes the answer.
class AssignAndDisplayStm : public WithStm {
  public:
    AssignAndDisplayStm(StatementPtr assignment, int line, OutputSink& out, Value* variable,
                        std::string name, char terminator);
    Flow execute() override;
    bool refersTo(const Value* v) const override;

  private:
    OutputSink& out_;
    Value* variable_;
    std::string name_;
    char terminator_;
};

// A statement ending in ";!": runs it, makes the named variable (if any) the
// answer, and offers the debugger a stop at this line.
class BreakPointStm : public WithStm {
  public:
    // debugger and variable may be null; text is the variable's name.
    BreakPointStm(StatementPtr body, int line, DebugHook* debugger, Value* variable,
                  std::string text);
    Flow execute() override;
    bool refersTo(const Value* v) const override;
    bool offersStop() const override { return debugger_ != nullptr; }

  private:
    DebugHook* debugger_;
    Value* variable_;
    std::string text_;
};

} // namespace vemlor
