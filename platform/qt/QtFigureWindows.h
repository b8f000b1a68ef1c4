// The figure windows of one interpreter instance. The interpreter calls in
// from its own thread; what it asks for is queued and carried out on the
// window thread, where several copies of one figure waiting in the queue
// come down to the newest, so a fast loop cannot flood the windows.
#pragma once

#include "platform/FigureWindows.h"
#include "platform/qt/FigureWindow.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace vemlor {

class QtFigureWindows final : public QObject, public FigureWindows {
  public:
    // Made on the window thread.
    QtFigureWindows();
    ~QtFigureWindows() override;

    void show(int number, std::shared_ptr<FigureDrawing> drawing, const ScreenRect& place,
              bool raise) override;
    void place(int number, const ScreenRect& place) override;
    void close(int number) override;
    std::vector<FigureWindowEvent> takeEvents() override;
    bool waitForEvents(int milliseconds) override;
    void wantMoves(bool wanted) override { movesWanted_ = wanted; }
    ScreenRect screen() const override { return screen_; }

    // The open window of a figure, or null (window thread only).
    FigureWindow* window(int number) const;

    // What the front end does, on the window thread, when mouse, key or
    // control events wait for an interpreter that may be idle, and how a
    // menu item's command is typed into the console.
    void setInputWaiting(std::function<void()> inputWaiting) {
        inputWaiting_ = std::move(inputWaiting);
    }
    void setCommandTyper(std::function<void(const std::string&)> typeCommand) {
        typeCommand_ = std::move(typeCommand);
    }

  private:
    struct Request {
        enum class Kind { Show, Place, Close } kind;
        int number = 0;
        std::shared_ptr<FigureDrawing> drawing;
        ScreenRect place;
        bool raise = false;
    };
    void enqueue(Request request);
    void carryOut();
    void carryOut(Request& request);
    void userClosed(int number);
    void userPlaced(int number, const ScreenRect& place);
    void userInput(const FigureWindowEvent& event);
    void pushEvent(const FigureWindowEvent& event); // with the mutex held

    std::mutex mutex_; // guards the queue, the events and userClosed_
    std::condition_variable eventCame_;
    std::vector<Request> queue_;
    bool carryOutPosted_ = false;
    std::vector<FigureWindowEvent> events_;
    std::set<int> userClosed_; // closed by the user, not yet taken as events
    std::map<int, std::unique_ptr<FigureWindow>> windows_; // window thread only
    ScreenRect screen_;
    std::function<void()> inputWaiting_;
    std::atomic<bool> movesWanted_{false};
    std::function<void(const std::string&)> typeCommand_;
};

} // namespace vemlor
