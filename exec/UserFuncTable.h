// The user functions of one interpreter instance, owned by its workspace.
//
// Compiled bodies point at the functions they call, so a function object
// lives as long as the table: redefinition compiles a new body into the same
// object, and `clear` retires it (its body is dropped and calls of it fail)
// instead of freeing it under a caller's feet.
#pragma once

#include "exec/UserFunc.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vemlor {

class OutputSink;

class UserFuncTable {
  public:
    explicit UserFuncTable(OutputSink& out);
    ~UserFuncTable();
    UserFuncTable(const UserFuncTable&) = delete;
    UserFuncTable& operator=(const UserFuncTable&) = delete;

    UserFunc* find(const std::string& name) const;
    bool contains(const std::string& name) const { return find(name) != nullptr; }
    // Registers a header: a new function, or the existing one of that name
    // with the new signature (its old body stays until a new one is
    // compiled).
    UserFunc& declare(FunctionSignature signature, DefinitionSource source);
    // True when a function of that name existed and is now retired.
    bool remove(const std::string& name);
    void removeAll();
    // Whether any compiled body reads or writes `variable`.
    bool uses(const Value* variable) const;

    // Where resource functions are loaded from ("resource" below the
    // program directory); empty when there is none.
    const std::string& resourceDirectory() const { return resourceDirectory_; }
    void setResourceDirectory(std::string directory) { resourceDirectory_ = std::move(directory); }

    // The function whose body is being compiled, or null.
    UserFunc* compiling() const { return compiling_; }
    void setCompiling(UserFunc* function) { compiling_ = function; }
    // The first function with a header but no body (declared from a file).
    UserFunc* firstPending() const;

    // Whether handlers for pointer motion exist (figures ask on every move).
    bool hasMoveHandler() const { return contains("onMove"); }
    bool hasDragHandler() const { return contains("onDrag"); }
    bool hasDragableHandler() const { return contains("onDragable"); }

    // Names for the workspace listing: 'f' all functions, 'r' resources.
    std::vector<std::string> names(char category) const;
    // The help listings: 'r' resource names, 'f' quick then other functions.
    std::string listing(char category) const;
    std::string describe(const UserFunc& function) const;

  private:
    OutputSink& out_;
    std::map<std::string, std::unique_ptr<UserFunc>> functions_;
    std::vector<std::unique_ptr<UserFunc>> retired_;
    UserFunc* compiling_ = nullptr;
    std::string resourceDirectory_;
};

} // namespace vemlor
