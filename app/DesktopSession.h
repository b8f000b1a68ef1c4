// One interpreter instance behind a desktop window: a Calc whose console
// lines go to the window, driven through the ConsoleEngine calls.
#pragma once

#include "app/ConsoleQuestions.h"
#include "platform/qt/ConsoleEngine.h"
#include "session/Calc.h"

#include <memory>
#include <mutex>

namespace vemlor {

class Platform;
class ConsoleQuestions;
class QtFigureWindows;

class DesktopSession : public ConsoleEngine {
  public:
    // primary: the instance that restores and saves the state files.
    DesktopSession(Platform& platform, bool primary, const std::string& startDirectory);
    ~DesktopSession() override;

    void setLineListener(LineListener listener) override;
    void print(const std::string& markupLine) override;
    void prepare(const std::string& text, char mode) override;
    void runPrepared() override;
    void interrupt() override;
    void setFigureHooks(std::function<void()> inputWaiting,
                        std::function<void(const std::string&)> typeCommand) override;
    void setInputRequester(InputRequest request) override {
        questions_->setRequester(std::move(request));
    }
    CommandHistory& history() override { return calc_->history(); }
    std::vector<std::string> recentDirectories() const override;
    // The directory as the last input left it: safe while another input runs.
    std::string currentDirectory() const override;
    void setLineWidth(int characters) override { calc_->console().setLineWidth(characters); }
    bool confirmExit() override { return calc_->confirmExit(); }
    void shutDown() override { calc_->shutDown(); }

    Calc& calc() { return *calc_; }
    QtFigureWindows& figureWindows() { return *figureWindows_; }

  private:
    void deliver(const std::string& line);

    mutable std::mutex listenerMutex_; // guards the listener and the directory below
    std::string directoryAfterInput_;
    LineListener listener_;
    std::vector<std::string> early_;                 // lines printed before a listener was set
    std::unique_ptr<QtFigureWindows> figureWindows_; // outlives the figures it shows
    std::unique_ptr<ConsoleQuestions> questions_;
    std::unique_ptr<Calc> calc_;
    bool skipRun_ = false;        // the prepared script could not be opened
    bool serviceWindows_ = false; // the prepared input is the figure windows' events
};

} // namespace vemlor
