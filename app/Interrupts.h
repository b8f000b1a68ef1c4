// Signals that stop work or end a terminal session.
//
// Ctrl-C in a terminal session or a batch run: the first interrupt stops
// what is running at its next loop step or statement ("interrupted"); a
// second one within a second, while the first has not been noticed, ends
// the process through the session's normal shut-down.
//
// SIGTERM and SIGHUP (the terminal was closed) end a session the normal
// way: what runs is interrupted, reading input stops, and the session saves
// its state as it ends. A batch run keeps their default, ending at once.
#pragma once

#include <chrono>
#include <functional>
#include <pthread.h>
#include <thread>

namespace vemlor {

class InterruptWatch {
  public:
    // shutDown: how a session ends from the watcher thread; null for a
    // batch run.
    explicit InterruptWatch(std::function<void()> shutDown);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // The signal that asked the session to end, or 0.
    static int terminationSignal();

    // Marks the time the session's thread waits for input: a termination
    // signal must then break the wait, and is sent again until it does (it
    // may have come just before the wait began).
    class WaitingForInput {
      public:
        WaitingForInput();
        ~WaitingForInput();
        WaitingForInput(const WaitingForInput&) = delete;
        WaitingForInput& operator=(const WaitingForInput&) = delete;
    };

  private:
    void watch();
    void handleInterrupt();

    std::function<void()> shutDown_;
    pthread_t sessionThread_;
    int pipe_[2] = {-1, -1};
    std::thread watcher_;
    // Touched by the watcher thread only.
    std::chrono::steady_clock::time_point lastInterrupt_{};
    bool interruptSeen_ = false;
};

} // namespace vemlor
