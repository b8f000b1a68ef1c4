// What a built-in may ask of the interpreter instance that calls it.
//
// Handlers are plain functions shared by every instance; whatever belongs to
// one instance (its console, its last answer, its user functions) reaches
// them through this interface, which the driver implements.
#pragma once

#include "builtins/ScalarFunction.h"
#include "core/Value.h"

#include <memory>
#include <string>

namespace vemlor {

class Debugger;
class LuForm;
class FigureSet;
class ImageWriter;
class Dialogs;
class OpenFiles;
class OutputSink;
class WorkingDirectory;

class BuiltinContext {
  public:
    virtual ~BuiltinContext() = default;
    // The console of the calling instance.
    virtual OutputSink& output() = 0;
    // The instance's answer value (`ans`); never null.
    virtual const Value& answer() = 0;
    // The function an argument refers to: a function reference value or an
    // anonymous function; raises "1st argument must be a function" for
    // anything else.
    virtual std::unique_ptr<ScalarFunction> scalarFunction(const Value& argument) = 0;
    // A user function of two parameters (ode, lsfit); raises "too many
    // arguments for the specified function" for one that takes fewer and
    // "1st argument must be a function" for anything but a user function.
    virtual std::unique_ptr<PairFunction> pairFunction(const Value& argument) = 0;
    // Raises the pending interrupt (Ctrl-C, Abort), if any; long
    // computations that run no statements and built-ins that wait call it.
    virtual void checkInterrupt() = 0;
    // The LU form `setLU` keeps for `solve` with one argument (null before).
    virtual std::unique_ptr<LuForm>& savedLuForm() = 0;
    // Anonymous functions live in the expression that wrote them; while it
    // exists, the reference value it evaluates to carries this id.
    virtual int registerAnonymous(ScalarFunction& function) = 0;
    virtual void unregisterAnonymous(int id) = 0;
    // The directory of the program, below which its library folders lie.
    virtual const std::string& programDirectory() const = 0;
    // Where the state files and the answers of external programs live.
    virtual const std::string& stateDirectory() const { return programDirectory(); }
    // The instance's own current directory (the one `cd` sets).
    virtual std::string currentDirectory() const = 0;
    // The instance's figures; they close with it.
    virtual FigureSet& figures() = 0;
    // Turns figures into PNG pictures; null where that cannot be done.
    virtual ImageWriter* imageWriter() { return nullptr; }
    // The instance's own current directory and its recent directories.
    virtual WorkingDirectory& workingDirectory() = 0;
    // The instance's open files; they are closed when it ends.
    virtual OpenFiles& openFiles() = 0;
    // Message boxes and questions to the user.
    virtual Dialogs& dialogs() = 0;
    // The debugger's state (`debug`); null where there is none.
    virtual Debugger* debugger() { return nullptr; }
    // An isolated instance (a fuzzer's) starts no programs and waits for no
    // typed line.
    virtual bool isolated() const = 0;
};

} // namespace vemlor
