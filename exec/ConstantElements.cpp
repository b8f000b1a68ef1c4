// Evaluation of the leaf elements and the constant factories the parser
// calls (makeIntConstant, negateConstant, ...).
#include "exec/ConstantElements.h"

#include "core/Errors.h"
#include "exec/ExpressionBuilder.h"
#include "exec/ValueElement.h"

namespace vemlor {

EvaluatablePtr makeNumberElement(Value& v) {
    switch (v.type()) {
    case INTEGER_VAL:
        return std::make_unique<NumberElement<IntValue>>(static_cast<IntValue&>(v));
    case DOUBLE_VAL:
        return std::make_unique<NumberElement<DoubleValue>>(static_cast<DoubleValue&>(v));
    case COMPLEX_VAL:
        return std::make_unique<NumberElement<ComplexValue>>(static_cast<ComplexValue&>(v));
    default:
        raiseBug("BUG: number constant made of a value that is not a number");
    }
}

Value* StringLiteralElement::pValue(Value* workspace) {
    workspace->assignString(text_);
    return workspace;
}

Value* OpenSequenceElement::pValue(Value*) {
    raiseRuntime("incorrect use of ':'");
}

int EndIndexElement::size() const {
    const Value& v = *variable_;
    switch (dimension_) {
    case 0:
        return v.nrow;
    case 1:
        return v.ncol();
    case 2:
        return v.is3D() ? pageCount(v.kind) : 1;
    default:
        if (v.nrow == 1 || v.nrow == v.n) return v.n;
        return v.ncol();
    }
}

Value* EndIndexElement::pValue(Value* workspace) {
    workspace->assignScalarInt(size());
    return workspace;
}

EvaluatablePtr makeIntConstant(int x) {
    return std::make_unique<NumberElementInt>(x);
}

EvaluatablePtr makeDoubleConstant(double x) {
    return std::make_unique<NumberElementDouble>(x);
}

EvaluatablePtr makeComplexConstant(complexd z) {
    return std::make_unique<NumberElementComplex>(z);
}

bool negateConstant(Evaluatable& constant) {
    if (constant.category() != CAT_NUMBER) return false;
    auto* number = dynamic_cast<NumberElementBase*>(&constant);
    if (!number) return false;
    number->value().negate();
    return true;
}

EvaluatablePtr makeStringLiteral(std::string text) {
    return std::make_unique<StringLiteralElement>(std::move(text));
}

EvaluatablePtr makeEmptySet() {
    return std::make_unique<EmptySetElement>();
}

EvaluatablePtr makeVariable(Value* variable) {
    if (!variable) raiseBug("BUG: variable operand without a variable");
    return std::make_unique<ValueElement>(variable);
}

EvaluatablePtr makeOpenSequence() {
    return std::make_unique<OpenSequenceElement>();
}

EvaluatablePtr makeEndIndex(const Value* variable, int dimension) {
    if (!variable) raiseBug("BUG: end index without a variable");
    return std::make_unique<EndIndexElement>(variable, dimension);
}

} // namespace vemlor
