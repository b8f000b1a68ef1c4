// Compiling expressions into the scalar form.
//
// Operands are compiled left to right and grouped by the operator table's
// levels, as the tree evaluates them, so that a hand-back in the middle of a
// statement finds the tree's evaluation in the same order (user-function
// results are parked in that order). An expression's value carries the kind
// word the tree would give it: arithmetic keeps the left operand's, a
// comparison is boolean; "strict" marks the operands whose kind reaches the
// result.
#include "exec/ScalarCompiler.h"

#include "core/JMatrix.h"
#include "core/MathMatrix.h"
#include "core/OperatorCodes.h"
#include "exec/ComparisonElements.h"
#include "exec/ConstantElements.h"
#include "exec/ConversionElements.h"
#include "exec/Expression.h"
#include "exec/Factorial.h"
#include "exec/FuncElementClasses.h"
#include "exec/IndexElementClasses.h"
#include "exec/SequenceElement.h"
#include "exec/UnaryElements.h"
#include "exec/UserFunc.h"
#include "exec/UserFuncElements.h"
#include "exec/ValueElement.h"

#include <algorithm>
#include <typeinfo>

namespace vemlor::scalar {

namespace {

constexpr int kMaxArguments = 32;

bool numericType(int type) {
    return type == INTEGER_VAL || type == DOUBLE_VAL;
}

Op comparisonOp(int code) {
    switch (code) {
    case OP_LESS:
        return Op::Less;
    case OP_LESS_EQUAL:
        return Op::LessEqual;
    case OP_EQUAL:
        return Op::Equal;
    case OP_NOT_EQUAL:
        return Op::NotEqual;
    case OP_GREATER_EQUAL:
        return Op::GreaterEqual;
    default:
        return Op::Greater;
    }
}

Op comparisonJumpOp(int code) {
    switch (code) {
    case OP_LESS:
        return Op::JumpUnlessLess;
    case OP_LESS_EQUAL:
        return Op::JumpUnlessLessEqual;
    case OP_EQUAL:
        return Op::JumpUnlessEqual;
    case OP_NOT_EQUAL:
        return Op::JumpUnlessNotEqual;
    case OP_GREATER_EQUAL:
        return Op::JumpUnlessGreaterEqual;
    default:
        return Op::JumpUnlessGreater;
    }
}

bool arithmeticOp(int code, bool integers, Op& op) {
    static constexpr struct {
        int code;
        Op real, whole;
    } kTable[] = {{OP_PLUS, Op::Add, Op::AddInt},
                  {OP_MINUS, Op::Sub, Op::SubInt},
                  {OP_TIMES, Op::Mul, Op::MulInt},
                  {OP_DIVIDE, Op::Div, Op::DivInt},
                  {OP_POWER, Op::Pow, Op::PowInt},
                  {OP_MOD, Op::Mod, Op::ModInt},
                  {OP_INT_DIVIDE, Op::FloorDiv, Op::FloorDivInt},
                  {OP_AND, Op::And, Op::And},
                  {OP_OR, Op::Or, Op::Or},
                  {OP_XOR, Op::Xor, Op::Xor}};
    for (const auto& row : kTable)
        if (row.code == code) {
            op = integers ? row.whole : row.real;
            return true;
        }
    return false;
}

// The comparison chains this form handles: integer and double operands.
const ComparatorElement<double>* doubleChain(Evaluatable& e) {
    return dynamic_cast<const ComparatorElement<double>*>(&e);
}
const ComparatorElement<int>* intChain(Evaluatable& e) {
    return dynamic_cast<const ComparatorElement<int>*>(&e);
}

struct Chain {
    Evaluatable *a = nullptr, *b = nullptr, *c = nullptr;
    int op1 = 0, op2 = 0;
};

bool chainOf(Evaluatable& e, Chain& chain) {
    if (auto* d = doubleChain(e)) {
        chain = {d->first(), d->second(), d->third(), d->firstOperator(), d->secondOperator()};
        return true;
    }
    if (auto* i = intChain(e)) {
        chain = {i->first(), i->second(), i->third(), i->firstOperator(), i->secondOperator()};
        return true;
    }
    return false;
}

} // namespace

bool Compiler::expression(Evaluatable& e, bool strict, Operand& out, int target) {
    if (auto* number = dynamic_cast<NumberElementBase*>(&e)) {
        const Value& v = number->value();
        if (v.n != 1 || v.kind != KIND_NUMERIC || !numericType(v.type())) return false;
        out = {constant(v.scalarDouble()), KIND_NUMERIC};
        return true;
    }
    if (typeid(e) == typeid(ValueElement))
        return variableRead(static_cast<ValueElement&>(e).variable(), strict, out);
    if (dynamic_cast<ConstIndexElement*>(&e) || typeid(e) == typeid(IndexedElementSingle))
        return elementRead(e, out, target);
    if (dynamic_cast<Expression*>(&e)) return entries(e, strict, out, target);
    if (doubleChain(e) || intChain(e)) return comparison(e, out, target);
    if (dynamic_cast<UnaryOpElement*>(&e)) return unary(e, strict, out, target);
    if (auto* convert = dynamic_cast<IntToDoubleElement*>(&e))
        return expression(*convert->child(), strict, out, target);
    if (auto* convert = dynamic_cast<DoubleToIntElement*>(&e)) {
        Operand value;
        if (convert->child()->resultType() != DOUBLE_VAL) return false;
        if (!expression(*convert->child(), strict, value)) return false;
        Instruction cut{Op::Truncate};
        cut.a = destination(target);
        cut.b = value.slot;
        cut.site = site();
        emit(cut);
        out = {cut.a, value.kind};
        return true;
    }
    if (dynamic_cast<SimpleFuncElement*>(&e) || dynamic_cast<SimpleFuncIntElement*>(&e))
        return call(e, out, target);
    if (dynamic_cast<QuickUserFuncElement*>(&e) && inlineQuickCall(e, strict, out, target))
        return true;
    if (dynamic_cast<UserFuncElement*>(&e) || dynamic_cast<QuickUserFuncElement*>(&e))
        return userCall(e, out, target);
    return false;
}

bool Compiler::variableRead(Value* variable, bool strict, Operand& out) {
    for (auto it = substitutions_.rbegin(); it != substitutions_.rend(); ++it)
        if (it->first == variable) {
            out = {it->second, KIND_NUMERIC};
            return true;
        }
    if (!variable || variable->type() != DOUBLE_VAL) return false;
    std::uint16_t slot = variableSlot(variable);
    markRead(slot);
    if (strict && !code_.slots[slot].numericOnly) {
        Instruction load{Op::LoadChecked};
        load.a = temporary();
        load.b = slot;
        load.site = site();
        emit(load);
        out = {load.a, KIND_NUMERIC};
        return true;
    }
    out = {slot, KIND_NUMERIC};
    return true;
}

// ---- operator entries ---------------------------------------------------------

bool Compiler::entries(Evaluatable& e, bool strict, Operand& out, int target) {
    auto& x = static_cast<Expression&>(e);
    int type = x.resultType();
    if (!numericType(type)) return false;
    const ExpressionEntries& list = x.entries();
    int highest = 0;
    for (size_t i = 0; i + 1 < list.size(); ++i)
        highest = std::max(highest, precedenceLevel(list[i].op));
    size_t next = 0;
    if (!climb(e, type == INTEGER_VAL, next, highest + 1, strict, out, target)) return false;
    return next == list.size();
}

// The group of operands that binds tighter than `level`, as the tree's climb
// groups them; `target` is used by the combination that ends the group.
bool Compiler::climb(Evaluatable& e, bool integers, size_t& next, int level, bool strict,
                     Operand& out, int target) {
    const ExpressionEntries& list = static_cast<Expression&>(e).entries();
    int lowest = 100;
    for (size_t i = 0; i + 1 < list.size(); ++i)
        lowest = std::min(lowest, precedenceLevel(list[i].op));
    if (level <= lowest) {
        if (next >= list.size()) return false;
        return expression(*list[next++].operand, strict, out);
    }
    Operand left;
    if (!climb(e, integers, next, level - 1, strict, left, -1)) return false;
    while (next > 0 && next <= list.size() && precedenceLevel(list[next - 1].op) == level - 1) {
        int code = list[next - 1].op;
        if (code == OP_QUERY_ELSE) return false;
        // A user function among the later operands may change a variable read
        // here; the tree has copied it by then.
        if (code_.slots[left.slot].variable) {
            bool laterCall = false;
            for (size_t k = next; k < list.size() && !laterCall; ++k)
                laterCall = containsCall(*list[k].operand);
            if (laterCall) {
                Instruction copy{Op::Move};
                copy.a = temporary();
                copy.b = left.slot;
                emit(copy);
                left.slot = copy.a;
            }
        }
        if (code == OP_AND_SHORT || code == OP_OR_SHORT) {
            bool isAnd = code == OP_AND_SHORT;
            std::uint16_t result = temporary();
            Instruction test{Op::JumpIfFalse};
            test.b = left.slot;
            int testAt = emit(test);
            // The left side decided: && false gives 0, || true gives 1.
            auto decided = [&](double value) {
                Instruction set{Op::Move};
                set.a = result;
                set.b = constant(value);
                emit(set);
            };
            auto evaluateRight = [&]() {
                Operand right;
                if (!climb(e, integers, next, level - 1, false, right, -1)) return false;
                Instruction truth{Op::NonZero};
                truth.a = result;
                truth.b = right.slot;
                emit(truth);
                return true;
            };
            if (isAnd) {
                if (!evaluateRight()) return false;
                int skip = emit({Op::Jump});
                patch(testAt, here());
                decided(0.0);
                patch(skip, here());
            } else {
                decided(1.0);
                int skip = emit({Op::Jump});
                patch(testAt, here());
                if (!evaluateRight()) return false;
                patch(skip, here());
            }
            left = {result, KIND_NUMERIC};
            continue;
        }
        if (code == OP_QUERY) {
            std::uint16_t result = temporary();
            Instruction test{Op::JumpIfFalse};
            test.b = left.slot;
            int testAt = emit(test);
            Operand chosen, other;
            if (!climb(e, integers, next, level - 1, strict, chosen, -1)) return false;
            if (next == 0 || list[next - 1].op != OP_QUERY_ELSE) return false;
            Instruction take{Op::Move};
            take.a = result;
            take.b = chosen.slot;
            emit(take);
            int skip = emit({Op::Jump});
            patch(testAt, here());
            if (!climb(e, integers, next, level - 1, strict, other, -1)) return false;
            if (other.kind != chosen.kind) return false;
            take.b = other.slot;
            emit(take);
            patch(skip, here());
            left = {result, chosen.kind};
            continue;
        }
        Operand right;
        if (!climb(e, integers, next, level - 1, false, right, -1)) return false;
        bool last = next > list.size() || precedenceLevel(list[next - 1].op) != level - 1;
        Operand combined;
        if (!binary(code, integers, left, right, combined, last ? target : -1)) return false;
        left = combined;
    }
    out = left;
    return true;
}

bool Compiler::binary(int code, bool integers, Operand left, Operand right, Operand& out,
                      int target) {
    Op op;
    if (!arithmeticOp(code, integers, op)) return false;
    Instruction combine{op};
    combine.a = destination(target);
    combine.b = left.slot;
    combine.c = right.slot;
    if (integers) combine.site = site();
    emit(combine);
    out = {combine.a, left.kind};
    return true;
}

// ---- comparisons, unary operators and calls -------------------------------------

bool Compiler::comparison(Evaluatable& e, Operand& out, int target) {
    Chain chain;
    if (!chainOf(e, chain) || !chain.a || !chain.b) return false;
    Operand a, b, c;
    // The tree compares variables as they are when it compares, after the
    // later operands have been evaluated: so do the instructions.
    if (!expression(*chain.a, false, a)) return false;
    if (!expression(*chain.b, false, b)) return false;
    std::uint16_t result = destination(chain.c ? -1 : target);
    Instruction first{comparisonOp(chain.op1)};
    first.a = result;
    first.b = a.slot;
    first.c = b.slot;
    emit(first);
    if (chain.c) {
        Instruction test{Op::JumpIfFalse};
        test.b = result;
        int testAt = emit(test);
        if (!expression(*chain.c, false, c)) return false;
        Instruction second{comparisonOp(chain.op2)};
        second.a = result;
        second.b = b.slot;
        second.c = c.slot;
        emit(second);
        patch(testAt, here());
    }
    out = {result, KIND_BOOL};
    return true;
}

// A condition that is a comparison jumps on the comparison itself; any other
// scalar expression jumps on its truth.
bool Compiler::comparisonJump(Evaluatable& e, std::vector<int>& falseJumps) {
    Chain chain;
    if (chainOf(e, chain) && chain.a && chain.b) {
        Operand a, b, c;
        if (!expression(*chain.a, false, a)) return false;
        if (!expression(*chain.b, false, b)) return false;
        Instruction jump{comparisonJumpOp(chain.op1)};
        jump.b = a.slot;
        jump.c = b.slot;
        falseJumps.push_back(emit(jump));
        if (chain.c) {
            if (!expression(*chain.c, false, c)) return false;
            jump = Instruction{comparisonJumpOp(chain.op2)};
            jump.b = b.slot;
            jump.c = c.slot;
            falseJumps.push_back(emit(jump));
        }
        return true;
    }
    Operand value;
    if (!expression(e, false, value)) return false;
    Instruction test{Op::JumpIfFalse};
    test.b = value.slot;
    falseJumps.push_back(emit(test));
    return true;
}

bool Compiler::unary(Evaluatable& e, bool strict, Operand& out, int target) {
    auto& u = static_cast<UnaryOpElement&>(e);
    int type = u.resultType();
    if (!numericType(type)) return false;
    Operand value;
    if (!expression(*u.child(), strict, value)) return false;
    Instruction apply;
    switch (u.op()) {
    case '-':
        apply.op = type == INTEGER_VAL ? Op::NegInt : Op::Neg;
        if (type == INTEGER_VAL) apply.site = site();
        break;
    case '~':
        apply.op = Op::Not;
        break;
    case '!':
        apply.op = type == INTEGER_VAL ? Op::Call1Int : Op::Call1;
        apply.pointer = type == INTEGER_VAL ? reinterpret_cast<void*>(&factorialInt)
                                            : reinterpret_cast<void*>(&factorialDouble);
        apply.site = site();
        break;
    default: // transposing, conjugating or reshaping one real number leaves it
        out = value;
        return true;
    }
    apply.a = destination(target);
    apply.b = value.slot;
    emit(apply);
    out = {apply.a, value.kind};
    return true;
}

// Elementwise built-ins: double functions give numeric results, integer
// functions keep the argument's kind word.
bool Compiler::call(Evaluatable& e, Operand& out, int target) {
    Instruction apply;
    Operand argument;
    if (auto* f = dynamic_cast<SimpleFuncElement*>(&e)) {
        if (!numericType(f->child()->resultType())) return false;
        if (!expression(*f->child(), false, argument)) return false;
        apply.op = Op::Call1;
        apply.pointer = reinterpret_cast<void*>(f->function());
        argument.kind = KIND_NUMERIC;
    } else {
        auto& g = static_cast<SimpleFuncIntElement&>(e);
        int type = g.child()->resultType();
        if (!numericType(type)) return false;
        if (!expression(*g.child(), true, argument)) return false;
        apply.op = Op::Call1Int;
        apply.kind = type == DOUBLE_VAL ? 1 : 0;
        apply.pointer = reinterpret_cast<void*>(g.function());
    }
    apply.a = destination(target);
    apply.b = argument.slot;
    apply.site = site();
    emit(apply);
    out = {apply.a, argument.kind};
    return true;
}

// User functions: whether the call can go this way is checked again when it
// runs (the function may have been redefined); a call that cannot hands back
// with the results of any calls among its arguments parked.
bool Compiler::userCall(Evaluatable& e, Operand& out, int target) {
    auto& withArguments = static_cast<MultiInputOutput_Element&>(e);
    const auto& arguments = withArguments.arguments();
    if (arguments.size() > size_t(kMaxArguments)) return false;
    if (callsInStatement_ >= kMaxCallsPerStatement) return false;
    bool quick = dynamic_cast<QuickUserFuncElement*>(&e) != nullptr;
    if (quick) {
        auto& q = static_cast<QuickUserFuncElement&>(e);
        if (q.isAnonymous() || q.isVectorised()) return false;
    }
    if (!numericType(e.resultType())) return false;
    std::vector<std::uint16_t> slots;
    for (const EvaluatablePtr& argument : arguments) {
        if (!numericType(argument->resultType())) return false;
        Operand value;
        if (!expression(*argument, true, value)) return false;
        if (value.kind != KIND_NUMERIC) return false;
        slots.push_back(value.slot);
    }
    Instruction invoke{quick ? Op::CallQuick : Op::CallUser};
    invoke.a = destination(target);
    invoke.b = std::uint16_t(code_.argumentSlots.size());
    invoke.c = std::uint16_t(slots.size());
    invoke.pointer = &e;
    invoke.site = site();
    code_.argumentSlots.insert(code_.argumentSlots.end(), slots.begin(), slots.end());
    emit(invoke);
    ++callsInStatement_;
    out = {invoke.a, KIND_NUMERIC};
    return true;
}

// A quick function's body compiled in place of its call, its parameters
// reading the argument slots: no call at all. The code checks first that the
// function still has the definition it was compiled with.
bool Compiler::inlineQuickCall(Evaluatable& e, bool strict, Operand& out, int target) {
    constexpr size_t kMaxInlineDepth = 4;
    auto& call = static_cast<QuickUserFuncElement&>(e);
    UserFunc* function = call.function();
    if (!function || call.isVectorised() || !function->isQuick() || !function->quickBody())
        return false;
    const auto& arguments = call.arguments();
    if (int(arguments.size()) != function->signature().parameterCount()) return false;
    if (inlined_.size() >= kMaxInlineDepth ||
        std::find(inlined_.begin(), inlined_.end(), function) != inlined_.end())
        return false;
    Evaluatable& body = *function->quickBody();
    if (!numericType(body.resultType()) || !numericType(call.resultType())) return false;
    Checkpoint saved = checkpoint();
    Instruction check{Op::CheckVersion};
    check.pointer = function;
    check.jump = function->version();
    check.site = site();
    emit(check);
    bool bodyCalls = containsCall(body);
    std::vector<std::pair<const Value*, std::uint16_t>> bound;
    for (size_t i = 0; i < arguments.size(); ++i) {
        Operand value;
        if (!numericType(arguments[i]->resultType()) || !expression(*arguments[i], true, value) ||
            value.kind != KIND_NUMERIC) {
            restore(saved);
            return false;
        }
        // A call in the body must not see an argument change under it.
        if (bodyCalls && code_.slots[value.slot].variable) {
            Instruction copy{Op::Move};
            copy.a = temporary();
            copy.b = value.slot;
            emit(copy);
            value.slot = copy.a;
        }
        bound.emplace_back(function->parameter(int(i)), value.slot);
    }
    size_t mark = substitutions_.size();
    substitutions_.insert(substitutions_.end(), bound.begin(), bound.end());
    inlined_.push_back(function);
    bool done = expression(body, strict, out, target);
    inlined_.pop_back();
    substitutions_.resize(mark);
    if (!done) restore(saved);
    return done;
}

// ---- indexing -----------------------------------------------------------------

bool Compiler::elementRead(Evaluatable& e, Operand& out, int target) {
    Value* variable;
    std::uint16_t position;
    int mode;
    if (auto* fixed = dynamic_cast<ConstIndexElement*>(&e)) {
        variable = fixed->variable();
        mode = fixed->mode();
        position = constant(double(fixed->index()));
    } else {
        auto& single = static_cast<IndexedElementSingle&>(e);
        variable = single.variable();
        mode = single.mode();
        if (!single.child() || !index(*single.child(), position)) return false;
    }
    if (!variable || variable->type() != DOUBLE_VAL) return false;
    if (mode != SELECT_AUTO && mode != SELECT_ELEMENT) return false;
    std::uint16_t slot = variableSlot(variable);
    code_.slots[slot].elements = true;
    Instruction load{Op::LoadElement};
    load.a = destination(target);
    load.b = position;
    load.c = slot;
    load.site = site();
    emit(load);
    out = {load.a, KIND_NUMERIC};
    return true;
}

// An index as the tree reads it: truncated toward zero, and numeric (a
// boolean index is a mask, which only the tree handles).
bool Compiler::index(Evaluatable& e, std::uint16_t& slot) {
    Evaluatable* source = &e;
    if (auto* convert = dynamic_cast<DoubleToIntElement*>(&e)) source = convert->child();
    int type = source->resultType();
    if (!numericType(type)) return false;
    Operand value;
    if (!expression(*source, true, value)) return false;
    if (value.kind != KIND_NUMERIC) return false;
    if (type == INTEGER_VAL && !code_.slots[value.slot].variable) {
        slot = value.slot;
        return true;
    }
    Instruction cut{Op::Truncate};
    cut.a = temporary();
    cut.b = value.slot;
    cut.site = site();
    emit(cut);
    slot = cut.a;
    return true;
}

// Whether evaluating `e` may call a user function. Unknown elements count
// as calls, which only costs a copy.
bool Compiler::containsCall(Evaluatable& e) const {
    if (dynamic_cast<UserFuncElement*>(&e) || dynamic_cast<QuickUserFuncElement*>(&e)) return true;
    if (dynamic_cast<NumberElementBase*>(&e) || typeid(e) == typeid(ValueElement) ||
        dynamic_cast<ConstIndexElement*>(&e))
        return false;
    if (auto* x = dynamic_cast<Expression*>(&e)) {
        for (const ExpressionEntry& entry : x->entries())
            if (containsCall(*entry.operand)) return true;
        return false;
    }
    Chain chain;
    if (chainOf(e, chain))
        return (chain.a && containsCall(*chain.a)) || (chain.b && containsCall(*chain.b)) ||
               (chain.c && containsCall(*chain.c));
    if (auto* with = dynamic_cast<WithEvaluatable*>(&e))
        return with->child() && containsCall(*with->child());
    if (auto* sequence = dynamic_cast<SequenceElement*>(&e))
        return containsCall(*sequence->start()) || containsCall(*sequence->stop()) ||
               (sequence->step() && containsCall(*sequence->step()));
    return true;
}

} // namespace vemlor::scalar
