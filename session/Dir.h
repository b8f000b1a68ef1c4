// The directory history of one interpreter: its own current directory (the
// process's working directory is never changed), the set of recently used
// directories, the resolution of user file names against the current
// directory, and the script search for `use`. Persisted in "vemlor_cd.bin".
#pragma once

#include "builtins/WorkingDirectory.h"
#include "frontend/ScriptLocator.h"

#include <set>
#include <string>

namespace vemlor {

class Dir : public ScriptLocator, public WorkingDirectory {
  public:
    static constexpr int kMaxSavedEntries = 20;

    Dir(std::string startDirectory, std::string programDirectory);

    std::string currentDirectory() const override { return current_; }
    void changeDirectory(const std::string& dir) override { setCurrent(dir); }
    // Full path of a script: the name (".vml" added when it has no ".") in the
    // current directory, then in "toolbox", "teach" and "demo" below the
    // program directory. Empty when none exists.
    std::string findScript(const std::string& name) override;

    void setCurrent(const std::string& path) override;
    const std::set<std::string>& recent() const override { return recent_; }
    void clearRecent() override { recent_.clear(); }
    std::string resolve(const std::string& name, const std::string& defaultExtension,
                        bool mustExist) const override;

    // The "vemlor_cd.bin" file. Loading returns false when the file was cut
    // short (what was read stays); a missing file is not a failure.
    bool load(const std::string& path);
    bool save(const std::string& path) const;

  private:
    std::string current_;
    std::set<std::string> recent_;
    std::string programDirectory_;
};

// Turns "\" into "/" and folds "a/b/../c" into "a/c".
std::string normalisePath(std::string path);

} // namespace vemlor
