// The help built-ins: `help` prints the introduction, `property` asks the
// external lookup program for a quantity from its database. (`isdefined`
// lives with the value queries; the "?" inquiry belongs to the front end.)
//
// `property` starts "vemlor-lookup" in the program directory with the
// request as its one argument, waits for it, and reads the answer from
// "property_result.txt" in the state directory. Neither a missing program
// nor a missing result is an error: each prints its message and the result
// is empty.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "core/Errors.h"
#include "core/OutputSink.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace vemlor {

namespace {

using detail::resultAs;

constexpr const char* kIntroduction =
    "Vemlor is an interactive calculator and scripting environment for numerical work.\n"
    "Its introduction, a short tour of the language, is README.md in the program's folder.\n"
    "Type a command at the prompt and press Enter. A previous command comes back with the\n"
    "up-arrow key (or a double click on it in the desktop console). Scripts are files with\n"
    "the extension .vml: run one with {g use [name]}.\n"
    "Underlined words can be clicked for help. Some lines to try:\n"
    "{g   2 pi hbar}\n"
    "{g   x = [1 2 3]; y = x .^ 2}\n"
    "{g   plot(sinc, -20, 20)}\n"
    "For information on an item x, type {g ?x}; {g ?} alone lists the queries.";

double help(BuiltinContext& context) {
    context.output().print(kIntroduction, true, PRINT_MARKUP);
    return 1;
}

// "formula" and the names, blanks inside a name turned into underscores.
std::string lookupRequest(std::span<const Value* const> arguments) {
    std::string request = "formula";
    for (const Value* argument : arguments) {
        check(argument->isString(), "property", "arguments must be strings");
        std::string name = argument->toString();
        std::replace(name.begin(), name.end(), ' ', '_');
        request += " " + name;
    }
    return request;
}

// Runs the program and waits for it; false when it could not be started.
bool runAndWait(const std::string& program, const std::string& argument) {
    std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                               const_cast<char*>(argument.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return false;
    // The shell's code for a program that could not be executed.
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
}

// Lines as the rows of a string matrix, padded with blanks to the longest.
void storeStringRows(const std::vector<std::string>& lines, IntValue& out) {
    int rows = int(lines.size());
    int width = 0;
    for (const std::string& line : lines)
        width = std::max(width, int(line.size()));
    out.setShapeKind(rows * width, rows, KIND_STRING);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < width; ++c)
            out[c * rows + r] = c < int(lines[r].size()) ? (unsigned char)lines[r][c] : ' ';
}

// An answer of a header line ("\table" or another word) and a count: a table
// of text lines, or that many pairs of numbers as two rows.
void readHeaded(std::istream& in, const std::string& header, ValuePtr& result) {
    int count = 0;
    in >> count;
    if (header.rfind("\\table", 0) == 0) {
        std::string rest, line;
        std::getline(in, rest);
        std::vector<std::string> lines;
        for (int i = 0; i < count && std::getline(in, line); ++i)
            lines.push_back(line);
        storeStringRows(lines, resultAs<IntValue>(result));
        return;
    }
    std::vector<double> pairs;
    double x = 0;
    while (int(pairs.size()) < 2 * count && in >> x)
        pairs.push_back(x);
    DoubleValue& table = resultAs<DoubleValue>(result);
    int columns = int(pairs.size() / 2);
    table.setShape(2, columns);
    auto* data = static_cast<double*>(table.rawData());
    std::copy_n(pairs.begin(), size_t(2 * columns), data);
}

void readAnswer(std::istream& in, ValuePtr& result) {
    std::string first;
    if (!(in >> first)) return;
    if (first[0] == '\\') return readHeaded(in, first, result);
    std::istringstream number(first);
    double value = 0;
    if (number >> value) resultAs<DoubleValue>(result).assignScalar(value);
}

void property(BuiltinContext& context, std::span<const Value* const> arguments,
              std::span<ValuePtr> outputs) {
    std::string request = lookupRequest(arguments);
    resultAs<DoubleValue>(outputs[0]).setShape(0, 0);
    if (!runAndWait(context.programDirectory() + "/vemlor-lookup", request))
        context.output().print("problem with database lookup", true, PRINT_LITERAL);
    std::ifstream answer(context.stateDirectory() + "/property_result.txt");
    if (!answer) {
        context.output().print("vemlor can't find the database result", true, PRINT_LITERAL);
        return;
    }
    readAnswer(answer, outputs[0]);
}

} // namespace

std::span<const BuiltinDefinition> helpTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("help", help),
        defineBuiltin("property", property, DOUBLE_VAL, 2, 3),
    };
    return table;
}

} // namespace vemlor
