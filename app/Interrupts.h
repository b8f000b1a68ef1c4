// Ctrl-C in a terminal session or a batch run. The first interrupt stops
// what is running at its next loop step or statement ("interrupted"); a
// second one within a second, while the first has not been noticed, ends
// the process through the session's normal shut-down.
#pragma once

#include <functional>
#include <thread>

namespace vemlor {

class InterruptWatch {
  public:
    explicit InterruptWatch(std::function<void()> shutDown);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

  private:
    void watch();

    std::function<void()> shutDown_;
    int pipe_[2] = {-1, -1};
    std::thread watcher_;
};

} // namespace vemlor
