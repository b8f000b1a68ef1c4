// Finishing an expression. In this order:
//
//   1. the last entry must carry no operator, and a '%' or '//' left over is
//      rewritten (the parser normally asks for that itself);
//   2. bracket separators: when the operators span several levels and the
//      highest is above 7, the rows (level 9) and the elements (level 8)
//      become one operand each;
//   3. comparisons: runs joined by operators below level 6 become operands,
//      those holding a comparison a comparison element over sub-expressions
//      grouped below level 5;
//   4. a single operand stands for itself;
//   5. the result type, the list refusal and the class choice;
//   6. constant folding, evaluated once here. A folding that fails is left
//      to fail again at run time, where the error gets its line.
//
// Grouping a run that is the whole expression works in place, so a run never
// finishes into a copy of itself.
#include "exec/ExpressionFinish.h"

#include "core/Errors.h"
#include "core/OperatorCodes.h"
#include "exec/ComparisonElements.h"
#include "exec/ConstantElements.h"
#include "exec/ConversionElements.h"
#include "exec/Expression.h"
#include "exec/ExpressionSupport.h"

#include <algorithm>
#include <string>

namespace vemlor::detail {
namespace {

constexpr const char* kMisplacedOperator = "Incorrectly placed operator in bracket or expression";
constexpr const char* kListOperation = "expression contains an illegal operation involving a list";
constexpr int kComparisonLevel = 5;

EvaluatablePtr finishCoded(ExpressionEntries entries);

int levelOf(int code) {
    return precedenceLevel(code);
}

bool hasComparison(const ExpressionEntries& entries) {
    for (size_t i = 0; i + 1 < entries.size(); ++i)
        if (levelOf(entries[i].op) == kComparisonLevel) return true;
    return false;
}

// Operator characters become codes; nothing between two operands multiplies.
ExpressionEntries toCoded(BuildEntries entries) {
    ExpressionEntries coded;
    coded.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        char op = entries[i].op;
        int code = OP_END;
        if (i + 1 < entries.size()) {
            code = op == 0 ? OP_TIMES : opCodeOf(op);
            // Doubled spellings such as "??" and ">>" have no meaning here.
            if (code < 0 || code == OP_END) throw SyntaxError("unrecognised operator");
        }
        coded.push_back({std::move(entries[i].operand), code});
    }
    return coded;
}

// Replaces each run of more than one operand joined by operators below
// `level` with one finished sub-expression (grouped below level - 1 first,
// down to `lowest`) carrying the operator that ended the run.
void groupRuns(ExpressionEntries& entries, int level, int lowest) {
    size_t last = entries.size() - 1;
    bool wholeRun = true;
    for (size_t i = 0; i < last; ++i)
        if (levelOf(entries[i].op) >= level) wholeRun = false;
    if (wholeRun) {
        if (level - 1 >= lowest) groupRuns(entries, level - 1, lowest);
        return;
    }
    ExpressionEntries grouped;
    for (size_t i = 0; i < entries.size();) {
        size_t j = i;
        while (levelOf(entries[j].op) < level)
            ++j;
        if (j == i) {
            grouped.push_back(std::move(entries[i]));
        } else {
            ExpressionEntries run(std::make_move_iterator(entries.begin() + long(i)),
                                  std::make_move_iterator(entries.begin() + long(j) + 1));
            int ending = run.back().op;
            run.back().op = OP_END;
            if (level - 1 >= lowest) groupRuns(run, level - 1, lowest);
            grouped.push_back({finishCoded(std::move(run)), ending});
        }
        i = j + 1;
    }
    entries = std::move(grouped);
}

void groupBracketSeparators(ExpressionEntries& entries) {
    int lowest = 100, highest = 0;
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        lowest = std::min(lowest, levelOf(entries[i].op));
        highest = std::max(highest, levelOf(entries[i].op));
    }
    if (highest > lowest && highest > 7) groupRuns(entries, 9, 8);
}

// a op b or a op b op c, every operator a comparison.
EvaluatablePtr makeComparison(ExpressionEntries run) {
    if (run.size() > 3) throw SyntaxError("illegal form of comparison (more than 3 parts)");
    bool identity = run[0].op == OP_IDENTICAL || (run.size() == 3 && run[1].op == OP_IDENTICAL);
    if (identity && run.size() == 3)
        throw SyntaxError("illegal combination of === with a further comparison");
    if (identity)
        return std::make_unique<FullyCompareElement>(std::move(run[0].operand),
                                                     std::move(run[1].operand));
    bool allInt = true, allDouble = true, anyComplex = false;
    for (const ExpressionEntry& e : run) {
        int type = plannedType(e.operand->resultType());
        if (type == LIST_VAL) throw SyntaxError(kListOperation);
        allInt = allInt && type == INTEGER_VAL;
        allDouble = allDouble && type == DOUBLE_VAL;
        anyComplex = anyComplex || type == COMPLEX_VAL;
    }
    EvaluatablePtr a = std::move(run[0].operand), b = std::move(run[1].operand);
    EvaluatablePtr c = run.size() == 3 ? std::move(run[2].operand) : nullptr;
    int op1 = run[0].op, op2 = run.size() == 3 ? run[1].op : OP_END;
    if (allInt)
        return std::make_unique<ComparatorElement<int>>(std::move(a), std::move(b), std::move(c),
                                                        op1, op2);
    if (allDouble)
        return std::make_unique<ComparatorElement<double>>(std::move(a), std::move(b), std::move(c),
                                                           op1, op2);
    if (anyComplex)
        return std::make_unique<ComparatorElement<complexd>>(std::move(a), std::move(b),
                                                             std::move(c), op1, op2);
    return std::make_unique<ComparatorElementMixedType>(std::move(a), std::move(b), std::move(c),
                                                        op1, op2);
}

// Runs joined by operators below level 6 become single operands: a
// comparison element when the run holds a comparison, else a sub-expression.
void groupComparisons(ExpressionEntries& entries) {
    ExpressionEntries grouped;
    for (size_t i = 0; i < entries.size();) {
        size_t j = i;
        while (levelOf(entries[j].op) <= kComparisonLevel)
            ++j;
        if (j == i) {
            grouped.push_back(std::move(entries[i]));
        } else {
            ExpressionEntries run(std::make_move_iterator(entries.begin() + long(i)),
                                  std::make_move_iterator(entries.begin() + long(j) + 1));
            int ending = run.back().op;
            run.back().op = OP_END;
            EvaluatablePtr element;
            if (hasComparison(run)) {
                groupRuns(run, kComparisonLevel, kComparisonLevel);
                element = makeComparison(std::move(run));
            } else {
                element = finishCoded(std::move(run));
            }
            grouped.push_back({std::move(element), ending});
        }
        i = j + 1;
    }
    entries = std::move(grouped);
}

// A numeric constant, or a one-argument function of one.
bool isConstant(Evaluatable& e) {
    if (e.category() == CAT_NUMBER) return true;
    if (e.category() != CAT_SIMPLE_FUNC) return false;
    auto* call = dynamic_cast<WithEvaluatable*>(&e);
    return call && call->child() && call->child()->category() == CAT_NUMBER;
}

// The value of `e` as a constant element, or `e` itself when evaluating it
// fails (the failure then happens at run time).
EvaluatablePtr fold(EvaluatablePtr e) {
    int type = e->resultType();
    if (type < INTEGER_VAL || type > COMPLEX_VAL) return e;
    ValuePtr value = newValue(type);
    try {
        evaluateInto(*e, *value);
    } catch (const RuntimeError&) {
        return e;
    } catch (const CodeError&) {
        return e;
    }
    return makeNumberElement(*value);
}

int resultTypeOf(const ExpressionEntries& entries) {
    int type = INTEGER_VAL;
    for (const ExpressionEntry& e : entries)
        type = std::max(type, plannedType(e.operand->resultType()));
    if (type != INTEGER_VAL) return type;
    for (size_t i = 0; i + 1 < entries.size(); ++i)
        if (entries[i].op == OP_DIVIDE || entries[i].op == OP_POWER) return DOUBLE_VAL;
    return type;
}

// Operands whose type is only known at run time take any numeric workspace.
bool hasType(const Evaluatable& e, int type) {
    int t = e.resultType();
    return t == type || t > LIST_VAL;
}

void wrapInComplex(ExpressionEntries& entries) {
    for (ExpressionEntry& e : entries)
        if (!hasType(*e.operand, COMPLEX_VAL))
            e.operand = std::make_unique<ToComplexElement>(std::move(e.operand));
}

EvaluatablePtr chooseClass(ExpressionEntries entries, int type) {
    bool simple = true, uniform = true, anyComplex = false, allInt = true;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 < entries.size() && !isArithmetic(entries[i].op)) simple = false;
        const Evaluatable& operand = *entries[i].operand;
        uniform = uniform && hasType(operand, type);
        anyComplex = anyComplex || operand.resultType() == COMPLEX_VAL;
        allInt = allInt && operand.resultType() == INTEGER_VAL;
    }
    if (simple && uniform) return std::make_unique<SimpleExpression>(std::move(entries), type);
    if (simple && anyComplex) {
        wrapInComplex(entries);
        return std::make_unique<SimpleExpression>(std::move(entries), COMPLEX_VAL);
    }
    if (simple) return std::make_unique<SimpleMixedTypeExpression>(std::move(entries));
    if (type == INTEGER_VAL && allInt)
        return std::make_unique<GeneralIntegerExpression>(std::move(entries));
    if (anyComplex) {
        wrapInComplex(entries);
        return std::make_unique<GeneralComplexExpression>(std::move(entries));
    }
    return std::make_unique<GeneralMixedTypeExpression>(std::move(entries));
}

EvaluatablePtr finishCoded(ExpressionEntries entries) {
    if (hasComparison(entries)) groupComparisons(entries);
    if (entries.size() == 1) {
        EvaluatablePtr single = std::move(entries[0].operand);
        if (single->category() == CAT_SIMPLE_FUNC && isConstant(*single))
            return fold(std::move(single));
        return single;
    }
    int type = resultTypeOf(entries);
    for (const ExpressionEntry& e : entries)
        if (e.operand->resultType() == LIST_VAL) throw SyntaxError(kListOperation);
    bool allConstant = true;
    for (const ExpressionEntry& e : entries)
        allConstant = allConstant && isConstant(*e.operand);
    EvaluatablePtr expression = chooseClass(std::move(entries), type);
    return allConstant ? fold(std::move(expression)) : std::move(expression);
}

} // namespace

void percentStep(BuildEntries& entries) {
    for (size_t i = entries.size() - 1; i-- > 0;) {
        char op = entries[i].op;
        if (op != '%' && op != 'V') continue;
        BuildEntries right(std::make_move_iterator(entries.begin() + long(i) + 1),
                           std::make_move_iterator(entries.end()));
        entries.erase(entries.begin() + long(i) + 1, entries.end());
        EvaluatablePtr divisor = finishEntries(std::move(right));
        if (op == 'V') {
            entries[i].op = '/';
            entries.push_back({std::move(divisor), 0, 0});
            continue;
        }
        entries[i].op = 0;
        EvaluatablePtr dividend = finishEntries(std::move(entries));
        entries.clear();
        entries.push_back({std::move(dividend), '/', 0});
        entries.push_back({std::move(divisor), 0, 0});
        return; // everything to the left is inside the dividend now
    }
}

EvaluatablePtr finishEntries(BuildEntries entries) {
    if (entries.empty()) throw SyntaxError("an empty expression is not allowed");
    if (entries.back().op != 0) throw SyntaxError(kMisplacedOperator);
    for (const BuildEntry& e : entries) {
        if (e.op == '%' || e.op == 'V') {
            percentStep(entries);
            break;
        }
    }
    ExpressionEntries coded = toCoded(std::move(entries));
    groupBracketSeparators(coded);
    return finishCoded(std::move(coded));
}

} // namespace vemlor::detail
