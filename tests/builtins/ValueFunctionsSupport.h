// Calls of the value built-ins by name, through the handlers the registry
// hands out, with the test context of BuiltinTestSupport.h; and compact
// ways to build arguments and read results.
#pragma once

#include "BuiltinTestSupport.h"
#include "core/Errors.h"

#include <functional>
#include <span>

namespace vemlor::test {

template <class H> H handlerOf(const std::string& name) {
    return reinterpret_cast<H>(builtin(name).handler);
}

inline std::unique_ptr<DoubleValue> row(std::initializer_list<double> xs) {
    return matrix<DoubleValue>(1, int(xs.size()), xs);
}
inline std::unique_ptr<DoubleValue> column(std::initializer_list<double> xs) {
    return matrix<DoubleValue>(int(xs.size()), 1, xs);
}
inline std::unique_ptr<IntValue> intRow(std::initializer_list<int> xs) {
    return matrix<IntValue>(1, int(xs.size()), xs);
}
inline std::unique_ptr<DoubleValue> scalar(double x) {
    return std::make_unique<DoubleValue>(x);
}

// Elements in storage order, as doubles.
inline std::vector<double> elements(const Value& v) {
    std::vector<double> out;
    for (int i = 0; i < v.n; ++i) {
        if (v.type() == INTEGER_VAL)
            out.push_back(static_cast<const IntValue&>(v)[i]);
        else
            out.push_back(static_cast<const DoubleValue&>(v)[i]);
    }
    return out;
}

inline testing::AssertionResult hasShape(const Value& v, int n, int nrow) {
    if (v.n == n && v.nrow == nrow) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "shape n=" << v.n << " nrow=" << v.nrow << ", expected n=" << n << " nrow=" << nrow;
}

// The message of the RuntimeError that `action` raises (empty if none).
inline std::string runtimeMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.what();
    }
    return {};
}

template <class V> std::vector<double> elements(const std::unique_ptr<V>& v) {
    return elements(*v);
}
template <class V> testing::AssertionResult hasShape(const std::unique_ptr<V>& v, int n, int nrow) {
    return hasShape(*v, n, nrow);
}

struct ValueCalls {
    TestContext context;

    std::unique_ptr<DoubleValue> toDouble(const std::string& name, const Value& argument) {
        auto out = std::make_unique<DoubleValue>();
        handlerOf<handler::ValueToDoubleValue>(name)(context, argument, *out);
        return out;
    }
    std::unique_ptr<IntValue> toInt(const std::string& name, const Value& argument) {
        auto out = std::make_unique<IntValue>();
        handlerOf<handler::ValueToIntValue>(name)(context, argument, *out);
        return out;
    }
    ValuePtr twoArg(const std::string& name, const Value& first, const Value* second = nullptr) {
        ValuePtr out;
        handlerOf<handler::OneOrTwo>(name)(context, first, second, out);
        return out;
    }
    std::unique_ptr<DoubleValue> functor(const std::string& name, const Value& parameters,
                                         const Value& x) {
        auto out = std::make_unique<DoubleValue>();
        handlerOf<handler::Functor>(name)(context, parameters, x, *out);
        return out;
    }
    std::vector<ValuePtr> general(const std::string& name, std::vector<const Value*> arguments,
                                  size_t outputs = 1) {
        std::vector<ValuePtr> out(outputs);
        handlerOf<handler::General>(name)(context, arguments, out);
        return out;
    }
    ValuePtr optional(const std::string& name, const Value* argument = nullptr) {
        ValuePtr out;
        handlerOf<handler::OptionalArg>(name)(context, argument, out);
        return out;
    }
    double noArg(const std::string& name) { return handlerOf<handler::NoArg>(name)(context); }
};

} // namespace vemlor::test
