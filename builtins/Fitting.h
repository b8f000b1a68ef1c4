// What the two fitting files share.
#pragma once

#include "core/Value.h"

#include <vector>

namespace vemlor::detail {

// The error of each of `points` data points from a sig argument: absent or
// empty means 1 for all, one number is common to all, else one per point.
std::vector<double> sigmasOf(const Value* sig, int points);

} // namespace vemlor::detail
