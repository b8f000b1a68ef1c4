// The interpreter's own current directory: `cd` shows and changes it, `dir`
// lists it (or another directory, or the entries a pattern matches), and
// every file name the other file built-ins take is resolved against it here.
//
// Listings are sorted by name and leave out "." and ".."; a directory shows
// as its name followed by " <DIR>  ". `cd ?` asks the platform for a folder
// (a terminal asks for its name; without anyone to ask nothing changes).
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/FileNames.h"
#include "builtins/WorkingDirectory.h"
#include "platform/Dialogs.h"

#include <algorithm>
#include <dirent.h>
#include <fnmatch.h>
#include <memory>
#include <string>
#include <vector>

namespace vemlor {

namespace {

// Runs `step`; a refusal it raises carries the command's name.
template <class F> auto namingCommand(std::string_view command, F step) -> decltype(step()) {
    try {
        return step();
    } catch (const RuntimeError& refused) {
        raiseRuntime(command, refused.what());
    }
}

} // namespace

namespace detail {

std::string stringArgument(const Value& v, std::string_view command, std::string_view what) {
    check(v.type() != LIST_VAL && v.isString(), command, std::string(what) + " must be a string");
    return v.toString();
}

std::string resolvedPath(BuiltinContext& context, const Value& name, std::string_view extension,
                         bool mustExist, std::string_view command) {
    std::string typed = stringArgument(name, command, "the file name");
    return namingCommand(command, [&] {
        return context.workingDirectory().resolve(typed, std::string(extension), mustExist);
    });
}

} // namespace detail

namespace {

using namespace detail;

// Enters a directory named by the user: it must exist and not be a file.
void changeTo(WorkingDirectory& directory, const std::string& name) {
    std::string path = namingCommand("cd", [&] { return directory.resolve(name, "", false); });
    switch (WorkingDirectory::classify(path)) {
    case WorkingDirectory::NotFound:
        raiseRuntime("cd", "can't find directory " + name);
    case WorkingDirectory::File:
        raiseRuntime("cd", "attempt to cd to file " + name);
    case WorkingDirectory::Directory:
        break;
    }
    namingCommand("cd", [&] { directory.setCurrent(path); });
}

void cd(BuiltinContext& context, std::span<const Value* const> arguments,
        std::span<ValuePtr> outputs) {
    WorkingDirectory& directory = context.workingDirectory();
    IntValue& out = resultAs<IntValue>(outputs[0]);
    if (arguments.empty()) {
        out.assignString("{-" + directory.currentDirectory());
        return;
    }
    std::string target = stringArgument(*arguments[0], "cd", "the directory");
    if (target == "?") {
        std::string chosen = context.dialogs().chooseFolder("cd ...", directory.currentDirectory());
        if (!chosen.empty()) changeTo(directory, chosen);
    } else if (target == "clear") {
        if (context.dialogs().askYesNo("The recent path list will be cleared. Are you sure?", "cd"))
            directory.clearRecent();
    } else {
        changeTo(directory, target);
    }
    check(WorkingDirectory::classify(directory.currentDirectory()) == WorkingDirectory::Directory,
          "cd", "something wrong: try using 'clear path' to reset vemlor path");
    out.assignString(directory.currentDirectory());
}

struct Listing {
    std::string folder;  // where the entries are
    std::string pattern; // what their names must match
    bool directoriesOnly = false;
};

Listing listingOf(BuiltinContext& context, std::string pattern) {
    Listing listing;
    if (pattern.empty()) pattern = ".";
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, "*.") == 0) {
        listing.directoriesOnly = true;
        pattern.pop_back();
    }
    std::string path = namingCommand(
        "dir", [&] { return context.workingDirectory().resolve(pattern, "", false); });
    bool wild = path.find_first_of("*?[") != std::string::npos;
    if (!wild && WorkingDirectory::classify(path) == WorkingDirectory::Directory) path += "/*";
    size_t slash = path.rfind('/');
    listing.folder = slash == 0 ? "/" : path.substr(0, slash);
    listing.pattern = path.substr(slash + 1);
    return listing;
}

struct DirectoryCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

void dir(BuiltinContext& context, std::span<const Value* const> arguments,
         std::span<ValuePtr> outputs) {
    std::string pattern =
        arguments.empty() ? "" : stringArgument(*arguments[0], "dir", "the pattern");
    Listing listing = listingOf(context, pattern);
    std::unique_ptr<DIR, DirectoryCloser> folder(::opendir(listing.folder.c_str()));
    check(folder != nullptr, "dir", "file not found");
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(folder.get())) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (::fnmatch(listing.pattern.c_str(), name.c_str(), FNM_PERIOD) != 0) continue;
        bool isDirectory =
            WorkingDirectory::classify(listing.folder + "/" + name) == WorkingDirectory::Directory;
        if (isDirectory)
            names.push_back(name + " <DIR>  ");
        else if (!listing.directoriesOnly)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    makeStringList(names, outputs[0]);
}

} // namespace

std::span<const BuiltinDefinition> directoriesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("cd", cd, INTEGER_VAL, 0, 1),
        defineBuiltin("dir", dir, LIST_VAL, 0, 1),
    };
    return table;
}

} // namespace vemlor
