#include "app/Interrupts.h"

#include "exec/RunFlags.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace vemlor {

namespace {

// A signal handler can only reach its surroundings through static storage;
// this is the write end of the pipe the watcher thread reads.
volatile std::sig_atomic_t notifyFd = -1;

constexpr char kInterrupt = 'i';
constexpr char kStop = 's';

void onInterrupt(int) {
    RunFlags::interrupt();
    if (notifyFd >= 0) {
        const char byte = kInterrupt;
        ssize_t ignored = ::write(notifyFd, &byte, 1);
        (void)ignored;
    }
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void()> shutDown) : shutDown_(std::move(shutDown)) {
    if (::pipe(pipe_) != 0) return;
    ::fcntl(pipe_[1], F_SETFL, O_NONBLOCK);
    notifyFd = pipe_[1];
    watcher_ = std::thread([this] { watch(); });
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
}

InterruptWatch::~InterruptWatch() {
    std::signal(SIGINT, SIG_DFL);
    notifyFd = -1;
    if (watcher_.joinable()) {
        const char byte = kStop;
        ssize_t ignored = ::write(pipe_[1], &byte, 1);
        (void)ignored;
        watcher_.join();
    }
    for (int fd : pipe_)
        if (fd >= 0) ::close(fd);
}

// Runs beside the interpreter. When the second interrupt finds the first
// still unnoticed, the interpreter is stuck in one long operation; the
// session is shut down from here (saving the state files) and the process
// ends, as the user asked twice.
void InterruptWatch::watch() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point last{};
    bool seen = false;
    char byte = 0;
    while (::read(pipe_[0], &byte, 1) == 1 && byte == kInterrupt) {
        Clock::time_point now = Clock::now();
        bool unnoticed = RunFlags::interrupted.load(std::memory_order_relaxed);
        if (seen && unnoticed && now - last < std::chrono::seconds(1)) {
            if (shutDown_) shutDown_();
            std::_Exit(130);
        }
        seen = true;
        last = now;
    }
}

} // namespace vemlor
