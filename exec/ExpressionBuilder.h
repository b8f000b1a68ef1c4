// The expression builder: the parser hands it operands and operator codes in
// source order; finish() arranges them by precedence into a tree and picks
// the cheapest evaluation class that fits the operand types.
//
// Operator codes are the lexer's characters ('+', '*', '^', 'R', '<', 'A',
// ',', ';', ':', '?', 'W', '%', 'V', ...). An operand is appended with code 0;
// the operator that follows it is then written into that entry. Two operands
// with code 0 between them multiply ("pi r^2").
#pragma once

#include "core/MathMatrix.h"
#include "exec/Evaluatable.h"

#include <string>
#include <vector>

namespace vemlor {

class ExpressionBuilder {
  public:
    ExpressionBuilder();
    ~ExpressionBuilder();
    ExpressionBuilder(ExpressionBuilder&&) noexcept;
    ExpressionBuilder& operator=(ExpressionBuilder&&) noexcept;

    // Append: a new operand. When the previous entry's operator is ':' the
    // operand becomes the stop (or, the second time, the step moves and it
    // becomes the stop) of a SequenceElement replacing the last operand.
    void append(EvaluatablePtr operand, char op = 0);
    // Writes a binary operator or separator into the last entry.
    void setOperator(char op);
    // Wraps the last operand in a unary operator: '-', '~', '\'', '"', ':', '!'.
    void applyUnary(char op);
    // The % and // rewriting; the parser calls it before finish() when either
    // operator occurred.
    void percentStep();
    bool empty() const;
    int size() const;
    // The operator currently written into the last entry (0 when none).
    char lastOperator() const;

    // Finish: the element that stands for the whole expression (a single
    // operand, a folded constant, or one of the expression classes).
    // SyntaxError "an empty expression is not allowed" when nothing was appended.
    EvaluatablePtr finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Operand elements the parser creates directly.
EvaluatablePtr makeIntConstant(int x);
EvaluatablePtr makeDoubleConstant(double x);
EvaluatablePtr makeComplexConstant(complexd z);
// Constant elements may be negated in place at parse time ("-2" literal).
bool negateConstant(Evaluatable& constant);
EvaluatablePtr makeStringLiteral(std::string text);
EvaluatablePtr makeEmptySet();
EvaluatablePtr makeVariable(Value* variable);
EvaluatablePtr makeOpenSequence();
// `end` inside an index of `variable`: dimension 0 rows, 1 columns, 2 pages,
// -1 a single index.
EvaluatablePtr makeEndIndex(const Value* variable, int dimension);
// ++x / --x: code 'i' increments, 'd' decrements.
EvaluatablePtr makeIncDec(Value* variable, char code);
// Index and condition conversion; returns `child` itself when it already
// delivers an integer.
EvaluatablePtr makeDoubleToInt(EvaluatablePtr child);

} // namespace vemlor
