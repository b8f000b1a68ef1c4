// The expression classes. An expression is an ordered list of entries, each
// an owned operand and the numeric code of the operator that follows it (the
// last entry carries OP_END). The builder picks the cheapest class that fits:
//
//   SimpleExpression           '+' '-' '*' '/' only, every operand of the
//                              result type: a flat left-to-right loop;
//   SimpleMixedTypeExpression  the same operators over integer and double
//                              operands, evaluated in doubles;
//   GeneralIntegerExpression   any operator, integers only;
//   GeneralComplexExpression   any operator, every operand complex;
//   GeneralMixedTypeExpression any operator, evaluated in doubles.
//
// The general classes climb the precedence levels recursively; operators of
// one level associate left to right. Scratch values are members, sized by
// the first evaluation and reused, so a loop that evaluates an expression
// again allocates nothing; a nested (recursive) evaluation of the same
// expression gets scratch values of its own.
#pragma once

#include "core/MathMatrix.h"
#include "core/OperatorCodes.h"
#include "exec/Evaluatable.h"
#include "exec/ExpressionSupport.h"
#include "exec/VectorCode.h"

#include <vector>

namespace vemlor {

struct ExpressionEntry {
    EvaluatablePtr operand;
    int op = OP_END; // the operator after the operand
};
using ExpressionEntries = std::vector<ExpressionEntry>;

// Holds the entries; evaluating the base class itself is an internal error
// (every finished expression is one of the subclasses).
class Expression : public Evaluatable {
  public:
    Expression(ExpressionEntries entries, int resultType);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return resultType_; }
    int category() const override { return CAT_EXPRESSION; }
    bool refersTo(const Value* v) const override;
    const ExpressionEntries& entries() const { return entries_; }

  protected:
    // Evaluates through the compiled block program when there is one and
    // the operands qualify now; null when the tree must evaluate.
    Value* evaluatedAsVectors(Value* workspace) {
        if (vectorCode_ && vectorCode_->run(static_cast<DoubleValue&>(*workspace)))
            return workspace;
        return nullptr;
    }

    ExpressionEntries entries_;
    int resultType_;
    std::vector<char> plainOperand_;         // per entry: isPlainOperand
    std::unique_ptr<VectorCode> vectorCode_; // double expressions only
};

// Scratch of the flat loop: the running term and the operand being combined.
// `result` holds what a nested evaluation returns (see NestedScratch).
struct SimpleScratch {
    explicit SimpleScratch(int type);
    ValuePtr term, operand, result;
    ValuePtr left; // a converted first operand of a one-pass start (see ClimbScratch)
    IntValue ints; // integer operands of the mixed class, before conversion
};

class SimpleExpression final : public Expression {
  public:
    SimpleExpression(ExpressionEntries entries, int resultType);
    Value* pValue(Value* workspace) override;

  private:
    SimpleScratch scratch_;
    detail::NestedScratch<SimpleScratch> nested_;
    int depth_ = 0;
};

class SimpleMixedTypeExpression final : public Expression {
  public:
    explicit SimpleMixedTypeExpression(ExpressionEntries entries);
    Value* pValue(Value* workspace) override;

  private:
    std::vector<char> intOperand_; // per entry: evaluated as an integer first
    SimpleScratch scratch_;
    detail::NestedScratch<SimpleScratch> nested_;
    int depth_ = 0;
};

// Scratch of the precedence climb: one right-hand value per level.
struct ClimbScratch {
    ClimbScratch(int type, int levelCount);
    std::vector<ValuePtr> levels;
    ValuePtr result; // what a nested evaluation returns
    // The first operand of a one-pass start when it must be converted (an
    // integer constant in a double evaluation): converted in the result, it
    // would replace the result's buffer only to need a big one again at once.
    ValuePtr left;
    IntValue ints;
};

class GeneralExpression : public Expression {
  public:
    GeneralExpression(ExpressionEntries entries, int resultType);
    int lowestLevel() const { return lowestLevel_; }
    int highestLevel() const { return highestLevel_; }

  protected:
    // Runs the climb in `workspace` (of the element type), or in scratch of
    // its own when nested; returns where the result is.
    template <class T> Value* climb(Value* workspace);

    int lowestLevel_ = 100;
    int highestLevel_ = 0;
    std::vector<char> intOperand_; // mixed class: evaluated as an integer first
    ClimbScratch scratch_;
    detail::NestedScratch<ClimbScratch> nested_;
    int depth_ = 0;
};

class GeneralIntegerExpression final : public GeneralExpression {
  public:
    explicit GeneralIntegerExpression(ExpressionEntries entries);
    Value* pValue(Value* workspace) override;
};

class GeneralComplexExpression final : public GeneralExpression {
  public:
    explicit GeneralComplexExpression(ExpressionEntries entries);
    Value* pValue(Value* workspace) override;
};

class GeneralMixedTypeExpression final : public GeneralExpression {
  public:
    explicit GeneralMixedTypeExpression(ExpressionEntries entries);
    Value* pValue(Value* workspace) override;
};

} // namespace vemlor
