#include "app/ConsoleQuestions.h"

#include "exec/RunFlags.h"

#include <QCoreApplication>
#include <chrono>
#include <condition_variable>
#include <memory>

namespace vemlor {

namespace {

// The answer the window thread hands over; shared, as a request taken back
// may still be answered.
struct Answer {
    std::mutex mutex;
    std::condition_variable came;
    bool given = false;
    std::string text;
};

constexpr auto kInterruptPoll = std::chrono::milliseconds(50);

} // namespace

void ConsoleQuestions::setRequester(Requester requester) {
    std::lock_guard lock(mutex_);
    requester_ = std::move(requester);
}

bool ConsoleQuestions::ask(bool oneKey, std::string& answer) {
    Requester requester;
    {
        std::lock_guard lock(mutex_);
        requester = requester_;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!requester || !app) return false;
    auto shared = std::make_shared<Answer>();
    QMetaObject::invokeMethod(app, [requester, oneKey, shared] {
        requester(oneKey, [shared](const std::string& text) {
            std::lock_guard lock(shared->mutex);
            shared->text = text;
            shared->given = true;
            shared->came.notify_all();
        });
    });
    std::unique_lock lock(shared->mutex);
    while (!shared->came.wait_for(lock, kInterruptPoll, [&] { return shared->given; })) {
        if (RunFlags::interrupted.load(std::memory_order_relaxed)) {
            lock.unlock();
            QMetaObject::invokeMethod(app, [requester, oneKey] { requester(oneKey, nullptr); });
            return false;
        }
    }
    answer = shared->text;
    return true;
}

bool ConsoleQuestions::askLine(const std::string& prompt, std::string& line) {
    if (!prompt.empty()) printer_(prompt);
    return ask(false, line);
}

bool ConsoleQuestions::askCharacter(char& c) {
    std::string key;
    if (!ask(true, key) || key.empty()) return false;
    c = key[0];
    return true;
}

} // namespace vemlor
