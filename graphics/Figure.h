// The figures of one interpreter instance: each a numbered list of frames
// with a current one, and the set with its current figure. A figure without
// a window has the client size a new figure window gets; `svgText` writes
// any figure, shown or not. With figure windows, every change is handed to
// the figure's window as a copy (see FigureWindows).
#pragma once

#include "graphics/Frame.h"
#include "graphics/Interaction.h"
#include "graphics/Style.h"
#include "platform/FigureWindows.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vemlor {

inline constexpr int kMaxFigureNumber = 128;
inline constexpr int kDefaultClientWidth = 570;
inline constexpr int kDefaultClientHeight = 406;

class FigureSet;

class Figure final : public FigureDrawing {
  public:
    Figure(int number, FigureSet* owner = nullptr);

    int number() const { return number_; }
    int width = kDefaultClientWidth; // client area in pixels
    int height = kDefaultClientHeight;
    int screenLeft = 600; // the window's place on the screen
    int screenTop = 15;

    std::vector<std::unique_ptr<Frame>>& frames() { return frames_; }
    Frame& currentFrame() { return *frames_[size_t(current_)]; }
    int currentFrameIndex() const { return current_; }
    void selectFrame(int index) { current_ = index; }
    // Makes the frame with exactly this rectangle current; otherwise a lone
    // frame covering the figure is replaced, or a new frame is appended.
    void selectFrameAt(const FractionRect& rect);
    // The frame of an item id and the item's index in it; the frame is null
    // when the id names none.
    Frame* frameOfId(int id, int& itemIndex);

    // The frames' transforms follow the figure's size and limits, and the
    // window, if any, shows the change.
    void changed();
    // Draws the figure as it is (the transforms follow the size given).
    void draw(Canvas& canvas, int drawWidth, int drawHeight) override;
    // The figure's window was closed: changes are no longer shown.
    void detach() { owner_ = nullptr; }
    // A copy for a window: it keeps its own frames and items.
    std::shared_ptr<FigureDrawing> snapshot() const;

    // The whole figure as an SVG document.
    std::string svgText();

    // The child controls (the figure's button items) laid out for a client
    // area of width × height: a row along the bottom-left corner.
    std::vector<FigureControl> controls(int layoutWidth, int layoutHeight) const override;
    std::vector<FigureMenu> menus() const override { return menuBar; }

    std::vector<Dragable> dragables;
    std::vector<FigureMenu> menuBar;

    // What its window still has to be told (kept by the owning set).
    bool unshown = true;
    bool raise = true;
    bool placeChanged = false;
    std::chrono::steady_clock::time_point shownAt;
    std::chrono::steady_clock::duration copyCost{};

  private:
    int number_;
    FigureSet* owner_; // null for a figure outside any set
    std::vector<std::unique_ptr<Frame>> frames_;
    int current_ = 0;
};

class FigureSet {
  public:
    // The figure of number n (1 ... 128), made current and created when
    // needed; 0 takes the smallest free number; -1 the current figure, or a
    // new one when there is none. Other numbers raise "number must be
    // between 0 and 128".
    Figure& select(int n);
    // Closes figure n, or every figure when n < 1.
    void close(int n);
    // Null when there is no figure.
    Figure* current() { return current_; }
    // The open figure of that number, or null.
    Figure* find(int number);
    // Makes the figure current without bringing it to the front (null: none).
    void setCurrent(Figure* figure) { current_ = figure; }
    // The current figure; raises "a figure is required but none was found".
    Figure& required();
    const std::vector<std::unique_ptr<Figure>>& figures() const { return figures_; }

    ColourLookup& colours() { return colours_; }

    // Windows to show the figures in; without them (null) figures are
    // models only.
    void attachWindows(FigureWindows* windows) { windows_ = windows; }
    bool hasWindows() const { return windows_ != nullptr; }
    // The screen figure windows are placed on.
    ScreenRect screen() const;
    // A changed figure is shown at once, or later when it was shown within
    // the last few milliseconds: a loop that changes a figure thousands of
    // times a second copies it for its window no more often than a screen
    // can show it. `flush` shows what is left.
    void changed(Figure& figure);
    void flush();
    // Applies what the user did to the windows: a closed window closes its
    // figure, a moved or resized one gives the figure its new place. Mouse,
    // key and control events wait for processInput.
    void takeWindowEvents();
    // Applies the waiting mouse, key and control events, calling the user's
    // callbacks; nothing when called from inside one of them.
    void processInput();
    void attachCallbacks(FigureCallbacks* callbacks) { callbacks_ = callbacks; }
    // Waits at most `milliseconds` for an event of the windows; false
    // without windows or when none came.
    bool waitForEvents(int milliseconds);

  private:
    void show(Figure& figure);

    std::vector<std::unique_ptr<Figure>> figures_; // in creation order
    Figure* current_ = nullptr;
    FigureWindows* windows_ = nullptr;
    FigureCallbacks* callbacks_ = nullptr;
    std::vector<FigureWindowEvent> waitingInput_;
    std::vector<std::unique_ptr<Figure>> retired_; // closed by the user, freed at a safe point
    bool processingInput_ = false;
    ColourLookup colours_;
};

} // namespace vemlor
