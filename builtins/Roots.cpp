// fzero: a root of a function by Ridders' method, or the zero crossings of
// sampled data.
//
//   fzero(f, [x1, x2] [, tol])  a root inside the bracket [x1, x2]
//   fzero(f, x0 [, tol])        a bracket is searched around x0 first
//   fzero(y, x)                 every x where the samples y change sign,
//                               by linear interpolation, as a row
//
// Two scalar limits (fzero(f, 1, 2)) could be a bracket or a start and a
// tolerance, so they are refused. The tolerance is absolute, 1e-10 unless
// given; after 60 iterations the last estimate is returned with a console
// line.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/FunctionArgument.h"

#include <cmath>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

constexpr int kMaxIterations = 60;
constexpr double kNoEstimate = -1.234567e89;

bool opposite(double a, double b) {
    return (a < 0 && b > 0) || (a > 0 && b < 0);
}

struct Bracket {
    double x1, x2, f1, f2;
};

double ridders(CheckedFunction& f, Bracket b, double tol, OutputSink& out) {
    double estimate = kNoEstimate;
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        double xm = 0.5 * (b.x1 + b.x2), fm = f(xm);
        double s = std::sqrt(fm * fm - b.f1 * b.f2);
        if (s == 0) return estimate == kNoEstimate ? xm : estimate;
        double direction = b.f1 >= b.f2 ? 1.0 : -1.0;
        double x = xm + (xm - b.x1) * direction * fm / s;
        if (std::fabs(x - estimate) <= tol) return estimate;
        estimate = x;
        double fx = f(x);
        if (fx == 0) return x;
        if (opposite(fm, fx))
            b = {xm, x, fm, fx};
        else if (opposite(b.f1, fx))
            b = {b.x1, x, b.f1, fx};
        else
            b = {x, b.x2, fx, b.f2};
        if (std::fabs(b.x2 - b.x1) <= tol) return estimate;
    }
    out.print("fzero: max number of iterations exceeded", true, PRINT_LITERAL);
    return estimate;
}

// Steps away from x0 by 1, -2, 4, ... (cumulatively) until f changes sign;
// each of ten passes starts again at x0 with a tenth of the last first step.
// False when x0 itself is a root (b.x1 is then x0).
bool searchBracket(CheckedFunction& f, double x0, Bracket& b) {
    double f0 = f(x0);
    b = {x0, x0, f0, f0};
    if (f0 == 0) return false;
    double initialStep = 1.0;
    for (int pass = 0; pass < 10; ++pass, initialStep *= 0.1) {
        double x = x0, step = initialStep;
        for (int trial = 0; trial < 30; ++trial, step *= -2) {
            x += step;
            double fx = f(x);
            if (fx == 0 || opposite(f0, fx)) {
                b = x < x0 ? Bracket{x, x0, fx, f0} : Bracket{x0, x, f0, fx};
                return true;
            }
        }
    }
    raiseRuntime("couldn't find a zero-crossing");
}

double rootOf(BuiltinContext& context, std::span<const Value* const> arguments) {
    CheckedFunction f(context, *arguments[0], "fzero");
    check(arguments.size() >= 2 && arguments[1]->n > 0, {}, "fzero: empty x limit not allowed");
    const Value& limits = *arguments[1];
    check(limits.type() != LIST_VAL && limits.type() != COMPLEX_VAL && limits.n <= 2, "fzero",
          "invalid argument");
    if (arguments.size() >= 3 && limits.n == 1 && arguments[2]->n == 1)
        raiseRuntime("ambiguous arguments: use a vector xlim");
    check(arguments.size() <= 3, "fzero", "invalid argument");
    double tol =
        arguments.size() == 3 ? scalarOf(*arguments[2], "fzero", "invalid argument") : 1e-10;
    Bracket b;
    if (limits.n == 1) {
        if (!searchBracket(f, numberAt(limits, 0), b)) return b.x1;
    } else {
        b = {numberAt(limits, 0), numberAt(limits, 1), 0, 0};
        b.f1 = f(b.x1);
        if (b.f1 == 0) return b.x1;
        b.f2 = f(b.x2);
        if (b.f2 == 0) return b.x2;
        if (!opposite(b.f1, b.f2)) raiseRuntime("fzero: f(x1) and f(x2) have same sign");
    }
    return ridders(f, b, tol, context.output());
}

// The x of every sign change of y, interpolated linearly; a sample that is
// exactly 0 counts once.
void crossings(const Value& y, const Value& x, DoubleValue& out) {
    check(y.n == x.n, {}, "y,x have unequal lengths");
    check(y.n >= 2, {}, "not enough points");
    std::vector<double> found;
    for (int i = 0; i < y.n; ++i) {
        double yi = numberAt(y, i), xi = numberAt(x, i);
        if (yi == 0) {
            found.push_back(xi);
            continue;
        }
        if (i + 1 == y.n) break;
        double yn = numberAt(y, i + 1), xn = numberAt(x, i + 1);
        if (opposite(yi, yn)) found.push_back(xi - yi * (xn - xi) / (yn - yi));
    }
    out.setShapeKind(int(found.size()), 1, KIND_NUMERIC);
    for (size_t k = 0; k < found.size(); ++k)
        out[int(k)] = found[k];
}

bool isNumbers(const Value& v) {
    return v.type() != LIST_VAL && kindCode(v.kind) != KIND_FUNCREF;
}

void fzero(BuiltinContext& context, std::span<const Value* const> arguments,
           std::span<ValuePtr> outputs) {
    DoubleValue& out = resultAs<DoubleValue>(outputs[0]);
    if (isNumbers(*arguments[0])) {
        check(arguments.size() == 2 && isNumbers(*arguments[1]), {}, "not enough points");
        DoubleValue roots;
        crossings(*arguments[0], *arguments[1], roots);
        out.takeFrom(roots);
        return;
    }
    out.assignScalar(rootOf(context, arguments));
}

} // namespace

std::span<const BuiltinDefinition> rootsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("fzero", fzero, DOUBLE_VAL, 1, 5),
    };
    return table;
}

} // namespace vemlor
