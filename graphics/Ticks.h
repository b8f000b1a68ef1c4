// Axis arithmetic that needs no frame: where the ticks of an axis go and the
// limits a plot chooses by itself from the range of its data.
#pragma once

#include <utility>

namespace vemlor {

// The ticks of one axis. On a linear axis tick k lies at first + k × step;
// on a logarithmic one (multiplicative) at first × step^k. Minor ticks
// divide each step into `subdivisions` parts of minorStep (a factor on a
// logarithmic axis); no minor ticks when subdivisions is 0.
struct TickPlan {
    double first = 0;
    double step = 1;
    int count = 0;
    double minorStep = 0;
    int subdivisions = 0;
    bool multiplicative = false;

    double tick(int k) const;
};

TickPlan linearTicks(double min, double max);
TickPlan logarithmicTicks(double min, double max);

// The limits of an axis showing data from a to b; the y axis gets margins.
std::pair<double, double> automaticLimits(double a, double b, bool yAxis, bool linear);

} // namespace vemlor
