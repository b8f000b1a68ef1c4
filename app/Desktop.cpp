#include "app/Desktop.h"

#include "app/DesktopSession.h"
#include "exec/RunFlags.h"
#include "platform/qt/InputRunner.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"
#include "platform/terminal/TerminalPlatform.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace vemlor {

namespace {

// The write end of the pipe through which signal handlers reach the event
// loop; a handler can only use static storage.
volatile std::sig_atomic_t signalPipe = -1;

void onSignal(int signal) {
    RunFlags::interrupt();
    char byte = signal == SIGINT ? 'i' : 't';
    if (signalPipe >= 0) {
        ssize_t ignored = ::write(signalPipe, &byte, 1);
        (void)ignored;
    }
}

// Ctrl-C in the launching terminal stops the running input like "&Abort";
// SIGTERM and SIGHUP close the window through the normal shut-down, saving
// without asking (there is nobody to ask).
class SignalBridge {
  public:
    explicit SignalBridge(MainWindow& window) {
        if (::pipe(pipe_) != 0) return;
        ::fcntl(pipe_[1], F_SETFL, O_NONBLOCK);
        signalPipe = pipe_[1];
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, &window] {
            char byte = 0;
            if (::read(pipe_[0], &byte, 1) == 1 && byte == 't') window.closeWithoutAsking();
        });
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            ::sigaction(signal, &action, nullptr);
    }
    ~SignalBridge() {
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            std::signal(signal, SIG_DFL);
        signalPipe = -1;
        notifier_.reset();
        for (int fd : pipe_)
            if (fd >= 0) ::close(fd);
    }
    SignalBridge(const SignalBridge&) = delete;
    SignalBridge& operator=(const SignalBridge&) = delete;

  private:
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Messages of a platform that fails to reach its display: the terminal
// session then takes over, and they would only confuse.
void ignoreMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

bool displayNamed() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

} // namespace

DesktopInstances::DesktopInstances(QtPlatform& platform) : platform_(platform) {
    primarySession_ = std::make_unique<DesktopSession>(platform_, true, workingDirectory());
    primaryWindow_ = std::make_unique<MainWindow>(*primarySession_, true, &gate_);
    primaryWindow_->setLauncher([this] { launch(*primarySession_); });
    QObject::connect(primaryWindow_.get(), &MainWindow::closed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
}

DesktopInstances::~DesktopInstances() {
    secondaries_.clear();
}

DesktopInstances::Secondary::~Secondary() {
    window.reset(); // the window goes before the session it shows
}

void DesktopInstances::launch(ConsoleEngine& from) {
    auto secondary = std::make_unique<Secondary>();
    secondary->session =
        std::make_unique<DesktopSession>(platform_, false, from.currentDirectory());
    secondary->window = std::make_unique<MainWindow>(*secondary->session, false, &gate_);
    Secondary* raw = secondary.get();
    raw->window->setLauncher([this, raw] { launch(*raw->session); });
    QObject::connect(
        raw->window.get(), &MainWindow::closed, qApp, [this, raw] { forget(raw); },
        Qt::QueuedConnection);
    raw->window->show();
    secondaries_.push_back(std::move(secondary));
}

void DesktopInstances::forget(Secondary* closed) {
    std::erase_if(secondaries_, [closed](const auto& s) { return s.get() == closed; });
}

std::unique_ptr<QApplication> openDisplay() {
    if (!displayNamed()) return nullptr;
    // Unless the user chose a platform, one that cannot reach the display
    // falls through to the offscreen one, which tells us to use the terminal.
    bool choosePlatform = !std::getenv("QT_QPA_PLATFORM");
    if (choosePlatform)
        ::setenv("QT_QPA_PLATFORM",
                 std::getenv("WAYLAND_DISPLAY") ? "wayland;xcb;offscreen" : "xcb;offscreen", 1);
    static int argc = 1;
    static char name[] = "vemlor";
    static char* argv[] = {name, nullptr};
    QtMessageHandler previous = qInstallMessageHandler(choosePlatform ? ignoreMessage : nullptr);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    if (choosePlatform) {
        ::unsetenv("QT_QPA_PLATFORM"); // programs started by sysCommand choose their own
        if (QGuiApplication::platformName() == "offscreen") return nullptr;
    }
    return app;
}

int runDesktop(const std::string& script) {
    std::unique_ptr<QApplication> app = openDisplay();
    if (!app) return kNoDisplay;
    ::signal(SIGPIPE, SIG_IGN);
    QtPlatform platform(processPaths());
    DesktopInstances instances(platform);
    SignalBridge bridge(instances.primary());
    instances.primary().show();
    // The desktop goes back to the directory of the last session; a script
    // named on the command line is still found from where it was launched.
    if (!script.empty())
        instances.primary().submit(std::filesystem::absolute(script).lexically_normal().string(),
                                   'f');
    return app->exec();
}

} // namespace vemlor
