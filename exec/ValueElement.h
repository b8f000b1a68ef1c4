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
    Value* variable() const { return variable_; }

  protected:
    Value* variable_; // owned by the workspace
    int type_;        // a variable's value object keeps its type for life
};

} // namespace vemlor
