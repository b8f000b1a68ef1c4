// Runs one input at a time on a worker thread, so that the window goes on
// painting, scrolling and answering its menu (Abort included) meanwhile.
// The engine is not touched by the window thread until finished() arrives.
#pragma once

#include "platform/qt/ConsoleEngine.h"

#include <QObject>
#include <thread>

namespace vemlor {

// One input runs at a time in the whole process, whichever window it was
// typed in: the interpreter's run flags are shared by every instance. A
// window whose turn has not come keeps its inputs queued.
class RunGate : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    bool taken() const { return taken_; }
    void take() { taken_ = true; }
    void release() {
        taken_ = false;
        emit released();
    }

  signals:
    void released();

  private:
    bool taken_ = false;
};

class InputRunner : public QObject {
    Q_OBJECT
  public:
    explicit InputRunner(ConsoleEngine& engine, QObject* parent = nullptr)
        : QObject(parent), engine_(engine) {}
    ~InputRunner() override;

    bool busy() const { return worker_.joinable(); }
    // Starts running what the engine was handed; ignored while busy.
    void start();
    // Asks the running input to stop; nothing when idle.
    void abort();

  signals:
    void finished();

  private:
    void workerDone();

    ConsoleEngine& engine_;
    std::thread worker_;
};

} // namespace vemlor
