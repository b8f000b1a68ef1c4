// The debugger on the desktop. The window shows a stop: its title, the two
// columns (labels and value summaries), a read-only excerpt of the source
// and the buttons "Step", "Cont" and "Halt" in a row at the lower right.
// Enter steps; Escape or closing the window turns debugging off for the rest
// of the input. It is made at the first stop and reused, and hides after
// every command but Step.
//
// Stops happen on the worker thread that runs the input; the window lives on
// the window thread. QtDebuggerView hands the stop over and blocks the worker
// (never the window thread) until a command is chosen or the input is
// aborted.
#pragma once

#include "platform/DebuggerView.h"

#include <QDialog>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QLabel;
class QPlainTextEdit;

namespace vemlor {

class DebuggerWindow : public QDialog {
    Q_OBJECT
  public:
    explicit DebuggerWindow(QWidget* parent = nullptr);

    void showStop(const DebugStopView& stop);
    // Called with every command the user chooses.
    void setChooser(std::function<void(DebugCommand)> chooser) { chooser_ = std::move(chooser); }
    QString names() const;
    QString values() const;
    QString source() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override; // Escape and closing the window

  private:
    void choose(DebugCommand command);

    QLabel* names_;
    QLabel* values_;
    QPlainTextEdit* source_;
    std::function<void(DebugCommand)> chooser_;
};

class QtDebuggerView : public DebuggerView {
  public:
    // Made on the window thread.
    QtDebuggerView();
    ~QtDebuggerView() override;
    QtDebuggerView(const QtDebuggerView&) = delete;
    QtDebuggerView& operator=(const QtDebuggerView&) = delete;

    DebugCommand waitForCommand(const DebugStopView& stop) override;
    // The window, once a stop has made it (window thread only).
    DebuggerWindow* window() const { return window_.get(); }

  private:
    void present(const DebugStopView& stop); // window thread
    void chosen(DebugCommand command);       // window thread
    void waitOnWindowThread();
    void waitOnWorker();

    std::unique_ptr<QObject> context_; // receives the calls posted to the window thread
    std::unique_ptr<DebuggerWindow> window_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<DebugCommand> command_;
};

} // namespace vemlor
