// Minima of a function of one variable.
//
//   fminbrac(f, a [, b])      the row [a, b, c], a < c, with f(b) at most
//                             f(a) and f(c): a bracket of a minimum, found by
//                             golden-section expansion from a and b
//                             (b = a + 0.01 when absent) with parabolic steps
//   fmin(f, a [, b])          the position of a minimum, by Brent's method on
//   [xm, fm] = fmin(...)      that bracket; fm is the value there
//
// A function that falls for ever (f(x) = -x) never gets bracketed: the
// expansion gives up with "could not bracket a minimum" once it leaves the
// finite numbers or after a few thousand steps.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/FunctionArgument.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vemlor {

namespace {

using namespace detail;

constexpr double kGold = 1.618034;
constexpr double kParabolicLimit = 100.0;
constexpr double kTiny = 1e-20;
constexpr int kMaxExpansions = 5000;

constexpr double kGoldenSection = 0.381966;
constexpr double kRelativeTolerance = 1e-8;
constexpr double kAbsoluteFloor = 2.220446049250313e-19;
constexpr int kMaxIterations = 100;

double withSign(double magnitude, double sign) {
    return sign >= 0 ? std::fabs(magnitude) : -std::fabs(magnitude);
}

struct Triple {
    double a, b, c;
    double fa, fb, fc;
};

// A parabola through (a, fa), (b, fb), (c, fc): its vertex, the denominator
// kept away from 0.
double parabolicStep(const Triple& t) {
    double r = (t.b - t.a) * (t.fb - t.fc);
    double q = (t.b - t.c) * (t.fb - t.fa);
    double denominator = 2 * withSign(std::max(std::fabs(q - r), kTiny), q - r);
    return t.b - ((t.b - t.c) * q - (t.b - t.a) * r) / denominator;
}

Triple bracketMinimum(CheckedFunction& f, double a, double b, const char* name) {
    Triple t{a, b, 0, f(a), f(b), 0};
    if (t.fb > t.fa) {
        std::swap(t.a, t.b);
        std::swap(t.fa, t.fb);
    }
    t.c = t.b + kGold * (t.b - t.a);
    t.fc = f(t.c);
    for (int step = 0; t.fb > t.fc; ++step) {
        check(step < kMaxExpansions && std::isfinite(t.c) && std::isfinite(t.fc), name,
              "could not bracket a minimum");
        double u = parabolicStep(t), fu;
        double ulim = t.b + kParabolicLimit * (t.c - t.b);
        if ((t.b - u) * (u - t.c) > 0) {
            fu = f(u);
            if (fu < t.fc) return {t.b, u, t.c, t.fb, fu, t.fc};
            if (fu > t.fb) return {t.a, t.b, u, t.fa, t.fb, fu};
            u = t.c + kGold * (t.c - t.b);
            fu = f(u);
        } else if ((t.c - u) * (u - ulim) > 0) {
            fu = f(u);
            if (fu < t.fc) {
                t.b = t.c;
                t.c = u;
                u = t.c + kGold * (t.c - t.b);
                t.fb = t.fc;
                t.fc = fu;
                fu = f(u);
            }
        } else if ((u - ulim) * (ulim - t.c) >= 0) {
            u = ulim;
            fu = f(u);
        } else {
            u = t.c + kGold * (t.c - t.b);
            fu = f(u);
        }
        t = {t.b, t.c, u, t.fb, t.fc, fu};
    }
    return t;
}

struct Minimum {
    double x, fx;
};

// Brent's method: parabolic interpolation where it behaves, golden
// sections where it does not.
Minimum brent(CheckedFunction& f, const Triple& t) {
    double a = std::min(t.a, t.c), b = std::max(t.a, t.c);
    double x = t.b, w = t.b, v = t.b, fx = t.fb, fw = t.fb, fv = t.fb;
    double d = 0, e = 0;
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        double xm = 0.5 * (a + b);
        double tol1 = kRelativeTolerance * std::fabs(x) + kAbsoluteFloor, tol2 = 2 * tol1;
        if (std::fabs(x - xm) <= tol2 - 0.5 * (b - a)) return {x, fx};
        bool golden = true;
        if (std::fabs(e) > tol1) {
            double r = (x - w) * (fx - fv), q = (x - v) * (fx - fw);
            double p = (x - v) * q - (x - w) * r;
            q = 2 * (q - r);
            if (q > 0) p = -p;
            q = std::fabs(q);
            double previous = e;
            e = d;
            if (std::fabs(p) < std::fabs(0.5 * q * previous) && p > q * (a - x) &&
                p < q * (b - x)) {
                d = p / q;
                double u = x + d;
                if (u - a < tol2 || b - u < tol2) d = withSign(tol1, xm - x);
                golden = false;
            }
        }
        if (golden) {
            e = x >= xm ? a - x : b - x;
            d = kGoldenSection * e;
        }
        double u = std::fabs(d) >= tol1 ? x + d : x + withSign(tol1, d);
        double fu = f(u);
        if (fu <= fx) {
            (u >= x ? a : b) = x;
            v = w, fv = fw, w = x, fw = fx, x = u, fx = fu;
        } else {
            (u < x ? a : b) = u;
            if (fu <= fw || w == x) {
                v = w, fv = fw, w = u, fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u, fv = fu;
            }
        }
    }
    raiseRuntime("max number of iterations exceeded in function minimisation");
}

Triple bracketFromArguments(CheckedFunction& f, std::span<const Value* const> arguments,
                            const char* name) {
    double a = scalarOf(*arguments[1], name, "invalid argument");
    double b = arguments.size() > 2 ? scalarOf(*arguments[2], name, "invalid argument") : a + 0.01;
    check(a != b, name, "invalid argument");
    return bracketMinimum(f, a, b, name);
}

void fminbrac(BuiltinContext& context, std::span<const Value* const> arguments,
              std::span<ValuePtr> outputs) {
    CheckedFunction f(context, *arguments[0], "fminbrac");
    Triple t = bracketFromArguments(f, arguments, "fminbrac");
    if (t.a > t.c) std::swap(t.a, t.c);
    DoubleValue& out = resultAs<DoubleValue>(outputs[0]);
    out.setShapeKind(3, 1, KIND_NUMERIC);
    out[0] = t.a;
    out[1] = t.b;
    out[2] = t.c;
}

void fmin(BuiltinContext& context, std::span<const Value* const> arguments,
          std::span<ValuePtr> outputs) {
    CheckedFunction f(context, *arguments[0], "fmin1d");
    Minimum m = brent(f, bracketFromArguments(f, arguments, "fmin1d"));
    resultAs<DoubleValue>(outputs[0]).assignScalar(m.x);
    if (outputs.size() > 1) resultAs<DoubleValue>(outputs[1]).assignScalar(m.fx);
}

} // namespace

std::span<const BuiltinDefinition> minimizeTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("fminbrac", fminbrac, DOUBLE_VAL, 2, 3),
        defineBuiltin("fmin", fmin, DOUBLE_VAL, 2, 3),
    };
    return table;
}

} // namespace vemlor
