#include "exec/UserFuncElements.h"

#include "builtins/BuiltinContext.h"
#include "core/Errors.h"
#include "exec/ScalarMachine.h"
#include "exec/UserFunc.h"
#include "exec/ValueElement.h"

namespace vemlor {

namespace {

ValuePtr scratchFor(const Evaluatable& argument) {
    return newValue(argument.resultType());
}

// The caller's variable behind an argument, for by-reference parameters.
Value* variableBehind(const Evaluatable& argument) {
    if (argument.category() != CAT_VARIABLE) return nullptr;
    auto* element = dynamic_cast<const ValueElement*>(&argument);
    return element ? element->variable() : nullptr;
}

bool quickArgumentType(int type) {
    return type == INTEGER_VAL || type == DOUBLE_VAL;
}

// A value compiled code can take as it is: one number of numeric kind.
bool plainNumber(const Value& v) {
    return v.n == 1 && v.kind == KIND_NUMERIC && quickArgumentType(v.type());
}

} // namespace

UserFuncElement::UserFuncElement(UserFunc& function, std::vector<EvaluatablePtr> arguments)
    : MultiInputOutput_Element(std::move(arguments)), function_(function),
      resultType_(function.outputType()) {
    for (const EvaluatablePtr& argument : arguments_) {
        scratch_.push_back(scratchFor(*argument));
        references_.push_back(variableBehind(*argument));
    }
    values_.resize(arguments_.size());
}

void UserFuncElement::evaluateArguments() {
    const FunctionSignature& s = function_.signature();
    int count = int(arguments_.size());
    if (count > s.parameterCount()) raiseRuntime(function_.name() + "(...) has too many arguments");
    if (count < s.minimumArguments())
        raiseRuntime(function_.name() + "(...) has too few arguments");
    // A recursive call parks the caller's locals before binding, so an
    // argument that is one of them must be copied out first.
    bool recursive = function_.isRunning();
    for (size_t i = 0; i < arguments_.size(); ++i) {
        Value* value = arguments_[i]->pValue(scratch_[i].get());
        if (recursive && value != scratch_[i].get()) {
            if (scratch_[i]->type() != value->type()) scratch_[i] = newValue(value->type());
            scratch_[i]->copyFrom(*value);
            value = scratch_[i].get();
        }
        values_[i] = value;
    }
}

Value* UserFuncElement::pValue(Value* workspace) {
    if (parked_) {
        parked_ = false;
        return result_.get();
    }
    evaluateArguments();
    if (!result_ || result_->type() != resultType_) result_ = newValue(resultType_);
    Value& result = workspace && workspace->type() == resultType_ ? *workspace : *result_;
    function_.call(values_, references_, {}, result);
    return &result;
}

// Decided again only when the function has a new definition.
bool UserFuncElement::canCallWithNumbers() const {
    if (checkedVersion_ == function_.version()) return callable_;
    const FunctionSignature& s = function_.signature();
    int count = int(arguments_.size());
    callable_ = function_.hasBody() && count <= s.parameterCount() &&
                count >= s.minimumArguments() && function_.outputType() == resultType_ &&
                quickArgumentType(resultType_);
    checkedVersion_ = function_.version();
    return callable_;
}

bool UserFuncElement::callWithNumbers(const double* arguments, int count, double& result) {
    if (!result_ || result_->type() != resultType_) result_ = newValue(resultType_);
    if (function_.takesNumbers() && resultType_ == DOUBLE_VAL) {
        if (function_.callWithNumbers(arguments, count, result, *result_)) return true;
        parked_ = true;
        return false;
    }
    for (int i = 0; i < count; ++i) {
        Value& argument = *scratch_[size_t(i)];
        if (argument.type() == INTEGER_VAL)
            argument.assignScalarInt(int(arguments[i]));
        else
            argument.assignScalar(arguments[i]);
        values_[size_t(i)] = &argument;
    }
    if (!result_ || result_->type() != resultType_) result_ = newValue(resultType_);
    function_.call(values_, references_, {}, *result_);
    if (plainNumber(*result_)) {
        result = result_->scalarDouble();
        return true;
    }
    parked_ = true;
    return false;
}

void UserFuncElement::parkNumber(double x) {
    if (!result_ || result_->type() != resultType_) result_ = newValue(resultType_);
    result_->assignScalar(x);
    parked_ = true;
}

void UserFuncElement::evaluateOutputs(std::span<ValuePtr> outputs) {
    if (outputs.empty()) raiseBug("BUG: user function call asked for no outputs");
    size_t declared = std::max<size_t>(1, function_.signature().outputNames.size());
    if (outputs.size() > declared) raiseRuntime("too many output arguments");
    evaluateArguments();
    if (!outputs[0] || outputs[0]->type() != resultType_) outputs[0] = newValue(resultType_);
    extraTargets_.clear();
    for (size_t k = 1; k < outputs.size(); ++k) {
        if (!outputs[k]) outputs[k] = newValue(DOUBLE_VAL);
        extraTargets_.push_back(outputs[k].get());
    }
    function_.call(values_, references_, extraTargets_, *outputs[0]);
}

QuickUserFuncElement::QuickUserFuncElement(UserFunc& function,
                                           std::vector<EvaluatablePtr> arguments, bool vectorise)
    : MultiInputOutput_Element(std::move(arguments)), function_(&function), name_(function.name()),
      vectorise_(vectorise) {
    for (const EvaluatablePtr& argument : arguments_) {
        int type = argument->resultType();
        if (!quickArgumentType(type) && type != LIST_ITEM_TYPE)
            throw SyntaxError("invalid data type for quick user function");
        scratch_.push_back(scratchFor(*argument));
    }
    values_.resize(arguments_.size());
}

QuickUserFuncElement::QuickUserFuncElement(EvaluatablePtr body, ValuePtr parameter,
                                           BuiltinContext& context)
    : MultiInputOutput_Element({}), ownBody_(std::move(body)), ownParameter_(std::move(parameter)),
      context_(&context) {
    anonymousId_ = context.registerAnonymous(*this);
    name_ = kAnonymousPrefix + std::to_string(anonymousId_);
    reference_.assignString(name_);
    reference_.kind = KIND_FUNCREF;
}

QuickUserFuncElement::~QuickUserFuncElement() {
    if (context_) context_->unregisterAnonymous(anonymousId_);
}

int QuickUserFuncElement::resultType() const {
    return function_ ? function_->outputType() : INTEGER_VAL;
}

bool QuickUserFuncElement::refersTo(const Value* v) const {
    return MultiInputOutput_Element::refersTo(v) || (ownBody_ && ownBody_->refersTo(v));
}

Evaluatable& QuickUserFuncElement::body() const {
    if (ownBody_) return *ownBody_;
    Evaluatable* body = function_->quickBody();
    if (!body) raiseRuntime("function " + name_ + " has no body");
    return *body;
}

Value& QuickUserFuncElement::parameterValue(int i) const {
    return ownParameter_ ? *ownParameter_ : *function_->parameter(i);
}

int QuickUserFuncElement::parameterCount() const {
    return ownParameter_ ? 1 : function_->signature().parameterCount();
}

void QuickUserFuncElement::evaluateArguments() {
    for (size_t i = 0; i < arguments_.size(); ++i) {
        values_[i] = arguments_[i]->pValue(scratch_[i].get());
        if (!quickArgumentType(values_[i]->type()))
            raiseRuntime("invalid data type for quick user function");
    }
}

// Only once every argument is evaluated: an argument may call this function.
void QuickUserFuncElement::bindParameters() {
    for (size_t i = 0; i < arguments_.size(); ++i)
        if (values_[i] != &parameterValue(int(i))) parameterValue(int(i)).assign(*values_[i]);
}

Value* QuickUserFuncElement::evaluateOnce(Value* workspace) {
    Evaluatable& expression = body();
    if (!bodyScratch_ || bodyScratch_->type() != expression.resultType())
        bodyScratch_ = newValue(expression.resultType());
    const Value* result = expression.pValue(bodyScratch_.get());
    workspace->assign(*result);
    return workspace;
}

Value* QuickUserFuncElement::evaluateVectorised(Value* workspace) {
    Evaluatable& expression = body();
    if (expression.resultType() != DOUBLE_VAL)
        raiseRuntime("vectorization only implemented for functions of output-type double");
    Value& parameter = parameterValue(parameterCount() - 1);
    DoubleValue inputs(parameter);
    auto& results = static_cast<DoubleValue&>(*workspace);
    results.setShapeKind(inputs.n, inputs.nrow, inputs.is3D() ? inputs.kind : 0);
    if (!bodyScratch_ || bodyScratch_->type() != DOUBLE_VAL) bodyScratch_ = newValue(DOUBLE_VAL);
    for (int k = 0; k < inputs.n; ++k) {
        parameter.assignScalar(inputs.data()[k]);
        const Value* one = expression.pValue(bodyScratch_.get());
        if (one->n != 1) raiseCode(ErrorCode::EmptyArray);
        results.data()[k] = static_cast<const DoubleValue*>(one)->data()[0];
    }
    return workspace;
}

void QuickUserFuncElement::releaseLargeParameters(const Value* result) {
    for (int i = 0; i < parameterCount(); ++i) {
        Value& parameter = parameterValue(i);
        if (&parameter != result && parameter.n > 1) parameter.clear();
    }
}

Value* QuickUserFuncElement::pValue(Value* workspace) {
    if (!function_) return &reference_;
    if (parked_) {
        parked_ = false;
        return parkedValue_.get();
    }
    if (!function_->hasBody()) raiseRuntime("function " + name_ + " has no body");
    evaluateArguments();
    // Redefined since this call was read: no longer a quick function.
    if (!function_->isQuick() || int(arguments_.size()) != parameterCount()) {
        function_->call(values_, {}, {}, *workspace);
        return workspace;
    }
    bindParameters();
    if (function_) function_->enterQuick();
    try {
        Value* result = vectorise_ ? evaluateVectorised(workspace) : evaluateOnce(workspace);
        if (function_) function_->leaveQuick();
        releaseLargeParameters(result);
        return result;
    } catch (...) {
        if (function_) function_->leaveQuick();
        throw;
    }
}

bool QuickUserFuncElement::bodyNumber(double& out, const Value*& result, bool& pure) {
    Evaluatable& expression = body();
    if (!bodyScratch_ || bodyScratch_->type() != expression.resultType())
        bodyScratch_ = newValue(expression.resultType());
    scalar::ScalarCode* code = function_ ? function_->quickCode() : ownCode_.get();
    pure = false;
    if (code) {
        if (scalar::runExpression(*code, out, *bodyScratch_, result)) {
            pure = code->pure;
            return true;
        }
    } else {
        result = expression.pValue(bodyScratch_.get());
    }
    if (!plainNumber(*result)) return false;
    out = result->scalarDouble();
    return true;
}

bool QuickUserFuncElement::canCallWithNumbers() const {
    return function_ && !vectorise_ && function_->hasBody() && function_->isQuick() &&
           int(arguments_.size()) == parameterCount() && quickArgumentType(resultType());
}

bool QuickUserFuncElement::callWithNumbers(const double* arguments, int count, double& result,
                                           bool& pure) {
    for (int i = 0; i < count; ++i)
        parameterValue(i).assignScalar(arguments[i]);
    function_->enterQuick();
    const Value* value = nullptr;
    bool plain;
    try {
        plain = bodyNumber(result, value, pure);
        if (!plain) {
            if (!parkedValue_ || parkedValue_->type() != resultType())
                parkedValue_ = newValue(resultType());
            parkedValue_->assign(*value);
        }
    } catch (...) {
        function_->leaveQuick();
        throw;
    }
    function_->leaveQuick();
    if (plain) return true;
    releaseLargeParameters(parkedValue_.get());
    parked_ = true;
    return false;
}

void QuickUserFuncElement::parkNumber(double x) {
    if (!parkedValue_ || parkedValue_->type() != resultType())
        parkedValue_ = newValue(resultType());
    parkedValue_->assignScalar(x);
    parked_ = true;
}

// A numerical built-in's call: the first element of the value.
double QuickUserFuncElement::operator()(double x) {
    if (parameterCount() != 1) raiseRuntime("you can only use a single-parameter function here");
    parameterValue(0).assignScalar(x);
    if (function_) function_->enterQuick();
    double out;
    const Value* value = nullptr;
    bool plain, pure;
    try {
        plain = bodyNumber(out, value, pure);
        if (!plain && value->type() != INTEGER_VAL && value->type() != DOUBLE_VAL)
            throw NonRealResult();
        if (!plain) scalar_.assign(*value);
    } catch (...) {
        if (function_) function_->leaveQuick();
        throw;
    }
    if (function_) function_->leaveQuick();
    if (plain) return out;
    if (scalar_.n == 0) raiseRuntime("function returned empty vector []");
    return scalar_.data()[0];
}

} // namespace vemlor
