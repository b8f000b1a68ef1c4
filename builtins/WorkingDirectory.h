// What the file and directory built-ins need from the interpreter's own
// current directory: every relative file name a user types is resolved
// against it (the process's working directory never changes), and the
// directories made current are remembered. The session's directory history
// implements it.
#pragma once

#include <set>
#include <string>

namespace vemlor {

class WorkingDirectory {
  public:
    enum Kind { NotFound = 0, File = 1, Directory = 2 };
    static constexpr size_t kMaxPathLength = 258;

    virtual ~WorkingDirectory() = default;
    virtual std::string currentDirectory() const = 0;
    // Makes a directory current and remembers it; "path name is too long:"
    // beyond kMaxPathLength.
    virtual void setCurrent(const std::string& path) = 0;
    virtual const std::set<std::string>& recent() const = 0;
    virtual void clearRecent() = 0;
    // The full path of a user's file name: the default extension added when
    // the name as typed has no ".", "~/" and relative names made absolute,
    // "\" read as "/" and ".." folded. Raises "missing or empty file name",
    // "path name is too long:" and, when it must exist, "file not found: ".
    virtual std::string resolve(const std::string& name, const std::string& defaultExtension,
                                bool mustExist) const = 0;

    static Kind classify(const std::string& path);
};

} // namespace vemlor
