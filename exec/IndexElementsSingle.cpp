// Reads with one index: IndexedElementSingle (an index expression, a mask,
// ':' or an empty index) and IndexedWithSequenceElement (a sequence a:b or
// a:s:b, copied straight from its parts without a position list).
//
// Both select in a mode resolved against the variable's current shape:
// elements, rows, columns or pages. An empty selection leaves an empty value
// of the variable's kind code, so that an empty part of a string is still a
// string.
#include "exec/IndexElementClasses.h"

#include "core/Errors.h"

#include <algorithm>

namespace vemlor {

namespace {

void makeEmptyPart(const Value& x, Value& workspace) {
    workspace.clear();
    workspace.kind = detail::emptyKindOf(x);
}

// Copies the parts at first, first + step, ... of x into `out` (which is not x).
template <class T>
void gatherParts(const JMatrix<T>& x, JMatrix<T>& out, int mode,
                 const detail::SequenceRange& range) {
    const T* in = x.data();
    int rows = x.nrow, count = range.count;
    auto at = [&range](int j) { return size_t(range.first - 1 + j * range.step); };
    switch (mode) {
    case SELECT_ELEMENT: {
        bool asRow = x.nrow == 1 && x.n > 1;
        out.setShapeKind(count, asRow ? 1 : count, detail::partKindOf(x, false));
        T* o = out.data();
        for (int j = 0; j < count; ++j)
            o[j] = in[at(j)];
        break;
    }
    case SELECT_ROW: {
        int cols = x.ncol();
        out.setShapeKind(count * cols, count, detail::partKindOf(x, true));
        T* o = out.data();
        for (int c = 0; c < cols; ++c) {
            const T* column = in + size_t(c) * size_t(rows);
            for (int j = 0; j < count; ++j)
                *o++ = column[at(j)];
        }
        break;
    }
    case SELECT_COLUMN: {
        out.setShapeKind(rows * count, rows, detail::partKindOf(x, false));
        T* o = out.data();
        for (int j = 0; j < count; ++j, o += rows)
            std::copy_n(in + at(j) * size_t(rows), rows, o);
        break;
    }
    default: { // SELECT_PAGE
        int page = rows * x.ncol3D();
        out.setShapeKind(page * count, rows, kind3D(count));
        T* o = out.data();
        for (int j = 0; j < count; ++j, o += page)
            std::copy_n(in + at(j) * size_t(page), page, o);
    }
    }
}

} // namespace

Value* IndexedElementSingle::pValue(Value* workspace) {
    const Value& x = *variable_;
    int mode = detail::resolvedSelectMode(x, mode_);
    int size = detail::dimensionSize(x, mode);
    const std::vector<int>& positions =
        positions_.read(source_, size, "boolean mask has wrong size", "index out of bounds");
    if (positions.size() == 1)
        x.subValue(positions.front(), *workspace, mode);
    else if (positions.empty())
        makeEmptyPart(x, *workspace);
    else
        x.selectIndexed(positions, *workspace, mode);
    return workspace;
}

IndexedWithSequenceElement::IndexedWithSequenceElement(Value* variable, EvaluatablePtr sequence,
                                                       int mode)
    : WithEvaluatable(std::move(sequence)), variable_(variable), sequence_(nullptr), mode_(mode) {
    sequence_ = detail::IndexSource::of(child_.get()).sequence;
    if (!sequence_) raiseBug("BUG: index by a sequence without the sequence");
}

// The workspace is filled directly when it has the variable's class; any
// other workspace (or the variable itself) gets the part through a staging
// value and the widening assignment.
template <class T>
void IndexedWithSequenceElement::gather(const JMatrix<T>& x, Value* workspace, int mode,
                                        const detail::SequenceRange& range) {
    if (workspace->type() == x.type() && workspace != &x) {
        gatherParts(x, static_cast<JMatrix<T>&>(*workspace), mode, range);
        return;
    }
    if (!staging_ || staging_->type() != x.type()) staging_ = newValue(x.type());
    auto& staged = static_cast<JMatrix<T>&>(*staging_);
    gatherParts(x, staged, mode, range);
    workspace->assign(staged);
}

Value* IndexedWithSequenceElement::pValue(Value* workspace) {
    const Value& x = *variable_;
    int mode = detail::resolvedSelectMode(x, mode_);
    detail::SequenceRange range = detail::sequenceRange(*sequence_, detail::dimensionSize(x, mode),
                                                        "sequenced index", "index out of bounds");
    if (range.count == 0) {
        makeEmptyPart(x, *workspace);
        return workspace;
    }
    switch (x.type()) {
    case INTEGER_VAL:
        gather(static_cast<const JMatrix<int>&>(x), workspace, mode, range);
        break;
    case DOUBLE_VAL:
        gather(static_cast<const JMatrix<double>&>(x), workspace, mode, range);
        break;
    case COMPLEX_VAL:
        gather(static_cast<const JMatrix<complexd>&>(x), workspace, mode, range);
        break;
    default:
        gather(static_cast<const JMatrix<ListItem>&>(x), workspace, mode, range);
    }
    return workspace;
}

} // namespace vemlor
