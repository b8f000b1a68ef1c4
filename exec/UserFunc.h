// A function written in the language: its signature, its compiled body and
// the locals the body's expression trees point at.
//
// Every activation runs on the same value objects. A recursive call parks
// the caller's local buffers in a frame (swapping contents, so nothing is
// copied and the pointers held by the body stay valid) and hands them back
// when it returns. Persistent variables are never parked, so all activations
// share them. Frames are kept for reuse: a warm recursion allocates nothing
// but the elements its values need.
#pragma once

#include "exec/Statement.h"
#include "exec/Workspace.h"

#include <bitset>
#include <span>
#include <string>
#include <vector>

namespace vemlor {

class OutputSink;

// Signature flags.
enum FunctionFlags : int {
    FUNC_QUICK_ELIGIBLE = 2, // at most 2 double parameters, no defaults, one double output
    FUNC_QUICK_BODY = 4,     // the body is a single expression (forms := and ::=)
    FUNC_VECTORISED = 32,    // defined with "::="
    FUNC_HEADER_FROM_TEXT = 64,
    FUNC_RESOURCE = 128,
};

inline constexpr int kMaxParameters = 32;
inline constexpr int kMaxRecursionDepth = 50;

// What a definition's header says about a function.
struct FunctionSignature {
    std::string name;
    std::vector<std::string> parameterNames;
    std::vector<int> parameterTypes;
    std::vector<std::string> outputNames; // empty: one unnamed output
    std::vector<int> outputTypes;         // at least one entry
    std::bitset<768> byReference;         // parameters written with '^'
    std::vector<double> defaults;         // for the last parameters
    int flags = 0;

    int parameterCount() const { return int(parameterNames.size()); }
    int minimumArguments() const { return parameterCount() - int(defaults.size()); }
    bool quickEligible() const { return flags & FUNC_QUICK_ELIGIBLE; }
};

// Sets FUNC_QUICK_ELIGIBLE when the signature qualifies for the quick path.
void markQuickEligibility(FunctionSignature& signature);

// Where a definition came from, for compiling on demand and describing it.
struct DefinitionSource {
    std::string fileName; // empty for typed input
    int line = 0;
    int blockCommentStart = -1;
    bool interactive = false;
    std::string text; // the header line as written
};

class UserFunc {
  public:
    UserFunc(FunctionSignature signature, DefinitionSource source, OutputSink& out);
    ~UserFunc();
    UserFunc(const UserFunc&) = delete;
    UserFunc& operator=(const UserFunc&) = delete;

    const std::string& name() const { return signature_.name; }
    const FunctionSignature& signature() const { return signature_; }
    const DefinitionSource& source() const { return source_; }
    int outputType() const { return signature_.outputTypes[0]; }
    bool hasBody() const { return body_ != nullptr; }
    bool isQuick() const { return quickBody_ != nullptr; }
    bool isResource() const { return signature_.flags & FUNC_RESOURCE; }
    bool isRunning() const { return activeDepth_ > 0; }
    // Changes whenever the function gets a new header or body, so that code
    // compiled against one definition can tell that it is gone.
    int version() const { return version_; }
    Evaluatable* quickBody() const { return quickBody_; }
    // The quick body compiled to plain numbers, when it has that form.
    scalar::ScalarCode* quickCode() const { return quickCode_.get(); }
    // Compiles the body (and the quick body) to their scalar forms.
    void compileScalarForms();
    Value* parameter(int i) const { return parameters_[size_t(i)]; }
    const std::vector<LocalVariable>& locals() const { return locals_.values; }

    // Installs a compiled body with the locals its trees point at; checks
    // that the outputs were set (SyntaxError otherwise). `quickBody` is the
    // single expression of a ":=" body, or null.
    void define(StatementPtr body, FunctionLocals locals, Evaluatable* quickBody);
    // A new header for the same function object: the old body is dropped
    // until the new one is defined.
    void redeclare(FunctionSignature signature, DefinitionSource source);
    // Drops the body and the locals (the function was cleared).
    void discard();
    // Whether the compiled body reads or writes `variable`.
    bool uses(const Value* variable) const;

    // One activation: arguments (already evaluated) bound to the parameters,
    // by-reference parameters written back to `references` (entries null for
    // arguments that are no variables), extra outputs copied to
    // `extraOutputs`, the main output to `result`.
    void call(std::span<const Value* const> arguments, std::span<Value* const> references,
              std::span<Value* const> extraOutputs, Value& result);
    // The same for arguments that are plain numbers, when takesNumbers():
    // true with the output's number in `out` when it is a plain number, else
    // false with the output in `result`.
    bool callWithNumbers(const double* arguments, int count, double& out, Value& result);
    // Whether every parameter is a double taken by value.
    bool takesNumbers() const { return takesNumbers_; }
    // A mouse or key handler: at most two arguments, no recursion.
    void callHandler(const Value& first, const Value& second, Value& result);

    // The recursion guard around a quick call (which has no frames: a quick
    // body cannot call itself and come back).
    void enterQuick();
    void leaveQuick() { --activeDepth_; }

  private:
    // One parked local of a recursive call's caller: a plain number is kept
    // as its number (the variable keeps its buffer for the callee); anything
    // else hands its buffer to `value`.
    struct ParkedLocal {
        double number = 0;
        int kind = 0;
        int rows = 0; // a plain number's shape: 0 empty, 1 one number
        bool plain = false;
        ValuePtr value; // the buffer of anything else
    };

    static void setNumber(Value& variable, double x);
    void enterActivation();
    void leaveActivation();
    void pushFrame();
    void popFrame();
    void resetLocals();
    void unwindAfterError();
    void bindArguments(std::span<const Value* const> arguments, std::span<Value* const> references);
    void copyBack(std::span<Value* const> references);
    bool isPersistent(const Value* value) const;
    void markOutputsUnset();
    // Raises when an output the caller takes was never set by the body.
    void deliverOutputs(std::span<Value* const> extraOutputs, Value& result);
    Value* findLocal(const std::string& name) const;

    FunctionSignature signature_;
    DefinitionSource source_;
    OutputSink& out_;
    FunctionLocals locals_;
    std::vector<Value*> parameters_;
    Value* output_ = nullptr;
    std::vector<Value*> extraOutputs_;
    StatementPtr body_;
    Evaluatable* quickBody_ = nullptr;
    scalar::ScalarCodePtr quickCode_;
    int activeDepth_ = 0;
    // The locals a recursive call parks (all but the persistent ones), and
    // their parked values: activation k + 1 parks into the k-th run of
    // parked_.size() entries; only the first frameCount_ runs are in use.
    std::vector<Value*> parked_;
    std::vector<ParkedLocal> frames_;
    // The outputs a new activation marks as not yet set (the persistent ones
    // keep their values).
    std::vector<Value*> markedOutputs_;
    int frameCount_ = 0;
    bool takesNumbers_ = false;
    int version_ = 0;
};

} // namespace vemlor
