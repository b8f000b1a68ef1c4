// The debugger's hooks in the statement trees. A parsed statement cannot ask
// at run time which function it belongs to, so the parser hands each one
// the site of the place it was read in: a user function's body (whose name,
// locals and file a stop shows) or the input itself (and its script file,
// if any). Sites live as long as the interpreter instance.
#pragma once

#include "exec/Statement.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace vemlor {

class Debugger;
class UserFunc;

class DebugSites {
  public:
    explicit DebugSites(Debugger& debugger);
    ~DebugSites();
    DebugSites(const DebugSites&) = delete;
    DebugSites& operator=(const DebugSites&) = delete;

    // The hook of statements read in `function`'s body (null: outside any
    // body) from `sourceFile` (empty: typed input).
    DebugHook* site(const UserFunc* function, const std::string& sourceFile);
    Debugger& debugger() { return debugger_; }

  private:
    class Site;
    Debugger& debugger_;
    std::map<std::pair<const UserFunc*, std::string>, std::unique_ptr<Site>> sites_;
};

} // namespace vemlor
