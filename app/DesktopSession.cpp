#include "app/DesktopSession.h"

#include "exec/RunFlags.h"
#include "platform/Platform.h"
#include "platform/qt/QtFigureWindows.h"

namespace vemlor {

DesktopSession::DesktopSession(Platform& platform, bool primary, const std::string& startDirectory)
    : figureWindows_(std::make_unique<QtFigureWindows>()),
      questions_(
          std::make_unique<ConsoleQuestions>(platform.dialogs(), [this](const std::string& prompt) {
              calc_->console().print(prompt, true, PRINT_LITERAL);
          })) {
    CalcSetup setup;
    setup.mode = primary ? 0 : 1;
    setup.useStateFiles = primary;
    setup.startDirectory = startDirectory;
    setup.restoreDirectory = true;
    setup.platform = &platform;
    setup.figureWindows = figureWindows_.get();
    setup.dialogs = questions_.get();
    setup.lineListener = [this](const std::string& line) { deliver(line); };
    calc_ = std::make_unique<Calc>(setup);
    calc_->console().endLine();
    directoryAfterInput_ = calc_->dir().currentDirectory();
}

DesktopSession::~DesktopSession() = default;

void DesktopSession::deliver(const std::string& line) {
    std::lock_guard lock(listenerMutex_);
    if (listener_)
        listener_(line);
    else
        early_.push_back(line);
}

void DesktopSession::setLineListener(LineListener listener) {
    std::lock_guard lock(listenerMutex_);
    listener_ = std::move(listener);
    if (!listener_) return;
    for (const std::string& line : early_)
        listener_(line);
    early_.clear();
}

void DesktopSession::print(const std::string& markupLine) {
    calc_->console().print(markupLine, true, PRINT_MARKUP);
}

void DesktopSession::setFigureHooks(std::function<void()> inputWaiting,
                                    std::function<void(const std::string&)> typeCommand) {
    figureWindows_->setInputWaiting(std::move(inputWaiting));
    figureWindows_->setCommandTyper(std::move(typeCommand));
}

void DesktopSession::prepare(const std::string& text, char mode) {
    calc_->takeErrorReported();
    serviceWindows_ = mode == 'w';
    if (serviceWindows_) return;
    if (mode == 'f') {
        calc_->setInput(calc_->dir().resolve(text, "", false), 'f');
        skipRun_ = calc_->takeErrorReported();
        return;
    }
    std::string typed = text;
    // Typed text separates its lines with carriage returns.
    if (mode == '>')
        for (char& c : typed)
            if (c == '\n') c = '\r';
    calc_->setInput(typed, mode);
    skipRun_ = false;
}

void DesktopSession::runPrepared() {
    if (serviceWindows_)
        calc_->serviceWindows();
    else if (!skipRun_)
        calc_->executePendingInput();
    skipRun_ = false;
    calc_->console().endLine();
    std::lock_guard lock(listenerMutex_);
    directoryAfterInput_ = calc_->dir().currentDirectory();
}

std::string DesktopSession::currentDirectory() const {
    std::lock_guard lock(listenerMutex_);
    return directoryAfterInput_;
}

void DesktopSession::interrupt() {
    RunFlags::interrupt();
}

std::vector<std::string> DesktopSession::recentDirectories() const {
    const std::set<std::string>& recent = calc_->dir().recent();
    return {recent.begin(), recent.end()};
}

} // namespace vemlor
