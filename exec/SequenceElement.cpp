// Sequences start:step:stop. The count is fixed first, in doubles, and the
// elements are accumulated (each is the previous one plus the step), so
// 0:0.1:0.3 has three elements because (0.3 - 0) / 0.1 lies just below 3.
#include "exec/SequenceElement.h"

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "exec/ExpressionSupport.h"

#include <climits>
#include <cmath>

namespace vemlor {
namespace {

constexpr const char* kNotScalar = "sequence must have scalar start, step, stop";

double partValue(Evaluatable& part, Value& scratch) {
    const Value* r = part.pValue(&scratch);
    if (r->n != 1) raiseRuntime(kNotScalar);
    switch (r->type()) {
    case INTEGER_VAL:
    case DOUBLE_VAL:
        return r->scalarDouble();
    case COMPLEX_VAL:
        return static_cast<const ComplexValue&>(*r)[0].real();
    default:
        raiseRuntime(kNotScalar);
    }
}

template <class T> void fillSequence(MathMatrix<T>& target, const SequenceParts& parts) {
    if (parts.count < 1) {
        target.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    int count = int(parts.count);
    target.setShapeKind(count, 1, KIND_NUMERIC);
    T* out = target.data();
    if constexpr (std::is_same_v<T, int>) {
        int x = integerPart(parts.start), step = integerPart(parts.step);
        for (int i = 0; i < count; ++i, x = int(x + (long long)step))
            out[i] = x;
    } else {
        double x = parts.start;
        for (int i = 0; i < count; ++i, x += parts.step)
            out[i] = T(x);
    }
}

} // namespace

SequenceElement::SequenceElement(EvaluatablePtr start, EvaluatablePtr stop, EvaluatablePtr step,
                                 int type)
    : With3Evaluatable(std::move(start), std::move(stop), std::move(step)), type_(type) {
    makeScratch();
}

void SequenceElement::makeScratch() {
    if (!a_ || !b_) raiseBug("BUG: sequence without a start or a stop");
    startScratch_ = detail::newScratch(a_->resultType());
    stopScratch_ = detail::newScratch(b_->resultType());
    stepScratch_ = c_ ? detail::newScratch(c_->resultType()) : nullptr;
}

void SequenceElement::addStop(EvaluatablePtr stop, int type) {
    if (c_) raiseBug("BUG: stop added to a sequence that has its step");
    c_ = std::move(b_);
    b_ = std::move(stop);
    type_ = type;
    makeScratch();
}

EvaluatablePtr SequenceElement::releaseStop() {
    return std::move(b_);
}

void SequenceElement::replaceStop(EvaluatablePtr stop, int type) {
    b_ = std::move(stop);
    type_ = type;
    makeScratch();
}

SequenceParts evaluateSequenceParts(const SequenceElement& sequence) {
    SequenceParts parts;
    parts.start = partValue(*sequence.a_, *sequence.startScratch_);
    if (sequence.c_) parts.step = partValue(*sequence.c_, *sequence.stepScratch_);
    parts.stop = partValue(*sequence.b_, *sequence.stopScratch_);
    double count = std::trunc((parts.stop - parts.start) / parts.step) + 1;
    if (!(count >= 1)) return parts; // also NaN: 1:0:1 and friends
    if (count > double(INT_MAX)) raiseRuntime("matrix too large");
    parts.count = long(count);
    return parts;
}

int integerPart(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT_MIN;
    return int(x);
}

Value* SequenceElement::pValue(Value* workspace) {
    SequenceParts parts = evaluateSequenceParts(*this);
    switch (workspace->type()) {
    case INTEGER_VAL:
        fillSequence(static_cast<MathMatrix<int>&>(*workspace), parts);
        break;
    case DOUBLE_VAL:
        fillSequence(static_cast<MathMatrix<double>&>(*workspace), parts);
        break;
    case COMPLEX_VAL:
        fillSequence(static_cast<MathMatrix<complexd>&>(*workspace), parts);
        break;
    default:
        raiseBug("BUG: sequence evaluated into a list");
    }
    return workspace;
}

} // namespace vemlor
