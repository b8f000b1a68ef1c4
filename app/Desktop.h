// The desktop program: the primary instance's main window and the Qt event
// loop, started when `vemlor` runs without options on a display.
#pragma once

#include "app/DesktopSession.h"
#include "platform/qt/InputRunner.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

namespace vemlor {

// The instances of one desktop process: the primary one, whose window ends
// the program when it closes, and those launched from its menu ("&Launch
// vemlor"), each with its own workspace and console, saving no state. They
// share one event loop and run one input at a time.
class DesktopInstances {
  public:
    explicit DesktopInstances(QtPlatform& platform);
    ~DesktopInstances();
    DesktopInstances(const DesktopInstances&) = delete;
    DesktopInstances& operator=(const DesktopInstances&) = delete;

    MainWindow& primary() { return *primaryWindow_; }
    size_t secondaryCount() const { return secondaries_.size(); }

  private:
    struct Secondary {
        std::unique_ptr<DesktopSession> session;
        std::unique_ptr<MainWindow> window;
        ~Secondary();
    };

    void launch(ConsoleEngine& from);
    void forget(Secondary* closed);

    QtPlatform& platform_;
    RunGate gate_;
    std::unique_ptr<DesktopSession> primarySession_;
    std::unique_ptr<MainWindow> primaryWindow_;
    std::vector<std::unique_ptr<Secondary>> secondaries_;
};

// Exit status of runDesktop when there is no display to open a window on;
// the caller then runs the terminal session instead.
inline constexpr int kNoDisplay = -1;

// The Qt application on the display; null when only the offscreen platform
// could be had, and the terminal should serve.
std::unique_ptr<QApplication> openDisplay();

// Runs the desktop program until its primary window closes; `script`, when
// not empty, runs first. Returns the process exit status, or kNoDisplay
// without touching the terminal when no window can be shown.
int runDesktop(const std::string& script);

// Runs the terminal session with figure windows on the display: the session
// reads and answers lines on a thread of its own while the windows paint
// and follow the mouse on this one. Returns kNoDisplay, having done
// nothing, when no window can be shown.
int runTerminalWithFigures(const std::string& script);

} // namespace vemlor
