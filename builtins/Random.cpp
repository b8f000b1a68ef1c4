// The 15-bit generator: next = next * 1103515245 + 12345 in 32-bit unsigned
// arithmetic, yielding bits 16..30 of the state. The state is process-wide on
// purpose: `randseed` in one instance reseeds the generator that all random
// built-ins share, exactly as the C library's generator would.
#include "builtins/Random.h"

#include <cstdint>

namespace vemlor {

namespace {

uint32_t& state() {
    static uint32_t next = 1;
    return next;
}

} // namespace

void seedRandom(int seed) {
    state() = static_cast<uint32_t>(seed);
}

int nextRandom() {
    uint32_t& next = state();
    next = next * 1103515245u + 12345u;
    return static_cast<int>((next / 65536u) % 32768u);
}

double randomUnit() {
    return nextRandom() / double(kRandomMax);
}

// Rejection keeps the choice uniform where count does not divide the range.
int randomBelow(int count) {
    if (count <= 1) return 0;
    if (count <= kRandomMax + 1) {
        int limit = (kRandomMax + 1) / count * count;
        int r;
        do
            r = nextRandom();
        while (r >= limit);
        return r % count;
    }
    // Three draws give 45 bits, more than any int count needs.
    constexpr int64_t base = kRandomMax + 1;
    constexpr int64_t range = base * base * base;
    int64_t limit = range / count * count;
    int64_t r;
    do
        r = (int64_t(nextRandom()) * base + nextRandom()) * base + nextRandom();
    while (r >= limit);
    return static_cast<int>(r % count);
}

} // namespace vemlor
