// Figures and the set of them.
#include "graphics/Figure.h"

#include "core/Errors.h"
#include "graphics/SvgCanvas.h"

#include <algorithm>

namespace vemlor {

Figure::Figure(int number) : number_(number) {
    frames_.push_back(std::make_unique<Frame>());
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
    for (size_t i = 0; i < frames_.size(); ++i) {
        frames_[i]->computeTransform(width, height);
        frames_[i]->draw(canvas, int(i));
    }
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
        figures_.push_back(std::make_unique<Figure>(n));
        it = figures_.end() - 1;
    }
    current_ = it->get();
    return *current_;
}

void FigureSet::close(int n) {
    auto closing = [n](const std::unique_ptr<Figure>& f) { return n < 1 || f->number() == n; };
    if (current_ && (n < 1 || current_->number() == n)) current_ = nullptr;
    std::erase_if(figures_, closing);
}

Figure& FigureSet::required() {
    if (!current_) raiseRuntime("a figure is required but none was found");
    return *current_;
}

} // namespace vemlor
