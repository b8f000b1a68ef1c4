#include "exec/UserFunc.h"

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/RunFlags.h"
#include "exec/ScalarCompiler.h"
#include "exec/ScalarMachine.h"
#include "exec/StackRoom.h"

namespace vemlor {

namespace {

// The kind word of an output the running activation has not written yet: a
// plain kind with a page count, which only a 3-D array would read. Every
// assignment replaces the kind word; growing in place keeps it, but then
// the value holds elements.
constexpr int kUnsetOutputKind = 16;

// Whether the output still holds the mark it got when the activation began.
bool stillUnset(Value& output) {
    if (output.kind != kUnsetOutputKind) return false;
    if (output.n == 0) return true;
    output.kind = KIND_NUMERIC;
    return false;
}

} // namespace

void markQuickEligibility(FunctionSignature& s) {
    bool doubles = true;
    for (int type : s.parameterTypes)
        doubles = doubles && type == DOUBLE_VAL;
    bool eligible = s.parameterCount() <= 2 && doubles && s.defaults.empty() &&
                    s.byReference.none() && s.outputTypes.size() == 1 &&
                    s.outputTypes[0] == DOUBLE_VAL;
    if (eligible)
        s.flags |= FUNC_QUICK_ELIGIBLE;
    else
        s.flags &= ~FUNC_QUICK_ELIGIBLE;
}

UserFunc::UserFunc(FunctionSignature signature, DefinitionSource source, OutputSink& out)
    : signature_(std::move(signature)), source_(std::move(source)), out_(out) {
    if (signature_.outputTypes.empty()) signature_.outputTypes.push_back(DOUBLE_VAL);
}

UserFunc::~UserFunc() = default;

Value* UserFunc::findLocal(const std::string& name) const {
    for (auto it = locals_.values.rbegin(); it != locals_.values.rend(); ++it)
        if (it->name == name) return it->value.get();
    return nullptr;
}

void UserFunc::define(StatementPtr body, FunctionLocals locals, Evaluatable* quickBody) {
    body_.reset();
    locals_ = std::move(locals);
    frames_.clear();
    frameCount_ = 0;
    parameters_.clear();
    for (int i = 0; i < signature_.parameterCount(); ++i)
        parameters_.push_back(locals_.values[size_t(i)].value.get());
    const auto& names = signature_.outputNames;
    output_ = findLocal(names.empty() ? std::string() : names[0]);
    if (!output_) {
        if (names.empty())
            throw SyntaxError("could not infer a return value for function " + name());
        throw SyntaxError("output value has not been set");
    }
    extraOutputs_.clear();
    for (size_t k = 1; k < names.size(); ++k) {
        Value* extra = findLocal(names[k]);
        if (!extra) throw SyntaxError(names[k] + " output has not been set");
        extraOutputs_.push_back(extra);
    }
    body_ = std::move(body);
    quickBody_ = quickBody;
    quickCode_.reset();
    parked_.clear();
    markedOutputs_.clear();
    for (Value* output : extraOutputs_)
        if (!isPersistent(output)) markedOutputs_.push_back(output);
    if (!isPersistent(output_)) markedOutputs_.push_back(output_);
    int firstPersistent = signature_.parameterCount();
    int endPersistent = firstPersistent + locals_.persistentCount;
    for (size_t j = 0; j < locals_.values.size(); ++j)
        if (int(j) < firstPersistent || int(j) >= endPersistent)
            parked_.push_back(locals_.values[j].value.get());
    ++version_;
    takesNumbers_ = signature_.byReference.none();
    for (Value* parameter : parameters_)
        takesNumbers_ = takesNumbers_ && parameter->type() == DOUBLE_VAL;
    if (quickBody_)
        signature_.flags |= FUNC_QUICK_BODY;
    else
        signature_.flags &= ~FUNC_QUICK_BODY;
}

void UserFunc::redeclare(FunctionSignature signature, DefinitionSource source) {
    discard();
    ++version_;
    signature_ = std::move(signature);
    source_ = std::move(source);
    if (signature_.outputTypes.empty()) signature_.outputTypes.push_back(DOUBLE_VAL);
}

void UserFunc::compileScalarForms() {
    if (body_) vemlor::compileScalarForms(*body_, true);
    quickCode_ = quickBody_ ? compileScalarExpression(*quickBody_) : nullptr;
}

void UserFunc::discard() {
    ++version_;
    parked_.clear();
    markedOutputs_.clear();
    body_.reset();
    quickBody_ = nullptr;
    quickCode_.reset();
    output_ = nullptr;
    extraOutputs_.clear();
    parameters_.clear();
    frames_.clear();
    frameCount_ = 0;
    locals_ = FunctionLocals{};
}

bool UserFunc::uses(const Value* variable) const {
    return body_ && body_->refersTo(variable);
}

// Parks the caller's locals (all but the persistent variables) and leaves
// them empty for the new activation. A double holding one number or none is
// kept as that number, its buffer staying with the variable for the callee.
void UserFunc::pushFrame() {
    size_t count = parked_.size();
    size_t first = size_t(frameCount_++) * count;
    if (frames_.size() < first + count) frames_.resize(first + count);
    ParkedLocal* parked = frames_.data() + first;
    Value* const* locals = parked_.data();
    for (size_t k = 0; k < count; ++k, ++parked) {
        Value& local = *locals[k];
        int rows = local.n;
        bool plain = local.type() == DOUBLE_VAL && unsigned(rows) <= 1 && unsigned(local.nrow) <= 1;
        parked->plain = plain;
        if (plain) [[likely]] {
            parked->rows = rows;
            parked->kind = local.kind;
            if (rows) parked->number = static_cast<MathMatrix<double>&>(local).data()[0];
            local.n = local.nrow = local.kind = 0;
            continue;
        }
        if (!parked->value || parked->value->type() != local.type())
            parked->value = newValue(local.type());
        swapContents(local, *parked->value);
        if (local.type() == LIST_VAL)
            local.clear();
        else
            local.setShapeKind(0, 0, 0);
    }
}

void UserFunc::popFrame() {
    size_t count = parked_.size();
    ParkedLocal* parked = frames_.data() + size_t(--frameCount_) * count;
    Value* const* locals = parked_.data();
    for (size_t k = 0; k < count; ++k, ++parked) {
        Value& local = *locals[k];
        if (!parked->plain) [[unlikely]] {
            swapContents(local, *parked->value);
            continue;
        }
        auto& number = static_cast<MathMatrix<double>&>(local);
        int rows = parked->rows;
        if (rows) {
            if (number.capacity() < 1 || number.n > 1) number.setShapeKind(1, 1, 0);
            number.data()[0] = parked->number;
        }
        number.n = number.nrow = rows;
        number.kind = parked->kind;
    }
}

// Empties the locals between calls. Small buffers stay allocated for the
// next call; large ones are freed so that big temporaries do not linger.
void UserFunc::resetLocals() {
    int firstPersistent = signature_.parameterCount();
    int endPersistent = firstPersistent + locals_.persistentCount;
    for (size_t j = 0; j < locals_.values.size(); ++j) {
        if (int(j) >= firstPersistent && int(j) < endPersistent) continue;
        Value& local = *locals_.values[j].value;
        if (local.type() == LIST_VAL)
            local.clear();
        else
            local.setShapeKind(0, 0, 0);
    }
}

void UserFunc::unwindAfterError() {
    if (--activeDepth_ > 0) {
        popFrame();
        return;
    }
    activeDepth_ = 0;
    frameCount_ = 0;
    resetLocals();
}

void UserFunc::bindArguments(std::span<const Value* const> arguments,
                             std::span<Value* const> references) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        Value& parameter = *parameters_[i];
        Value* caller = i < references.size() ? references[i] : nullptr;
        if (signature_.byReference.test(i) && caller) {
            int have = caller->type(), want = parameter.type();
            if (!(have == want || (have > want && have < LIST_VAL)))
                raiseRuntime("argument has incorrect type");
            if (have > DOUBLE_VAL)
                raiseRuntime("pass by reference not yet implemented for complex or list");
        }
        parameter.assign(*arguments[i]);
    }
    int count = signature_.parameterCount();
    int defaults = int(signature_.defaults.size());
    for (int i = int(arguments.size()); i < count; ++i)
        parameters_[size_t(i)]->assignScalar(signature_.defaults[size_t(defaults - count + i)]);
}

void UserFunc::copyBack(std::span<Value* const> references) {
    for (size_t i = 0; i < references.size() && i < parameters_.size(); ++i)
        if (signature_.byReference.test(i) && references[i]) references[i]->assign(*parameters_[i]);
}

bool UserFunc::isPersistent(const Value* value) const {
    int first = signature_.parameterCount();
    for (int j = first; j < first + locals_.persistentCount; ++j)
        if (locals_.values[size_t(j)].value.get() == value) return true;
    return false;
}

// A new activation has set none of its outputs (persistent ones keep theirs).
void UserFunc::markOutputsUnset() {
    for (Value* output : markedOutputs_)
        if (output->n == 0) output->kind = kUnsetOutputKind;
}

void UserFunc::deliverOutputs(std::span<Value* const> extraOutputs, Value& result) {
    if (stillUnset(*output_)) raiseRuntime("output value has not been set");
    for (size_t k = 0; k < extraOutputs.size() && k < extraOutputs_.size(); ++k)
        if (extraOutputs[k] && stillUnset(*extraOutputs_[k]))
            raiseRuntime(signature_.outputNames[k + 1] + " output has not been set");
    result.assign(*output_);
    for (size_t k = 0; k < extraOutputs.size(); ++k) {
        if (!extraOutputs[k]) continue;
        if (k >= extraOutputs_.size()) raiseRuntime("too many output arguments");
        if (signature_.outputTypes[k + 1] != DOUBLE_VAL)
            raiseRuntime("non-double type output not yet implemented");
        extraOutputs[k]->assign(*extraOutputs_[k]);
    }
}

void UserFunc::enterActivation() {
    if (!body_) raiseRuntime("function " + name() + " has no body");
    if (!stackRoomLeft()) raiseRuntime("max recursion depth exceeded " + name());
    if (activeDepth_ > 0) {
        if (activeDepth_ >= kMaxRecursionDepth)
            raiseRuntime("max recursion depth exceeded " + name());
        pushFrame();
    } else if (activeDepth_ < 0) {
        raiseRuntime("negative recursion depth: something is wrong " + name());
    }
    ++activeDepth_;
}

void UserFunc::leaveActivation() {
    if (--activeDepth_ > 0)
        popFrame();
    else
        resetLocals();
}

void UserFunc::call(std::span<const Value* const> arguments, std::span<Value* const> references,
                    std::span<Value* const> extraOutputs, Value& result) {
    enterActivation();
    bool binding = true;
    try {
        bindArguments(arguments, references);
        binding = false;
        markOutputsUnset();
        body_->exe();
        RunFlags::resumeAfterReturn();
        deliverOutputs(extraOutputs, result);
        copyBack(references);
    } catch (...) {
        if (binding) out_.print("invalid input argument");
        try {
            copyBack(references);
        } catch (...) {
            // The error on its way out matters more than a failed write-back.
        }
        out_.print("in " + name() + ";");
        unwindAfterError();
        throw;
    }
    leaveActivation();
}

// A double variable becomes the plain number x (its buffer kept when it has one).
void UserFunc::setNumber(Value& variable, double x) {
    auto& number = static_cast<MathMatrix<double>&>(variable);
    if (number.capacity() >= 1) {
        number.n = number.nrow = 1;
        number.kind = KIND_NUMERIC;
        number.data()[0] = x;
    } else {
        number.assignScalar(x);
    }
}

bool UserFunc::callWithNumbers(const double* arguments, int count, double& out, Value& result) {
    enterActivation();
    bool plain;
    try {
        for (int i = 0; i < count; ++i)
            setNumber(*parameters_[size_t(i)], arguments[i]);
        int total = signature_.parameterCount();
        int defaults = int(signature_.defaults.size());
        for (int i = count; i < total; ++i)
            parameters_[size_t(i)]->assignScalar(signature_.defaults[size_t(defaults - total + i)]);
        markOutputsUnset();
        // The compiled body runs without the statement's dispatch.
        scalar::ScalarCode* code = body_->scalarCode();
        Flow flow = code ? scalar::runStatement(*code) : body_->execute();
        if (flow != Flow::Normal) throw LoopSignal{flow, body_->line()};
        RunFlags::resumeAfterReturn();
        if (stillUnset(*output_)) raiseRuntime("output value has not been set");
        const Value& output = *output_;
        plain = output.n == 1 && output.kind == KIND_NUMERIC && output.type() == DOUBLE_VAL;
        if (plain)
            out = static_cast<const MathMatrix<double>&>(output).data()[0];
        else
            result.assign(output);
    } catch (...) {
        out_.print("in " + name() + ";");
        unwindAfterError();
        throw;
    }
    leaveActivation();
    return plain;
}

void UserFunc::callHandler(const Value& first, const Value& second, Value& result) {
    if (activeDepth_ != 0) raiseRuntime("recursion not allowed in mouse function");
    if (!body_) raiseRuntime("function " + name() + " has no body");
    ++activeDepth_;
    try {
        if (!parameters_.empty()) parameters_[0]->assign(first);
        if (parameters_.size() >= 2) parameters_[1]->assign(second);
        body_->exe();
        RunFlags::resumeAfterReturn();
        result.assign(*output_);
    } catch (...) {
        out_.print("in " + name() + ";");
        unwindAfterError();
        throw;
    }
    --activeDepth_;
    resetLocals();
}

void UserFunc::enterQuick() {
    if (activeDepth_ >= kMaxRecursionDepth || !stackRoomLeft())
        raiseRuntime("max recursion depth exceeded " + name());
    ++activeDepth_;
}

} // namespace vemlor
