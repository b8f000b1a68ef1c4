// The interrupt request (Ctrl-C, Abort) as the value layer sees it. Long
// elementwise work polls it between blocks of elements, so a single operation
// on a huge matrix stops as promptly as a loop does.
#pragma once

#include <atomic>

namespace vemlor {

// Thrown where an interrupt is noticed: at the next loop step, statement or
// block of elements.
struct Interrupted {};

// Set by an interrupt handler (a lock-free store, safe in a signal handler)
// and cleared by the session once the interrupted input has been abandoned.
inline std::atomic<bool> interruptRequested{false};

// Work that changes a variable in place must not stop half done: while it
// holds interrupts off, a request waits for the next statement or loop step
// (one pass over even the largest matrix takes a second or two at most).
inline int interruptHolds = 0;

class InterruptHold {
  public:
    InterruptHold() { ++interruptHolds; }
    ~InterruptHold() { --interruptHolds; }
    InterruptHold(const InterruptHold&) = delete;
    InterruptHold& operator=(const InterruptHold&) = delete;
};

inline void throwIfInterrupted() {
    if (interruptRequested.load(std::memory_order_relaxed) && interruptHolds == 0)
        throw Interrupted{};
}

// Elements handled between two looks at the interrupt request: large enough
// that the look costs nothing, small enough to answer within milliseconds.
inline constexpr int kInterruptBlock = 1 << 18;

// Calls work(begin, end) over [0, n) in blocks, looking for an interrupt
// before each block after the first.
template <class Work> void inInterruptibleBlocks(int n, Work work) {
    for (int begin = 0; begin < n; begin += kInterruptBlock) {
        if (begin > 0) throwIfInterrupted();
        work(begin, n - begin < kInterruptBlock ? n : begin + kInterruptBlock);
    }
}

} // namespace vemlor
