// The figures of one interpreter instance: each a numbered list of frames
// with a current one, and the set with its current figure. A figure without
// a window has the client size a new figure window gets; `svgText` writes
// any figure, shown or not.
#pragma once

#include "graphics/Frame.h"
#include "graphics/Style.h"

#include <memory>
#include <string>
#include <vector>

namespace vemlor {

inline constexpr int kMaxFigureNumber = 128;
inline constexpr int kDefaultClientWidth = 570;
inline constexpr int kDefaultClientHeight = 406;

class Figure {
  public:
    explicit Figure(int number);

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

    // The whole figure as an SVG document.
    std::string svgText();

  private:
    int number_;
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
    // The current figure; raises "a figure is required but none was found".
    Figure& required();
    const std::vector<std::unique_ptr<Figure>>& figures() const { return figures_; }

    ColourLookup& colours() { return colours_; }

  private:
    std::vector<std::unique_ptr<Figure>> figures_; // in creation order
    Figure* current_ = nullptr;
    ColourLookup colours_;
};

} // namespace vemlor
