#include "app/Desktop.h"
#include "app/TerminalRepl.h"
#include "platform/qt/QtFigureWindows.h"

#include <thread>

namespace vemlor {

int runTerminalWithFigures(const std::string& script) {
    std::unique_ptr<QApplication> app = openDisplay();
    if (!app) return kNoDisplay;
    app->setQuitOnLastWindowClosed(false);
    QtFigureWindows windows;
    int status = 0;
    std::thread session([&] {
        status = runTerminalSession(script, &windows);
        QMetaObject::invokeMethod(app.get(), &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app->exec();
    session.join();
    return status;
}

} // namespace vemlor
