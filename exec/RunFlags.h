// The process-wide flags of execution. The run flag is set before each
// input runs; `return` and an interrupt clear it, and loops and blocks stop
// when it is clear. The breakpoint-armed flag is consulted by breakpoints;
// the stepping flag, set by the debugger, makes blocks offer a stop after
// every statement.
// Atomics because an interrupt handler may clear the run flag; relaxed loads
// cost nothing in a loop.
#pragma once

#include "core/Interrupt.h"

#include <atomic>

namespace vemlor {

struct RunFlags {
    static inline std::atomic<bool> run{false};
    static inline std::atomic<bool> breakpointArmed{false};
    static inline std::atomic<bool> stepping{false};
    // Set by an interrupt; a function call must not undo it as it undoes a
    // `return`.
    static inline std::atomic<bool>& interrupted = interruptRequested;

    // Raises Interrupted when the flag was cleared by an interrupt.
    static bool running() {
        if (run.load(std::memory_order_relaxed)) return true;
        if (interrupted.load(std::memory_order_relaxed)) throw Interrupted{};
        return false;
    }
    // Safe in a signal handler: two lock-free stores.
    static void interrupt() {
        interrupted.store(true, std::memory_order_relaxed);
        run.store(false, std::memory_order_relaxed);
    }
    static bool steppingOn() { return stepping.load(std::memory_order_relaxed); }
    // After a function body: a `return` cleared the run flag for the body
    // only; the caller goes on.
    static void resumeAfterReturn() {
        if (interrupted.load(std::memory_order_relaxed)) throw Interrupted{};
        run.store(true, std::memory_order_relaxed);
    }
};

} // namespace vemlor
