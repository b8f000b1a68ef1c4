#include "platform/qt/InputRunner.h"

namespace vemlor {

InputRunner::~InputRunner() {
    // A window that goes away while an input runs stops it and waits; the
    // worker posts nothing that could arrive later, as this object is gone.
    if (worker_.joinable()) {
        engine_.interrupt();
        worker_.join();
    }
}

void InputRunner::start() {
    if (busy()) return;
    worker_ = std::thread([this] {
        engine_.runPrepared();
        QMetaObject::invokeMethod(this, &InputRunner::workerDone, Qt::QueuedConnection);
    });
}

void InputRunner::abort() {
    if (busy()) engine_.interrupt();
}

void InputRunner::workerDone() {
    if (worker_.joinable()) worker_.join();
    emit finished();
}

} // namespace vemlor
