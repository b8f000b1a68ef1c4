// The indexed-read factory, the helpers every index element shares (modes,
// dimension sizes, sequences and position lists) and ConstIndexElement.
//
// The factory decides once, while the tree is built, how each index is read:
// a constant scalar index is checked at build time, a sequence is read
// through its parts, a lone ':' selects the whole dimension, and a colon
// mode (m[i,:], m[:,j]) turns the remaining index into a row or column
// selection.
#include "exec/IndexElementClasses.h"

#include "core/StorageOps.h"

#include "core/Errors.h"

#include <cmath>
#include <memory>
#include <numeric>
#include <optional>
#include <string>

namespace vemlor {

namespace detail {

int partKindOf(const Value& source, bool keeps3D) {
    if (source.is3D() && !keeps3D) return KIND_NUMERIC;
    return source.kind;
}

int emptyKindOf(const Value& source) {
    int code = kindCode(source.kind);
    return code == KIND_3D ? KIND_NUMERIC : code;
}

SequenceRange sequenceRange(const SequenceElement& sequence, int size, std::string_view context,
                            std::string_view message) {
    SequenceParts parts = evaluateSequenceParts(sequence);
    if (parts.count < 1) return {1, 1, 0};
    double first = std::trunc(parts.start), step = std::trunc(parts.step);
    double last = first + double(parts.count - 1) * step;
    // A zero step would repeat one position without end.
    bool inside =
        first >= 1 && first <= size && last >= 1 && last <= size && (step != 0 || parts.count == 1);
    if (!inside) raiseRuntime(context, message);
    return {int(first), int(step), int(parts.count)};
}

IndexSource IndexSource::of(Evaluatable* index) {
    if (!index) raiseBug("BUG: missing index element");
    IndexSource source;
    source.element = index;
    if (index->category() == CAT_OPEN_SEQUENCE) {
        source.whole = true;
    } else if (index->category() == CAT_SEQUENCE) {
        source.sequence = dynamic_cast<const SequenceElement*>(index);
        if (!source.sequence) raiseBug("BUG: sequence index that is not a sequence");
    }
    return source;
}

const JMatrix<int>& IndexPositions::evaluate(Evaluatable& index) {
    const Value* v = index.pValue(&scratch_);
    if (v->type() != INTEGER_VAL) raiseRuntime("something wrong: index was not an integer");
    return static_cast<const JMatrix<int>&>(*v);
}

const std::vector<int>& IndexPositions::fromValue(const JMatrix<int>& index, int size,
                                                  std::string_view maskMessage,
                                                  std::string_view boundsMessage) {
    const int* d = index.data();
    positions_.clear();
    if (kindCode(index.kind) == KIND_BOOL) {
        if (index.n != size) raiseRuntime(maskMessage);
        for (int i = 0; i < index.n; ++i)
            if (d[i] != 0) positions_.push_back(i + 1);
        return positions_;
    }
    positions_.assign(d, d + index.n);
    for (int p : positions_)
        if (p < 1 || p > size) raiseRuntime(boundsMessage);
    return positions_;
}

const std::vector<int>& IndexPositions::read(const IndexSource& source, int size,
                                             std::string_view maskMessage,
                                             std::string_view boundsMessage) {
    if (source.whole) {
        positions_.resize(size_t(std::max(size, 0)));
        std::iota(positions_.begin(), positions_.end(), 1);
        return positions_;
    }
    if (source.sequence) {
        SequenceRange range = sequenceRange(*source.sequence, size, {}, boundsMessage);
        positions_.resize(size_t(range.count));
        for (int j = 0; j < range.count; ++j)
            positions_[size_t(j)] = range.first + j * range.step;
        return positions_;
    }
    return fromValue(evaluate(*source.element), size, maskMessage, boundsMessage);
}

} // namespace detail

Value* ConstIndexElement::pValue(Value* workspace) {
    int mode = detail::resolvedSelectMode(*variable_, mode_);
    if (index_ > detail::dimensionSize(*variable_, mode)) raiseRuntime("index exceeds array size");
    variable_->subValue(index_, *workspace, mode);
    return workspace;
}

namespace {

const char* const NOT_INTEGER = "something wrong: index was not an integer";
const char* const LIST_FORM = "this form of indexing of a list is not yet implemented";

bool isSequence(const Evaluatable& e) {
    return e.category() == CAT_SEQUENCE;
}
bool isWhole(const Evaluatable& e) {
    return e.category() == CAT_OPEN_SEQUENCE;
}

// Sequences are read through their parts and ':' is never evaluated, so only
// ordinary indices must deliver integers.
void checkDeliversInteger(const Evaluatable& index) {
    if (isSequence(index) || isWhole(index)) return;
    if (index.resultType() != INTEGER_VAL) throw SyntaxError(NOT_INTEGER);
}

// The value of a constant integer scalar index; nothing for any other index.
std::optional<int> constantIndex(Evaluatable& index) {
    if (index.category() != CAT_NUMBER || index.resultType() != INTEGER_VAL) return std::nullopt;
    IntValue workspace;
    const Value* v = index.pValue(&workspace);
    if (v->n != 1) return std::nullopt;
    return v->scalarInt();
}

EvaluatablePtr singleIndexRead(Value* variable, EvaluatablePtr index, int mode) {
    if (isSequence(*index))
        return std::make_unique<IndexedWithSequenceElement>(variable, std::move(index), mode);
    if (std::optional<int> k = constantIndex(*index)) {
        if (*k < 1) throw SyntaxError("index must be positive");
        return std::make_unique<ConstIndexElement>(variable, *k, mode);
    }
    return std::make_unique<IndexedElementSingle>(variable, std::move(index), mode);
}

// Lists take one index, never ':' or a colon mode, and keep even a constant
// index in an IndexedElementSingle (the part of a list is a list).
EvaluatablePtr listIndexRead(Value* list, std::vector<EvaluatablePtr> indices, int colonMode,
                             int selectMode) {
    if (indices.size() > 1)
        throw SyntaxError("list indexing with more than 1 index is not yet implemented");
    EvaluatablePtr& index = indices.front();
    if (colonMode != 0 || isWhole(*index)) throw SyntaxError(LIST_FORM);
    if (isSequence(*index))
        return std::make_unique<IndexedWithSequenceElement>(list, std::move(index), selectMode);
    return std::make_unique<IndexedElementSingle>(list, std::move(index), selectMode);
}

} // namespace

EvaluatablePtr makeIndexedRead(Value* variable, std::vector<EvaluatablePtr> indices, int colonMode,
                               int selectMode) {
    if (!variable) raiseBug("BUG: indexed read without a variable");
    if (indices.empty() || indices.size() > 2)
        raiseBug("BUG: indexed read with " + std::to_string(indices.size()) + " indices");
    for (const EvaluatablePtr& index : indices) {
        if (!index) raiseBug("BUG: missing index element");
        checkDeliversInteger(*index);
    }
    if (variable->type() == LIST_VAL)
        return listIndexRead(variable, std::move(indices), colonMode, selectMode);

    if (indices.size() == 1) {
        int mode = colonMode == 1 ? SELECT_ROW : colonMode == 2 ? SELECT_COLUMN : selectMode;
        return singleIndexRead(variable, std::move(indices.front()), mode);
    }
    bool wholeRows = isWhole(*indices[0]), wholeCols = isWhole(*indices[1]);
    if (wholeCols && !wholeRows)
        return singleIndexRead(variable, std::move(indices[0]), SELECT_ROW);
    if (wholeRows && !wholeCols)
        return singleIndexRead(variable, std::move(indices[1]), SELECT_COLUMN);
    return std::make_unique<IndexedElementDouble>(variable, std::move(indices[0]),
                                                  std::move(indices[1]));
}

EvaluatablePtr makeListItemRead(Value* list, EvaluatablePtr index) {
    if (!list || !index) raiseBug("BUG: list item read without a list or an index");
    if (list->type() != LIST_VAL) raiseBug("BUG: list item read of a value that is not a list");
    if (isSequence(*index) || isWhole(*index)) throw SyntaxError(LIST_FORM);
    checkDeliversInteger(*index);
    return std::make_unique<ListItemElement>(list, std::move(index));
}

} // namespace vemlor
