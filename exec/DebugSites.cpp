#include "exec/DebugSites.h"

#include "console/Debugger.h"
#include "exec/UserFunc.h"

namespace vemlor {

// A function's body is parsed while the function exists and goes away with
// it, so a site's function is alive whenever one of its statements runs; a
// new function at the same address simply takes the site over.
class DebugSites::Site : public DebugHook {
  public:
    Site(Debugger& debugger, const UserFunc* function, std::string file)
        : debugger_(debugger), function_(function), file_(std::move(file)) {}

    void stop(int line, const Value* variable, std::string_view) override {
        if (!debugger_.wouldStop()) return;
        DebugStop stop;
        stop.line = line;
        stop.value = variable;
        stop.sourceFile = file_;
        if (function_) {
            stop.function = function_->name();
            for (const LocalVariable& local : function_->locals())
                if (!local.name.empty()) stop.locals.push_back({local.name, local.value.get()});
        }
        debugger_.stop(stop);
    }

  private:
    Debugger& debugger_;
    const UserFunc* function_;
    std::string file_;
};

DebugSites::DebugSites(Debugger& debugger) : debugger_(debugger) {}

DebugSites::~DebugSites() = default;

DebugHook* DebugSites::site(const UserFunc* function, const std::string& sourceFile) {
    std::unique_ptr<Site>& site = sites_[{function, sourceFile}];
    if (!site) site = std::make_unique<Site>(debugger_, function, sourceFile);
    return site.get();
}

} // namespace vemlor
