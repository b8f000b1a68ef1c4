// Calls of user functions inside expressions.
//
// UserFuncElement runs a full activation (frames, defaults, references,
// several outputs). QuickUserFuncElement evaluates the single expression
// of a quick function directly on its parameter values; it also stands for
// the anonymous function of an `(expr; x, ...)` argument, whose expression
// and dummy variable it owns.
#pragma once

#include "builtins/ScalarFunction.h"
#include "core/MathMatrix.h"
#include "exec/Evaluatable.h"
#include "exec/MultiOutputSource.h"
#include "exec/ScalarCode.h"

#include <string>
#include <vector>

namespace vemlor {

class BuiltinContext;
class UserFunc;

// The prefix of the reference text of an anonymous function (no name
// starts with it).
inline constexpr const char* kAnonymousPrefix = "#anon";

class UserFuncElement final : public MultiInputOutput_Element,
                              public MultiOutputSource,
                              public scalar::ParkingCall {
  public:
    UserFuncElement(UserFunc& function, std::vector<EvaluatablePtr> arguments);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return resultType_; }
    int category() const override { return CAT_USER_FUNC; }
    void evaluateOutputs(std::span<ValuePtr> outputs) override;
    UserFunc& function() const { return function_; }

    // For compiled code: whether the call can take its arguments as numbers
    // now (the function may have been redefined), and the call itself. False
    // when the result is no plain number; it is then kept for the tree's
    // next evaluation of this element.
    bool canCallWithNumbers() const;
    bool callWithNumbers(const double* arguments, int count, double& result);
    void parkNumber(double x) override;
    void dropParked() override { parked_ = false; }

  private:
    void evaluateArguments();

    UserFunc& function_;
    int resultType_;
    std::vector<ValuePtr> scratch_;
    std::vector<const Value*> values_;
    std::vector<Value*> references_; // the caller's variable behind each argument, or null
    std::vector<Value*> extraTargets_;
    ValuePtr result_;
    bool parked_ = false;             // result_ holds what the next evaluation gives
    mutable int checkedVersion_ = -1; // the definition canCallWithNumbers judged
    mutable bool callable_ = false;
};

class QuickUserFuncElement final : public MultiInputOutput_Element,
                                   public ScalarFunction,
                                   public scalar::ParkingCall {
  public:
    // A call of a quick function; `vectorise` applies it element by element.
    QuickUserFuncElement(UserFunc& function, std::vector<EvaluatablePtr> arguments, bool vectorise);
    // The anonymous function of `(expr; x, ...)`: `body` reads `parameter`.
    // It evaluates to a reference that built-ins resolve through `context`.
    QuickUserFuncElement(EvaluatablePtr body, ValuePtr parameter, BuiltinContext& context);
    ~QuickUserFuncElement() override;

    Value* pValue(Value* workspace) override;
    int resultType() const override;
    bool refersTo(const Value* v) const override;

    // f(x) for a double x, as the numerical built-ins call it.
    double operator()(double x) override;
    UserFunc* function() const { return function_; }
    bool isAnonymous() const { return function_ == nullptr; }
    bool isVectorised() const { return vectorise_; }
    const std::string& name() const { return name_; }
    // The anonymous form's body, compiled to plain numbers (see UserFunc's).
    void setScalarCode(scalar::ScalarCodePtr code) { ownCode_ = std::move(code); }

    // For compiled code, as UserFuncElement's; `pure` tells whether the call
    // ran compiled code that calls nothing (and so changed no variable).
    bool canCallWithNumbers() const;
    bool callWithNumbers(const double* arguments, int count, double& result, bool& pure);
    void parkNumber(double x) override;
    void dropParked() override { parked_ = false; }

  private:
    Evaluatable& body() const;
    Value& parameterValue(int i) const;
    int parameterCount() const;
    void evaluateArguments();
    void bindParameters();
    Value* evaluateOnce(Value* workspace);
    // The body's value for parameters already bound: true with a plain
    // number in `out`, else false with the value in `result`.
    bool bodyNumber(double& out, const Value*& result, bool& pure);
    Value* evaluateVectorised(Value* workspace);
    void releaseLargeParameters(const Value* result);

    UserFunc* function_ = nullptr; // null for the anonymous form
    EvaluatablePtr ownBody_;
    ValuePtr ownParameter_;
    std::string name_;
    bool vectorise_ = false;
    std::vector<ValuePtr> scratch_;
    std::vector<const Value*> values_;
    DoubleValue scalar_;                // the result of a scalar call
    BuiltinContext* context_ = nullptr; // the anonymous form's registry
    int anonymousId_ = 0;
    IntValue reference_;
    DoubleValue element_; // one result of a vectorised call
    ValuePtr bodyScratch_;
    scalar::ScalarCodePtr ownCode_;
    ValuePtr parkedValue_;
    bool parked_ = false; // parkedValue_ is what the next evaluation gives
};

} // namespace vemlor
