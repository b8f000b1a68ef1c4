// Frames: items, plot area and the data-to-pixel transform.
#include "graphics/Frame.h"

#include "core/Errors.h"

#include <algorithm>
#include <cmath>

namespace vemlor {

Frame::Frame() {
    items_.push_back(std::make_unique<BoxRel>());
}

int Frame::add(std::unique_ptr<PlotItem> item) {
    if (auto* label = dynamic_cast<TextLabel*>(item.get()))
        for (size_t i = 1; i < items_.size(); ++i) {
            auto* old = dynamic_cast<TextLabel*>(items_[i].get());
            if (old && old->x == label->x && old->y == label->y &&
                old->placement == label->placement) {
                items_[i] = std::move(item);
                return int(i);
            }
        }
    items_.push_back(std::move(item));
    return int(items_.size()) - 1;
}

PlotItem* Frame::item(int index) {
    if (index < 0 || index >= int(items_.size())) return nullptr;
    return items_[size_t(index)].get();
}

void Frame::clearItems() {
    items_.resize(std::min<size_t>(items_.size(), 1));
}

AxisTicks* Frame::findAxisTicks() {
    for (auto& item : items_)
        if (auto* ticks = dynamic_cast<AxisTicks*>(item.get())) return ticks;
    return nullptr;
}

AxisTicks& Frame::axisTicks() {
    if (AxisTicks* ticks = findAxisTicks()) return *ticks;
    add(std::make_unique<AxisTicks>());
    return static_cast<AxisTicks&>(*items_.back());
}

MainLabels& Frame::mainLabels() {
    for (auto& item : items_)
        if (auto* labels = dynamic_cast<MainLabels*>(item.get())) return *labels;
    add(std::make_unique<MainLabels>());
    return static_cast<MainLabels&>(*items_.back());
}

void Frame::setPlotArea(const FractionRect& area) {
    if (items_.empty()) raiseBug("bug? in Frame::setPlotArea: empty plotable[]");
    if (area.w == 0 && area.h == 0) return;
    if (area.w != 0) {
        plotArea.x = area.x;
        plotArea.w = area.w;
    }
    if (area.h != 0) {
        plotArea.y = area.y;
        plotArea.h = area.h;
    }
    if (auto* outline = dynamic_cast<BoxRel*>(items_[0].get())) {
        outline->x = plotArea.x;
        outline->y = plotArea.y;
        outline->width = plotArea.w;
        outline->height = plotArea.h;
    }
}

namespace {

// Slope and offset mapping [min, max] onto [from, to].
void axisTransform(double min, double max, double from, double to, double& a, double& b) {
    a = (to - from) / (max - min);
    b = (from * max - to * min) / (max - min);
}

// An edge in whole pixels, held where the conversion is defined.
int pixelEdge(double p) {
    return std::isfinite(p) ? int(std::clamp(p, -1e7, 1e7)) : 0;
}

void showableLogLimits(double& min, double& max) {
    if (max <= 0) max = 1e-10;
    if (min <= 0) min = max / 1e10;
}

} // namespace

void Frame::computeTransform(int width, int height) {
    double left = (rect.x + plotArea.x * rect.w) * width;
    double right = (rect.x + (plotArea.x + plotArea.w) * rect.w) * width;
    double bottom = height - (rect.y + plotArea.y * rect.h) * height;
    double top = height - (rect.y + (plotArea.y + plotArea.h) * rect.h) * height;
    if (!xLinear) showableLogLimits(xmin, xmax);
    if (!yLinear) showableLogLimits(ymin, ymax);
    double x0 = xLinear ? xmin : std::log(xmin), x1 = xLinear ? xmax : std::log(xmax);
    double y0 = yLinear ? ymin : std::log(ymin), y1 = yLinear ? ymax : std::log(ymax);
    axisTransform(x0, x1, left, right, ax_, bx_);
    axisTransform(y0, y1, bottom, top, ay_, by_);
    if (equalScale) {
        double s = std::min(ax_, -ay_);
        bx_ += (x1 + x0) * (ax_ - s) / 2;
        by_ += (y1 + y0) * (ay_ + s) / 2;
        ax_ = s;
        ay_ = -s;
    }
    plotPixels_ = {pixelEdge(left), pixelEdge(top), pixelEdge(right), pixelEdge(bottom)};
    framePixels_ = {pixelEdge(rect.x * width), pixelEdge(height - (rect.y + rect.h) * height),
                    pixelEdge((rect.x + rect.w) * width), pixelEdge(height - rect.y * height)};
}

double Frame::pixelX(double u) const {
    if (!xLinear) u = u > 0 ? std::log(u) : NAN;
    double p = ax_ * u + bx_;
    return std::isfinite(p) ? p : NAN;
}

double Frame::pixelY(double v) const {
    if (!yLinear) v = v > 0 ? std::log(v) : NAN;
    double p = ay_ * v + by_;
    return std::isfinite(p) ? p : NAN;
}

Frame::Frame(const Frame& other)
    : rect(other.rect), plotArea(other.plotArea), background(other.background), xmin(other.xmin),
      xmax(other.xmax), ymin(other.ymin), ymax(other.ymax), xLinear(other.xLinear),
      yLinear(other.yLinear), equalScale(other.equalScale), fixedLimits(other.fixedLimits),
      ax_(other.ax_), bx_(other.bx_), ay_(other.ay_), by_(other.by_),
      plotPixels_(other.plotPixels_), framePixels_(other.framePixels_) {
    items_.reserve(other.items_.size());
    for (const auto& item : other.items_)
        items_.push_back(item->clone());
}

std::unique_ptr<Frame> Frame::clone() const {
    return std::unique_ptr<Frame>(new Frame(*this));
}

double Frame::dataX(double px) const {
    double u = (px - bx_) / ax_;
    return xLinear ? u : std::exp(u);
}

double Frame::dataY(double py) const {
    double v = (py - by_) / ay_;
    return yLinear ? v : std::exp(v);
}

void Frame::draw(Canvas& canvas, int frameIndex) const {
    canvas.beginFrame(frameIndex, plotPixels_, framePixels_, background);
    for (const auto& item : items_)
        if (item->visible) item->draw(*this, canvas);
    canvas.endFrame();
}

} // namespace vemlor
