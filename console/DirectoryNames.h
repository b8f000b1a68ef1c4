// Directory names shortened for the recent-directory list of the desktop
// window: the leading part that all names share, or that does not fit, is
// cut and shown as an ellipsis, and put back when a name is chosen.
#pragma once

#include <string>
#include <vector>

namespace vemlor {

// The ellipsis that stands for the cut part (UTF-8).
inline constexpr const char* kCutMark = "\xE2\x80\xA6";

struct ShortName {
    std::string shown; // what the list shows
    std::string cut;   // the leading part left out; empty when nothing was
};

// `capacity`: characters that fit in the list. The shared part is cut at a
// "/" so that every name keeps its last component.
std::vector<ShortName> shortenDirectoryNames(const std::vector<std::string>& names, int capacity);

// The full name of a shown item.
std::string fullDirectoryName(const std::string& cut, const std::string& shown);

} // namespace vemlor
