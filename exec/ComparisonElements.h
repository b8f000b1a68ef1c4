// Comparisons: chains a < b and a < b < c, and the full identity a === b.
//
// A chain compares elementwise (a scalar against every element of a matrix,
// otherwise equal row and column counts, else "incompatible matrix sizes")
// and gives an integer matrix of 1s and 0s with the boolean kind. In a < b < c
// the operand c is evaluated only when a < b holds somewhere; the result is
// the elementwise and of both comparisons.
//
// ComparatorElement<T> compares in T: int and double when every operand has
// that type, complex when some operand is complex (equality compares whole
// numbers, the orderings compare real parts). ComparatorElementMixedType
// compares integer and double operands as doubles. The comparison functions
// are chosen once, when the element is built.
#pragma once

#include "core/MathMatrix.h"
#include "exec/Evaluatable.h"
#include "exec/ExpressionSupport.h"

namespace vemlor {

template <class T> class ComparatorElement : public With3Evaluatable {
  public:
    // `op1` between a and b, `op2` between b and c (c may be absent); the
    // operators are the codes OP_LESS ... OP_GREATER.
    ComparatorElement(EvaluatablePtr a, EvaluatablePtr b, EvaluatablePtr c, int op1, int op2);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }
    Evaluatable* first() const { return a_.get(); }
    Evaluatable* second() const { return b_.get(); }
    Evaluatable* third() const { return c_.get(); } // null for a single comparison
    int firstOperator() const { return op1_; }
    int secondOperator() const { return op2_; }

    // Writes a op b, elementwise with scalar broadcasting, into `out`.
    using CompareFunction = void (*)(const MathMatrix<T>& a, const MathMatrix<T>& b, IntValue& out);

  private:
    struct Operand {
        explicit Operand(Evaluatable* e);
        const MathMatrix<T>& read();
        Evaluatable* element;
        ValuePtr native;    // of the operand's own type, when that is not T
        ValuePtr converted; // of type T
    };
    struct Scratch {
        Scratch(Evaluatable* a, Evaluatable* b, Evaluatable* c) : a(a), b(b), c(c) {}
        Operand a, b, c;
        IntValue second;
    };
    void evaluate(IntValue& out, Scratch& s);

    int op1_, op2_;
    CompareFunction compare1_, compare2_;
    Scratch scratch_;
    IntValue result_; // used when the caller's workspace is not an integer value
    bool busy_ = false;
};

class ComparatorElementMixedType final : public ComparatorElement<double> {
  public:
    using ComparatorElement<double>::ComparatorElement;
};

extern template class ComparatorElement<int>;
extern template class ComparatorElement<double>;
extern template class ComparatorElement<complexd>;

// a === b: the integer scalar 1 when both are the same value, else 0. An
// integer and a double compare by value, other differing types never match;
// the kind codes must agree; two empty values with the same row count and
// kind are equal; otherwise size, rows, kind word and every element must.
class FullyCompareElement final : public With2Evaluatable {
  public:
    FullyCompareElement(EvaluatablePtr a, EvaluatablePtr b);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }

  private:
    ValuePtr firstScratch_, secondScratch_;
    bool busy_ = false;
};

// Whether two values are identical in the sense of ===.
bool fullyEqual(const Value& a, const Value& b);

} // namespace vemlor
