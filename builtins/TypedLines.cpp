// `getline`: one line typed by the user, asked for with a prompt. In the
// terminal it is read after the prompt, in the desktop program typed in
// the instance's console; with piped input it is the next line of the
// input. At the end of the input (or in an instance that waits for nobody)
// the line is empty.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "platform/Dialogs.h"

#include <string>

namespace vemlor {

namespace {

void getlineI(BuiltinContext& context, const Value& prompt, IntValue& out) {
    std::string line;
    if (context.isolated() || !context.dialogs().askLine(detail::textOf(prompt), line))
        line.clear();
    out.assignString(line);
}

} // namespace

std::span<const BuiltinDefinition> typedLinesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("getline", getlineI),
    };
    return table;
}

} // namespace vemlor
