// Tick choice and automatic limits.
//
// Ticks on a linear axis are whole multiples of their step, so that a range
// from -9 to 110 is marked 0, 20, ... 100 rather than -9, 11, 31, ...
#include "graphics/Ticks.h"

#include <algorithm>
#include <cmath>

namespace vemlor {

namespace {

struct StepChoice {
    double step;
    int subdivisions;
};

StepChoice chooseStep(double range) {
    double scale = std::pow(10.0, std::floor(std::log10(range)));
    int mantissa = int(std::lround(range / scale));
    if (mantissa <= 1) return {0.2 * scale, 4};
    if (mantissa <= 3) return {0.5 * scale, 5};
    if (mantissa <= 7) return {scale, 5};
    return {2 * scale, 4};
}

// The nearest number of one significant digit beyond x in the given
// direction (+1 up, -1 down).
double oneDigitBeyond(double x, int direction) {
    if (x == 0) return 0;
    double scale = std::pow(10.0, std::floor(std::log10(std::fabs(x))));
    double digits = x / scale;
    double rounded = direction > 0 ? std::ceil(digits - 1e-9) : std::floor(digits + 1e-9);
    return rounded * scale;
}

std::pair<double, double> linearLimits(double a, double b, bool yAxis) {
    double r = b - a;
    if (!std::isfinite(r)) return {a, b}; // data near the ends of the double range
    if (yAxis) {
        if (std::fabs(a) > 0.01 * r) a -= 0.1 * r;
        if (std::fabs(b) > 0.01 * r) b += 0.1 * r;
    }
    r = b - a;
    double tolerance = 0.02 * r;
    double up = oneDigitBeyond(b, +1), down = oneDigitBeyond(a, -1);
    if (up - b <= tolerance) b = up;
    if (a - down <= tolerance) a = down;
    if (a > 0 && b > 0 && a < 0.5 * (b - a)) a = 0;
    if (a < 0 && b < 0 && -b < 0.5 * (b - a)) b = 0;
    if (a == b) {
        double d = (std::fabs(a) + 1) / 2;
        a -= d;
        b += d;
    }
    return {a, b};
}

std::pair<double, double> logLimits(double a, double b, bool yAxis) {
    if (yAxis && a > 0 && b / a > 2) {
        a /= 1.1;
        b *= 1.1;
    }
    if (b <= 0) return {0.1, 1};
    if (a <= 0) return {b * 1e-10, b * 1.1};
    if (b / a < 5) return {oneDigitBeyond(a / 1.3, -1), oneDigitBeyond(b * 1.3, +1)};
    double top = std::pow(10.0, std::ceil(std::log10(b) - 1e-12));
    double bottom = std::pow(10.0, std::floor(std::log10(a) + 1e-12));
    return {bottom, top};
}

} // namespace

double TickPlan::tick(int k) const {
    return multiplicative ? first * std::pow(step, k) : first + k * step;
}

TickPlan linearTicks(double min, double max) {
    TickPlan plan;
    double range = max - min;
    if (!(range > 0) || !std::isfinite(range)) return plan;
    StepChoice choice = chooseStep(range);
    plan.step = choice.step;
    plan.subdivisions = choice.subdivisions;
    plan.minorStep = choice.step / choice.subdivisions;
    plan.first = std::floor(min / plan.step) * plan.step;
    if (min - plan.first > 1e-6 * range) plan.first += plan.step;
    plan.count = int(std::floor(range * 1.0000000001 / plan.step)) + 1;
    if (plan.tick(plan.count - 1) > max + 1e-6 * range) --plan.count;
    return plan;
}

TickPlan logarithmicTicks(double min, double max) {
    if (max <= 0) max = 1e-50;
    if (min <= 0) min = max * 1e-20;
    double decades = std::log10(max / min);
    int d = int(std::floor(decades + 1e-9));
    if (d < 2) {
        TickPlan plan = linearTicks(min, max);
        plan.subdivisions = 0;
        plan.minorStep = 0;
        return plan;
    }
    TickPlan plan;
    plan.multiplicative = true;
    plan.first = std::pow(10.0, std::ceil(std::log10(min) - 1e-9));
    if (d < 10) {
        plan.step = 10;
        plan.count = d + 1;
        plan.minorStep = 2;
        plan.subdivisions = 1;
    } else {
        plan.step = std::pow(10.0, std::ceil(d / 5.0));
        plan.count = 7;
        plan.minorStep = 10;
        plan.subdivisions = d / 5;
    }
    while (plan.count > 0 && plan.tick(plan.count - 1) > max * (1 + 1e-9))
        --plan.count;
    return plan;
}

std::pair<double, double> automaticLimits(double a, double b, bool yAxis, bool linear) {
    return linear ? linearLimits(a, b, yAxis) : logLimits(a, b, yAxis);
}

} // namespace vemlor
