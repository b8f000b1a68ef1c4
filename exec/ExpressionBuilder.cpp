// The builder's side that the parser drives operand by operand: appending,
// sequences, operators and unary operators. Finishing lives in
// ExpressionFinish.cpp.
//
// A ':' binds its neighbouring operands directly: appending after a ':'
// makes the last operand the start of a SequenceElement (a:b), and a second
// ':' moves b to the step (a:b:c). A unary operator written right after such
// a stop belongs to the stop, so a:-b counts down to -b.
#include "exec/ExpressionBuilder.h"

#include "core/Errors.h"
#include "core/OperatorCodes.h"
#include "exec/ExpressionFinish.h"
#include "exec/SequenceElement.h"
#include "exec/UnaryElements.h"

namespace vemlor {

using detail::BuildEntry;

struct ExpressionBuilder::Impl {
    detail::BuildEntries entries;
    // The last append completed a sequence, so a unary operator now applies
    // to its stop.
    bool stopJustAppended = false;
};

namespace {

constexpr const char* kMisplacedOperator = "Incorrectly placed operator in bracket or expression";

// Operators that compute with their operands' elements (levels 0 to 4 and
// the percent forms), as opposed to separators, comparisons and logic.
bool computesElements(char op) {
    if (op == '%' || op == 'V') return true;
    int code = opCodeOf(op);
    return code >= 0 && precedenceLevel(code) <= 4;
}

int sequenceType(const Evaluatable* a, const Evaluatable* b, const Evaluatable* c) {
    for (const Evaluatable* part : {a, b, c})
        if (part && part->resultType() != INTEGER_VAL) return DOUBLE_VAL;
    return INTEGER_VAL;
}

SequenceElement& sequenceOf(BuildEntry& entry) {
    return static_cast<SequenceElement&>(*entry.operand);
}

void extendSequence(BuildEntry& entry, EvaluatablePtr stop) {
    switch (entry.sequenceParts) {
    case 0: {
        int type = sequenceType(entry.operand.get(), stop.get(), nullptr);
        entry.operand = std::make_unique<SequenceElement>(std::move(entry.operand), std::move(stop),
                                                          nullptr, type);
        entry.sequenceParts = 2;
        return;
    }
    case 2: {
        SequenceElement& sequence = sequenceOf(entry);
        int type = sequenceType(sequence.start(), sequence.stop(), stop.get());
        sequence.addStop(std::move(stop), type);
        entry.sequenceParts = 3;
        return;
    }
    default:
        throw SyntaxError("a:b:c:d ??");
    }
}

void applyUnaryToStop(SequenceElement& sequence, char op) {
    checkUnaryOperator(op, sequence.stop()->resultType());
    auto stop = std::make_unique<UnaryOpElement>(sequence.releaseStop(), op);
    int type = sequenceType(sequence.start(), stop.get(), sequence.step());
    sequence.replaceStop(std::move(stop), type);
}

} // namespace

ExpressionBuilder::ExpressionBuilder() : impl_(std::make_unique<Impl>()) {}
ExpressionBuilder::~ExpressionBuilder() = default;
ExpressionBuilder::ExpressionBuilder(ExpressionBuilder&&) noexcept = default;
ExpressionBuilder& ExpressionBuilder::operator=(ExpressionBuilder&&) noexcept = default;

void ExpressionBuilder::append(EvaluatablePtr operand, char op) {
    if (!operand) raiseBug("BUG: expression entry without an operand");
    if (op != 0 && computesElements(op) && operand->resultType() == LIST_VAL)
        raiseBug("BUG: a list operand with an arithmetic operator");
    auto& entries = impl_->entries;
    if (!entries.empty() && entries.back().op == ':') {
        extendSequence(entries.back(), std::move(operand));
        entries.back().op = op;
        impl_->stopJustAppended = true;
        return;
    }
    entries.push_back({std::move(operand), op, 0});
    impl_->stopJustAppended = false;
}

void ExpressionBuilder::setOperator(char op) {
    if (impl_->entries.empty()) throw SyntaxError(kMisplacedOperator);
    impl_->entries.back().op = op;
    impl_->stopJustAppended = false;
}

void ExpressionBuilder::applyUnary(char op) {
    if (impl_->entries.empty()) throw SyntaxError(kMisplacedOperator);
    BuildEntry& last = impl_->entries.back();
    if (impl_->stopJustAppended && last.sequenceParts >= 2) {
        applyUnaryToStop(sequenceOf(last), op);
        return;
    }
    checkUnaryOperator(op, last.operand->resultType()); // before the operand moves
    last.operand = std::make_unique<UnaryOpElement>(std::move(last.operand), op);
}

void ExpressionBuilder::percentStep() {
    detail::percentStep(impl_->entries);
    impl_->stopJustAppended = false;
}

bool ExpressionBuilder::empty() const {
    return impl_->entries.empty();
}

int ExpressionBuilder::size() const {
    return int(impl_->entries.size());
}

char ExpressionBuilder::lastOperator() const {
    return impl_->entries.empty() ? char(0) : impl_->entries.back().op;
}

EvaluatablePtr ExpressionBuilder::finish() {
    detail::BuildEntries entries = std::move(impl_->entries);
    impl_->entries.clear();
    impl_->stopJustAppended = false;
    return detail::finishEntries(std::move(entries));
}

} // namespace vemlor
