// [a, b, da, db, chi2, q] = slf(x, y [, sig [, show]]): the straight line
// y = a + b x through the points, with the errors of a and b, chi^2 and q,
// the probability of a chi^2 at least this large by chance. The console
// gets the line and a verdict on the fit.
//
// With sig (one error for all points or one per point) chi^2 is weighted by
// it. Without it, every point gets the common error that the scatter about
// the line implies, sqrt(sum of squared residuals / (N - 2)): chi^2 is then
// N - 2 by construction, and the verdict speaks of outliers only. A point
// is dubious when its residual exceeds 6 errors, or 4 with fewer than 1000
// points. Unless show is 0, the data (blue circles) and the line (red) are
// plotted into the current frame, as `plot` would.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/Fitting.h"
#include "builtins/PlotSupport.h"

#include "core/NumberFormat.h"

#include <gsl/gsl_sf_gamma.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

struct LineFit {
    double a = 0, b = 0, da = 0, db = 0, chi2 = 0, q = 1;
    int dubious = 0;
};

std::vector<double> numbers(const Value& v) {
    check(v.type() == INTEGER_VAL || v.type() == DOUBLE_VAL, "slf", "data must be real");
    std::vector<double> out(size_t(v.n));
    for (int i = 0; i < v.n; ++i)
        out[size_t(i)] = numberAt(v, i);
    return out;
}

// Weighted least squares with the centred abscissa, which keeps the sums
// well conditioned.
LineFit weightedFit(const std::vector<double>& x, const std::vector<double>& y,
                    const std::vector<double>& sig) {
    double ss = 0, sx = 0, sy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double w = 1 / (sig[i] * sig[i]);
        ss += w, sx += w * x[i], sy += w * y[i];
    }
    double centre = sx / ss, st2 = 0;
    LineFit fit;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = (x[i] - centre) / sig[i];
        st2 += t * t;
        fit.b += t * y[i] / sig[i];
    }
    check(st2 > 0, "slf", "all x are equal");
    fit.b /= st2;
    fit.a = (sy - sx * fit.b) / ss;
    fit.da = std::sqrt((1 + sx * sx / (ss * st2)) / ss);
    fit.db = std::sqrt(1 / st2);
    for (size_t i = 0; i < x.size(); ++i) {
        double r = (y[i] - fit.a - fit.b * x[i]) / sig[i];
        fit.chi2 += r * r;
    }
    return fit;
}

void countDubious(LineFit& fit, const std::vector<double>& x, const std::vector<double>& y,
                  const std::vector<double>& sig) {
    double limit = x.size() < 1000 ? 4 : 6;
    for (size_t i = 0; i < x.size(); ++i)
        if (std::fabs(y[i] - fit.a - fit.b * x[i]) / sig[i] > limit) ++fit.dubious;
}

std::string verdict(const LineFit& fit, int points) {
    std::string dubious = fit.dubious == 1  ? "1 dubious point"
                          : fit.dubious > 1 ? std::to_string(fit.dubious) + " dubious points. "
                                            : "";
    if (fit.q < 1e-6) return "q is extremely low: treat results with caution";
    if (fit.q < 0.001) {
        if (fit.dubious == 0) return "q is rather low. Has dy error been set too low?";
        if (fit.dubious * 10 < points) return "q is rather low. Query outliers?";
        return "low q and many outliers";
    }
    if (fit.q < 0.01)
        return fit.dubious == 0 ? "Unlikely result ... just acceptable"
                                : "Unlikely result, maybe owing to outliers";
    if (fit.chi2 < (points - 2) / 2) return "small chi^2 : data may be better than you think";
    return dubious;
}

void report(OutputSink& out, const LineFit& fit, int points) {
    auto shown = [](double v) { return formatDouble(v, 6); };
    out.print("Data and fitted line y = a + b x", true, PRINT_LITERAL);
    out.print("a = " + shown(fit.a) + " +/- " + shown(fit.da), true, PRINT_LITERAL);
    out.print("b = " + shown(fit.b) + " +/- " + shown(fit.db), true, PRINT_LITERAL);
    std::string text = verdict(fit, points);
    if (!text.empty()) out.print(text, true, PRINT_LITERAL);
}

// The data as points and the fitted line across their x range.
void drawFit(BuiltinContext& context, const LineFit& fit, const std::vector<double>& x,
             const std::vector<double>& y) {
    auto [low, high] = std::minmax_element(x.begin(), x.end());
    Series data{x, y, "bo", Series::Shape::Curve};
    Series line{
        {*low, *high}, {fit.a + fit.b * *low, fit.a + fit.b * *high}, "r-", Series::Shape::Curve};
    ValuePtr ids;
    plotSeries(context, {data, line}, AxisMode::Linear, false, std::span<ValuePtr>(&ids, 1));
}

void slf(BuiltinContext& context, std::span<const Value* const> arguments,
         std::span<ValuePtr> outputs) {
    std::vector<double> x = numbers(*arguments[0]), y = numbers(*arguments[1]);
    check(x.size() == y.size(), {}, "x and y must have same number of points");
    int n = int(x.size());
    check(n >= 2, "slf", "not enough points");
    const Value* sigArgument = arguments.size() > 2 ? arguments[2] : nullptr;
    bool given = sigArgument && sigArgument->n > 0;
    std::vector<double> sig = sigmasOf(sigArgument, n);
    LineFit fit = weightedFit(x, y, sig);
    check(n > 2, {}, "a must be positive for incomplete Gamma function");
    if (!given) {
        double common = std::sqrt(fit.chi2 / (n - 2));
        fit.da *= common, fit.db *= common;
        if (common > 0) {
            fit.chi2 = n - 2;
            sig.assign(size_t(n), common);
        }
    }
    countDubious(fit, x, y, sig);
    fit.q = gsl_sf_gamma_inc_Q(0.5 * (n - 2), 0.5 * fit.chi2);
    report(context.output(), fit, n);
    bool show = arguments.size() < 4 || numberAt(*arguments[3], 0) != 0;
    if (show) drawFit(context, fit, x, y);
    double results[] = {fit.a, fit.b, fit.da, fit.db, fit.chi2, fit.q};
    for (size_t k = 0; k < outputs.size() && k < 6; ++k)
        resultAs<DoubleValue>(outputs[k]).assignScalar(results[k]);
}

} // namespace

std::span<const BuiltinDefinition> lineFitTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("slf", slf, DOUBLE_VAL, 2, 4),
    };
    return table;
}

} // namespace vemlor
