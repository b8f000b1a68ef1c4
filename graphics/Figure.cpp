// Figures and the set of them.
#include "graphics/Figure.h"

#include "core/Errors.h"
#include "graphics/SvgCanvas.h"

#include <algorithm>
#include <new>

namespace vemlor {

namespace {

// Copying a figure for its window costs about as much as its data; copies
// cheaper than this are made on every change, dearer ones at most once in
// ten times their cost.
constexpr auto kFreeCopy = std::chrono::microseconds(200);
constexpr int kDefaultScreenWidth = 1920;
constexpr int kDefaultScreenHeight = 1080;

// What a window shows: the frames as they were when the figure changed.
class FigureSnapshot final : public FigureDrawing {
  public:
    explicit FigureSnapshot(const std::vector<std::unique_ptr<Frame>>& frames) {
        frames_.reserve(frames.size());
        for (const auto& frame : frames)
            frames_.push_back(frame->clone());
    }
    FigureSnapshot(const Figure& figure, const std::vector<std::unique_ptr<Frame>>& frames)
        : FigureSnapshot(frames) {
        menus_ = figure.menuBar;
        controls_ = figure.controls(0, 0);
    }
    void draw(Canvas& canvas, int width, int height) override {
        for (size_t i = 0; i < frames_.size(); ++i) {
            frames_[i]->computeTransform(width, height);
            frames_[i]->draw(canvas, int(i));
        }
    }
    std::vector<FigureControl> controls(int width, int height) const override {
        std::vector<FigureControl> placed = controls_;
        for (FigureControl& control : placed) {
            control.place.top += height;
            control.place.bottom += height;
        }
        (void)width;
        return placed;
    }
    std::vector<FigureMenu> menus() const override { return menus_; }

  private:
    std::vector<std::unique_ptr<Frame>> frames_;
    std::vector<FigureControl> controls_; // placed for a height of 0
    std::vector<FigureMenu> menus_;
};

constexpr int kControlHeight = 24;
constexpr int kControlGap = 4;

} // namespace

Figure::Figure(int number, FigureSet* owner) : number_(number), owner_(owner) {
    frames_.push_back(std::make_unique<Frame>());
}

void Figure::changed() {
    for (auto& frame : frames_)
        frame->computeTransform(width, height);
    if (owner_) owner_->changed(*this);
}

void Figure::draw(Canvas& canvas, int drawWidth, int drawHeight) {
    for (size_t i = 0; i < frames_.size(); ++i) {
        frames_[i]->computeTransform(drawWidth, drawHeight);
        frames_[i]->draw(canvas, int(i));
    }
}

std::shared_ptr<FigureDrawing> Figure::snapshot() const {
    return std::make_shared<FigureSnapshot>(*this, frames_);
}

std::vector<FigureControl> Figure::controls(int, int layoutHeight) const {
    std::vector<FigureControl> placed;
    int left = kControlGap;
    for (size_t f = 0; f < frames_.size(); ++f) {
        const auto& items = frames_[f]->items();
        for (size_t i = 0; i < items.size(); ++i) {
            auto* button = dynamic_cast<const ButtonItem*>(items[i].get());
            if (!button) continue;
            int width = std::max(60, 8 * int(button->label.size()) + 16);
            int top = layoutHeight - kControlHeight - kControlGap;
            placed.push_back({int(f) * kItemsPerFrame + int(i),
                              button->type,
                              button->label,
                              {left, top, left + width, top + kControlHeight},
                              button->text});
            left += width + kControlGap;
        }
    }
    return placed;
}

void Figure::selectFrameAt(const FractionRect& rect) {
    for (size_t i = 0; i < frames_.size(); ++i)
        if (frames_[i]->rect == rect) {
            current_ = int(i);
            return;
        }
    auto frame = std::make_unique<Frame>();
    frame->rect = rect;
    if (frames_.size() == 1 && frames_[0]->rect == FractionRect{}) {
        frames_[0] = std::move(frame);
        current_ = 0;
        return;
    }
    frames_.push_back(std::move(frame));
    current_ = int(frames_.size()) - 1;
}

Frame* Figure::frameOfId(int id, int& itemIndex) {
    if (id < 0) return nullptr;
    int frame = id / kItemsPerFrame;
    itemIndex = id % kItemsPerFrame;
    if (frame >= int(frames_.size())) return nullptr;
    return frames_[size_t(frame)].get();
}

std::string Figure::svgText() {
    SvgCanvas canvas(width, height);
    draw(canvas, width, height);
    return canvas.finish();
}

Figure& FigureSet::select(int n) {
    if (n == -1) {
        if (current_) return *current_;
        n = 0;
    }
    if (n < 0 || n > kMaxFigureNumber) raiseRuntime("figure", "number must be between 0 and 128");
    auto numbered = [this](int k) {
        return std::find_if(figures_.begin(), figures_.end(),
                            [k](const auto& f) { return f->number() == k; });
    };
    if (n == 0) {
        n = 1;
        while (n <= kMaxFigureNumber && numbered(n) != figures_.end())
            ++n;
        if (n > kMaxFigureNumber) raiseRuntime("figure", "number must be between 0 and 128");
    }
    auto it = numbered(n);
    if (it == figures_.end()) {
        figures_.push_back(std::make_unique<Figure>(n, this));
        it = figures_.end() - 1;
    }
    current_ = it->get();
    current_->raise = true;
    return *current_;
}

void FigureSet::close(int n) {
    auto closing = [n](const std::unique_ptr<Figure>& f) { return n < 1 || f->number() == n; };
    if (current_ && (n < 1 || current_->number() == n)) current_ = nullptr;
    if (windows_)
        for (const auto& f : figures_)
            if (closing(f)) windows_->close(f->number());
    std::erase_if(figures_, closing);
}

Figure* FigureSet::find(int number) {
    for (const auto& f : figures_)
        if (f->number() == number) return f.get();
    return nullptr;
}

ScreenRect FigureSet::screen() const {
    if (windows_) return windows_->screen();
    return {0, 0, kDefaultScreenWidth, kDefaultScreenHeight};
}

void FigureSet::changed(Figure& figure) {
    figure.unshown = true;
    if (!windows_) return;
    if (figure.copyCost < kFreeCopy ||
        std::chrono::steady_clock::now() - figure.shownAt >= 10 * figure.copyCost)
        show(figure);
}

void FigureSet::show(Figure& figure) {
    ScreenRect place{figure.screenLeft, figure.screenTop, figure.width, figure.height};
    if (figure.placeChanged) windows_->place(figure.number(), place);
    auto start = std::chrono::steady_clock::now();
    std::shared_ptr<FigureDrawing> copy = figure.snapshot();
    figure.shownAt = std::chrono::steady_clock::now();
    figure.copyCost = figure.shownAt - start;
    windows_->show(figure.number(), std::move(copy), place, figure.raise);
    figure.unshown = figure.raise = figure.placeChanged = false;
}

void FigureSet::flush() {
    if (!windows_) return;
    takeWindowEvents();
    retired_.clear();
    bool moves = std::any_of(figures_.begin(), figures_.end(),
                             [](const auto& f) { return !f->dragables.empty(); });
    for (const char* name : {"onMove", "onDrag", "onDragable"})
        moves = moves || (callbacks_ && callbacks_->defines(name));
    windows_->wantMoves(moves);
    try {
        for (const auto& f : figures_)
            if (f->unshown) show(*f);
    } catch (const std::bad_alloc&) {
        // No memory for a copy: the window keeps showing the previous state.
    }
}

void FigureSet::takeWindowEvents() {
    if (!windows_) return;
    for (const FigureWindowEvent& event : windows_->takeEvents()) {
        if (event.kind != FigureWindowEvent::Kind::Closed &&
            event.kind != FigureWindowEvent::Kind::Placed) {
            waitingInput_.push_back(event);
            continue;
        }
        auto it = std::find_if(figures_.begin(), figures_.end(),
                               [&](const auto& f) { return f->number() == event.figure; });
        if (it == figures_.end()) continue;
        Figure& f = **it;
        if (event.kind == FigureWindowEvent::Kind::Closed) {
            // A command running now may hold the figure: it stays alive,
            // cut off from its window, until the next safe point.
            if (current_ == &f) current_ = nullptr;
            f.detach();
            retired_.push_back(std::move(*it));
            figures_.erase(it);
            continue;
        }
        f.screenLeft = event.place.left;
        f.screenTop = event.place.top;
        f.width = std::max(1, event.place.width);
        f.height = std::max(1, event.place.height);
        for (auto& frame : f.frames())
            frame->computeTransform(f.width, f.height);
    }
}

void FigureSet::processInput() {
    if (processingInput_) return;
    processingInput_ = true;
    try {
        takeWindowEvents();
        retired_.clear();
        // A callback may make more events wait; they are taken in turn.
        for (size_t k = 0; k < waitingInput_.size(); ++k) {
            FigureWindowEvent event = waitingInput_[k];
            applyInputEvent(*this, event, callbacks_);
        }
    } catch (...) {
        waitingInput_.clear();
        processingInput_ = false;
        throw;
    }
    waitingInput_.clear();
    processingInput_ = false;
}

bool FigureSet::waitForEvents(int milliseconds) {
    return windows_ && windows_->waitForEvents(milliseconds);
}

Figure& FigureSet::required() {
    if (!current_) raiseRuntime("a figure is required but none was found");
    return *current_;
}

} // namespace vemlor
