// The symbol store of one interpreter: global variables and constants, the
// function scope of a body being compiled, and the process-wide built-in
// constants. The parsers ask it what a name denotes; variables own their
// values here, and expression trees point at those values, so a variable's
// value object lives as long as the variable (a local created twice under one
// name keeps its first value alive until the scope is left).
//
// The built-in constant table is shared by every instance and changes only
// through `clear` with "reset", "everything" or the constant flag.
#pragma once

#include "core/Value.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vemlor {

class OutputSink;
class UserFuncTable;
class DebugSites;

enum NameClass : int { NAME_UNKNOWN = 0, NAME_CONSTANT = 1, NAME_FUNCTION = 2, NAME_VARIABLE = 3 };

struct NameInfo {
    NameClass kind = NAME_UNKNOWN;
    double constant = 0;        // NAME_CONSTANT
    Value* variable = nullptr;  // NAME_VARIABLE
    bool throughGlobal = false; // reached through a `global` declaration of the function
};

// Outcomes of Workspace::clear; the `clear` command chooses the message.
enum ClearOutcome : int {
    CLEAR_DONE = 0,
    CLEAR_NO_SUCH_SYMBOL = 1,
    CLEAR_BUILTIN_FUNCTION = 2,
    CLEAR_CONSTANT = 3,
    CLEAR_OTHER = 4,
};

// The built-in constants (pi, ee, cc, ...), shared by every instance.
const std::map<std::string, double>& builtinConstants();

// One local variable of a compiled function.
struct LocalVariable {
    std::string name;
    ValuePtr value;
};

// What a function scope leaves behind for the function that was compiled:
// its values in creation order (parameters, then persistent variables, then
// the other locals). The function finds its output and inputs among them by
// name; expression trees of the body point at these value objects.
struct FunctionLocals {
    std::vector<LocalVariable> values;
    int persistentCount = 0;
};

struct NameList {
    std::string text; // each name followed by two spaces
    int count = 0;
};

class Workspace {
  public:
    // Console lines (the unknown-type warning) go to `out`.
    explicit Workspace(OutputSink& out);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // First match wins: (in a function scope: a name declared `global` skips to
    // the globals, then local variable, local constant), global variable,
    // global constant, built-in constant, user or built-in function.
    NameInfo classify(const std::string& name) const;

    // Empty on success, else the message the `const` statement raises.
    std::string declareConstant(const std::string& name, double value);
    // A new variable of the type code (0, 1, 4 double; 2 complex; 3 list;
    // others double after a console warning) in the current scope. At global
    // scope an existing variable of that name is replaced.
    Value* createVariable(const std::string& name, int type);
    // The variable of that name in the current scope (locals, then globals).
    Value* findVariable(const std::string& name) const;
    // Empty on success, else a message; raises SyntaxError "misplaced
    // persistent declaration" when a local other than a parameter or a
    // persistent variable was created before.
    std::string declarePersistent(const std::string& name, double initial);
    // Marks a name as global in the function scope, creating a global double
    // variable when none exists. Empty on success, else a message.
    std::string declareGlobal(const std::string& name);

    // Dummy variables of expression arguments: rebind puts `value` into the
    // existing variable's slot (local, else global; SyntaxError "something
    // wrong with temporary function definition" when there is none) and
    // returns the previous value. bind does the same but makes a global slot
    // when there is none; it returns what the slot held. unbind removes such a
    // global slot again and hands its value back.
    ValuePtr rebind(const std::string& name, ValuePtr value);
    ValuePtr bind(const std::string& name, ValuePtr value);
    ValuePtr unbind(const std::string& name);

    // The workspace's part of the `clear` command. "reset" and "everything"
    // wipe the instance (and the built-in constants, refilled only by
    // "reset"). Raises RuntimeError for a constant without the flag.
    ClearOutcome clear(const std::string& name, bool constantFlag);
    // 'v' variables, 'c' built-in then global constants, 'f'/'r' functions.
    NameList listNames(char category) const;

    // Function scope while a body is compiled. enter raises SyntaxError
    // "nested functions not allowed" when a scope is already open; leave
    // hands the scope's locals to the caller.
    void enterFunction(int parameterCount);
    FunctionLocals leaveFunction();
    int functionDepth() const { return scope_ ? 1 : 0; }

    // Values of variables that were replaced or cleared while an input was
    // parsed stay alive until the input has run: statements parsed before
    // still point at them. The driver releases them after each input.
    void releaseRetired() { retired_.clear(); }

    UserFuncTable& userFunctions() const { return *userFunctions_; }
    // Where the statements parsed for this workspace offer the debugger its
    // stops; null when nobody debugs (no stops are offered).
    DebugSites* debugSites() const { return debugSites_; }
    void setDebugSites(DebugSites* sites) { debugSites_ = sites; }
    // Whether `value` is a local of the function scope being compiled.
    bool isLocal(const Value* value) const;

    const std::map<std::string, ValuePtr>& variables() const { return variables_; }
    const std::map<std::string, double>& constants() const { return constants_; }

    // Whether trees get their compiled scalar form (on unless a test compares
    // the two forms).
    bool scalarForms() const { return scalarForms_; }
    void setScalarForms(bool on) { scalarForms_ = on; }

  private:
    struct FunctionScope;

    void wipe();
    void setInitialConstants();
    ValuePtr makeVariableValue(int type);
    Value* createLocal(const std::string& name, ValuePtr value);
    ValuePtr* localSlot(const std::string& name) const;
    ValuePtr* slotFor(const std::string& name);
    void retire(ValuePtr value);

    OutputSink& out_;
    bool scalarForms_ = true;
    std::map<std::string, double> constants_;
    std::map<std::string, ValuePtr> variables_;
    std::unique_ptr<FunctionScope> scope_;
    std::unique_ptr<UserFuncTable> userFunctions_;
    DebugSites* debugSites_ = nullptr;
    std::vector<ValuePtr> retired_;
};

} // namespace vemlor
