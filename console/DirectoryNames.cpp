#include "console/DirectoryNames.h"

#include <algorithm>
#include <string_view>

namespace vemlor {

namespace {

// Length of the leading part all names share, ending just after a "/".
size_t sharedDirectoryPart(const std::vector<std::string>& names) {
    if (names.empty()) return 0;
    size_t shared = names.front().size();
    for (const std::string& name : names) {
        size_t k = 0;
        while (k < shared && k < name.size() && name[k] == names.front()[k])
            ++k;
        shared = k;
    }
    size_t slash = names.front().rfind('/', shared == 0 ? 0 : shared - 1);
    // Cutting only the root "/" would save nothing.
    if (shared == 0 || slash == std::string::npos || slash == 0) return 0;
    return slash + 1;
}

} // namespace

std::vector<ShortName> shortenDirectoryNames(const std::vector<std::string>& names, int capacity) {
    std::vector<ShortName> shown;
    size_t shared = sharedDirectoryPart(names);
    for (const std::string& name : names) {
        size_t tooLong =
            int(name.size()) > capacity ? name.size() - size_t(std::max(capacity, 0)) : 0;
        size_t cut = std::min(std::max(tooLong, shared), name.size() > 0 ? name.size() - 1 : 0);
        if (cut >= 1)
            shown.push_back({kCutMark + name.substr(cut), name.substr(0, cut)});
        else
            shown.push_back({name, ""});
    }
    return shown;
}

std::string fullDirectoryName(const std::string& cut, const std::string& shown) {
    if (cut.empty()) return shown;
    std::string_view rest = shown;
    if (rest.starts_with(kCutMark)) rest.remove_prefix(std::string_view(kCutMark).size());
    return cut + std::string(rest);
}

} // namespace vemlor
