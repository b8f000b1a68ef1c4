#include "builtins/WorkingDirectory.h"

#include <sys/stat.h>

namespace vemlor {

WorkingDirectory::Kind WorkingDirectory::classify(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return NotFound;
    return S_ISDIR(info.st_mode) ? Directory : File;
}

} // namespace vemlor
