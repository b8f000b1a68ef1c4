// Runs one input at a time on a worker thread, so that the window goes on
// painting, scrolling and answering its menu (Abort included) meanwhile.
// The engine is not touched by the window thread until finished() arrives.
#pragma once

#include "platform/qt/ConsoleEngine.h"

#include <QObject>
#include <thread>

namespace vemlor {

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
