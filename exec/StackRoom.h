// Room left on the running thread's stack.
//
// The interpreter recurses through the C++ stack: every user-function call
// nests statement and expression evaluation. A call checks for room before
// it goes deeper, so that however long a chain of calls between however
// many functions grows, it ends in an error and never in a crash. Measuring
// the stack itself, rather than counting calls, keeps the guard right for
// any frame size (sanitized builds use far bigger frames) and any mix of
// expression nesting between two calls.
#pragma once

namespace vemlor {

// False when the running thread is within its reserve: the part of the
// stack kept for raising an error and unwinding (an eighth of the stack,
// at least 512 KiB).
bool stackRoomLeft();

} // namespace vemlor
