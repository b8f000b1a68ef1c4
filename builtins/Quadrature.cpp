// Definite integrals of a function argument.
//
//   integ(f, [a, b] [, tol])   GSL's CQUAD on a finite range; QAGI, QAGIU
//                              or QAGIL when a limit is infinite. tol is the
//                              absolute tolerance (1e-9), the relative one is
//                              1e-7. Reversed limits give the negated
//                              integral, equal limits 0.
//   qinteg(f, [a, b] [, tol [, maxlevels]])
//                              adaptive Simpson: an interval is halved until
//                              its two halves agree with it to 15 tol (the
//                              tolerance halving with each level, 1e-9 at
//                              first), at most maxlevels (20) times; a finite
//                              range a < b only.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/FunctionArgument.h"

#include <gsl/gsl_integration.h>

#include <cmath>
#include <memory>
#include <utility>

namespace vemlor {

namespace {

using namespace detail;

constexpr double kDefaultTolerance = 1e-9;
constexpr double kRelativeTolerance = 1e-7;
constexpr size_t kIntervals = 500;

struct Limits {
    double a, b;
};

Limits limitsOf(const Value& v) {
    check(v.type() != LIST_VAL && v.type() != COMPLEX_VAL && v.n == 2, {},
          "wrong number of x limits");
    Limits l{numberAt(v, 0), numberAt(v, 1)};
    check(!std::isnan(l.a) && !std::isnan(l.b), {}, "invalid argument");
    return l;
}

double toleranceOf(std::span<const Value* const> arguments, size_t position) {
    if (arguments.size() <= position) return kDefaultTolerance;
    const Value& tol = *arguments[position];
    check(tol.n > 0, {}, "illegal use of empty argument []");
    check(tol.type() != LIST_VAL && tol.type() != COMPLEX_VAL, {}, "invalid argument");
    return numberAt(tol, 0);
}

// The integral over a < b, at least one limit infinite.
double infiniteRange(gsl_function& f, Limits l, double tol) {
    auto deleter = [](gsl_integration_workspace* w) { gsl_integration_workspace_free(w); };
    std::unique_ptr<gsl_integration_workspace, decltype(deleter)> work(
        gsl_integration_workspace_alloc(kIntervals), deleter);
    double result = 0, error = 0;
    if (std::isinf(l.a) && std::isinf(l.b))
        gsl_integration_qagi(&f, tol, kRelativeTolerance, kIntervals, work.get(), &result, &error);
    else if (std::isinf(l.b))
        gsl_integration_qagiu(&f, l.a, tol, kRelativeTolerance, kIntervals, work.get(), &result,
                              &error);
    else
        gsl_integration_qagil(&f, l.b, tol, kRelativeTolerance, kIntervals, work.get(), &result,
                              &error);
    return result;
}

double finiteRange(gsl_function& f, Limits l, double tol) {
    auto deleter = [](gsl_integration_cquad_workspace* w) {
        gsl_integration_cquad_workspace_free(w);
    };
    std::unique_ptr<gsl_integration_cquad_workspace, decltype(deleter)> work(
        gsl_integration_cquad_workspace_alloc(kIntervals), deleter);
    double result = 0, error = 0;
    size_t evaluations = 0;
    gsl_integration_cquad(&f, l.a, l.b, tol, kRelativeTolerance, work.get(), &result, &error,
                          &evaluations);
    return result;
}

void integ(BuiltinContext& context, std::span<const Value* const> arguments,
           std::span<ValuePtr> outputs) {
    check(!arguments.empty(), {}, "1st argument must be a function");
    GuardedFunction guarded(context, *arguments[0], "integ");
    check(arguments.size() >= 2, {}, "wrong number of x limits");
    check(arguments.size() <= 3, "integ", "invalid argument");
    Limits l = limitsOf(*arguments[1]);
    double tol = toleranceOf(arguments, 2);
    double sign = 1;
    if (l.a > l.b) {
        std::swap(l.a, l.b);
        sign = -1;
    }
    double result = 0;
    if (l.a != l.b) {
        gsl_function f{&GuardedFunction::call, &guarded};
        result =
            std::isinf(l.a) || std::isinf(l.b) ? infiniteRange(f, l, tol) : finiteRange(f, l, tol);
        guarded.rethrowIfFailed();
    }
    resultAs<DoubleValue>(outputs[0]).assignScalar(sign * result);
}

// Simpson's rule on [a, b] from its end and middle values.
struct Panel {
    double a, b, fa, fm, fb, whole;
};

double simpson(double a, double b, double fa, double fm, double fb) {
    return (b - a) / 6 * (fa + 4 * fm + fb);
}

double adaptiveSimpson(CheckedFunction& f, const Panel& p, double tol, int levelsLeft) {
    double m = 0.5 * (p.a + p.b);
    double flm = f(0.5 * (p.a + m)), frm = f(0.5 * (m + p.b));
    double left = simpson(p.a, m, p.fa, flm, p.fm), right = simpson(m, p.b, p.fm, frm, p.fb);
    double difference = left + right - p.whole;
    if (std::fabs(difference) <= 15 * tol) return left + right + difference / 15;
    if (levelsLeft == 0) raiseRuntime("integ reached max iterations");
    return adaptiveSimpson(f, {p.a, m, p.fa, flm, p.fm, left}, tol / 2, levelsLeft - 1) +
           adaptiveSimpson(f, {m, p.b, p.fm, frm, p.fb, right}, tol / 2, levelsLeft - 1);
}

void qinteg(BuiltinContext& context, std::span<const Value* const> arguments,
            std::span<ValuePtr> outputs) {
    CheckedFunction f(context, *arguments[0], "qinteg");
    for (const Value* argument : arguments.subspan(1))
        check(argument->n > 0, {}, "missing parameter value");
    check(arguments[1]->n == 2, {}, "missing parameter value");
    Limits l = limitsOf(*arguments[1]);
    check(std::isfinite(l.a) && std::isfinite(l.b), {}, "infinite limits not allowed here");
    check(l.b > l.a, {}, "range has upper limit at or below lower limit");
    double tol = toleranceOf(arguments, 2);
    int levels = 20;
    if (arguments.size() > 3) levels = wholeScalarOf(*arguments[3], "qinteg", "invalid argument");
    check(levels >= 0 && levels <= 60, "qinteg", "invalid argument");
    double fa = f(l.a), fm = f(0.5 * (l.a + l.b)), fb = f(l.b);
    Panel whole{l.a, l.b, fa, fm, fb, simpson(l.a, l.b, fa, fm, fb)};
    resultAs<DoubleValue>(outputs[0]).assignScalar(adaptiveSimpson(f, whole, tol, levels));
}

} // namespace

std::span<const BuiltinDefinition> quadratureTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("integ", integ, DOUBLE_VAL, 0, kUnlimitedArgs),
        defineBuiltin("qinteg", qinteg, DOUBLE_VAL, 2, 4),
    };
    return table;
}

} // namespace vemlor
