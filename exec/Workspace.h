// The symbol store of one interpreter: global variables and constants, and
// the process-wide built-in constants. The parsers ask it what a name
// denotes; variables own their values here, and expression trees point at
// those values, so a variable's value object lives as long as the variable.
#pragma once

#include "core/Value.h"

#include <map>
#include <string>

namespace vemlor {

enum NameClass : int { NAME_UNKNOWN = 0, NAME_CONSTANT = 1, NAME_FUNCTION = 2, NAME_VARIABLE = 3 };

struct NameInfo {
    NameClass kind = NAME_UNKNOWN;
    double constant = 0;       // NAME_CONSTANT
    Value* variable = nullptr; // NAME_VARIABLE
};

// The built-in constants (pi, ee, cc, ...), shared by every instance.
const std::map<std::string, double>& builtinConstants();

class Workspace {
public:
    Workspace();

    // First match wins: global variable, global constant, built-in constant,
    // built-in function.
    NameInfo classify(const std::string& name) const;
    // A new variable of the type; an existing one of that name is replaced.
    Value* createVariable(const std::string& name, int type);
    Value* findVariable(const std::string& name) const;
    const std::map<std::string, ValuePtr>& variables() const { return variables_; }
    const std::map<std::string, double>& constants() const { return constants_; }

private:
    std::map<std::string, double> constants_;
    std::map<std::string, ValuePtr> variables_;
};

} // namespace vemlor
