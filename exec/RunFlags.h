// The process-wide flags of execution. The run flag is set before each
// input runs; `return` and an interrupt clear it, and loops and blocks stop
// when it is clear. The breakpoint-armed flag is consulted by breakpoints;
// the stepping flag, set by the debugger, makes blocks offer a stop after
// every statement.
// Atomics because an interrupt handler may clear the run flag; relaxed loads
// cost nothing in a loop.
#pragma once

#include <atomic>

namespace vemlor {

struct RunFlags {
    static inline std::atomic<bool> run{false};
    static inline std::atomic<bool> breakpointArmed{false};
    static inline std::atomic<bool> stepping{false};

    static bool running() { return run.load(std::memory_order_relaxed); }
    static bool steppingOn() { return stepping.load(std::memory_order_relaxed); }
};

} // namespace vemlor
