// Internal to the expression builder: the entries as the parser writes them
// (operator characters) and the steps that turn them into a finished
// element. Other code uses ExpressionBuilder.
#pragma once

#include "exec/Evaluatable.h"

#include <vector>

namespace vemlor::detail {

struct BuildEntry {
    EvaluatablePtr operand;
    char op = 0;           // the lexer's character of the operator after the operand
    int sequenceParts = 0; // 2 or 3 when this builder combined the operand into a:b or a:b:c
};
using BuildEntries = std::vector<BuildEntry>;

// The % and // rewriting, from the last operator to the first.
void percentStep(BuildEntries& entries);

// Every finishing step: the operator check, the percent step when one of
// its operators is left, bracket grouping, comparisons, the class choice
// and constant folding.
EvaluatablePtr finishEntries(BuildEntries entries);

} // namespace vemlor::detail
