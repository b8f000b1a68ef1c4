// Least-squares fits.
//
// [p, dp, chi2] = lsfit(f, x, y, p0 [, free [, sig [, maxiter]]]) fits the
// model f(x, p) (a user function of a scalar x and the parameter row p) to
// the points (x, y) by Levenberg-Marquardt: derivatives by forward steps of
// 1e-8, lambda from 0.001, ten times larger after a step that does not lower
// chi^2 (which is undone), ten times smaller after one that does. Four
// iterations that change chi^2 by less than 1e-6 max(1, chi^2) end it;
// otherwise after maxiter (1000) iterations the console says "did not
// converge". `free` is a 0/1 row over p (fixed parameters keep their start
// value and get error 0); sig is one error for all points or one per point,
// 1 when absent. dp are the square roots of the covariance diagonal.
//
// [a, b, da, db, chi2, q] = slf(x, y [, sig [, show]]) is in LineFit.cpp.
#include "builtins/Fitting.h"
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/LuForm.h"

#include <cmath>
#include <memory>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

constexpr double kDerivativeStep = 1e-8;
constexpr double kChangeTolerance = 1e-6;
constexpr int kQuietIterationsToStop = 4;

struct Data {
    std::vector<double> x, y, sig;
};

class Model {
  public:
    Model(BuiltinContext& context, const Value& f, const Value& p0) : context_(context) {
        check(kindCode(f.kind) == KIND_FUNCREF, {}, "1st argument must be a function");
        function_ = context.pairFunction(f);
        parameters_.assignConverted(p0);
        parameters_.kind = KIND_NUMERIC;
    }
    double operator()(double x, const std::vector<double>& p) {
        x_.assignScalar(x);
        std::copy(p.begin(), p.end(), parameters_.data());
        const Value& result = (*function_)(x_, parameters_);
        check(result.type() == INTEGER_VAL || result.type() == DOUBLE_VAL, "lsfit",
              "non-real result type not yet implemented");
        return numberAt(result, 0);
    }
    BuiltinContext& context() { return context_; }

  private:
    BuiltinContext& context_;
    std::unique_ptr<PairFunction> function_;
    DoubleValue x_, parameters_;
};

// The curvature matrix alpha (free x free, column-major), the gradient
// vector beta and chi^2 at p.
struct Linearisation {
    std::vector<double> alpha, beta;
    double chi2 = 0;
};

Linearisation linearise(Model& model, const Data& d, const std::vector<double>& p,
                        const std::vector<int>& free) {
    size_t m = free.size();
    Linearisation l{std::vector<double>(m * m, 0.0), std::vector<double>(m, 0.0), 0};
    std::vector<double> shifted = p, slope(m);
    for (size_t i = 0; i < d.x.size(); ++i) {
        model.context().checkInterrupt();
        double value = model(d.x[i], p);
        for (size_t j = 0; j < m; ++j) {
            size_t k = size_t(free[j]);
            shifted[k] = p[k] + kDerivativeStep;
            slope[j] = (model(d.x[i], shifted) - value) / kDerivativeStep;
            shifted[k] = p[k];
        }
        double weight = 1 / (d.sig[i] * d.sig[i]), residual = d.y[i] - value;
        for (size_t j = 0; j < m; ++j) {
            for (size_t k = 0; k <= j; ++k)
                l.alpha[k * m + j] += weight * slope[j] * slope[k];
            l.beta[j] += weight * residual * slope[j];
        }
        l.chi2 += weight * residual * residual;
    }
    for (size_t j = 0; j < m; ++j)
        for (size_t k = j + 1; k < m; ++k)
            l.alpha[k * m + j] = l.alpha[j * m + k];
    return l;
}

std::vector<double> realVector(const Value& v, const char* what) {
    check(v.type() == INTEGER_VAL || v.type() == DOUBLE_VAL, "lsfit",
          std::string(what) + " must be real");
    std::vector<double> out(size_t(v.n));
    for (int i = 0; i < v.n; ++i)
        out[size_t(i)] = numberAt(v, i);
    return out;
}

Data dataOf(std::span<const Value* const> arguments) {
    Data d{realVector(*arguments[1], "x"), realVector(*arguments[2], "y"), {}};
    check(d.x.size() == d.y.size(), {}, "x and y must have same number of points");
    d.sig = sigmasOf(arguments.size() > 5 ? arguments[5] : nullptr, int(d.x.size()));
    return d;
}

std::vector<int> freeParameters(std::span<const Value* const> arguments, int count) {
    std::vector<int> free;
    const Value* mask = arguments.size() > 4 ? arguments[4] : nullptr;
    check(!mask || mask->n == 0 || mask->n == count, "lsfit",
          "free must have one entry per parameter");
    for (int k = 0; k < count; ++k)
        if (!mask || mask->n == 0 || numberAt(*mask, k) != 0) free.push_back(k);
    return free;
}

struct Fit {
    std::vector<double> p;
    Linearisation at;
    bool converged = false;
};

Fit levenbergMarquardt(Model& model, const Data& d, std::vector<double> p,
                       const std::vector<int>& free, int maxIterations) {
    size_t m = free.size();
    Fit fit{p, linearise(model, d, p, free), false};
    double lambda = 0.001;
    int quiet = 0;
    for (int iteration = 0; iteration < maxIterations && m > 0; ++iteration) {
        std::vector<double> damped = fit.at.alpha, step = fit.at.beta;
        for (size_t j = 0; j < m; ++j)
            damped[j * m + j] *= 1 + lambda;
        LuForm(damped.data(), int(m), nullptr).solveInPlace(step.data(), 1);
        std::vector<double> trial = fit.p;
        for (size_t j = 0; j < m; ++j)
            trial[size_t(free[j])] += step[j];
        Linearisation next = linearise(model, d, trial, free);
        bool quietStep =
            std::fabs(next.chi2 - fit.at.chi2) < kChangeTolerance * std::max(1.0, fit.at.chi2);
        if (next.chi2 < fit.at.chi2) {
            lambda *= 0.1;
            fit.p = std::move(trial);
            fit.at = std::move(next);
        } else {
            lambda *= 10;
        }
        if (quietStep && ++quiet == kQuietIterationsToStop) {
            fit.converged = true;
            return fit;
        }
    }
    fit.converged = m == 0;
    return fit;
}

// Square roots of the covariance diagonal, the inverse of alpha.
std::vector<double> parameterErrors(const Fit& fit, const std::vector<int>& free, OutputSink& out) {
    std::vector<double> errors(fit.p.size(), 0.0);
    int m = int(free.size());
    if (m == 0) return errors;
    std::vector<double> covariance(size_t(m * m));
    LuForm(fit.at.alpha.data(), m, &out).inverse(covariance.data());
    for (int j = 0; j < m; ++j)
        errors[size_t(free[size_t(j)])] = std::sqrt(covariance[size_t(j * m + j)]);
    return errors;
}

void storeLike(const Value& shape, const std::vector<double>& numbers, ValuePtr& slot) {
    DoubleValue& out = resultAs<DoubleValue>(slot);
    out.setShapeKind(shape.n, shape.nrow, KIND_NUMERIC);
    for (int i = 0; i < shape.n; ++i)
        out[i] = numbers[size_t(i)];
}

void lsfit(BuiltinContext& context, std::span<const Value* const> arguments,
           std::span<ValuePtr> outputs) {
    const Value& p0 = *arguments[3];
    std::vector<double> start = realVector(p0, "p0");
    check(!start.empty(), "lsfit", "p0 must not be empty");
    Model model(context, *arguments[0], p0);
    Data d = dataOf(arguments);
    std::vector<int> free = freeParameters(arguments, p0.n);
    int maxIterations = 1000;
    if (arguments.size() > 6)
        maxIterations = wholeScalarOf(*arguments[6], "lsfit", "invalid iteration count");
    Fit fit = levenbergMarquardt(model, d, start, free, maxIterations);
    if (!fit.converged) context.output().print("did not converge", true, PRINT_LITERAL);
    storeLike(p0, fit.p, outputs[0]);
    if (outputs.size() > 1) storeLike(p0, parameterErrors(fit, free, context.output()), outputs[1]);
    if (outputs.size() > 2) resultAs<DoubleValue>(outputs[2]).assignScalar(fit.at.chi2);
}

} // namespace

std::vector<double> detail::sigmasOf(const Value* sig, int points) {
    if (!sig || sig->n == 0) return std::vector<double>(size_t(points), 1.0);
    check(sig->type() == INTEGER_VAL || sig->type() == DOUBLE_VAL, {},
          "sig size does not match number of data points");
    check(sig->isVector(), {}, "sig array has the wrong length");
    check(sig->n == 1 || sig->n == points, {}, "sig size does not match number of data points");
    std::vector<double> out(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
        out[size_t(i)] = numberAt(*sig, sig->n == 1 ? 0 : i);
        check(out[size_t(i)] > 0, {}, "sig must be positive");
    }
    return out;
}

std::span<const BuiltinDefinition> fittingTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("lsfit", lsfit, DOUBLE_VAL, 4, 7),
    };
    return table;
}

} // namespace vemlor
