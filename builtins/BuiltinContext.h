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
    // Anonymous functions live in the expression that wrote them; while it
    // exists, the reference value it evaluates to carries this id.
    virtual int registerAnonymous(ScalarFunction& function) = 0;
    virtual void unregisterAnonymous(int id) = 0;
    // The directory of the program, below which its library folders lie.
    virtual const std::string& programDirectory() const = 0;
    // The instance's own current directory and its recent directories.
    virtual WorkingDirectory& workingDirectory() = 0;
    // The instance's open files; they are closed when it ends.
    virtual OpenFiles& openFiles() = 0;
    // Message boxes and questions to the user.
    virtual Dialogs& dialogs() = 0;
    // Raises the interpreter's "interrupted" when the user asked to stop the
    // running input; for built-ins that wait.
    virtual void checkInterrupt() = 0;
    // An isolated instance (a fuzzer's) starts no programs and waits for no
    // typed line.
    virtual bool isolated() const = 0;
};

} // namespace vemlor
