// The mouse and the keyboard of the figure windows: one state for the whole
// process, shared by every figure, and what each reported event does to it,
// to the figure's dragable items and to the user's callback functions.
#pragma once

#include "core/Value.h"
#include "platform/FigureWindows.h"

#include <string>

namespace vemlor {

class Figure;
class FigureSet;
class Frame;

struct MouseState {
    int figure = 0; // the figure the pointer was last seen over
    int x = 0, y = 0;
    int frame = 0; // index of the frame under the pointer
    bool left = false, right = false;
    bool event = false;       // a press or a control since the flag was last read
    bool doubleClick = false; // cleared when the left button goes up
    int pressFigure = 0, pressX = 0, pressY = 0, pressFrame = 0;
    long presses = 0;                    // left presses so far, for the commands that wait for one
    int dragged = 0;                     // id of the item being dragged, 0 for none
    double dragFromX = 0, dragFromY = 0; // where it stood at the press, in data units
    int key = 0;                         // code of the key down, 0 once it is released
    ValuePtr stored;                     // setmouse's value
    ValuePtr handed;                     // the value handed to every callback

    // The one state of the process.
    static MouseState& process();
};

// The user functions events call: onLDown, onLUp, onRDown, onRUp, onLDouble,
// onMove, onDrag, onDragable, onKeyDown and onButton.
class FigureCallbacks {
  public:
    virtual ~FigureCallbacks() = default;
    virtual bool defines(const std::string& name) = 0;
    // Calls the function with the pointer position in data units and the
    // pair (null: an empty value); errors are reported, never thrown.
    virtual void call(const std::string& name, const double position[2], const double* pair) = 0;
    // Shows a message on the console.
    virtual void report(const std::string& message) = 0;
};

// A dragable item of a figure, with the area it may be dragged in.
struct Dragable {
    int id = 0;
    bool limited = false;
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// The index of the frame under a pixel: the first whose rectangle holds it,
// the only one of a figure with one frame; -1 for none.
int frameUnder(Figure& figure, int px, int py);

// A pixel of a frame in its data units.
void dataOfPixel(const Frame& frame, int px, int py, double& x, double& y);

// Applies one mouse, key or control event of a figure of the set.
void applyInputEvent(FigureSet& figures, const FigureWindowEvent& event,
                     FigureCallbacks* callbacks);

} // namespace vemlor
