// The expression elements that call built-in functions, one class per
// family and argument type (makeBuiltinCall picks the class).
//
// Every element keeps the handler as a plain function pointer of its
// family's signature and the BuiltinContext it was built with. Arguments are
// evaluated into scratch values the element owns, so after the first
// evaluation nothing is allocated unless a size changes. An argument whose
// value no longer has the type announced when the tree was built (a variable
// reassigned since) is converted where that is lossless and refused
// otherwise.
#pragma once

#include "builtins/Registry.h"
#include "exec/Evaluatable.h"
#include "exec/MultiOutputSource.h"

#include <span>
#include <string>
#include <vector>

namespace vemlor {

// A fresh copy of a constant operand on every evaluation, for the built-ins
// that change their first argument in place: they may change the copy, never
// the constant, which later evaluations read again.
class ConstantCopyElement final : public WithEvaluatable {
  public:
    explicit ConstantCopyElement(EvaluatablePtr constant) : WithEvaluatable(std::move(constant)) {}
    Value* pValue(Value*) override {
        copy_ = newValueCopy(*child_->pValue(nullptr));
        return copy_.get();
    }
    int resultType() const override { return child_->resultType(); }

  private:
    ValuePtr copy_;
};

// ---- Family::NoArg: no argument ---------------------------------------------

class TicLikeFuncElement final : public Evaluatable {
  public:
    TicLikeFuncElement(handler::NoArg f, BuiltinContext& context) : f_(f), context_(&context) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return DOUBLE_VAL; }
    bool refersTo(const Value*) const override { return false; }

  private:
    handler::NoArg f_;
    BuiltinContext* context_;
    DoubleValue own_; // the result when the caller passes no workspace
};

// ---- Family::OptionalArg: optional argument, any result ---------------------

class AnsFuncElement final : public WithEvaluatable {
  public:
    // `argument` may be null; `resultType` is fixed by the caller.
    AnsFuncElement(EvaluatablePtr argument, handler::OptionalArg f, BuiltinContext& context,
                   int resultType, std::string name);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return resultType_; }

  private:
    handler::OptionalArg f_;
    BuiltinContext* context_;
    int resultType_;
    std::string name_;
    ValuePtr argumentScratch_;
    ValuePtr result_;
    ValuePtr converted_;
};

// ---- Family::Elementwise ----------------------------------------------------

// double -> double (an integer argument is converted element by element).
class SimpleFuncElement final : public WithEvaluatable {
  public:
    SimpleFuncElement(EvaluatablePtr argument, handler::DoubleToDouble f,
                      VectorFunction vectorForm = VectorFunction::None)
        : WithEvaluatable(std::move(argument)), f_(f), vectorForm_(vectorForm) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return DOUBLE_VAL; }
    int category() const override { return CAT_SIMPLE_FUNC; }
    handler::DoubleToDouble function() const { return f_; }
    VectorFunction vectorForm() const { return vectorForm_; }

  private:
    handler::DoubleToDouble f_;
    VectorFunction vectorForm_;
    IntValue intScratch_;
    DoubleValue own_;
};

// int -> int (a double argument is truncated to integers first).
class SimpleFuncIntElement final : public WithEvaluatable {
  public:
    SimpleFuncIntElement(EvaluatablePtr argument, handler::IntToInt f)
        : WithEvaluatable(std::move(argument)), f_(f) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }
    handler::IntToInt function() const { return f_; }

  private:
    handler::IntToInt f_;
    DoubleValue doubleScratch_;
    IntValue own_;
};

// int -> int for a handler that acts on the calling instance (closing its
// files); kept out of the scalar code, which calls handlers without one.
class ContextFuncIntElement final : public WithEvaluatable {
  public:
    ContextFuncIntElement(EvaluatablePtr argument, handler::IntToIntInContext f,
                          BuiltinContext& context)
        : WithEvaluatable(std::move(argument)), f_(f), context_(&context) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }

  private:
    handler::IntToIntInContext f_;
    BuiltinContext* context_;
    DoubleValue doubleScratch_;
    IntValue own_;
};

// complex -> complex.
class SimpleFuncComplexElement final : public WithEvaluatable {
  public:
    SimpleFuncComplexElement(EvaluatablePtr argument, handler::ComplexToComplex f)
        : WithEvaluatable(std::move(argument)), f_(f) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return COMPLEX_VAL; }

  private:
    handler::ComplexToComplex f_;
    ComplexValue converted_;
    ComplexValue own_;
};

// complex -> double (real, imag, abs, arg).
class SimpleFuncCtoDElement final : public WithEvaluatable {
  public:
    SimpleFuncCtoDElement(EvaluatablePtr argument, handler::ComplexToDouble f)
        : WithEvaluatable(std::move(argument)), f_(f) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return DOUBLE_VAL; }

  private:
    handler::ComplexToDouble f_;
    ComplexValue scratch_;
    DoubleValue own_;
};

// ---- Family::Column: one result per column ----------------------------------

namespace detail {
// Evaluates the argument and presents it as doubles: a vector is one
// column, a matrix (or a 3-D array, page after page) one column per column.
class ColumnSource {
  public:
    explicit ColumnSource(int argumentType);
    void evaluate(Evaluatable& argument);
    const double* column(int c) const { return data_ + size_t(c) * size_t(rows_); }
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    bool isVector() const { return vector_; }

  private:
    ValuePtr scratch_;
    DoubleValue doubles_; // integer arguments converted
    const double* data_ = nullptr;
    int rows_ = 0;
    int columns_ = 0;
    bool vector_ = true;
};
} // namespace detail

class ColumnWiseFuncD_Element final : public WithEvaluatable {
  public:
    ColumnWiseFuncD_Element(EvaluatablePtr argument, handler::ColumnToDouble f);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return DOUBLE_VAL; }

  private:
    handler::ColumnToDouble f_;
    detail::ColumnSource source_;
    DoubleValue own_;
};

class ColumnWiseFuncI_Element final : public WithEvaluatable {
  public:
    ColumnWiseFuncI_Element(EvaluatablePtr argument, handler::ColumnToInt f);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }

  private:
    handler::ColumnToInt f_;
    detail::ColumnSource source_;
    IntValue own_;
};

// ---- Family::ValueToScalar: lists allowed -----------------------------------

class Value2ScalarD_Element final : public WithEvaluatable {
  public:
    Value2ScalarD_Element(EvaluatablePtr argument, handler::ValueToDouble f,
                          BuiltinContext& context);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return DOUBLE_VAL; }

  private:
    handler::ValueToDouble f_;
    BuiltinContext* context_;
    ValuePtr scratch_;
    DoubleValue own_;
};

class Value2ScalarI_Element final : public WithEvaluatable {
  public:
    Value2ScalarI_Element(EvaluatablePtr argument, handler::ValueToInt f, BuiltinContext& context);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }

  private:
    handler::ValueToInt f_;
    BuiltinContext* context_;
    ValuePtr scratch_;
    IntValue own_;
};

// ---- Family::ValueToValue ---------------------------------------------------

class DVal_DValFuncElement final : public WithEvaluatable {
  public:
    DVal_DValFuncElement(EvaluatablePtr argument, handler::ValueToDoubleValue f,
                         BuiltinContext& context);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return DOUBLE_VAL; }

  private:
    handler::ValueToDoubleValue f_;
    BuiltinContext* context_;
    ValuePtr scratch_;
    DoubleValue own_;
};

class DVal_IValFuncElement final : public WithEvaluatable {
  public:
    DVal_IValFuncElement(EvaluatablePtr argument, handler::ValueToIntValue f,
                         BuiltinContext& context);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }

  private:
    handler::ValueToIntValue f_;
    BuiltinContext* context_;
    ValuePtr scratch_;
    IntValue own_;
};

// ---- Family::OneOrTwoArgs ---------------------------------------------------

class TwoArgFuncElement final : public With2Evaluatable {
  public:
    // `second` may be null.
    TwoArgFuncElement(EvaluatablePtr first, EvaluatablePtr second, handler::OneOrTwo f,
                      BuiltinContext& context, int resultType, std::string name);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return resultType_; }
    // The first argument may be a list (a search through its items).
    void acceptListFirst() { listFirst_ = true; }
    // The handler to call instead when nobody reads the result (null: none).
    void setHandlerForUnusedResult(handler::OneOrTwo f) { unusedResultHandler_ = f; }
    void resultUnused() override {
        if (unusedResultHandler_) f_ = unusedResultHandler_;
    }

  private:
    handler::OneOrTwo f_;
    handler::OneOrTwo unusedResultHandler_ = nullptr;
    bool listFirst_ = false;
    BuiltinContext* context_;
    int resultType_;
    std::string name_;
    ValuePtr firstScratch_;
    ValuePtr secondScratch_;
    ValuePtr result_;
    ValuePtr converted_;
};

// ---- Family::Functor --------------------------------------------------------

class SimpleFunctorElement final : public With2Evaluatable {
  public:
    SimpleFunctorElement(EvaluatablePtr parameters, EvaluatablePtr x, handler::Functor f,
                         BuiltinContext& context);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return DOUBLE_VAL; }

  private:
    handler::Functor f_;
    BuiltinContext* context_;
    ValuePtr parameterScratch_;
    ValuePtr xScratch_;
    DoubleValue own_;
};

// ---- Family::General --------------------------------------------------------

class GeneralFuncElement final : public MultiInputOutput_Element, public MultiOutputSource {
  public:
    // Arguments of any type, lists included: each handler judges its own.
    GeneralFuncElement(std::vector<EvaluatablePtr> arguments, handler::General f,
                       BuiltinContext& context, int resultType, std::string name);
    // The first output.
    Value* pValue(Value* workspace) override;
    int resultType() const override { return resultType_; }
    int category() const override { return CAT_GENERAL_FUNC; }
    const std::string& name() const { return name_; }
    // Several outputs for a multiple assignment: outputs.size() is how many
    // are wanted; the handler fills them (reusing what is there) and may
    // leave unwanted ones null.
    void evaluateOutputs(std::span<ValuePtr> outputs) override;

  private:
    void evaluateArguments();

    handler::General f_;
    BuiltinContext* context_;
    int resultType_;
    std::string name_;
    std::vector<ValuePtr> scratch_;
    std::vector<const Value*> argumentValues_;
    std::vector<ValuePtr> outputs_;
    ValuePtr converted_;
};

} // namespace vemlor
