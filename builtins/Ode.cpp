// Ordinary differential equations y' = f(t, y).
//
//   ode(y0, f, t0, t1, n)      GSL's driver with the Runge-Kutta-Prince-
//                              Dormand (8,9) stepper, absolute error 1e-6
//   odetest(y0, f, t0, t1, n)  the classical fourth-order Runge-Kutta
//                              method, one fixed step per output interval,
//                              to compare with
//
// f is a user function f(t, y) whose y is the state row (as long as y0) and
// whose result is the row of derivatives. The result has n + 1 rows, row k
// being [t_k, y(t_k)] with t_k = t0 + k (t1 - t0) / n.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_odeiv2.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

// f(t, y) on plain arrays, for GSL and for the fixed-step method alike.
class Derivatives {
  public:
    Derivatives(BuiltinContext& context, const Value& f, int dimension, const char* name)
        : context_(context), name_(name) {
        check(kindCode(f.kind) == KIND_FUNCREF, {}, "2nd argument must be a function");
        function_ = context.pairFunction(f);
        state_.setShapeKind(dimension, 1, KIND_NUMERIC);
    }

    void evaluate(double t, const double* y, double* dydt) {
        context_.checkInterrupt();
        time_.assignScalar(t);
        std::copy(y, y + state_.n, state_.data());
        const Value& result = (*function_)(time_, state_);
        check(result.n == state_.n && (result.type() == INTEGER_VAL || result.type() == DOUBLE_VAL),
              name_, "f(t, y) must give one real derivative per element of y");
        for (int i = 0; i < state_.n; ++i)
            dydt[i] = numberAt(result, i);
    }

    // The gsl_odeiv2_system entry: errors are kept, GSL is told to stop.
    static int call(double t, const double y[], double dydt[], void* self) noexcept {
        auto& d = *static_cast<Derivatives*>(self);
        try {
            d.evaluate(t, y, dydt);
            return GSL_SUCCESS;
        } catch (...) {
            d.error_ = std::current_exception();
            return GSL_EBADFUNC;
        }
    }
    void rethrowIfFailed() const {
        if (error_) std::rethrow_exception(error_);
    }

  private:
    BuiltinContext& context_;
    const char* name_;
    std::unique_ptr<PairFunction> function_;
    DoubleValue time_, state_;
    std::exception_ptr error_;
};

struct Problem {
    std::vector<double> y;
    double t0, t1;
    int steps;
};

Problem problemOf(std::span<const Value* const> arguments, const char* name) {
    const Value& y0 = *arguments[0];
    check(y0.type() == INTEGER_VAL || y0.type() == DOUBLE_VAL, name, "y0 must be real");
    check(y0.n > 0 && y0.isVector(), name, "y0 must be a vector");
    Problem p;
    for (int i = 0; i < y0.n; ++i)
        p.y.push_back(numberAt(y0, i));
    p.t0 = scalarOf(*arguments[2], name, "t0 must be a number");
    p.t1 = scalarOf(*arguments[3], name, "t1 must be a number");
    p.steps = wholeScalarOf(*arguments[4], name, "n must be a whole number of steps");
    check(p.steps >= 1, name, "n must be a whole number of steps");
    check(double(p.steps + 1) * double(p.y.size() + 1) < 1e8, name, "too many steps");
    return p;
}

class Table {
  public:
    Table(int rows, int columns) : rows_(rows) { out_.setShapeKind(rows * columns, rows, 0); }
    void setRow(int k, double t, const std::vector<double>& y) {
        out_[k] = t;
        for (size_t i = 0; i < y.size(); ++i)
            out_[int(i + 1) * rows_ + k] = y[i];
    }
    DoubleValue& value() { return out_; }

  private:
    int rows_;
    DoubleValue out_;
};

double timeAt(const Problem& p, int k) {
    return p.t0 + k * (p.t1 - p.t0) / p.steps;
}

void ode(BuiltinContext& context, std::span<const Value* const> arguments,
         std::span<ValuePtr> outputs) {
    Problem p = problemOf(arguments, "ode");
    Derivatives f(context, *arguments[1], int(p.y.size()), "ode");
    gsl_odeiv2_system system{&Derivatives::call, nullptr, p.y.size(), &f};
    std::unique_ptr<gsl_odeiv2_driver, void (*)(gsl_odeiv2_driver*)> driver(
        gsl_odeiv2_driver_alloc_y_new(&system, gsl_odeiv2_step_rk8pd, 1e-6, 1e-6, 0.0),
        gsl_odeiv2_driver_free);
    Table table(p.steps + 1, int(p.y.size()) + 1);
    double t = p.t0;
    table.setRow(0, t, p.y);
    for (int k = 1; k <= p.steps; ++k) {
        int status = gsl_odeiv2_driver_apply(driver.get(), &t, timeAt(p, k), p.y.data());
        f.rethrowIfFailed();
        check(status == GSL_SUCCESS, {}, "ODE failed");
        table.setRow(k, t, p.y);
    }
    resultAs<DoubleValue>(outputs[0]).takeFrom(table.value());
}

void odetest(BuiltinContext& context, std::span<const Value* const> arguments,
             std::span<ValuePtr> outputs) {
    Problem p = problemOf(arguments, "odetest");
    Derivatives f(context, *arguments[1], int(p.y.size()), "odetest");
    size_t m = p.y.size();
    std::vector<double> k1(m), k2(m), k3(m), k4(m), trial(m);
    auto along = [&](const std::vector<double>& slope, double factor) {
        for (size_t i = 0; i < m; ++i)
            trial[i] = p.y[i] + factor * slope[i];
        return trial.data();
    };
    Table table(p.steps + 1, int(m) + 1);
    table.setRow(0, p.t0, p.y);
    double h = (p.t1 - p.t0) / p.steps;
    for (int k = 1; k <= p.steps; ++k) {
        double t = timeAt(p, k - 1);
        f.evaluate(t, p.y.data(), k1.data());
        f.evaluate(t + h / 2, along(k1, h / 2), k2.data());
        f.evaluate(t + h / 2, along(k2, h / 2), k3.data());
        f.evaluate(t + h, along(k3, h), k4.data());
        for (size_t i = 0; i < m; ++i)
            p.y[i] += h / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]);
        table.setRow(k, timeAt(p, k), p.y);
    }
    resultAs<DoubleValue>(outputs[0]).takeFrom(table.value());
}

} // namespace

std::span<const BuiltinDefinition> odeTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("ode", ode, DOUBLE_VAL, 5, 5),
        defineBuiltin("odetest", odetest, DOUBLE_VAL, 5, 5),
    };
    return table;
}

} // namespace vemlor
