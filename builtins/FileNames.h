// File names typed by users, as the file built-ins read them.
#pragma once

#include "core/Value.h"

#include <string>
#include <string_view>

namespace vemlor {

class BuiltinContext;

namespace detail {

// The full path of the file `name` (a string, else "the file name must be a
// string") names, resolved against the instance's current directory with
// the default extension (empty for none); every refusal carries the command.
std::string resolvedPath(BuiltinContext& context, const Value& name, std::string_view extension,
                         bool mustExist, std::string_view command);

// The text of a string argument, else "<what> must be a string" for the command.
std::string stringArgument(const Value& v, std::string_view command, std::string_view what);

} // namespace detail
} // namespace vemlor
