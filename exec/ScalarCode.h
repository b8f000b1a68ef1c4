// The compiled scalar form of statements and expressions.
//
// Expression and statement trees fix their types when they are built, so a
// tree whose values are plain numbers can be compiled once into a compact
// register code: instructions over slots of doubles, where a slot is a
// temporary, a constant, or a variable of the tree (read through a pointer
// to its one element). The code runs while every value it touches is a plain
// number; the moment one is not (a variable became a matrix, an index is out
// of bounds, an integer overflows, a function returned a vector), the code
// hands back to the tree, which redoes the statement in progress and goes on
// from there. The tree reports every error, so both forms show the same
// messages; the scalar meaning of each operator comes from core/ScalarOps.h,
// which the matrix kernels use as well.
//
// Statements the code cannot express (a display, a list assignment, ...) are
// run through the tree from inside the code, so a loop compiles whatever its
// body holds. Calls of user functions may have effects, so a call's result
// is logged; when the code hands back later in the same statement, each call
// element keeps its result "parked" and gives it to the tree's evaluation
// instead of calling again.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vemlor {

class Evaluatable;
class Statement;
class Value;

namespace scalar {

enum class Op : std::uint8_t {
    // a <- b op c, doubles
    Add,
    Sub,
    Mul,
    Div,
    Pow,
    Mod,
    FloorDiv,
    // a <- b op c on whole numbers; hands back on overflow or a zero divisor
    AddInt,
    SubInt,
    MulInt,
    DivInt,
    PowInt,
    ModInt,
    FloorDivInt,
    // a <- 1 or 0
    Less,
    LessEqual,
    Equal,
    NotEqual,
    GreaterEqual,
    Greater,
    And,
    Or,
    Xor,
    NonZero, // a <- (b != 0)
    Not,     // a <- (b == 0)
    Neg,
    NegInt,
    Move,
    Truncate,
    // a <- f(b) through `pointer`
    Call1,
    Call1Int,
    // jumps to `jump`: always, when trunc(b) is 0, when b op c does not hold
    Jump,
    LoopBack /* checks the run flag first */,
    JumpIfFalse,
    JumpUnlessLess,
    JumpUnlessLessEqual,
    JumpUnlessEqual,
    JumpUnlessNotEqual,
    JumpUnlessGreaterEqual,
    JumpUnlessGreater,
    ConditionByTree, // jumps when the tree's condition object (pointer) is false
    Store,           // variable slot a <- b, kind word `kind`
    LoadChecked,     // a <- slot b, handing back unless its kind is numeric
    LoadElement,     // a <- element b of the vector in slot c
    StoreElement,    // element b of the vector in slot a <- c, combined by `kind`
    ForStart,        // a.. <- the parts of the sequence `pointer`, variable b <- the
                     // first value; jumps when the sequence is empty
    ForNext,         // next iteration of the loop whose counters start at a, into b
    CheckRun,        // stops or raises "interrupted" once the run flag is clear
    StatementStart,  // a statement with calls begins: the call log restarts
    CallUser,        // a <- user function call `pointer`, arguments from slot b on;
                     // the variables are checked again afterwards
    CallQuick,       // the same for a quick function
    CheckVersion,    // hands back unless user function `pointer` has version `jump`
    Revalidate,      // after anything that may have changed variables
    ExecuteTree,     // runs statement `pointer`; its signal goes to site targets
    Return,          // clears the run flag and leaves
    Leave,           // leaves with signal `kind` (0 none, 1 break, 2 continue)
    Halt,            // end of an expression's code: the result is in slot a
};

struct Instruction {
    Op op;
    std::uint8_t kind = 0;
    std::uint16_t a = 0, b = 0, c = 0;
    std::int32_t jump = -1;
    std::int32_t site = -1; // where a hand-back or an error is reported
    void* pointer = nullptr;
};

// One level of the path from the compiled root to a statement in progress.
struct PathStep {
    Statement* statement;
    int part = 0;          // a block's statement index, 1 for an else branch
    int loopCounters = -1; // a for loop: its first counter slot
};

// A place in the code: the path to the statement running there, and the
// loop that a break or continue raised there would end.
struct Site {
    int firstStep = 0, stepCount = 0;
    int loop = -1;              // index into loops, or -1 for none inside the code
    bool statementDone = false; // the statement has run (ExecuteTree)
    bool conditionDone = false; // the statement's condition has been evaluated
};

struct LoopTargets {
    int breakTarget = -1, continueTarget = -1;
};

struct SlotInfo {
    Value* variable = nullptr; // null for temporaries and constants
    bool constant = false;     // holds its initial value for good
    bool guarded = false;      // must hold a plain number when the code starts
    bool numericOnly = true;   // never receives a boolean
    bool elements = false;     // indexed: read or written element by element
};

// How many user-function calls one statement may log.
inline constexpr int kMaxCallsPerStatement = 16;

// The slot storage of one activation of a code. A code keeps the storage of
// its activations for the next ones (a recursive function's body runs in
// several at once), with the constants and the temporaries' addresses set up
// once. Copying a code copies none of it.
struct FrameStorage {
    std::unique_ptr<double[]> values;
    std::unique_ptr<double*[]> at;
};

class FramePool {
  public:
    FramePool() = default;
    FramePool(const FramePool&) {}
    FramePool& operator=(const FramePool&) { return *this; }
    std::vector<std::unique_ptr<FrameStorage>> frames;
    int active = 0;
};

class ScalarCode {
  public:
    std::vector<Instruction> code;
    std::vector<SlotInfo> slots; // variables first, then temporaries
    std::vector<double> initial; // initial values of the temporaries (constants)
    int variableCount = 0;
    std::vector<PathStep> steps;
    std::vector<Site> sites;
    std::vector<LoopTargets> loops;
    std::vector<std::uint16_t> argumentSlots; // calls: `b` is the offset, `c` the count
    std::vector<std::uint16_t> variableSlots; // the slots of variables
    // What the machine checks of each variable slot, side by side.
    struct VariableCheck {
        Value* variable;
        std::uint16_t slot;
        bool numericOnly, guarded;
    };
    std::vector<VariableCheck> checks;
    std::vector<std::uint16_t> otherSlots; // temporaries and constants
    bool pure = false;                     // calls nothing and runs no statement through the tree
    FramePool pool;
    Statement* root = nullptr; // null for an expression's code
    Evaluatable* expression = nullptr;

    int slotCount() const { return int(slots.size()); }
    int temporaryCount() const { return slotCount() - variableCount; }
};

using ScalarCodePtr = std::unique_ptr<ScalarCode>;

// A call element that can keep a result for the tree's next evaluation of
// it, instead of calling again.
class ParkingCall {
  public:
    virtual void parkNumber(double x) = 0;
    virtual void dropParked() = 0;

  protected:
    ~ParkingCall() = default;
};

} // namespace scalar
} // namespace vemlor
