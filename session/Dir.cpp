#include "session/Dir.h"

#include "core/BinaryIO.h"
#include "core/Errors.h"

#include <cstdio>
#include <cstdlib>

namespace vemlor {

std::string normalisePath(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    for (size_t dots; (dots = path.find("/..")) != std::string::npos;) {
        size_t end = dots + 3;
        if (end < path.size() && path[end] != '/') break; // a name that merely starts with ".."
        size_t start = dots == 0 ? 0 : path.rfind('/', dots - 1);
        if (start == std::string::npos) start = 0;
        path.erase(start, end - start);
        if (path.empty()) path = "/";
    }
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

namespace {

// The user's home folder, for names typed as "~/...".
std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

} // namespace

Dir::Dir(std::string startDirectory, std::string programDirectory)
    : current_(normalisePath(std::move(startDirectory))),
      programDirectory_(std::move(programDirectory)) {}

void Dir::setCurrent(const std::string& path) {
    std::string full = normalisePath(path);
    if (full.size() > kMaxPathLength) raiseRuntime("path name is too long:" + full);
    current_ = full;
    recent_.insert(full);
}

std::string Dir::resolve(const std::string& name, const std::string& defaultExtension,
                         bool mustExist) const {
    if (name.empty()) raiseRuntime("missing or empty file name");
    std::string path = name;
    if (!defaultExtension.empty() && path.find('.') == std::string::npos)
        path += "." + defaultExtension;
    bool absolute = path[0] == '/' || path[0] == '\\';
    if (path == "~" || path.rfind("~/", 0) == 0 || path.rfind("~\\", 0) == 0) {
        path = homeDirectory() + path.substr(1);
        absolute = true;
    }
    if (path == ".")
        path = current_;
    else if (!absolute)
        path = current_ + "/" + path;
    path = normalisePath(path);
    if (path.size() > kMaxPathLength) raiseRuntime("path name is too long:" + path);
    if (mustExist && classify(path) == NotFound) raiseRuntime("file not found: " + name);
    return path;
}

std::string Dir::findScript(const std::string& name) {
    if (name.empty()) return {};
    std::string file = name.find('.') == std::string::npos ? name + ".vml" : name;
    for (char& c : file)
        if (c == '\\') c = '/';
    if (file[0] == '/') return classify(file) == File ? normalisePath(file) : std::string();
    const std::string places[] = {current_, programDirectory_ + "/toolbox",
                                  programDirectory_ + "/teach", programDirectory_ + "/demo"};
    for (const std::string& place : places) {
        std::string candidate = normalisePath(place + "/" + file);
        if (classify(candidate) == File) return candidate;
    }
    return {};
}

bool Dir::load(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return true;
    BinaryReader reader(file);
    bool complete = true;
    try {
        int32_t count = reader.readInt32();
        std::string current = reader.readString();
        if (!current.empty()) current_ = normalisePath(current);
        for (int32_t i = 0; i < count && !reader.atEnd(); ++i)
            recent_.insert(reader.readString());
    } catch (const TruncatedFile&) {
        complete = false;
    }
    std::fclose(file);
    return complete;
}

bool Dir::save(const std::string& path) const {
    return writeFileAtomically(path, [this](BinaryWriter& out) {
        int count = int(std::min<size_t>(recent_.size(), kMaxSavedEntries));
        out.writeInt32(count);
        out.writeString(current_);
        auto entry = recent_.begin();
        for (int i = 0; i < count; ++i, ++entry)
            out.writeString(*entry);
        return true;
    });
}

} // namespace vemlor
