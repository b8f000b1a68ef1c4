#include "app/Desktop.h"
#include "app/TerminalRepl.h"
#include "platform/qt/QtFigureWindows.h"

#include <deque>
#include <mutex>
#include <thread>

namespace vemlor {

int runTerminalWithFigures(const std::string& script) {
    std::unique_ptr<QApplication> app = openDisplay();
    if (!app) return kNoDisplay;
    app->setQuitOnLastWindowClosed(false);
    QtFigureWindows windows;
    // Menu items type their commands into the session's line.
    std::mutex typedMutex;
    std::deque<std::string> typed;
    windows.setCommandTyper([&](const std::string& command) {
        std::lock_guard lock(typedMutex);
        typed.push_back(command);
    });
    TerminalFigures figures{&windows, [&](std::string& line) {
                                std::lock_guard lock(typedMutex);
                                if (typed.empty()) return false;
                                line = std::move(typed.front());
                                typed.pop_front();
                                return true;
                            }};
    int status = 0;
    std::thread session([&] {
        status = runTerminalSession(script, &figures);
        QMetaObject::invokeMethod(app.get(), &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app->exec();
    session.join();
    return status;
}

} // namespace vemlor
