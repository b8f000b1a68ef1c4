// What the user's input needs from the directory history to run `use`:
// finding a script file and entering or leaving a directory.
#pragma once

#include <string>

namespace vemlor {

class ScriptLocator {
  public:
    virtual ~ScriptLocator() = default;
    // The full path of name searched with the extension ".vml" in the current
    // directory and the library folders; empty when there is none.
    virtual std::string findScript(const std::string& name) = 0;
    virtual std::string currentDirectory() const = 0;
    virtual void changeDirectory(const std::string& dir) = 0;
};

} // namespace vemlor
