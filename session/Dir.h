// The directory history of one interpreter: its own current directory (the
// process's working directory is never changed), the set of recently used
// directories, the resolution of user file names against the current
// directory, and the script search for `use`. Persisted in "vemlor_cd.bin".
#pragma once

#include "frontend/ScriptLocator.h"

#include <set>
#include <string>

namespace vemlor {

class Dir : public ScriptLocator {
  public:
    static constexpr int kMaxSavedEntries = 20;
    static constexpr size_t kMaxPathLength = 258;

    Dir(std::string startDirectory, std::string programDirectory);

    std::string currentDirectory() const override { return current_; }
    void changeDirectory(const std::string& dir) override { setCurrent(dir); }
    // Full path of a script: the name (".vml" added when it has no ".") in the
    // current directory, then in "toolbox", "teach" and "demo" below the
    // program directory. Empty when none exists.
    std::string findScript(const std::string& name) override;

    // Makes a directory current and remembers it.
    void setCurrent(const std::string& path);
    const std::set<std::string>& recent() const { return recent_; }
    void clearRecent() { recent_.clear(); }

    // The full path of a user's file name; see the file commands for the rules.
    std::string resolve(const std::string& name, const std::string& defaultExtension,
                        bool mustExist) const;
    enum Kind { NotFound = 0, File = 1, Directory = 2 };
    static Kind classify(const std::string& path);

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
