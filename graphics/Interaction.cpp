// Mouse, key and control events of the figure windows. An event updates the
// process's mouse state first and then calls the user's callback, with the
// frame under the pointer made current for the call; a callback may close
// figures, so figures are looked up again by number after each one.
#include "graphics/Interaction.h"

#include "graphics/Figure.h"

#include <algorithm>
#include <cmath>

namespace vemlor {

namespace {

using Mouse = FigureWindowEvent::Mouse;

// How far from an item's drawn position, in pixels, a press still takes it.
constexpr double kDragTolerance = 6;

// Calls a callback with the pointer's frame current, then restores the
// figure and frame that were current before.
void callBack(FigureSet& figures, int number, const std::string& name, const double* pair,
              FigureCallbacks* callbacks) {
    if (!callbacks || !callbacks->defines(name)) return;
    Figure* figure = figures.find(number);
    if (!figure) return;
    MouseState& mouse = MouseState::process();
    Figure* before = figures.current();
    int beforeNumber = before ? before->number() : 0;
    int beforeFrame = before ? before->currentFrameIndex() : 0;
    int frame = frameUnder(*figure, mouse.x, mouse.y);
    double position[2] = {0, 0};
    if (frame >= 0) {
        figure->selectFrame(frame);
        dataOfPixel(*figure->frames()[size_t(frame)], mouse.x, mouse.y, position[0], position[1]);
    }
    figures.setCurrent(figure);
    callbacks->call(name, position, pair);
    Figure* restored = beforeNumber ? figures.find(beforeNumber) : nullptr;
    if (!restored) return;
    figures.setCurrent(restored);
    if (beforeFrame < int(restored->frames().size())) restored->selectFrame(beforeFrame);
}

// Where an item is drawn, in pixels: its position, or for a curve its point
// nearest to (px, py).
bool nearItem(const Frame& frame, const PlotItem& item, int px, int py) {
    auto near = [&](double x, double y) {
        double dx = frame.pixelX(x) - px, dy = frame.pixelY(y) - py;
        return std::hypot(dx, dy) <= kDragTolerance;
    };
    if (auto* curve = dynamic_cast<const Curve*>(&item)) {
        for (size_t k = 0; k < curve->xs.size() && k < curve->ys.size(); ++k)
            if (near(curve->xs[k], curve->ys[k])) return true;
        return false;
    }
    return near(item.x, item.y);
}

// The first dragable item of the figure near the pixel; 0 for none.
int hitDragable(Figure& figure, int px, int py, FigureCallbacks* callbacks) {
    for (const Dragable& d : figure.dragables) {
        int index = 0;
        Frame* frame = figure.frameOfId(d.id, index);
        PlotItem* item = frame ? frame->item(index) : nullptr;
        if (!item) {
            figure.dragables.clear();
            if (callbacks) callbacks->report("The list of dragable items has become invalid.");
            return 0;
        }
        if (nearItem(*frame, *item, px, py)) return d.id;
    }
    return 0;
}

// Where an item stands for dragging: its position, or a curve's first point.
void anchorOf(const PlotItem& item, double& x, double& y) {
    auto* curve = dynamic_cast<const Curve*>(&item);
    bool hasPoint = curve && !curve->xs.empty() && !curve->ys.empty();
    x = hasPoint ? curve->xs[0] : item.x;
    y = hasPoint ? curve->ys[0] : item.y;
}

PlotItem* draggedItem(Figure& figure, Frame*& frame) {
    int index = 0;
    frame = figure.frameOfId(MouseState::process().dragged, index);
    return frame ? frame->item(index) : nullptr;
}

// Moves the dragged item with the pointer since the press, keeping it
// within its limits: beyond them it waits at the edge until the pointer
// comes back.
void drag(Figure& figure, int toX, int toY) {
    MouseState& mouse = MouseState::process();
    Frame* frame = nullptr;
    PlotItem* item = draggedItem(figure, frame);
    if (!item) return;
    double x0, y0, x1, y1, nowX, nowY;
    dataOfPixel(*frame, mouse.pressX, mouse.pressY, x0, y0);
    dataOfPixel(*frame, toX, toY, x1, y1);
    double x = mouse.dragFromX + (x1 - x0), y = mouse.dragFromY + (y1 - y0);
    for (const Dragable& d : figure.dragables)
        if (d.id == mouse.dragged && d.limited) {
            x = std::clamp(x, d.xmin, d.xmax);
            y = std::clamp(y, d.ymin, d.ymax);
        }
    anchorOf(*item, nowX, nowY);
    if (!std::isfinite(x - nowX) || !std::isfinite(y - nowY)) return;
    item->move(x - nowX, y - nowY);
    figure.changed();
}

void applyMouse(FigureSet& figures, Figure& figure, const FigureWindowEvent& event,
                FigureCallbacks* callbacks) {
    MouseState& mouse = MouseState::process();
    int number = figure.number();
    bool sameFigure = mouse.figure == number;
    mouse.figure = number;
    mouse.x = event.x;
    mouse.y = event.y;
    mouse.frame = std::max(0, frameUnder(figure, event.x, event.y));
    switch (event.mouse) {
    case Mouse::Move:
        if (!mouse.left) return callBack(figures, number, "onMove", nullptr, callbacks);
        if (mouse.dragged && sameFigure) {
            drag(figure, event.x, event.y);
            double pair[2] = {double(mouse.dragged), 0};
            return callBack(figures, number, "onDragable", pair, callbacks);
        }
        return callBack(figures, number, "onDrag", nullptr, callbacks);
    case Mouse::LeftDown: {
        mouse.left = mouse.event = true;
        mouse.pressFigure = number;
        mouse.pressX = event.x;
        mouse.pressY = event.y;
        mouse.pressFrame = mouse.frame;
        ++mouse.presses;
        mouse.dragged = hitDragable(figure, event.x, event.y, callbacks);
        Frame* frame = nullptr;
        if (PlotItem* item = mouse.dragged ? draggedItem(figure, frame) : nullptr)
            anchorOf(*item, mouse.dragFromX, mouse.dragFromY);
        if (mouse.dragged) {
            double pair[2] = {double(mouse.dragged), 0};
            callBack(figures, number, "onDragable", pair, callbacks);
        }
        return callBack(figures, number, "onLDown", nullptr, callbacks);
    }
    case Mouse::LeftUp:
        mouse.left = mouse.doubleClick = false;
        mouse.dragged = 0;
        return callBack(figures, number, "onLUp", nullptr, callbacks);
    case Mouse::LeftDouble:
        mouse.doubleClick = true;
        return callBack(figures, number, "onLDouble", nullptr, callbacks);
    case Mouse::RightDown:
        mouse.right = true;
        return callBack(figures, number, "onRDown", nullptr, callbacks);
    case Mouse::RightUp:
        mouse.right = false;
        return callBack(figures, number, "onRUp", nullptr, callbacks);
    }
}

void applyKey(FigureSet& figures, Figure& figure, const FigureWindowEvent& event,
              FigureCallbacks* callbacks) {
    MouseState& mouse = MouseState::process();
    using Key = FigureWindowEvent::Key;
    if (event.key == Key::Up) {
        mouse.key = 0;
        return;
    }
    mouse.key = event.code;
    // Keys below the letters (arrows, function keys, Enter) come as key
    // downs, characters as themselves.
    if (event.key == Key::Down && event.code >= 'A') return;
    double pair[2] = {double(event.code), 0};
    callBack(figures, figure.number(), "onKeyDown", pair, callbacks);
}

void applyControl(FigureSet& figures, Figure& figure, const FigureWindowEvent& event,
                  FigureCallbacks* callbacks) {
    MouseState::process().event = true;
    int index = 0;
    Frame* frame = figure.frameOfId(event.control, index);
    auto* button = frame ? dynamic_cast<ButtonItem*>(frame->item(index)) : nullptr;
    if (!button) return;
    double pair[2] = {double(event.control), double(button->state)};
    callBack(figures, figure.number(), "onButton", pair, callbacks);
}

} // namespace

MouseState& MouseState::process() {
    static MouseState state;
    return state;
}

int frameUnder(Figure& figure, int px, int py) {
    auto& frames = figure.frames();
    if (frames.size() == 1) return 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        frames[i]->computeTransform(figure.width, figure.height);
        PixelRect r = frames[i]->framePixels();
        if (px >= r.left && px < r.right && py >= r.top && py < r.bottom) return int(i);
    }
    return -1;
}

void dataOfPixel(const Frame& frame, int px, int py, double& x, double& y) {
    x = frame.dataX(px);
    y = frame.dataY(py);
}

void applyInputEvent(FigureSet& figures, const FigureWindowEvent& event,
                     FigureCallbacks* callbacks) {
    Figure* figure = figures.find(event.figure);
    if (!figure) return;
    for (auto& frame : figure->frames())
        frame->computeTransform(figure->width, figure->height);
    switch (event.kind) {
    case FigureWindowEvent::Kind::Mouse:
        return applyMouse(figures, *figure, event, callbacks);
    case FigureWindowEvent::Kind::Key:
        return applyKey(figures, *figure, event, callbacks);
    case FigureWindowEvent::Kind::Control:
        return applyControl(figures, *figure, event, callbacks);
    case FigureWindowEvent::Kind::Closed:
    case FigureWindowEvent::Kind::Placed:
        return;
    }
}

} // namespace vemlor
