// Answers to query lines. The token after the operator decides: a name is
// described (or names a listing: vars, consts, funcs, func, syms), an
// operator or separator gets a fixed sentence, anything else "I have no
// information to offer". Help texts come from console/HelpTexts.
#include "frontend/Inquiry.h"

#include "builtins/Registry.h"
#include "console/HelpTexts.h"
#include "console/Markup.h"
#include "core/Display.h"
#include "core/OutputSink.h"
#include "exec/UserFuncTable.h"
#include "exec/Workspace.h"
#include "frontend/Keywords.h"
#include "frontend/ResourceFunctions.h"

namespace vemlor {

namespace {

constexpr const char* kGuidance =
    "For info on item x, use '?x'. For example:\n"
    "?plot     gives information on the plot command\n"
    "?name     gives information on a function or variable having the given name\n"
    "??name    gives further information\n"
    "Also:\n"
    "?vars     list the user-defined variables\n"
    "?consts   list the constants\n"
    "?func c   list the functions whose name begins with the supplied letter (here c)\n"
    "?funcs    list user-defined functions\n"
    "\n"
    "Finally, to get a little introductory guidance you can simply type in:\n"
    "\n"
    "{g  help}\n";

constexpr const char* kNoInformation = "I have no information to offer";
constexpr const char* kFurtherHelpUnavailable = "\n (further help unavailable)";

std::string builtinDescription(const BuiltinInfo& info) {
    std::string text =
        info.name + ": built-in function of type " + std::to_string(int(info.entry.family));
    text += "\nTakes " + std::to_string(info.minArgs);
    if (info.maxArgs == kUnlimitedArgs)
        text += " to any number of";
    else if (info.maxArgs != info.minArgs)
        text += " to " + std::to_string(info.maxArgs);
    return text + " arguments.";
}

// "it is a ..." for a value that is not empty.
std::string shapeOf(const Value& v) {
    std::string rows = std::to_string(v.nrow);
    std::string columns = std::to_string(v.ncol());
    switch (kindCode(v.kind)) {
    case KIND_NUMERIC:
    case KIND_BOOL:
    case KIND_COMPLEX: {
        std::string shape = v.nrow == 1     ? "row vector"
                            : v.ncol() == 1 ? "column vector"
                                            : "(" + rows + " x " + columns + ") matrix";
        return "a " + shape + ", min, max =" + v.stringItem(v.indexOfMin(), 9) + ", " +
               v.stringItem(v.indexOfMax(), 9);
    }
    case KIND_STRING:
        return v.nrow == 1 ? "a string" : "an array of strings";
    case KIND_TEXT:
    case KIND_3D: {
        int pages = v.is3D() ? pageCount(v.kind) : 1;
        int perPage = pages > 0 && v.nrow > 0 ? v.n / (pages * v.nrow) : 0;
        return "a (" + rows + " x " + std::to_string(perPage) + " x " + std::to_string(pages) +
               ") array";
    }
    default:
        if (v.type() != LIST_VAL) return "a (" + rows + " x " + columns + ") array";
        if (v.nrow == 1) return "a list with " + std::to_string(v.n) + " items";
        return "a (" + rows + " x " + columns + ") array of items";
    }
}

std::string variableDescription(const std::string& name, const Value& v) {
    std::string text = name + " is a variable, type (" + std::string(typeName(v.type())) + ", " +
                       std::string(kindName(v.kind)) + "), size =" + std::to_string(v.n);
    if (v.n == 0) return text + "\n[]";
    return text + "\nit is " + shapeOf(v);
}

std::string constantDescription(double value) {
    DoubleValue shown;
    shown.assignScalar(value);
    return "a Vemlor constant, value:\n" + shown.stringItem(0, 9);
}

// The help text of `name` for "?" (summary and call forms) or "??" (all).
std::string furtherHelp(const std::string& name, bool further) {
    const HelpEntry* entry = findHelp(name);
    if (!entry) return kFurtherHelpUnavailable;
    std::string text;
    for (const std::string& line : helpLines(*entry, further))
        text += "\n" + line;
    return text;
}

void printLines(OutputSink& out, const std::string& text) {
    out.print(text, true, PRINT_MARKUP);
}

void listNames(Workspace& workspace, char category, OutputSink& out) {
    NameList list = workspace.listNames(category);
    if (list.count > 0) out.print(list.text, true, PRINT_LITERAL);
}

void listFunctions(Workspace& workspace, OutputSink& out) {
    const UserFuncTable& functions = workspace.userFunctions();
    printLines(out, functions.listing('f'));
    std::string resources = functions.listing('r');
    if (!resources.empty()) printLines(out, resources);
}

void listBuiltinsFrom(char letter, OutputSink& out) {
    std::string text;
    for (const std::string& name : Registry::instance().names())
        if (name[0] == letter) text += name + "  ";
    out.print(text, true, PRINT_LITERAL);
}

// Each symbol code as its character and then as typed. The blank in front
// keeps the line from reading as one literal group.
void listSymbols(OutputSink& out) {
    for (std::string_view code : markupSymbolCodes()) {
        std::string typed = "\\" + std::string(code);
        printLines(out, " {;" + typed + "}   " + typed);
    }
}

void showVariableInFull(const Value& v, OutputSink& out) {
    bool markedUpString =
        v.isString() && v.nrow == 1 && v.toString().find_first_of("{}\\") != std::string::npos;
    if (markedUpString)
        printLines(out, v.toString());
    else
        Display(out).show(v, {.longRows = true});
}

void answerName(const TokenList& tokens, bool further, Workspace& workspace, OutputSink& out) {
    const std::string& name = tokens[1].text;
    if (name == "vars") return listNames(workspace, 'v', out);
    if (name == "consts") return listNames(workspace, 'c', out);
    if (name == "funcs") return listFunctions(workspace, out);
    if (name == "syms") return listSymbols(out);
    if (name == "func" && tokens.size() > 2 && !tokens[2].text.empty())
        return listBuiltinsFrom(tokens[2].text[0], out);
    Description description = describeName(workspace, name);
    bool value = description.kind == NameDescription::Variable ||
                 description.kind == NameDescription::Constant;
    std::string text = description.text;
    if (!value) text += furtherHelp(name, further);
    printLines(out, text);
    if (further && description.kind == NameDescription::Variable)
        showVariableInFull(*description.variable, out);
}

} // namespace

Description describeName(Workspace& workspace, const std::string& name) {
    if (keywordOf(name) != KW_NONE) return {name + " is a keyword.", NameDescription::Keyword};
    NameInfo info = workspace.classify(name);
    switch (info.kind) {
    case NAME_VARIABLE:
        return {variableDescription(name, *info.variable), NameDescription::Variable,
                info.variable};
    case NAME_CONSTANT:
        return {constantDescription(info.constant), NameDescription::Constant};
    case NAME_FUNCTION:
        break;
    case NAME_UNKNOWN:
        if (!loadResourceFunction(workspace, name))
            return {"not recognized", NameDescription::Unrecognised};
        break;
    }
    if (const UserFunc* function = workspace.userFunctions().find(name))
        return {workspace.userFunctions().describe(*function), NameDescription::Function};
    if (const BuiltinInfo* builtin = Registry::instance().find(name))
        return {builtinDescription(*builtin), NameDescription::Function};
    return {"not recognized", NameDescription::Unrecognised};
}

void answerInquiry(const TokenList& tokens, Workspace& workspace, OutputSink& out) {
    bool further = tokens[0].code == 'Q';
    if (tokens.size() < 2 || tokens[1].kind == TK_TERMINATOR) return printLines(out, kGuidance);
    const Token& item = tokens[1];
    switch (item.kind) {
    case TK_NAME:
        return answerName(tokens, further, workspace, out);
    case TK_BINOP:
        if (item.code == 'o') return printLines(out, "an operator" + furtherHelp(">>", further));
        return printLines(out, "an operator");
    case TK_SEPARATOR:
        return printLines(out, "a separator");
    case TK_EMPTY_MATRIX:
        return printLines(out, "[] is used to indicate either a list or the empty set");
    case TK_DEFINE:
        return printLines(
            out, "f(x) := ... defines a user function. See {_function} for more information.");
    default:
        return printLines(out, kNoInformation);
    }
}

} // namespace vemlor
