// Figure windows as the engine sees them. The interpreter owns its figures
// and changes them on its own thread; a window shows a copy handed over with
// each change (a FigureDrawing), which it may draw at any size and at any
// time, and reports what the user did to it as events that the interpreter
// takes when it next looks at its figures.
#pragma once

#include "platform/Canvas.h"

#include <memory>
#include <string>
#include <vector>

namespace vemlor {

// A push button, text field or label that a figure carries as a child
// window; `id` is the plot item's id.
struct FigureControl {
    int id = 0;
    char type = 'b'; // 'e' a text field, 'h' a label, anything else a push button
    std::string label;
    PixelRect place;
    std::string command; // typed into the console when a push button is pressed
};

// A drop-down menu of a figure window; choosing item k types commands[k]
// into the console.
struct FigureMenu {
    std::string heading;
    std::vector<std::string> items;
    std::vector<std::string> commands;
};

class FigureDrawing {
  public:
    virtual ~FigureDrawing() = default;
    // Draws every frame for a client area of width × height pixels.
    virtual void draw(Canvas& canvas, int width, int height) = 0;
    // The child controls, laid out for a client area of width × height.
    virtual std::vector<FigureControl> controls(int /*width*/, int /*height*/) const { return {}; }
    virtual std::vector<FigureMenu> menus() const { return {}; }
};

// A window's client area on the screen, in pixels from the top-left corner.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What the user did to a figure window. Pointer positions are pixels of the
// client area.
struct FigureWindowEvent {
    enum class Kind { Closed, Placed, Mouse, Key, Control };
    enum class Mouse { Move, LeftDown, LeftUp, LeftDouble, RightDown, RightUp };
    enum class Key { Down, Up, Character };
    Kind kind = Kind::Closed;
    int figure = 0;
    ScreenRect place; // Placed: where the client area is now
    Mouse mouse = Mouse::Move;
    int x = 0, y = 0;    // Mouse
    Key key = Key::Down; // Key
    int code = 0;        // Key: the key's code (Down) or character (Character)
    int control = 0;     // Control: the control's id
};

class FigureWindows {
  public:
    virtual ~FigureWindows() = default;
    // Shows figure `number` as `drawing`, opening its window at `place` when
    // it has none; `raise` brings it to the front.
    virtual void show(int number, std::shared_ptr<FigureDrawing> drawing, const ScreenRect& place,
                      bool raise) = 0;
    // Moves and sizes the window of figure `number`, if open.
    virtual void place(int number, const ScreenRect& place) = 0;
    virtual void close(int number) = 0;
    // What happened to the windows since the last call, oldest first.
    virtual std::vector<FigureWindowEvent> takeEvents() = 0;
    // Waits until an event is there to be taken, at most `milliseconds`;
    // false when none came.
    virtual bool waitForEvents(int milliseconds) = 0;
    // Whether pointer moves concern anyone (a callback of the moving mouse
    // or a dragable item): without them, moves only update the pointer's
    // place, read when the state is polled.
    virtual void wantMoves(bool /*wanted*/) {}
    // The screen's size (left and top 0).
    virtual ScreenRect screen() const = 0;
};

// Figures as images in files.
class ImageWriter {
  public:
    virtual ~ImageWriter() = default;
    // Writes the drawing at width × height pixels as a PNG file; returns an
    // empty text on success, otherwise why it failed.
    virtual std::string writePng(const std::string& path, FigureDrawing& drawing, int width,
                                 int height) = 0;
};

} // namespace vemlor
