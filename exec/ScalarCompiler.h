// Compiles statement and expression trees into their scalar form (see
// ScalarCode.h for what the form is and when it hands back to the tree).
#pragma once

#include "exec/ScalarCode.h"

#include <cstdint>
#include <vector>

namespace vemlor {

class Evaluatable;
class Statement;
class Value;

// Gives `root` and every compound statement below it (blocks, conditionals,
// loops) the compiled form, where it has one worth running: one that holds a
// loop, or any when `repeated` (a function body, which runs at every call).
void compileScalarForms(Statement& root, bool repeated);

// The compiled form of an expression whose value is a plain number, or null.
scalar::ScalarCodePtr compileScalarExpression(Evaluatable& expression);

namespace scalar {

// The result of compiling an expression: the slot holding its value, and
// the kind word that value carries (numeric or boolean).
struct Operand {
    std::uint16_t slot = 0;
    int kind = 0;
};

class Compiler {
  public:
    explicit Compiler(ScalarCode& code) : code_(code) {}

    // False when there is nothing worth compiling (or nothing compiles).
    bool statementRoot(Statement& root, bool repeated);
    bool expressionRoot(Evaluatable& root);

  private:
    // Statements (ScalarCompiler.cpp).
    void statement(Statement& s);
    bool simpleStatement(Statement& s);
    void block(Statement& s);
    void conditional(Statement& s);
    void whileLoop(Statement& s);
    bool forLoop(Statement& s);
    void loopSignal(bool isBreak);
    void treeStatement(Statement& s);
    bool assignment(Statement& s);
    bool opAssignment(Statement& s, Value* target, int opCode);
    bool returnStatement(Statement& s);
    bool indexedAssignment(Statement& s);
    void condition(Evaluatable* expr, void* treeCondition, std::vector<int>& falseJumps);
    void patchAll(const std::vector<int>& jumps, int target);
    bool store(Value* variable, Evaluatable& rhs);

    // Expressions (ScalarCompileExpressions.cpp). Each returns false, having
    // emitted nothing that runs, when the expression has no scalar form.
    // `strict`: the value's kind word matters, not only its number.
    bool expression(Evaluatable& e, bool strict, Operand& out, int target = -1);
    bool entries(Evaluatable& e, bool strict, Operand& out, int target);
    bool climb(Evaluatable& e, bool integers, size_t& next, int level, bool strict, Operand& out,
               int target);
    bool binary(int code, bool integers, Operand left, Operand right, Operand& out, int target);
    bool comparison(Evaluatable& e, Operand& out, int target);
    bool comparisonJump(Evaluatable& e, std::vector<int>& falseJumps);
    bool unary(Evaluatable& e, bool strict, Operand& out, int target);
    bool call(Evaluatable& e, Operand& out, int target);
    bool userCall(Evaluatable& e, Operand& out, int target);
    bool inlineQuickCall(Evaluatable& e, bool strict, Operand& out, int target);
    bool elementRead(Evaluatable& e, Operand& out, int target);
    bool index(Evaluatable& e, std::uint16_t& slot);
    bool variableRead(Value* variable, bool strict, Operand& out);
    bool containsCall(Evaluatable& e) const;

    // Slots and code.
    std::uint16_t variableSlot(Value* variable);
    std::uint16_t temporary();
    std::uint16_t constant(double x);
    std::uint16_t destination(int target);
    int emit(Instruction instruction);
    void finish();
    int here() const { return int(code_.code.size()); }
    void patch(int at, int target) { code_.code[size_t(at)].jump = target; }
    int site(bool statementDone = false, bool conditionDone = false);
    void restoreAssigned(const std::vector<char>& before);
    void markRead(std::uint16_t slot);
    void markWritten(std::uint16_t slot, int kind);
    bool writable(std::uint16_t slot) const;

    // What a failed attempt to compile a statement must undo.
    struct Checkpoint {
        ScalarCode code;
        std::vector<char> assigned;
        std::vector<std::uint16_t> temporaries;
    };
    Checkpoint checkpoint() const { return {code_, assigned_, temporaries_}; }
    void restore(Checkpoint& saved);
    // Puts a StatementStart at `start` when the code from there calls user
    // functions; returns how far the code moved.
    int markCalls(int start);

    struct LoopContext {
        int targets;                        // index into code_.loops
        std::vector<int> breaks, continues; // jumps to patch
    };

    ScalarCode& code_;
    std::vector<PathStep> path_; // from the root to the statement compiled now
    std::vector<LoopContext> loops_;
    // Quick functions compiled into their callers: each parameter reads the
    // slot of its argument.
    std::vector<std::pair<const Value*, std::uint16_t>> substitutions_;
    std::vector<const void*> inlined_; // the functions being inlined, innermost last
    std::vector<char> assigned_;       // per slot: definitely written on every path here
    std::vector<std::uint16_t> temporaries_;
    size_t nextTemporary_ = 0;
    int callsInStatement_ = 0;
    int compiledStatements_ = 0; // statements that run without the tree
    bool sawLoop_ = false;
};

} // namespace scalar
} // namespace vemlor
