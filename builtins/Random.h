// The portable random generator behind every random built-in.
//
// A 15-bit linear congruential generator with one process-wide state, as a
// C library's rand() has: every call yields 0 .. 32767, and a given seed
// reproduces the same sequence on every platform. Built-ins never call the
// C library's generator, whose range and algorithm differ between systems.
#pragma once

namespace vemlor {

inline constexpr int kRandomMax = 32767;

// Restarts the sequence; the state before the first call is that of seed 1.
void seedRandom(int seed);
// The next raw value, 0 .. kRandomMax.
int nextRandom();
// nextRandom() / 32767.0: a double in [0, 1] with both ends reachable.
double randomUnit();
// A uniformly chosen integer in [0, count) for count >= 1. Values of count
// above kRandomMax + 1 combine several raw draws so that every result is reachable.
int randomBelow(int count);

} // namespace vemlor
