#include "exec/UserFuncElements.h"

#include "builtins/BuiltinContext.h"
#include "core/Errors.h"
#include "exec/UserFunc.h"
#include "exec/ValueElement.h"

namespace vemlor {

namespace {

ValuePtr scratchFor(const Evaluatable& argument) { return newValue(argument.resultType()); }

// The caller's variable behind an argument, for by-reference parameters.
Value* variableBehind(const Evaluatable& argument) {
    if (argument.category() != CAT_VARIABLE) return nullptr;
    auto* element = dynamic_cast<const ValueElement*>(&argument);
    return element ? element->variable() : nullptr;
}

bool quickArgumentType(int type) { return type == INTEGER_VAL || type == DOUBLE_VAL; }

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
    if (count < s.minimumArguments()) raiseRuntime(function_.name() + "(...) has too few arguments");
    // A recursive call parks the caller's locals before binding, so an
    // argument that is one of them must be copied out first.
    bool recursive = function_.isRunning();
    for (size_t i = 0; i < arguments_.size(); ++i) {
        // A plain number skips the matrix evaluation (and the copy below).
        double x;
        if (scratch_[i]->type() == DOUBLE_VAL && arguments_[i]->scalar(x)) {
            scratch_[i]->assignScalar(x);
            values_[i] = scratch_[i].get();
            continue;
        }
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
    evaluateArguments();
    if (!result_ || result_->type() != resultType_) result_ = newValue(resultType_);
    Value& result = workspace && workspace->type() == resultType_ ? *workspace : *result_;
    function_.call(values_, references_, {}, result);
    return &result;
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
    : MultiInputOutput_Element(std::move(arguments)), function_(&function),
      name_(function.name()), vectorise_(vectorise) {
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
    : MultiInputOutput_Element({}), ownBody_(std::move(body)),
      ownParameter_(std::move(parameter)), context_(&context) {
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

// Setting the parameters is no effect a second evaluation would not repeat.
bool QuickUserFuncElement::scalar(double& out) {
    if (!function_ || vectorise_ || !function_->isQuick()) return false;
    double x[2];
    size_t count = arguments_.size();
    if (count != size_t(parameterCount()) || count > 2) return false;
    for (size_t i = 0; i < count; ++i)
        if (!arguments_[i]->scalar(x[i])) return false;
    for (size_t i = 0; i < count; ++i) parameterValue(int(i)).assignScalar(x[i]);
    function_->enterQuick();
    bool done = false;
    try {
        done = function_->quickBody()->scalar(out);
    } catch (...) {
        function_->leaveQuick();
        throw;
    }
    function_->leaveQuick();
    return done;
}

double QuickUserFuncElement::operator()(double x) {
    if (parameterCount() != 1) raiseRuntime("you can only use a single-parameter function here");
    parameterValue(0).assignScalar(x);
    if (function_) function_->enterQuick();
    try {
        evaluateOnce(&scalar_);
    } catch (...) {
        if (function_) function_->leaveQuick();
        throw;
    }
    if (function_) function_->leaveQuick();
    if (scalar_.n == 0) raiseRuntime("function returned empty vector []");
    return scalar_.data()[0];
}

} // namespace vemlor
