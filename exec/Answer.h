// The answer: the result of the last displayed expression, read back by
// `ans`. It is process-wide, one value per type; setting it from a value of
// another type clears the previous one.
#pragma once

#include "core/Value.h"

namespace vemlor {

class Answer {
  public:
    static void set(const Value& v);
    // The current answer (an empty double before the first one).
    static const Value& value();
    static void clear();
};

} // namespace vemlor
