// Evaluatable: one element of an expression tree.
//
// Building a tree fixes the result type of every node, so evaluation only
// moves values. pValue receives a workspace of the announced result type and
// either fills it and returns it, or returns a value the element (or a
// variable) owns. The caller never frees the result and treats it as
// read-only unless it is the workspace. Scratch values live in the elements
// and are reused from one evaluation to the next, so a hot loop allocates
// nothing once the sizes have settled.
#pragma once

#include "core/Value.h"

#include <cmath>
#include <memory>
#include <vector>

namespace vemlor {

// The type a list-item access reports while building: the item's real type
// is only known once the index has been evaluated.
inline constexpr int LIST_ITEM_TYPE = 4;

// What kind of element the builder and the parsers are looking at.
enum ElementCategory : int {
    CAT_OTHER = 0,
    CAT_NUMBER = 1,        // numeric constants
    CAT_VARIABLE = 2,      // ValueElement, ConstIndexElement
    CAT_INDEXED = 3,       // IndexedElementSingle, IndexedElementDouble
    CAT_EXPRESSION = 4,    // every Expression class
    CAT_SEQUENCE = 5,      // SequenceElement
    CAT_END_INDEX = 6,     // EndIndexElement
    CAT_OPEN_SEQUENCE = 7, // OpenSequenceElement (a lone ':')
    CAT_SIMPLE_FUNC = 8,   // SimpleFuncElement
    CAT_GENERAL_FUNC = 9,  // GeneralFuncElement
    CAT_USER_FUNC = 10,    // UserFuncElement
    CAT_FUNC_REF = 11,     // FuncRefElement
    CAT_LIST_ITEM = 12,    // ListItemElement
};

class Evaluatable {
  public:
    virtual ~Evaluatable() = default;
    virtual Value* pValue(Value* workspace) = 0;
    virtual int resultType() const = 0;
    virtual int category() const { return CAT_OTHER; }
    // Told once, when the tree is built, that nothing will read the value
    // (a statement that shows nothing): an element may then skip making it.
    virtual void resultUnused() {}
    // Whether evaluating reads `variable` (an assignment whose target also
    // occurs on the right must evaluate into a temporary first).
    virtual bool refersTo(const Value* variable) const = 0;
};

using EvaluatablePtr = std::unique_ptr<Evaluatable>;

// Bases that own children and answer refersTo over them.
class WithEvaluatable : public Evaluatable {
  public:
    explicit WithEvaluatable(EvaluatablePtr child) : child_(std::move(child)) {}
    bool refersTo(const Value* v) const override { return child_ && child_->refersTo(v); }
    Evaluatable* child() const { return child_.get(); }

  protected:
    EvaluatablePtr child_;
};

class With2Evaluatable : public Evaluatable {
  public:
    With2Evaluatable(EvaluatablePtr first, EvaluatablePtr second)
        : first_(std::move(first)), second_(std::move(second)) {}
    bool refersTo(const Value* v) const override {
        return (first_ && first_->refersTo(v)) || (second_ && second_->refersTo(v));
    }

  protected:
    EvaluatablePtr first_;
    EvaluatablePtr second_; // may be absent
};

class With3Evaluatable : public Evaluatable {
  public:
    With3Evaluatable(EvaluatablePtr a, EvaluatablePtr b, EvaluatablePtr c)
        : a_(std::move(a)), b_(std::move(b)), c_(std::move(c)) {}
    bool refersTo(const Value* v) const override {
        return (a_ && a_->refersTo(v)) || (b_ && b_->refersTo(v)) || (c_ && c_->refersTo(v));
    }

  protected:
    EvaluatablePtr a_, b_, c_; // any may be absent
};

class MultiInputOutput_Element : public Evaluatable {
  public:
    explicit MultiInputOutput_Element(std::vector<EvaluatablePtr> arguments)
        : arguments_(std::move(arguments)) {}
    bool refersTo(const Value* v) const override {
        for (const EvaluatablePtr& a : arguments_)
            if (a && a->refersTo(v)) return true;
        return false;
    }
    const std::vector<EvaluatablePtr>& arguments() const { return arguments_; }

  protected:
    std::vector<EvaluatablePtr> arguments_;
};

// Evaluates `element` into `workspace` and makes sure the result is in the
// workspace itself (copying when the element returned a value it owns).
inline Value* evaluateInto(Evaluatable& element, Value& workspace) {
    Value* result = element.pValue(&workspace);
    if (result != &workspace) workspace.assign(*result);
    return &workspace;
}

} // namespace vemlor
