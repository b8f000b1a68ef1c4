// The figure windows of one interpreter instance. The interpreter calls in
// from its own thread; what it asks for is queued and carried out on the
// window thread, where several copies of one figure waiting in the queue
// come down to the newest, so a fast loop cannot flood the windows.
#pragma once

#include "platform/FigureWindows.h"
#include "platform/qt/FigureWindow.h"

#include <QObject>
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
    ScreenRect screen() const override { return screen_; }

    // The open window of a figure, or null (window thread only).
    FigureWindow* window(int number) const;

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

    std::mutex mutex_; // guards the queue, the events and userClosed_
    std::vector<Request> queue_;
    bool carryOutPosted_ = false;
    std::vector<FigureWindowEvent> events_;
    std::set<int> userClosed_; // closed by the user, not yet taken as events
    std::map<int, std::unique_ptr<FigureWindow>> windows_; // window thread only
    ScreenRect screen_;
};

} // namespace vemlor
