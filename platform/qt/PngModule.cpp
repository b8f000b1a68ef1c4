// The PNG writer as a module that the terminal program loads on the first
// PNG it is asked for, so that its start-up never pays for Qt. Qt's
// painting needs an application object; without a display it gets one on
// the offscreen platform, kept for the life of the process.
#include "platform/qt/PngWriter.h"

#include <QGuiApplication>
#include <cstring>

namespace {

// Qt's notes about the environment (no runtime directory, say) mean nothing
// to a user printing a figure in a terminal.
void ignoreMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    qInstallMessageHandler(ignoreMessage);
    static int argc = 3;
    static char name[] = "vemlor", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

} // namespace

// Returns 1 on success; otherwise 0 with the reason in `failure`.
extern "C" __attribute__((visibility("default"))) int
vemlorWritePng(const char* path, vemlor::FigureDrawing* drawing, int width, int height,
               char* failure, size_t failureSize) {
    ensureApplication();
    std::string reason = vemlor::writeFigurePng(path, *drawing, width, height);
    if (reason.empty()) return 1;
    std::strncpy(failure, reason.c_str(), failureSize - 1);
    failure[failureSize - 1] = '\0';
    return 0;
}
