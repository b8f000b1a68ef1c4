#include "platform/qt/QtFigureWindows.h"

#include <QGuiApplication>
#include <QScreen>

namespace vemlor {

QtFigureWindows::QtFigureWindows() {
    screen_ = {0, 0, 1920, 1080};
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        QRect area = primary->geometry();
        screen_ = {0, 0, area.width(), area.height()};
    }
}

QtFigureWindows::~QtFigureWindows() = default;

void QtFigureWindows::enqueue(Request request) {
    std::lock_guard lock(mutex_);
    if (request.kind == Request::Kind::Show && !queue_.empty()) {
        Request& last = queue_.back();
        if (last.kind == Request::Kind::Show && last.number == request.number) {
            last.drawing = std::move(request.drawing);
            last.raise = last.raise || request.raise;
            return;
        }
    }
    queue_.push_back(std::move(request));
    if (carryOutPosted_) return;
    carryOutPosted_ = true;
    QMetaObject::invokeMethod(
        this, [this] { carryOut(); }, Qt::QueuedConnection);
}

void QtFigureWindows::show(int number, std::shared_ptr<FigureDrawing> drawing,
                           const ScreenRect& place, bool raise) {
    enqueue({Request::Kind::Show, number, std::move(drawing), place, raise});
}

void QtFigureWindows::place(int number, const ScreenRect& place) {
    enqueue({Request::Kind::Place, number, nullptr, place, false});
}

void QtFigureWindows::close(int number) {
    enqueue({Request::Kind::Close, number, nullptr, {}, false});
}

std::vector<FigureWindowEvent> QtFigureWindows::takeEvents() {
    std::lock_guard lock(mutex_);
    userClosed_.clear();
    return std::exchange(events_, {});
}

bool QtFigureWindows::waitForEvents(int milliseconds) {
    std::unique_lock lock(mutex_);
    return eventCame_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [this] { return !events_.empty(); });
}

void QtFigureWindows::pushEvent(const FigureWindowEvent& event) {
    // A pointer moving faster than the interpreter takes its moves is where
    // it is now: one waiting move stands for them all.
    bool move = event.kind == FigureWindowEvent::Kind::Mouse &&
                event.mouse == FigureWindowEvent::Mouse::Move;
    if (move && !events_.empty()) {
        FigureWindowEvent& last = events_.back();
        if (last.kind == event.kind && last.mouse == event.mouse && last.figure == event.figure) {
            last = event;
            return;
        }
    }
    events_.push_back(event);
    eventCame_.notify_all();
}

FigureWindow* QtFigureWindows::window(int number) const {
    auto it = windows_.find(number);
    return it == windows_.end() ? nullptr : it->second.get();
}

void QtFigureWindows::carryOut() {
    std::vector<Request> requests;
    {
        std::lock_guard lock(mutex_);
        requests.swap(queue_);
        carryOutPosted_ = false;
    }
    for (Request& request : requests)
        carryOut(request);
}

void QtFigureWindows::carryOut(Request& request) {
    FigureWindow* open = window(request.number);
    switch (request.kind) {
    case Request::Kind::Close:
        windows_.erase(request.number);
        return;
    case Request::Kind::Place:
        if (open)
            open->setGeometry(request.place.left, request.place.top, request.place.width,
                              request.place.height);
        return;
    case Request::Kind::Show:
        break;
    }
    if (!open) {
        {
            // A copy sent before the interpreter learnt of the closing must
            // not bring the window back.
            std::lock_guard lock(mutex_);
            if (userClosed_.count(request.number)) return;
        }
        FigureWindow::Listener listener{
            [this](int n, const ScreenRect& place) { userPlaced(n, place); },
            [this](int n) { userClosed(n); },
            [this](const FigureWindowEvent& event) { userInput(event); },
            [this](const std::string& command) {
                if (typeCommand_) typeCommand_(command);
            }};
        auto made = std::make_unique<FigureWindow>(request.number, std::move(listener));
        made->placeClientArea(request.place);
        open = made.get();
        windows_[request.number] = std::move(made);
        open->show();
    }
    open->setDrawing(std::move(request.drawing));
    if (request.raise) {
        open->raise();
        open->activateWindow();
    }
}

void QtFigureWindows::userClosed(int number) {
    {
        std::lock_guard lock(mutex_);
        FigureWindowEvent closed;
        closed.figure = number;
        pushEvent(closed);
        userClosed_.insert(number);
    }
    auto it = windows_.find(number);
    if (it == windows_.end()) return;
    // The window is in its own close event: it goes when that is over.
    it->second.release()->deleteLater();
    windows_.erase(it);
}

void QtFigureWindows::userPlaced(int number, const ScreenRect& place) {
    FigureWindowEvent placed;
    placed.kind = FigureWindowEvent::Kind::Placed;
    placed.figure = number;
    placed.place = place;
    std::lock_guard lock(mutex_);
    pushEvent(placed);
}

void QtFigureWindows::userInput(const FigureWindowEvent& event) {
    {
        std::lock_guard lock(mutex_);
        pushEvent(event);
    }
    bool move = event.kind == FigureWindowEvent::Kind::Mouse &&
                event.mouse == FigureWindowEvent::Mouse::Move;
    if (move && !movesWanted_) return; // polling reads it when it asks
    if (inputWaiting_) inputWaiting_();
}

} // namespace vemlor
