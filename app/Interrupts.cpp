#include "app/Interrupts.h"

#include "exec/RunFlags.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace vemlor {

namespace {

// A signal handler can only reach its surroundings through static storage:
// the write end of the pipe the watcher thread reads, the signal that asked
// the session to end, and whether the session's thread waits for input.
volatile std::sig_atomic_t notifyFd = -1;
volatile std::sig_atomic_t terminateSignal = 0;
std::atomic<bool> waitingForInput{false};

constexpr char kInterrupt = 'i';
constexpr char kTerminate = 't';
constexpr char kStop = 's';
// How often a termination is sent again to a wait that did not notice it.
constexpr int kWakeMilliseconds = 100;

void notify(char byte) {
    if (notifyFd < 0) return;
    ssize_t ignored = ::write(notifyFd, &byte, 1);
    (void)ignored;
}

void onInterrupt(int) {
    RunFlags::interrupt();
    notify(kInterrupt);
}

void onTerminate(int signal) {
    terminateSignal = signal;
    RunFlags::interrupt();
    notify(kTerminate);
}

void install(int signal, void (*handler)(int), int flags) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void()> shutDown)
    : shutDown_(std::move(shutDown)), sessionThread_(::pthread_self()) {
    if (::pipe(pipe_) != 0) return;
    ::fcntl(pipe_[1], F_SETFL, O_NONBLOCK);
    notifyFd = pipe_[1];
    // The signals go to the session's thread, whose waits they must break;
    // the watcher thread starts with them blocked.
    sigset_t handled, previous;
    sigemptyset(&handled);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&handled, signal);
    ::pthread_sigmask(SIG_BLOCK, &handled, &previous);
    watcher_ = std::thread([this] { watch(); });
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    install(SIGINT, onInterrupt, SA_RESTART);
    if (shutDown_) {
        // Without SA_RESTART: a read waiting for input ends with EINTR.
        install(SIGTERM, onTerminate, 0);
        install(SIGHUP, onTerminate, 0);
    }
}

InterruptWatch::~InterruptWatch() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, SIG_DFL);
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

int InterruptWatch::terminationSignal() {
    return terminateSignal;
}

InterruptWatch::WaitingForInput::WaitingForInput() {
    waitingForInput = true;
}
InterruptWatch::WaitingForInput::~WaitingForInput() {
    waitingForInput = false;
}

// Runs beside the interpreter, reading what the handlers report.
void InterruptWatch::watch() {
    for (;;) {
        pollfd wait = {pipe_[0], POLLIN, 0};
        int ready = ::poll(&wait, 1, terminateSignal ? kWakeMilliseconds : -1);
        if (ready == 0) {
            if (waitingForInput) ::pthread_kill(sessionThread_, terminateSignal);
            continue;
        }
        char byte = 0;
        if (ready < 0 || ::read(pipe_[0], &byte, 1) != 1 || byte == kStop) return;
        if (byte == kInterrupt) handleInterrupt();
    }
}

// When the second interrupt finds the first still unnoticed, the interpreter
// is stuck in one long operation; the session is shut down from here
// (saving the state files) and the process ends, as the user asked twice.
void InterruptWatch::handleInterrupt() {
    auto now = std::chrono::steady_clock::now();
    bool unnoticed = RunFlags::interrupted.load(std::memory_order_relaxed);
    if (interruptSeen_ && unnoticed && now - lastInterrupt_ < std::chrono::seconds(1)) {
        if (shutDown_) shutDown_();
        std::_Exit(130);
    }
    interruptSeen_ = true;
    lastInterrupt_ = now;
}

} // namespace vemlor
