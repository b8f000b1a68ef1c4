// The inquiry handler: a line that begins with "?" or "??" is answered here
// instead of being run. It describes the name after the operator (keyword,
// function, variable or constant) and appends that name's help text, lists
// the workspace's names or the built-ins beginning with a letter, shows the
// markup symbol codes, or prints the general guidance. Nothing here raises
// an error for an item it cannot place.
#pragma once

#include "frontend/Token.h"

#include <string>

namespace vemlor {

class OutputSink;
class Value;
class Workspace;

// How describeName placed a name.
enum class NameDescription : int {
    Unrecognised = 0,
    Keyword = 1,
    Function = 2,
    Variable = 3,
    Constant = 4,
};

struct Description {
    std::string text; // console markup, lines separated by newlines
    NameDescription kind = NameDescription::Unrecognised;
    const Value* variable = nullptr; // the variable described
};

// What a name denotes, in words. An unknown name that a resource file
// defines is loaded and described as that function.
Description describeName(Workspace& workspace, const std::string& name);

// Answers a query line: `tokens` begins with the query operator.
void answerInquiry(const TokenList& tokens, Workspace& workspace, OutputSink& out);

} // namespace vemlor
