// Running the compiled scalar form (see ScalarCode.h).
#pragma once

#include "exec/ScalarCode.h"
#include "exec/Statement.h"

namespace vemlor::scalar {

// Runs a statement's code; where the code cannot go on, the tree takes over
// from the statement in progress. Behaves as the statement's executeTree().
Flow runStatement(ScalarCode& code);

// Runs an expression's code. True with the number in `out`; false when the
// code handed back and the tree's evaluation, into `workspace`, gave
// `treeResult` instead.
bool runExpression(ScalarCode& code, double& out, Value& workspace, const Value*& treeResult);

} // namespace vemlor::scalar
