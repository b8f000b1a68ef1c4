// FuncRefElement: a function named as an argument (integ(f, 0, 1)). Its
// value is the function's name as a string with the function-reference kind,
// which the receiving built-in resolves when it calls it.
#pragma once

#include "core/MathMatrix.h"
#include "exec/Evaluatable.h"

#include <string>

namespace vemlor {

class FuncRefElement : public Evaluatable {
  public:
    explicit FuncRefElement(const std::string& name) {
        value_.assignString(name);
        value_.kind = KIND_FUNCREF;
    }
    Value* pValue(Value*) override { return &value_; }
    int resultType() const override { return INTEGER_VAL; }
    int category() const override { return CAT_FUNC_REF; }
    bool refersTo(const Value*) const override { return false; }

  private:
    IntValue value_;
};

} // namespace vemlor
