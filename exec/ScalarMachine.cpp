// The interpreter of the compiled scalar form.
//
// Every activation of a code gets its own frame on the C++ stack (codes of
// function bodies run recursively): the temporaries, and for every slot the
// address its number is read from. A variable slot points at the variable's
// one element while the variable holds a plain number; anything that may
// change variables (a user function, a statement run by the tree) is followed
// by a check of the slots, and the code hands back to the tree when a slot
// it relies on stopped being a plain number.
#include "exec/ScalarMachine.h"

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/ScalarOps.h"
#include "exec/RunFlags.h"
#include "exec/SequenceElement.h"
#include "exec/StatementSupport.h"
#include "exec/UserFunc.h"
#include "exec/UserFuncElements.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vemlor::scalar {

namespace {

constexpr int kMaxArguments = 32;

bool plainNumber(const Value& v, bool numericOnly) {
    return v.n == 1 && (v.kind == KIND_NUMERIC || (!numericOnly && v.kind == KIND_BOOL));
}

double* elementOf(Value& v) {
    return static_cast<MathMatrix<double>&>(v).data();
}

// Variable slot `s` becomes the plain number x with kind word `kind`; its
// buffer is kept when it has one.
inline void storeNumber(const SlotInfo* slots, double** p, std::uint16_t s, double x, int kind) {
    auto& v = static_cast<MathMatrix<double>&>(*slots[s].variable);
    if (v.capacity() < 1 || v.n > 1) v.assignScalar(x);
    v.n = v.nrow = 1;
    v.kind = kind;
    v.data()[0] = x;
    p[s] = v.data();
}

// The slots of one activation, taken from the code's pool and given back.
class Frame {
  public:
    explicit Frame(ScalarCode& code) : code_(code) {
        FramePool& pool = code.pool;
        if (size_t(pool.active) == pool.frames.size()) pool.frames.push_back(newStorage());
        FrameStorage& storage = *pool.frames[size_t(pool.active++)];
        values = storage.values.get();
        at = storage.at.get();
    }
    ~Frame() { --code_.pool.active; }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // Points every slot at its number; false when a variable that the code
    // reads before writing does not hold a plain number.
    bool enter() {
        for (const ScalarCode::VariableCheck& check : code_.checks) {
            // A slot the code writes before it reads needs no look now.
            if (!check.guarded)
                at[check.slot] = nullptr;
            else if (plainNumber(*check.variable, check.numericOnly))
                at[check.slot] = elementOf(*check.variable);
            else
                return false;
        }
        return true;
    }

    // After something that may have changed variables: false when one that
    // held a plain number no longer does.
    bool revalidate() {
        for (const ScalarCode::VariableCheck& check : code_.checks) {
            if (plainNumber(*check.variable, check.numericOnly))
                at[check.slot] = elementOf(*check.variable);
            else if (at[check.slot])
                return false;
        }
        return true;
    }

    double* values;
    double** at;

  private:
    // Constants in place and every temporary's address: they stay so.
    std::unique_ptr<FrameStorage> newStorage() const {
        auto storage = std::make_unique<FrameStorage>();
        size_t count = std::max<size_t>(code_.slots.size(), 1);
        storage->values = std::make_unique<double[]>(count);
        storage->at = std::make_unique<double*[]>(count);
        for (std::uint16_t s : code_.otherSlots) {
            storage->values[s] = code_.initial[s];
            storage->at[s] = storage->values.get() + s;
        }
        return storage;
    }

    ScalarCode& code_;
};

struct CallRecord {
    ParkingCall* call;
    double value;
    int site;
};

enum class Exit { Finished, HandBack };

struct Machine {
    Machine(ScalarCode& code, Frame& frame) : code(code), frame(frame) {}
    ScalarCode& code;
    Frame& frame;
    int pc = 0;
    Flow flow = Flow::Normal;
    double result = 0;
    int handBackSite = -1;
    bool conditionTruth = false;
    ParkingCall* failedCall = nullptr;
    CallRecord log[kMaxCallsPerStatement];
    int logged = 0;
};

// The loop a signal raised at `site` ends, or -1 when it leaves the code.
int loopTarget(const ScalarCode& code, int site, Flow flow) {
    if (site < 0 || code.sites[size_t(site)].loop < 0) return -1;
    const LoopTargets& loop = code.loops[size_t(code.sites[size_t(site)].loop)];
    return flow == Flow::Break ? loop.breakTarget : loop.continueTarget;
}

// The statement in progress at a site (none in an expression's code).
Statement* leafOf(const ScalarCode& code, int site) {
    if (site < 0) raiseBug("BUG: compiled code handed back where it has no site");
    const Site& s = code.sites[size_t(site)];
    if (s.stepCount == 0) return nullptr;
    return code.steps[size_t(s.firstStep + s.stepCount - 1)].statement;
}

// One whole-number operator: false (hand back) on a zero divisor or a
// result beyond 32 bits.
inline bool wholeNumbers(int opCode, double a, double b, double& out) {
    int x = int(a), y = int(b);
    if (ops::divisionRefused(opCode, x, y)) return false;
    long long wide = ops::arithmetic(opCode, x, y);
    if (!ops::fitsInt(wide)) return false;
    out = double(wide);
    return true;
}

// The instruction loop, threaded: every instruction ends by jumping to the
// next one's handler.
Exit dispatch(Machine& m) {
    static void* const kHandlers[] = {&&Add,
                                      &&Sub,
                                      &&Mul,
                                      &&Div,
                                      &&Pow,
                                      &&Mod,
                                      &&FloorDiv,
                                      &&AddInt,
                                      &&SubInt,
                                      &&MulInt,
                                      &&DivInt,
                                      &&PowInt,
                                      &&ModInt,
                                      &&FloorDivInt,
                                      &&Less,
                                      &&LessEqual,
                                      &&Equal,
                                      &&NotEqual,
                                      &&GreaterEqual,
                                      &&Greater,
                                      &&And,
                                      &&Or,
                                      &&Xor,
                                      &&NonZero,
                                      &&Not,
                                      &&Neg,
                                      &&NegInt,
                                      &&Move,
                                      &&Truncate,
                                      &&Call1,
                                      &&Call1Int,
                                      &&Jump,
                                      &&LoopBack,
                                      &&JumpIfFalse,
                                      &&JumpUnlessLess,
                                      &&JumpUnlessLessEqual,
                                      &&JumpUnlessEqual,
                                      &&JumpUnlessNotEqual,
                                      &&JumpUnlessGreaterEqual,
                                      &&JumpUnlessGreater,
                                      &&ConditionByTree,
                                      &&Store,
                                      &&LoadChecked,
                                      &&LoadElement,
                                      &&StoreElement,
                                      &&ForStart,
                                      &&ForNext,
                                      &&CheckRun,
                                      &&StatementStart,
                                      &&CallUser,
                                      &&CallQuick,
                                      &&CheckVersion,
                                      &&Revalidate,
                                      &&ExecuteTree,
                                      &&Return,
                                      &&Leave,
                                      &&Halt};
    static_assert(sizeof(kHandlers) / sizeof(kHandlers[0]) == size_t(Op::Halt) + 1);
    const Instruction* code = m.code.code.data();
    double** p = m.frame.at;
    const SlotInfo* slots = m.code.slots.data();
    const Instruction* in = code + m.pc;

#define VM_NEXT() goto* kHandlers[int((++in)->op)]
#define VM_JUMP(target) goto* kHandlers[int((in = code + (target))->op)]
#define VM_HAND_BACK() goto handBack
#define VM_BINARY(expression)                                                                      \
    {                                                                                              \
        double x = *p[in->b], y = *p[in->c];                                                       \
        *p[in->a] = (expression);                                                                  \
        VM_NEXT();                                                                                 \
    }
#define VM_WHOLE(opCode)                                                                           \
    if (!wholeNumbers(opCode, *p[in->b], *p[in->c], *p[in->a])) VM_HAND_BACK();                    \
    VM_NEXT();
#define VM_UNLESS(condition)                                                                       \
    {                                                                                              \
        double x = *p[in->b], y = *p[in->c];                                                       \
        if (condition) VM_NEXT();                                                                  \
        VM_JUMP(in->jump);                                                                         \
    }

    goto* kHandlers[int(in->op)];

Add:
    VM_BINARY(x + y)
Sub:
    VM_BINARY(x - y)
Mul:
    VM_BINARY(x * y)
Div:
    VM_BINARY(x / y)
Pow:
    VM_BINARY(ops::arithmetic(OP_POWER, x, y))
Mod:
    VM_BINARY(ops::remainder(x, y))
FloorDiv:
    VM_BINARY(ops::arithmetic(OP_INT_DIVIDE, x, y))
AddInt:
    VM_WHOLE(OP_PLUS)
SubInt:
    VM_WHOLE(OP_MINUS)
MulInt:
    VM_WHOLE(OP_TIMES)
DivInt:
    VM_WHOLE(OP_DIVIDE)
PowInt:
    VM_WHOLE(OP_POWER)
ModInt:
    VM_WHOLE(OP_MOD)
FloorDivInt:
    VM_WHOLE(OP_INT_DIVIDE)
Less:
    VM_BINARY(ops::Less{}(x, y) ? 1.0 : 0.0)
LessEqual:
    VM_BINARY(ops::LessEqual{}(x, y) ? 1.0 : 0.0)
Equal:
    VM_BINARY(ops::Equal{}(x, y) ? 1.0 : 0.0)
NotEqual:
    VM_BINARY(ops::NotEqual{}(x, y) ? 1.0 : 0.0)
GreaterEqual:
    VM_BINARY(ops::GreaterEqual{}(x, y) ? 1.0 : 0.0)
Greater:
    VM_BINARY(ops::Greater{}(x, y) ? 1.0 : 0.0)
And:
    VM_BINARY(ops::LogicalAnd<double>{}(x, y))
Or:
    VM_BINARY(ops::LogicalOr<double>{}(x, y))
Xor:
    VM_BINARY(ops::LogicalXor<double>{}(x, y))
NonZero:
    *p[in->a] = *p[in->b] != 0.0 ? 1.0 : 0.0;
    VM_NEXT();
Not:
    *p[in->a] = *p[in->b] == 0.0 ? 1.0 : 0.0;
    VM_NEXT();
Neg:
    *p[in->a] = -*p[in->b];
    VM_NEXT();
NegInt:
    if (*p[in->b] == double(INT_MIN)) VM_HAND_BACK();
    *p[in->a] = -*p[in->b];
    VM_NEXT();
Move:
    *p[in->a] = *p[in->b];
    VM_NEXT();
Truncate : {
    double x = *p[in->b];
    if (!(x > -2147483649.0 && x < 2147483648.0)) VM_HAND_BACK();
    *p[in->a] = std::trunc(x);
    VM_NEXT();
}
Call1:
    m.pc = int(in - code);
    *p[in->a] = reinterpret_cast<double (*)(double)>(in->pointer)(*p[in->b]);
    VM_NEXT();
Call1Int : {
    m.pc = int(in - code);
    double x = *p[in->b];
    int argument = in->kind ? ops::truncToInt(x) : int(x);
    *p[in->a] = reinterpret_cast<int (*)(int)>(in->pointer)(argument);
    VM_NEXT();
}
Jump:
    VM_JUMP(in->jump);
LoopBack:
    m.pc = int(in - code);
    if (!RunFlags::running()) return Exit::Finished;
    VM_JUMP(in->jump);
JumpIfFalse:
    if (!ops::conditionHolds(*p[in->b])) VM_JUMP(in->jump);
    VM_NEXT();
JumpUnlessLess:
    VM_UNLESS(ops::Less{}(x, y))
JumpUnlessLessEqual:
    VM_UNLESS(ops::LessEqual{}(x, y))
JumpUnlessEqual:
    VM_UNLESS(ops::Equal{}(x, y))
JumpUnlessNotEqual:
    VM_UNLESS(ops::NotEqual{}(x, y))
JumpUnlessGreaterEqual:
    VM_UNLESS(ops::GreaterEqual{}(x, y))
JumpUnlessGreater:
    VM_UNLESS(ops::Greater{}(x, y))
ConditionByTree:
    m.pc = int(in - code);
    m.conditionTruth = static_cast<detail::Condition*>(in->pointer)->evaluate();
    if (!m.conditionTruth) VM_JUMP(in->jump);
    VM_NEXT();
Store:
    storeNumber(slots, p, in->a, *p[in->b], in->kind);
    VM_NEXT();
LoadChecked:
    if (slots[in->b].variable->kind != KIND_NUMERIC) VM_HAND_BACK();
    *p[in->a] = *p[in->b];
    VM_NEXT();
LoadElement : {
    const Value& v = *slots[in->c].variable;
    double k = *p[in->b];
    if (v.kind != KIND_NUMERIC || !(v.nrow == 1 || v.nrow == v.n) ||
        !(k >= 1.0 && k <= double(v.n)))
        VM_HAND_BACK();
    *p[in->a] = static_cast<const MathMatrix<double>&>(v).data()[long(k) - 1];
    VM_NEXT();
}
StoreElement : {
    Value& v = *slots[in->a].variable;
    double k = *p[in->b];
    if (v.kind != KIND_NUMERIC || !(v.nrow == 1 || v.nrow == v.n) ||
        !(k >= 1.0 && k <= double(v.n)))
        VM_HAND_BACK();
    double& place = elementOf(v)[long(k) - 1];
    double x = *p[in->c];
    switch (in->kind) {
    case 'P':
        place = ops::arithmetic(OP_PLUS, place, x);
        break;
    case 'M':
        place = ops::arithmetic(OP_MINUS, place, x);
        break;
    case 'T':
        place = ops::arithmetic(OP_TIMES, place, x);
        break;
    case 'D':
        place = ops::arithmetic(OP_DIVIDE, place, x);
        break;
    default:
        place = x;
        break;
    }
    VM_NEXT();
}
ForStart : {
    m.pc = int(in - code);
    SequenceParts parts = evaluateSequenceParts(*static_cast<const SequenceElement*>(in->pointer));
    if (parts.count < 1) VM_JUMP(in->jump);
    if (!RunFlags::running()) return Exit::Finished;
    *p[in->a] = 0;
    *p[in->a + 1] = in->kind ? integerPart(parts.start) : parts.start;
    *p[in->a + 2] = in->kind ? integerPart(parts.step) : parts.step;
    *p[in->a + 3] = double(parts.count);
    storeNumber(slots, p, in->b, *p[in->a + 1], KIND_NUMERIC);
    VM_NEXT();
}
ForNext : {
    double** counter = p + in->a;
    double i = *counter[0] + 1.0, x = *counter[1], step = *counter[2];
    x = in->kind ? double(int(int(x) + (long long)int(step))) : x + step;
    *counter[0] = i;
    *counter[1] = x;
    if (!(i < *counter[3])) VM_NEXT();
    m.pc = int(in - code);
    if (!RunFlags::running()) return Exit::Finished;
    // The loop variable holds a plain number unless the body made it more.
    if (double* variable = p[in->b]; variable && slots[in->b].variable->n == 1) {
        *variable = x;
        slots[in->b].variable->kind = KIND_NUMERIC;
    } else {
        storeNumber(slots, p, in->b, x, KIND_NUMERIC);
    }
    VM_JUMP(in->jump);
}
CheckRun:
    m.pc = int(in - code);
    if (!RunFlags::running()) return Exit::Finished;
    VM_NEXT();
StatementStart:
    m.logged = 0;
    VM_NEXT();
CheckVersion:
    if (static_cast<const UserFunc*>(in->pointer)->version() != in->jump) VM_HAND_BACK();
    VM_NEXT();
CallUser:
CallQuick : {
    m.pc = int(in - code);
    double arguments[kMaxArguments];
    const std::uint16_t* list = m.code.argumentSlots.data() + in->b;
    for (int i = 0; i < in->c; ++i)
        arguments[i] = *p[list[i]];
    double value;
    ParkingCall* call;
    bool plain, pure = false;
    if (in->op == Op::CallUser) {
        auto* e = static_cast<UserFuncElement*>(in->pointer);
        if (!e->canCallWithNumbers()) VM_HAND_BACK();
        call = e;
        plain = e->callWithNumbers(arguments, in->c, value);
    } else {
        auto* e = static_cast<QuickUserFuncElement*>(in->pointer);
        if (!e->canCallWithNumbers()) VM_HAND_BACK();
        call = e;
        plain = e->callWithNumbers(arguments, in->c, value, pure);
    }
    if (!plain) {
        m.failedCall = call;
        VM_HAND_BACK();
    }
    if (m.logged < kMaxCallsPerStatement) m.log[m.logged++] = {call, value, in->site};
    *p[in->a] = value;
    if (!pure && (!m.frame.revalidate() || RunFlags::steppingOn())) VM_HAND_BACK();
    VM_NEXT();
}
Revalidate:
    if (!m.frame.revalidate() || RunFlags::steppingOn()) VM_HAND_BACK();
    VM_NEXT();
ExecuteTree : {
    m.pc = int(in - code);
    Flow flow;
    try {
        flow = static_cast<Statement*>(in->pointer)->execute();
    } catch (const LoopSignal& signal) {
        flow = signal.flow;
    }
    if (flow == Flow::Normal && !RunFlags::running()) return Exit::Finished;
    m.flow = flow;
    if (!m.frame.revalidate() || RunFlags::steppingOn()) VM_HAND_BACK();
    if (flow == Flow::Normal) VM_NEXT();
    int target = loopTarget(m.code, in->site, flow);
    if (target < 0) return Exit::Finished;
    m.flow = Flow::Normal;
    VM_JUMP(target);
}
Return:
    RunFlags::run.store(false, std::memory_order_relaxed);
    m.flow = Flow::Normal;
    return Exit::Finished;
Leave:
    m.flow = in->kind == 1 ? Flow::Break : in->kind == 2 ? Flow::Continue : Flow::Normal;
    return Exit::Finished;
Halt:
    m.result = *p[in->a];
    return Exit::Finished;
handBack:
    m.pc = int(in - code);
    m.handBackSite = in->site;
    return Exit::HandBack;

#undef VM_NEXT
#undef VM_JUMP
#undef VM_HAND_BACK
#undef VM_BINARY
#undef VM_WHOLE
#undef VM_UNLESS
}

// Runs the code until it finishes or hands back. A break or continue thrown
// out of a call or a statement ends the loop around it; any other failure
// gets the "at line" trace the tree's blocks would give it.
Exit runGuarded(Machine& m) {
    for (;;) {
        try {
            return dispatch(m);
        } catch (const LoopSignal& signal) {
            int target = loopTarget(m.code, m.code.code[size_t(m.pc)].site, signal.flow);
            if (target < 0) throw;
            m.pc = target;
        } catch (...) {
            int site = m.code.code[size_t(m.pc)].site;
            if (site >= 0) {
                const Site& s = m.code.sites[size_t(site)];
                for (int k = s.stepCount - 2; k >= 0; --k) {
                    const PathStep& step = m.code.steps[size_t(s.firstStep + k)];
                    if (auto* block = dynamic_cast<BlockStm*>(step.statement))
                        block->reportFailure(size_t(step.part));
                }
            }
            throw;
        }
    }
}

// The calls of the statement in progress keep their results for its redo.
void parkCalls(Machine& m, ResumePoint& point) {
    Statement* leaf = leafOf(m.code, m.handBackSite);
    for (int i = 0; i < m.logged; ++i) {
        if (leafOf(m.code, m.log[i].site) != leaf) continue;
        m.log[i].call->parkNumber(m.log[i].value);
        point.parked.push_back(m.log[i].call);
    }
    if (m.failedCall) point.parked.push_back(m.failedCall);
}

Flow handBack(Machine& m) {
    leafOf(m.code, m.handBackSite);
    const Site& site = m.code.sites[size_t(m.handBackSite)];
    ResumePoint point;
    double** p = m.frame.at;
    for (int k = 0; k < site.stepCount; ++k) {
        const PathStep& step = m.code.steps[size_t(site.firstStep + k)];
        ResumeFrame frame;
        frame.part = step.part;
        if (step.loopCounters >= 0) {
            int c = step.loopCounters;
            frame.iteration = long(*p[c]);
            frame.value = *p[c + 1];
            frame.step = *p[c + 2];
            frame.count = long(*p[c + 3]);
        }
        point.frames.push_back(frame);
    }
    point.leaf = site.statementDone   ? ResumePoint::Leaf::Done
                 : site.conditionDone ? ResumePoint::Leaf::ConditionKnown
                                      : ResumePoint::Leaf::Redo;
    point.flow = m.flow;
    point.truth = m.conditionTruth;
    if (point.leaf == ResumePoint::Leaf::Redo) parkCalls(m, point);
    return m.code.root->resume(point, 0);
}

} // namespace

Flow runStatement(ScalarCode& code) {
    if (RunFlags::steppingOn()) return code.root->executeTree();
    Frame frame(code);
    if (!frame.enter()) return code.root->executeTree();
    Machine m(code, frame);
    if (runGuarded(m) == Exit::Finished) return m.flow;
    return handBack(m);
}

bool runExpression(ScalarCode& code, double& out, Value& workspace, const Value*& treeResult) {
    Frame frame(code);
    if (frame.enter()) {
        Machine m(code, frame);
        if (dispatch(m) == Exit::Finished) {
            out = m.result;
            return true;
        }
        ResumePoint point;
        parkCalls(m, point);
        try {
            treeResult = code.expression->pValue(&workspace);
        } catch (...) {
            point.dropParked();
            throw;
        }
        point.dropParked();
        return false;
    }
    treeResult = code.expression->pValue(&workspace);
    return false;
}

} // namespace vemlor::scalar
