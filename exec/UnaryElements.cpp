#include "exec/UnaryElements.h"

#include "core/ScalarOps.h"

#include "core/Errors.h"
#include "exec/ExpressionBuilder.h"
#include "exec/ExpressionSupport.h"
#include "exec/Factorial.h"

#include <string>

namespace vemlor {
namespace {

bool knownUnary(char op) {
    return op == '-' || op == '~' || op == '\'' || op == '"' || op == ':' || op == '!';
}

void applyFactorial(Value& v) {
    if (v.type() == INTEGER_VAL) {
        int* d = static_cast<IntValue&>(v).data();
        for (int i = 0; i < v.n; ++i)
            d[i] = factorialInt(d[i]);
    } else if (v.type() == DOUBLE_VAL) {
        double* d = static_cast<DoubleValue&>(v).data();
        for (int i = 0; i < v.n; ++i)
            d[i] = factorialDouble(d[i]);
    } else {
        raiseBug("BUG: factorial of a value that is neither integer nor double");
    }
}

// One column of all elements; a 3-D array stops being one.
void reshapeAsColumn(Value& v) {
    v.nrow = v.n;
    if (v.is3D()) v.kind = KIND_NUMERIC;
}

} // namespace

void checkUnaryOperator(char op, int operandType) {
    if (!knownUnary(op)) raiseBug(std::string("BUG: unknown unary operator ") + op);
    bool changesElements = op == '-' || op == '!' || op == '~';
    if (operandType == LIST_VAL && changesElements)
        throw SyntaxError("illegal unary operator for a list");
    if (operandType == COMPLEX_VAL && (op == '!' || op == '~'))
        throw SyntaxError("illegal unary operator for a complex value");
}

UnaryOpElement::UnaryOpElement(EvaluatablePtr child, char op)
    : WithEvaluatable(std::move(child)), op_(op), type_(child_->resultType()) {
    checkUnaryOperator(op, type_);
}

Value* UnaryOpElement::pValue(Value* workspace) {
    evaluateInto(*child_, *workspace);
    switch (op_) {
    case '-':
        workspace->negate();
        break;
    case '~':
        workspace->logicalNot();
        break;
    case '\'':
        workspace->transpose();
        break;
    case '"':
        workspace->transpose();
        workspace->conjugate();
        break;
    case ':':
        reshapeAsColumn(*workspace);
        break;
    default:
        applyFactorial(*workspace);
        break;
    }
    return workspace;
}

template <class V> Value* IncDecElement<V>::pValue(Value*) {
    auto* d = variable_->data();
    if constexpr (std::is_same_v<V, IntValue>) {
        for (int i = 0; i < variable_->n; ++i)
            if (!ops::fitsInt((long long)d[i] + step_)) raiseRuntime("integer overflow");
    }
    for (int i = 0; i < variable_->n; ++i)
        d[i] += step_;
    return variable_;
}

template class IncDecElement<IntValue>;
template class IncDecElement<DoubleValue>;

EvaluatablePtr makeIncDec(Value* variable, char code) {
    if (!variable) raiseBug("BUG: increment or decrement without a variable");
    switch (variable->type()) {
    case INTEGER_VAL:
        return std::make_unique<IncDecElement<IntValue>>(static_cast<IntValue*>(variable), code);
    case DOUBLE_VAL:
        return std::make_unique<IncDecElement<DoubleValue>>(static_cast<DoubleValue*>(variable),
                                                            code);
    default:
        throw SyntaxError("variable has wrong type for increment or decement");
    }
}

} // namespace vemlor
