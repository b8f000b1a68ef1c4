// Fuzz harness: lexes and parses arbitrary text into statements without
// running them.
//
// The pieces are those the driver wires together (user input, line reader,
// statement parser, workspace), minus the driver itself, which always runs
// what it parsed. Each line feed of the fuzz input ends one typed input, so
// later inputs are parsed against the variables and functions that earlier
// ones declared. Scripts are never found: `use` reaches no file.
//
// Every error a user can provoke is an exception of the interpreter's own
// types; anything else (and any internal "BUG" error) escapes and is a finding.
#include "builtins/BuiltinContext.h"
#include "builtins/LuForm.h"
#include "builtins/OpenFiles.h"
#include "console/ConsoleOutput.h"
#include "core/Errors.h"
#include "exec/Answer.h"
#include "exec/FunctionArguments.h"
#include "exec/Workspace.h"
#include "frontend/LineReader.h"
#include "frontend/ScriptLocator.h"
#include "frontend/StatementParser.h"
#include "frontend/UserInput.h"
#include "graphics/Figure.h"
#include "platform/terminal/TerminalDialogs.h"
#include "session/Dir.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace vemlor::fuzz {
namespace {

class NoScripts : public ScriptLocator {
  public:
    std::string findScript(const std::string&) override { return {}; }
    std::string currentDirectory() const override { return "/nonexistent"; }
    void changeDirectory(const std::string&) override {}
};

// What the parser may ask of an interpreter instance while it builds calls.
class ParseContext : public BuiltinContext {
  public:
    ParseContext(ConsoleOutput& console, Workspace& workspace)
        : console_(console), workspace_(workspace) {}
    OutputSink& output() override { return console_; }
    const Value& answer() override { return Answer::value(); }
    std::unique_ptr<ScalarFunction> scalarFunction(const Value& argument) override {
        return resolveScalarFunction(argument, workspace_, *this, anonymous_);
    }
    std::unique_ptr<PairFunction> pairFunction(const Value& argument) override {
        return resolvePairFunction(argument, workspace_);
    }
    void checkInterrupt() override {}
    std::unique_ptr<LuForm>& savedLuForm() override { return luForm_; }
    int registerAnonymous(ScalarFunction& function) override { return anonymous_.add(function); }
    void unregisterAnonymous(int id) override { anonymous_.remove(id); }
    const std::string& programDirectory() const override { return programDirectory_; }
    std::string currentDirectory() const override { return "/nonexistent"; }
    FigureSet& figures() override { return figures_; }
    WorkingDirectory& workingDirectory() override { return directory_; }
    OpenFiles& openFiles() override { return files_; }
    Dialogs& dialogs() override { return dialogs_; }
    bool isolated() const override { return true; }

  private:
    std::unique_ptr<LuForm> luForm_;
    FigureSet figures_;
    std::string programDirectory_ = ".";
    Dir directory_{"/nonexistent", "."};
    OpenFiles files_;
    TerminalDialogs dialogs_{nullptr, false};
    ConsoleOutput& console_;
    Workspace& workspace_;
    AnonymousFunctions anonymous_;
};

// Parses one typed input the way the driver does before it runs it. The
// statement is dropped unrun; the variables its parsing created stay.
void parseOneInput(UserInput& input, StatementParser& parser, Workspace& workspace,
                   const std::string& text) {
    input.setText('>', text);
    try {
        parser.resetForInput();
        StatementPtr statement = parser.parseBlock();
        parser.compilePendingBodies();
        statement.reset();
    } catch (const SyntaxError&) {
    } catch (const RuntimeError&) {
    } catch (const CodeError&) {
    } catch (const std::bad_alloc&) {
    }
    parser.resetForInput();
    input.reset();
    workspace.releaseRetired();
}

} // namespace
} // namespace vemlor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vemlor;
    using namespace vemlor::fuzz;
    if (size > kMaxInputLength) return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    // The built-in constants are shared by every instance and `clear` may have
    // changed them; each run starts from the full table.
    ConsoleOutput console;
    Workspace workspace(console);
    workspace.clear("reset", false);
    Answer::clear();
    NoScripts scripts;
    UserInput input(scripts);
    LineReader reader(input);
    ParseContext context(console, workspace);
    StatementParser parser(reader, workspace, context, console);
    for (const std::string& typed : typedInputs(text))
        parseOneInput(input, parser, workspace, typed);
    return 0;
}
