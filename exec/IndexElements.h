// Indexed reads of a variable: the factory picks the element class from the
// variable's type and the form of the index list.
#pragma once

#include "exec/Evaluatable.h"

#include <vector>

namespace vemlor {

// x[i] or x[i, j]. `indices` are already converted to integer delivery (or
// are sequences, open sequences ':' or end indices). `colonMode` is the
// lexer's: 1 for m[i,:], 2 for m[:,j], else 0; `selectMode` the selection
// mode of a single index (SELECT_AUTO unless the parser knows better).
// A single constant integer index becomes a ConstIndexElement; below 1 it is
// the SyntaxError "index must be positive". Lists: one index only.
EvaluatablePtr makeIndexedRead(Value* variable, std::vector<EvaluatablePtr> indices, int colonMode,
                               int selectMode = SELECT_AUTO);
// x.k or x.(expr): an item of a list. The index must deliver an integer; a
// sequence or ':' is "this form of indexing of a list is not yet implemented".
EvaluatablePtr makeListItemRead(Value* list, EvaluatablePtr index);

} // namespace vemlor
