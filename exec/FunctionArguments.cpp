#include "exec/FunctionArguments.h"

#include "builtins/Registry.h"
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "exec/FuncElements.h"
#include "exec/UserFuncElements.h"
#include "exec/UserFuncTable.h"
#include "exec/ValueElement.h"
#include "exec/Workspace.h"

#include <cstring>

namespace vemlor {

namespace {

double firstDouble(const Value& result) {
    if (result.n == 0) raiseRuntime("function returned empty vector []");
    switch (result.type()) {
    case INTEGER_VAL:
        return static_cast<const IntValue&>(result).data()[0];
    case DOUBLE_VAL:
        return static_cast<const DoubleValue&>(result).data()[0];
    default:
        throw NonRealResult();
    }
}

class Forwarding final : public ScalarFunction {
  public:
    explicit Forwarding(ScalarFunction& target) : target_(target) {}
    double operator()(double x) override { return target_(x); }

  private:
    ScalarFunction& target_;
};

class UserFunctionCall final : public ScalarFunction {
  public:
    explicit UserFunctionCall(UserFunc& function)
        : function_(function), result_(newValue(function.outputType())) {}
    double operator()(double x) override {
        argument_.assignScalar(x);
        const Value* arguments[] = {&argument_};
        function_.call(arguments, {}, {}, *result_);
        return firstDouble(*result_);
    }

  private:
    UserFunc& function_;
    DoubleValue argument_;
    ValuePtr result_;
};

class UserPairCall final : public PairFunction {
  public:
    explicit UserPairCall(UserFunc& function)
        : function_(function), result_(newValue(function.outputType())) {}
    const Value& operator()(const Value& a, const Value& b) override {
        const Value* arguments[] = {&a, &b};
        function_.call(arguments, {}, {}, *result_);
        if (result_->n == 0) raiseRuntime("function returned empty vector []");
        return *result_;
    }

  private:
    UserFunc& function_;
    ValuePtr result_;
};

class BuiltinCall final : public ScalarFunction {
  public:
    BuiltinCall(const BuiltinInfo& function, BuiltinContext& context) {
        std::vector<EvaluatablePtr> arguments;
        arguments.push_back(std::make_unique<ValueElement>(&argument_));
        call_ = makeBuiltinCall(function, std::move(arguments), context);
        scratch_ = newValue(call_->resultType());
    }
    double operator()(double x) override {
        argument_.assignScalar(x);
        return firstDouble(*call_->pValue(scratch_.get()));
    }

  private:
    DoubleValue argument_{0.0};
    EvaluatablePtr call_;
    ValuePtr scratch_;
};

// The name a function reference value carries.
std::string referencedName(const Value& argument) {
    if (kindCode(argument.kind) != KIND_FUNCREF || argument.type() != INTEGER_VAL)
        raiseRuntime("1st argument must be a function");
    const auto& codes = static_cast<const IntValue&>(argument);
    std::string name(size_t(codes.n), ' ');
    for (int i = 0; i < codes.n; ++i)
        name[size_t(i)] = char(codes.data()[i]);
    return name;
}

} // namespace

int AnonymousFunctions::add(ScalarFunction& function) {
    functions_[++lastId_] = &function;
    return lastId_;
}

ScalarFunction* AnonymousFunctions::find(int id) const {
    auto it = functions_.find(id);
    return it == functions_.end() ? nullptr : it->second;
}

std::unique_ptr<ScalarFunction> resolveScalarFunction(const Value& argument, Workspace& workspace,
                                                      BuiltinContext& context,
                                                      const AnonymousFunctions& anonymous) {
    std::string name = referencedName(argument);
    size_t prefix = std::strlen(kAnonymousPrefix);
    if (name.compare(0, prefix, kAnonymousPrefix) == 0) {
        ScalarFunction* function = anonymous.find(std::atoi(name.c_str() + prefix));
        if (!function) raiseRuntime("1st argument must be a function");
        return std::make_unique<Forwarding>(*function);
    }
    if (UserFunc* user = workspace.userFunctions().find(name)) {
        const FunctionSignature& s = user->signature();
        if (s.minimumArguments() > 1 || s.parameterCount() < 1)
            raiseRuntime("you can only use a single-parameter function here");
        return std::make_unique<UserFunctionCall>(*user);
    }
    const BuiltinInfo* builtin = Registry::instance().find(name);
    if (!builtin) raiseRuntime("1st argument must be a function");
    Family family = builtin->entry.family;
    bool oneArgument =
        family == Family::General
            ? builtin->minArgs <= 1 && builtin->maxArgs >= 1
            : family != Family::NoArg && family != Family::OptionalArg && family != Family::Functor;
    if (!oneArgument) raiseRuntime("you can only use a single-parameter function here");
    return std::make_unique<BuiltinCall>(*builtin, context);
}

std::unique_ptr<PairFunction> resolvePairFunction(const Value& argument, Workspace& workspace) {
    UserFunc* user = workspace.userFunctions().find(referencedName(argument));
    if (!user) raiseRuntime("1st argument must be a function");
    const FunctionSignature& s = user->signature();
    if (s.minimumArguments() > 2 || s.parameterCount() < 2)
        raiseRuntime("too many arguments for the specified function");
    return std::make_unique<UserPairCall>(*user);
}

} // namespace vemlor
