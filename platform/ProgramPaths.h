// Where the program lives and where its state files go.
#pragma once

#include <string>

namespace vemlor {

// Directory of the running executable (from /proc/self/exe), without a
// trailing "/". Computed once; the library folders lie below it.
const std::string& programDirectory();

// Directory of the three state files: $VEMLOR_HOME when set, else the program
// directory.
std::string stateDirectory();

// The process's current directory.
std::string currentDirectory();

} // namespace vemlor
