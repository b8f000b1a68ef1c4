// The indexed-read elements that makeIndexedRead and makeListItemRead build.
//
// Each element holds a non-owning pointer to the indexed variable (owned by
// the workspace) and owns its index elements. Indices deliver integers; a
// SequenceElement index is read through its parts and an OpenSequenceElement
// (a lone ':') stands for the whole dimension. Sizes and selection modes are
// taken from the variable each time, since its shape may change between
// evaluations. Scratch values are members, so an evaluation allocates nothing
// once they have grown to size.
#pragma once

#include "core/MathMatrix.h"
#include "core/StorageOps.h"
#include "exec/IndexElements.h"
#include "exec/SequenceElement.h"
#include "exec/ValueElement.h"

#include <string_view>
#include <vector>

namespace vemlor {

namespace detail {

// Kind word of a part of `source`: its own, except that parts of a 3-D array
// that are not whole pages or rows are plain matrices.
int partKindOf(const Value& source, bool keeps3D);
// Kind word of an empty selection from `source`: its kind code, so that an
// empty part of a string is an empty string.
int emptyKindOf(const Value& source);

// A sequence index truncated to integers: `count` positions (1-based)
// first, first + step, ...
struct SequenceRange {
    int first = 1, step = 1, count = 0;
};
// Evaluates the parts and checks that both ends lie in 1..size (else
// `message`, with `context` when not empty). An empty sequence is not checked.
SequenceRange sequenceRange(const SequenceElement& sequence, int size, std::string_view context,
                            std::string_view message);

// How one index is read: an ordinary element, a sequence or the whole dimension.
struct IndexSource {
    Evaluatable* element = nullptr;            // null with `whole`
    const SequenceElement* sequence = nullptr; // set when the index is a sequence
    bool whole = false;
    static IndexSource of(Evaluatable* index);
};

// Turns one index into a list of 1-based positions, reusing its buffers.
class IndexPositions {
  public:
    // The integer value an ordinary index delivers (the index's own value or
    // this scratch); "something wrong: index was not an INTEGER_VAL" otherwise.
    const JMatrix<int>& evaluate(Evaluatable& index);
    // Positions from an evaluated index: a boolean value is a mask that must
    // have `size` elements (maskMessage) and gives its nonzero positions;
    // anything else gives its elements. Every position must lie in 1..size.
    const std::vector<int>& fromValue(const JMatrix<int>& index, int size,
                                      std::string_view maskMessage, std::string_view boundsMessage);
    // Any index form: whole dimension, sequence or ordinary element.
    const std::vector<int>& read(const IndexSource& source, int size, std::string_view maskMessage,
                                 std::string_view boundsMessage);

  private:
    IntValue scratch_;
    std::vector<int> positions_;
};

} // namespace detail

// x[k] with a constant k >= 1: "index exceeds array size" beyond the
// dimension, else part k in the element's selection mode.
class ConstIndexElement : public ValueElement {
  public:
    ConstIndexElement(Value* variable, int index, int mode)
        : ValueElement(variable), index_(index), mode_(mode) {}
    Value* pValue(Value* workspace) override;
    int index() const { return index_; }
    int mode() const { return mode_; }

  private:
    int index_;
    int mode_;
};

// x[i] with one index expression (also a mask, ':' or an empty index).
class IndexedElementSingle : public WithEvaluatable {
  public:
    IndexedElementSingle(Value* variable, EvaluatablePtr index, int mode)
        : WithEvaluatable(std::move(index)), variable_(variable), mode_(mode),
          source_(detail::IndexSource::of(child_.get())) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return variable_->type(); }
    int category() const override { return CAT_INDEXED; }
    bool refersTo(const Value* v) const override {
        return v == variable_ || WithEvaluatable::refersTo(v);
    }
    int mode() const { return mode_; }
    Value* variable() const { return variable_; }

  private:
    Value* variable_; // owned by the workspace
    int mode_;
    detail::IndexSource source_;
    detail::IndexPositions positions_;
};

// m[r, c]: the submatrix at the listed rows and columns, or, when r is a
// string, the row or column found by a string lookup (see lookUp).
class IndexedElementDouble : public With2Evaluatable {
  public:
    IndexedElementDouble(Value* variable, EvaluatablePtr rows, EvaluatablePtr cols)
        : With2Evaluatable(std::move(rows), std::move(cols)), variable_(variable),
          rowSource_(detail::IndexSource::of(first_.get())),
          colSource_(detail::IndexSource::of(second_.get())) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return variable_->type(); }
    int category() const override { return CAT_INDEXED; }
    bool refersTo(const Value* v) const override {
        return v == variable_ || With2Evaluatable::refersTo(v);
    }

  private:
    Value* variable_; // owned by the workspace
    detail::IndexSource rowSource_, colSource_;
    detail::IndexPositions rows_, cols_;

    Value* lookUp(const JMatrix<int>& key, Value* workspace);
};

// x[a:b] or x[a:s:b]: the selected parts are copied straight from the
// sequence's parts; no position list is built.
class IndexedWithSequenceElement : public WithEvaluatable {
  public:
    IndexedWithSequenceElement(Value* variable, EvaluatablePtr sequence, int mode);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return variable_->type(); }
    bool refersTo(const Value* v) const override {
        return v == variable_ || WithEvaluatable::refersTo(v);
    }
    int mode() const { return mode_; }

  private:
    Value* variable_;                 // owned by the workspace
    const SequenceElement* sequence_; // the child
    int mode_;
    ValuePtr staging_; // of the variable's type, for a workspace that is not

    template <class T>
    void gather(const JMatrix<T>& x, Value* workspace, int mode,
                const detail::SequenceRange& range);
};

// x.k: a copy of one item of a list. Its type is only known once the index
// is evaluated, so resultType() answers LIST_ITEM_TYPE and itemType() tells
// the statements which type the item has now.
class ListItemElement : public WithEvaluatable {
  public:
    ListItemElement(Value* list, EvaluatablePtr index)
        : WithEvaluatable(std::move(index)), list_(list) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return LIST_ITEM_TYPE; }
    int category() const override { return CAT_LIST_ITEM; }
    bool refersTo(const Value* v) const override {
        return v == list_ || WithEvaluatable::refersTo(v);
    }
    // Type code of the item the index selects now; an empty item counts as
    // an (empty) double.
    int itemType();
    // The selected item after the index checks; null for an empty item.
    const Value* selectItem();

  private:
    Value* list_; // owned by the workspace
    detail::IndexPositions index_;
};

} // namespace vemlor
