// Indexed assignment on a value held as a plain Value&: dispatches to the
// JMatrix<T>::IndexedAssign or MathMatrix<T>::mathIndexedAssign of its class.
//
// Selector irc: 0 elements, 1 rows, 2 columns, 3 pages of a 3-D array.
// Positions are 1-based. The assignment statements check shapes, masks and
// growth before calling; these operations only refuse what would corrupt
// memory (a position outside the value raises OutOfBounds, a right side of
// the wrong size or type is an internal error or AssignmentMismatch) and change
// nothing when they refuse.
#pragma once

#include "core/Value.h"

namespace vemlor {

enum IndexedSelector : int { IRC_ELEMENTS = 0, IRC_ROWS = 1, IRC_COLUMNS = 2, IRC_PAGES = 3 };

void indexedAssign(Value& left, int irc, const int* positions, int count, const Value& right);
// op: 'P' add, 'M' subtract, 'T' multiply, 'D' divide. A list on the left
// raises AssignmentMismatch.
void mathIndexedAssign(Value& left, int irc, const int* positions, int count, const Value& right,
                       char op);

} // namespace vemlor
