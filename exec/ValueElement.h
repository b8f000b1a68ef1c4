// ValueElement: a variable as an operand. It returns the variable's own value
// (no copy); its type is whatever the variable holds now, which the parser
// reads when it builds the tree.
#pragma once

#include "core/JMatrix.h"
#include "exec/Evaluatable.h"

namespace vemlor {

class ValueElement : public Evaluatable {
public:
    explicit ValueElement(Value* variable) : variable_(variable), type_(variable->type()) {}
    Value* pValue(Value*) override { return variable_; }
    int resultType() const override { return variable_->type(); }
    int category() const override { return CAT_VARIABLE; }
    bool refersTo(const Value* v) const override { return v == variable_; }
    bool scalar(double& out) override {
        const Value& v = *variable_;
        if (v.n != 1 || v.kind != KIND_NUMERIC) return false;
        switch (type_) {
        case DOUBLE_VAL:
            out = static_cast<const JMatrix<double>&>(v).data()[0];
            return true;
        case INTEGER_VAL:
            out = static_cast<const JMatrix<int>&>(v).data()[0];
            return true;
        default:
            return false;
        }
    }
    Value* variable() const { return variable_; }

protected:
    Value* variable_; // owned by the workspace
    int type_;        // a variable's value object keeps its type for life
};

} // namespace vemlor
