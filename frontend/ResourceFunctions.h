// Resource functions: a call of an unknown name NAME loads the file
// "resource/NAME.vml" below the program directory. Every `function` of the
// file is declared from its header line; the bodies are compiled after the
// input has been read, like those of any function declared from a file.
#pragma once

#include <string>

namespace vemlor {

class UserFunc;
class Workspace;

// The function of that name after loading its resource file, or null when
// there is no such file (or the file does not define the name).
UserFunc* loadResourceFunction(Workspace& workspace, const std::string& name);

} // namespace vemlor
