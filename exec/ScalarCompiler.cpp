// Compiling statements into the scalar form: control flow, assignments and
// the bookkeeping of slots, sites and definite assignment.
//
// A variable slot is "guarded" (it must hold a plain number when the code
// starts) when some read of it is not preceded, on every path from the start,
// by a write in the same code; a variable that the code always writes before
// reading (a temporary of a loop body) may hold anything when the code
// starts. The code is compiled twice: the first pass learns which variables
// are guarded and which ever receive a boolean, the second uses that to write
// straight into the variables that are known to hold plain numbers.
#include "exec/ScalarCompiler.h"

#include "core/Errors.h"
#include "core/JMatrix.h"
#include "core/OperatorCodes.h"
#include "exec/AssignStatements.h"
#include "exec/IndexedAssignStatements.h"
#include "exec/SequenceElement.h"
#include "exec/Statement.h"

#include <algorithm>
#include <bit>
#include <typeinfo>

namespace vemlor {

using namespace scalar;

namespace {

// What a first pass learned about the variables.
struct VariableFacts {
    Value* variable;
    bool guarded;
    bool numericOnly;
};

void resetCode(ScalarCode& code) {
    Statement* root = code.root;
    Evaluatable* expression = code.expression;
    code = ScalarCode{};
    code.root = root;
    code.expression = expression;
}

std::vector<VariableFacts> factsOf(const ScalarCode& code) {
    std::vector<VariableFacts> facts;
    for (const SlotInfo& slot : code.slots)
        if (slot.variable) facts.push_back({slot.variable, slot.guarded, slot.numericOnly});
    return facts;
}

bool isLoop(const Statement& s) {
    return dynamic_cast<const WhileStm*>(&s) || dynamic_cast<const ForStm*>(&s);
}

bool isCompound(const Statement& s) {
    return dynamic_cast<const BlockStm*>(&s) || dynamic_cast<const IfStm*>(&s) ||
           dynamic_cast<const IfElseStm*>(&s) || dynamic_cast<const UnlessStm*>(&s) || isLoop(s);
}

} // namespace

// ---- entry points -----------------------------------------------------------

void compileScalarForms(Statement& root, bool repeated) {
    if (!isCompound(root)) return;
    auto code = std::make_unique<ScalarCode>();
    code->root = &root;
    Compiler compiler(*code);
    if (compiler.statementRoot(root, repeated)) root.setScalarCode(std::move(code));
    // Inner statements get forms of their own: the tree runs them after the
    // outer code has handed back.
    bool inner = repeated || isLoop(root);
    if (auto* block = dynamic_cast<BlockStm*>(&root)) {
        for (const StatementPtr& s : block->statements())
            compileScalarForms(*s, inner);
    } else if (auto* with = dynamic_cast<WithStm*>(&root)) {
        compileScalarForms(with->body(), inner);
        if (auto* ifElse = dynamic_cast<IfElseStm*>(&root))
            compileScalarForms(ifElse->elseBody(), inner);
    }
}

ScalarCodePtr compileScalarExpression(Evaluatable& expression) {
    auto code = std::make_unique<ScalarCode>();
    code->expression = &expression;
    Compiler compiler(*code);
    if (!compiler.expressionRoot(expression)) return nullptr;
    return code;
}

namespace scalar {

bool Compiler::statementRoot(Statement& root, bool repeated) {
    std::vector<VariableFacts> learned;
    for (int pass = 0; pass < 2; ++pass) {
        resetCode(code_);
        for (const VariableFacts& f : learned) {
            SlotInfo slot;
            slot.variable = f.variable;
            slot.guarded = f.guarded;
            slot.numericOnly = f.numericOnly;
            code_.slots.push_back(slot);
            code_.initial.push_back(0.0);
        }
        path_.clear();
        loops_.clear();
        assigned_.assign(code_.slots.size(), 0);
        temporaries_.clear();
        compiledStatements_ = 0;
        sawLoop_ = false;
        statement(root);
        emit({Op::Leave});
        learned = factsOf(code_);
    }
    finish();
    // Worth it when something runs without the tree and the code runs more
    // than once: a loop, or a function body.
    return compiledStatements_ > 0 && (repeated || sawLoop_);
}

bool Compiler::expressionRoot(Evaluatable& root) {
    Operand result;
    std::vector<VariableFacts> learned;
    for (int pass = 0; pass < 2; ++pass) {
        resetCode(code_);
        for (const VariableFacts& f : learned) {
            SlotInfo slot;
            slot.variable = f.variable;
            slot.guarded = true;
            slot.numericOnly = f.numericOnly;
            code_.slots.push_back(slot);
            code_.initial.push_back(0.0);
        }
        assigned_.assign(code_.slots.size(), 0);
        temporaries_.clear();
        nextTemporary_ = 0;
        callsInStatement_ = 0;
        if (!expression(root, true, result)) return false;
        if (result.kind != KIND_NUMERIC) return false; // the caller wants plain numbers
        markCalls(0);
        Instruction halt{Op::Halt};
        halt.a = result.slot;
        emit(halt);
        learned = factsOf(code_);
    }
    finish();
    return true;
}

// ---- statements -------------------------------------------------------------

void Compiler::statement(Statement& s) {
    path_.push_back({&s});
    if (dynamic_cast<BlockStm*>(&s))
        block(s);
    else if (dynamic_cast<IfStm*>(&s) || dynamic_cast<IfElseStm*>(&s) ||
             dynamic_cast<UnlessStm*>(&s))
        conditional(s);
    else if (dynamic_cast<WhileStm*>(&s))
        whileLoop(s);
    else if (dynamic_cast<ForStm*>(&s) && forLoop(s)) {
    } else if (dynamic_cast<BreakStm*>(&s))
        loopSignal(true);
    else if (dynamic_cast<ContinueStm*>(&s))
        loopSignal(false);
    else if (!simpleStatement(s))
        treeStatement(s);
    path_.pop_back();
}

void Compiler::block(Statement& s) {
    auto& b = static_cast<BlockStm&>(s);
    for (size_t i = 0; i < b.statements().size(); ++i) {
        path_.back().part = int(i);
        statement(*b.statements()[i]);
    }
}

// A simple statement compiled on its own: a StatementStart goes in front of
// it when it calls user functions, so that their results can be parked.
bool Compiler::simpleStatement(Statement& s) {
    Checkpoint saved = checkpoint();
    int start = here();
    nextTemporary_ = 0;
    callsInStatement_ = 0;
    bool done = assignment(s) || returnStatement(s) || indexedAssignment(s);
    if (!done) {
        restore(saved);
        return false;
    }
    markCalls(start);
    ++compiledStatements_;
    return true;
}

int Compiler::markCalls(int start) {
    if (callsInStatement_ == 0) return 0;
    for (size_t i = size_t(start); i < code_.code.size(); ++i)
        if (code_.code[i].jump >= start) ++code_.code[i].jump;
    code_.code.insert(code_.code.begin() + start, Instruction{Op::StatementStart});
    return 1;
}

void Compiler::restore(Checkpoint& saved) {
    code_ = std::move(saved.code);
    assigned_ = std::move(saved.assigned);
    temporaries_ = std::move(saved.temporaries);
    nextTemporary_ = std::min(nextTemporary_, temporaries_.size());
}

void Compiler::patchAll(const std::vector<int>& jumps, int target) {
    for (int j : jumps)
        patch(j, target);
}

// The tree runs the statement; the instruction then checks the variables
// again, as anything may have changed them.
void Compiler::treeStatement(Statement& s) {
    Instruction run{Op::ExecuteTree};
    run.pointer = &s;
    run.site = site(true);
    emit(run);
}

void Compiler::conditional(Statement& s) {
    auto& with = static_cast<WithStm&>(s);
    bool unless = dynamic_cast<UnlessStm*>(&s) != nullptr;
    auto* ifElse = dynamic_cast<IfElseStm*>(&s);
    void* treeCondition = unless   ? &static_cast<UnlessStm&>(s).condition()
                          : ifElse ? &ifElse->condition()
                                   : static_cast<void*>(&static_cast<IfStm&>(s).condition());
    std::vector<int> falseJumps;
    condition(s.expression(), treeCondition, falseJumps);
    std::vector<char> before = assigned_;
    if (unless) {
        // The body runs when the condition is false.
        int skip = emit({Op::Jump});
        patchAll(falseJumps, here());
        statement(with.body());
        patch(skip, here());
        restoreAssigned(before);
        return;
    }
    statement(with.body());
    if (!ifElse) {
        patchAll(falseJumps, here());
        restoreAssigned(before);
        return;
    }
    std::vector<char> afterThen = assigned_;
    int skip = emit({Op::Jump});
    patchAll(falseJumps, here());
    restoreAssigned(before);
    path_.back().part = 1;
    statement(ifElse->elseBody());
    patch(skip, here());
    for (size_t i = 0; i < assigned_.size(); ++i)
        assigned_[i] = assigned_[i] && i < afterThen.size() && afterThen[i];
}

// `while cond: body`. The run flag is checked before every evaluation of the
// condition, as the tree does; continue goes to that check.
void Compiler::whileLoop(Statement& s) {
    auto& w = static_cast<WhileStm&>(s);
    sawLoop_ = true;
    Instruction check{Op::CheckRun};
    check.site = site();
    emit(check);
    int head = here();
    std::vector<int> falseJumps;
    condition(s.expression(), &w.condition(), falseJumps);
    std::vector<char> before = assigned_;
    int targets = int(code_.loops.size());
    code_.loops.push_back({});
    loops_.push_back({targets, {}, {}});
    statement(w.body());
    int back = here();
    Instruction jump{Op::LoopBack};
    jump.jump = head;
    jump.site = check.site;
    emit(jump);
    int end = here();
    patchAll(falseJumps, end);
    patchAll(loops_.back().breaks, end);
    patchAll(loops_.back().continues, back);
    code_.loops[size_t(targets)] = {end, back};
    loops_.pop_back();
    restoreAssigned(before);
}

// `for x = a:b` and `for x = a:s:b`. Counters: iteration, value, step, count.
bool Compiler::forLoop(Statement& s) {
    auto& f = static_cast<ForStm&>(s);
    Evaluatable* range = s.expression();
    if (!range || range->category() != CAT_SEQUENCE || containsCall(*range)) return false;
    Value* variable = f.loopVariable();
    if (!variable || variable->type() != DOUBLE_VAL) return false;
    sawLoop_ = true;
    // Four consecutive slots of the loop's own, out of the statements' pool.
    auto counters = std::uint16_t(code_.slots.size());
    for (int k = 0; k < 4; ++k) {
        code_.slots.push_back(SlotInfo{});
        code_.initial.push_back(0.0);
        assigned_.push_back(0);
    }
    std::uint16_t loopSlot = variableSlot(variable);
    Instruction start{Op::ForStart};
    start.a = counters;
    start.b = loopSlot;
    start.kind = f.integerRange() ? 1 : 0;
    start.pointer = range;
    start.site = site();
    int startAt = emit(start);
    path_.back().loopCounters = counters;
    int head = here();
    std::vector<char> before = assigned_;
    markWritten(loopSlot, KIND_NUMERIC);
    int targets = int(code_.loops.size());
    code_.loops.push_back({});
    loops_.push_back({targets, {}, {}});
    path_.back().part = 0;
    statement(f.body());
    int next = here();
    Instruction step{Op::ForNext};
    step.a = counters;
    step.b = loopSlot;
    step.kind = start.kind;
    step.jump = head;
    step.site = site();
    emit(step);
    int end = here();
    patch(startAt, end);
    for (int j : loops_.back().breaks)
        patch(j, end);
    for (int j : loops_.back().continues)
        patch(j, next);
    code_.loops[size_t(targets)] = {end, next};
    loops_.pop_back();
    restoreAssigned(before);
    ++compiledStatements_;
    return true;
}

// A break or continue inside the code jumps; outside any loop of the code it
// leaves the code with the signal, for the tree's loop around it.
void Compiler::loopSignal(bool isBreak) {
    if (loops_.empty()) {
        Instruction leave{Op::Leave};
        leave.kind = isBreak ? 1 : 2;
        emit(leave);
        return;
    }
    int jump = emit({Op::Jump});
    (isBreak ? loops_.back().breaks : loops_.back().continues).push_back(jump);
}

// Leaves in `falseJumps` the jumps (patched by the caller) taken when the
// condition is false. A condition without a scalar form is evaluated by the
// tree's condition object.
void Compiler::condition(Evaluatable* expr, void* treeCondition, std::vector<int>& falseJumps) {
    if (expr) {
        Checkpoint saved = checkpoint();
        nextTemporary_ = 0;
        callsInStatement_ = 0;
        int start = here();
        if (comparisonJump(*expr, falseJumps)) {
            int moved = markCalls(start);
            for (int& j : falseJumps)
                j += moved;
            return;
        }
        restore(saved);
        falseJumps.clear();
    }
    Instruction byTree{Op::ConditionByTree};
    byTree.pointer = treeCondition;
    byTree.site = site();
    falseJumps.push_back(emit(byTree));
    Instruction after{Op::Revalidate};
    after.site = site(false, true);
    emit(after);
}

bool Compiler::assignment(Statement& s) {
    const std::type_info& type = typeid(s);
    auto* assign = dynamic_cast<AssignStm*>(&s);
    if (!assign) return false;
    if (type == typeid(AssignStm)) {
        Value* target = assign->target();
        if (!target || target->type() != DOUBLE_VAL || !s.expression()) return false;
        return store(target, *s.expression());
    }
    if (auto* op = dynamic_cast<OpAssignDStm*>(&s))
        return opAssignment(s, op->target(), op->opCode());
    if (auto* op = dynamic_cast<OpAssignIntStm*>(&s))
        return opAssignment(s, op->target(), op->opCode());
    return false;
}

// x op= e on a double variable: x stays a plain number with its kind word,
// and the operator combines in doubles.
bool Compiler::opAssignment(Statement& s, Value* target, int opCode) {
    if (!target || target->type() != DOUBLE_VAL || !s.expression()) return false;
    Operand left, right;
    if (!variableRead(target, true, left)) return false;
    if (!expression(*s.expression(), false, right)) return false;
    std::uint16_t slot = variableSlot(target);
    Operand result;
    if (!binary(opCode, false, left, right, result, writable(slot) ? slot : -1)) return false;
    if (result.slot != slot) {
        Instruction set{Op::Store};
        set.a = slot;
        set.b = result.slot;
        set.kind = std::uint8_t(left.kind);
        emit(set);
    }
    markWritten(slot, left.kind);
    return true;
}

// x = e: computed straight into x when x is known to hold a plain number of
// the same kind, else through a temporary and a store that reshapes x.
bool Compiler::store(Value* variable, Evaluatable& rhs) {
    std::uint16_t slot = variableSlot(variable);
    Operand value;
    int target = writable(slot) ? slot : -1;
    if (!expression(rhs, true, value, target)) return false;
    if (value.slot == slot && value.kind == KIND_NUMERIC) {
        markWritten(slot, KIND_NUMERIC);
        return true;
    }
    Instruction set{Op::Store};
    set.a = slot;
    set.b = value.slot;
    set.kind = std::uint8_t(value.kind);
    emit(set);
    markWritten(slot, value.kind);
    return true;
}

bool Compiler::returnStatement(Statement& s) {
    auto* ret = dynamic_cast<ReturnStm*>(&s);
    if (!ret) return false;
    if (s.expression()) {
        Value* target = ret->target();
        if (!target) {
            Operand ignored;
            if (!expression(*s.expression(), true, ignored)) return false;
        } else if (target->type() != DOUBLE_VAL || !store(target, *s.expression())) {
            return false;
        }
    }
    emit({Op::Return});
    return true;
}

// x[i] = e and x[i] op= e on a double vector: index first, then the value,
// as the tree reads them.
bool Compiler::indexedAssignment(Statement& s) {
    auto* indexed = dynamic_cast<SingleIndexedAssignStm*>(&s);
    if (!indexed || !s.expression()) return false;
    Value* target = indexed->target();
    int mode = indexed->selectMode();
    if (!target || target->type() != DOUBLE_VAL) return false;
    if (mode != SELECT_AUTO && mode != SELECT_ELEMENT) return false;
    std::uint16_t position;
    if (!index(*indexed->index(), position)) return false;
    Operand value;
    if (!expression(*s.expression(), false, value)) return false;
    std::uint16_t slot = variableSlot(target);
    code_.slots[slot].elements = true;
    Instruction put{Op::StoreElement};
    put.a = slot;
    put.b = position;
    put.c = value.slot;
    put.kind = std::uint8_t(indexed->op());
    put.site = site();
    emit(put);
    return true;
}

// ---- slots, sites and code ----------------------------------------------------

std::uint16_t Compiler::variableSlot(Value* variable) {
    for (size_t i = 0; i < code_.slots.size(); ++i)
        if (code_.slots[i].variable == variable) return std::uint16_t(i);
    if (code_.slots.size() >= 60000) raiseBug("BUG: compiled code with too many slots");
    SlotInfo slot;
    slot.variable = variable;
    code_.slots.push_back(slot);
    code_.initial.push_back(0.0);
    assigned_.push_back(0);
    return std::uint16_t(code_.slots.size() - 1);
}

std::uint16_t Compiler::temporary() {
    if (nextTemporary_ < temporaries_.size()) return temporaries_[nextTemporary_++];
    if (code_.slots.size() >= 60000) raiseBug("BUG: compiled code with too many slots");
    code_.slots.push_back(SlotInfo{});
    code_.initial.push_back(0.0);
    assigned_.push_back(0);
    auto slot = std::uint16_t(code_.slots.size() - 1);
    temporaries_.push_back(slot);
    ++nextTemporary_;
    return slot;
}

std::uint16_t Compiler::constant(double x) {
    for (size_t i = 0; i < code_.slots.size(); ++i)
        if (code_.slots[i].constant &&
            std::bit_cast<std::uint64_t>(code_.initial[i]) == std::bit_cast<std::uint64_t>(x))
            return std::uint16_t(i);
    if (code_.slots.size() >= 60000) raiseBug("BUG: compiled code with too many slots");
    SlotInfo slot;
    slot.constant = true;
    code_.slots.push_back(slot);
    code_.initial.push_back(x);
    assigned_.push_back(0);
    return std::uint16_t(code_.slots.size() - 1);
}

std::uint16_t Compiler::destination(int target) {
    return target >= 0 ? std::uint16_t(target) : temporary();
}

int Compiler::emit(Instruction instruction) {
    code_.code.push_back(instruction);
    return int(code_.code.size()) - 1;
}

// The lists the machine walks when it starts and after calls.
void Compiler::finish() {
    code_.variableSlots.clear();
    code_.otherSlots.clear();
    code_.checks.clear();
    for (size_t i = 0; i < code_.slots.size(); ++i) {
        const SlotInfo& slot = code_.slots[i];
        (slot.variable ? code_.variableSlots : code_.otherSlots).push_back(std::uint16_t(i));
        if (slot.variable)
            code_.checks.push_back(
                {slot.variable, std::uint16_t(i), slot.numericOnly, slot.guarded});
    }
    code_.pure = std::none_of(code_.code.begin(), code_.code.end(), [](const Instruction& in) {
        return in.op == Op::CallUser || in.op == Op::CallQuick || in.op == Op::ExecuteTree ||
               in.op == Op::ConditionByTree || in.op == Op::ForStart;
    });
}

// The site of the statement being compiled: the path from the root to it and
// the loop a signal raised here would end.
int Compiler::site(bool statementDone, bool conditionDone) {
    Site s;
    s.firstStep = int(code_.steps.size());
    s.stepCount = int(path_.size());
    code_.steps.insert(code_.steps.end(), path_.begin(), path_.end());
    s.loop = loops_.empty() ? -1 : loops_.back().targets;
    s.statementDone = statementDone;
    s.conditionDone = conditionDone;
    code_.sites.push_back(s);
    return int(code_.sites.size()) - 1;
}

// Definite assignment as it was before a branch or a loop body; slots made
// since count as not written.
void Compiler::restoreAssigned(const std::vector<char>& before) {
    assigned_ = before;
    assigned_.resize(code_.slots.size(), 0);
}

void Compiler::markRead(std::uint16_t slot) {
    if (code_.slots[slot].variable && !assigned_[slot]) code_.slots[slot].guarded = true;
}

void Compiler::markWritten(std::uint16_t slot, int kind) {
    assigned_[slot] = 1;
    if (kind != KIND_NUMERIC) code_.slots[slot].numericOnly = false;
}

// Whether an instruction may write a number straight into the variable: it
// holds a plain number there (guarded, or written before on every path), and
// its kind word is numeric and stays so.
bool Compiler::writable(std::uint16_t slot) const {
    const SlotInfo& info = code_.slots[slot];
    return info.variable && info.numericOnly && (info.guarded || assigned_[slot]);
}

} // namespace scalar
} // namespace vemlor
