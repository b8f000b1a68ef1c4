// Statements: what a parsed input executes. Every statement owns its
// expression and sub-statements and merely points at the variables it
// touches (they belong to the workspace).
#pragma once

#include "exec/Evaluatable.h"

#include <memory>
#include <vector>

namespace vemlor {

class OutputSink;

class Statement {
public:
    Statement(EvaluatablePtr expr, int line) : expr_(std::move(expr)), line_(line) {}
    virtual ~Statement() = default;
    virtual void exe() = 0;
    virtual bool refersTo(const Value* v) const { return expr_ && expr_->refersTo(v); }
    int line() const { return line_; }

protected:
    EvaluatablePtr expr_;
    int line_;
};

using StatementPtr = std::unique_ptr<Statement>;

// Several statements read for one input (or one "{ }" block), run in order
// while the run flag stays set.
class BlockStm : public Statement {
public:
    explicit BlockStm(std::vector<StatementPtr> statements)
        : Statement(nullptr, 0), statements_(std::move(statements)) {}
    void exe() override;
    bool refersTo(const Value* v) const override;

private:
    std::vector<StatementPtr> statements_;
};

// An expression whose value is not shown.
class EvalStm : public Statement {
public:
    EvalStm(EvaluatablePtr expr, int line);
    void exe() override;

protected:
    // Evaluates into the statement's own workspace (reused between runs).
    const Value& evaluate();

private:
    ValuePtr workspace_;
};

// An expression whose value becomes the answer and is shown; terminator '?'
// adds the closed form of a scalar.
class EvalAndDisplayStm : public EvalStm {
public:
    EvalAndDisplayStm(EvaluatablePtr expr, int line, OutputSink& out, char terminator);
    void exe() override;

private:
    OutputSink& out_;
    char terminator_;
};

} // namespace vemlor
