#include "session/Calc.h"

#include "builtins/LuForm.h"
#include "builtins/MathErrors.h"
#include "core/Errors.h"
#include "exec/Answer.h"
#include "exec/RunFlags.h"
#include "exec/ScalarCompiler.h"
#include "exec/UserFuncTable.h"
#include "exec/WorkspaceFile.h"
#include "platform/Platform.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace vemlor {

namespace {

Platform& requirePlatform(Platform* platform) {
    if (!platform) raiseBug("BUG: an interpreter instance set up without a platform");
    return *platform;
}

} // namespace

Calc::Calc(const CalcSetup& setup)
    : mode_(setup.mode), useStateFiles_(setup.useStateFiles && setup.mode == 0),
      platform_(requirePlatform(setup.platform)), dialogs_(setup.dialogs),
      isolated_(setup.isolated) {
    history_ = std::make_unique<CommandHistory>();
    console_ = std::make_unique<ConsoleOutput>();
    if (setup.lineListener) console_->setLineListener(setup.lineListener);
    const ProgramPaths& paths = platform_.paths();
    programDirectory_ = paths.programDirectory;
    stateDirectory_ = paths.stateDirectory.empty() ? paths.programDirectory : paths.stateDirectory;
    if (useStateFiles_) {
        stateLock_ = std::make_unique<StateLock>(stateDirectory_);
        if (stateLock_->heldElsewhere()) {
            stateLock_.reset();
            mode_ = 1;
            useStateFiles_ = false;
            console_->print("secondary instance: another session keeps its state in " +
                                stateDirectory_ + ", so this one saves none",
                            true, PRINT_LITERAL);
        }
    }
    dir_ = std::make_unique<Dir>(setup.startDirectory, programDirectory_);
    openFiles_ = std::make_unique<OpenFiles>();
    input_ = std::make_unique<UserInput>(*dir_);
    debugger_ = std::make_unique<Debugger>(RunFlags::breakpointArmed, RunFlags::stepping);
    if (!isolated_) debugger_->setView(platform_.debuggerView());
    debugSites_ = std::make_unique<DebugSites>(*debugger_);
    workspace_ = std::make_unique<Workspace>(*console_);
    workspace_->setDebugSites(debugSites_.get());
    figures_ = std::make_unique<FigureSet>();
    figures_->attachWindows(setup.figureWindows);
    windowCallbacks_ = std::make_unique<WindowCallbacks>(
        *workspace_, [this](std::exception_ptr error) { reportCaught(error); },
        [this](const std::string& message) { console_->print(message, true, PRINT_LITERAL); });
    figures_->attachCallbacks(windowCallbacks_.get());
    if (!programDirectory_.empty())
        workspace_->userFunctions().setResourceDirectory(programDirectory_ + "/resource");
    reader_ = std::make_unique<LineReader>(*input_);
    parser_ = std::make_unique<StatementParser>(*reader_, *workspace_, *this, *console_);
    if (useStateFiles_)
        restoreState(setup.restoreDirectory);
    else
        dir_->setCurrent(setup.startDirectory);
}

Calc::~Calc() {
    shutDown();
    setMathErrorOutput(nullptr); // the console goes away with this instance
    parser_.reset();
    reader_.reset();
    workspace_.reset();
    openFiles_.reset(); // closes what scripts left open
    dir_.reset();
    console_.reset();
    input_.reset();
    history_.reset();
    stateLock_.reset(); // the state is saved: another session may take the folder
}

std::string Calc::statePath(const char* file) const {
    return stateDirectory_ + "/" + file;
}

void Calc::restoreState(bool restoreDirectory) {
    if (!loadWorkspace(statePath(kWorkspaceFile), *workspace_, *console_))
        platform_.dialogs().inform("problem loading previous session", "vemlor startup");
    if (!history_->load(statePath(kHistoryFile))) {
        // A short history file keeps what was read, without a message.
    }
    std::string start = dir_->currentDirectory();
    if (!dir_->load(statePath(kDirectoryFile)))
        platform_.dialogs().inform("problem loading path list", "vemlor startup");
    std::string saved = dir_->currentDirectory();
    bool back = restoreDirectory && Dir::classify(saved) == Dir::Directory;
    dir_->setCurrent(back ? saved : start);
}

bool Calc::confirmExit() {
    if (!useStateFiles_ || !hasLargeVariables(*workspace_)) return true;
    return platform_.dialogs().askYesNo("Large matrices will not be saved: ok to exit?",
                                        "vemlor exit");
}

void Calc::saveState() {
    if (!saveWorkspace(statePath(kWorkspaceFile), *workspace_, *console_))
        reportUnsaved(kWorkspaceFile, errno);
    if (!history_->save(statePath(kHistoryFile))) reportUnsaved(kHistoryFile, errno);
    if (!dir_->save(statePath(kDirectoryFile))) reportUnsaved(kDirectoryFile, errno);
}

void Calc::reportUnsaved(const char* file, int error) {
    console_->print("workspace not saved: cannot write " + statePath(file) + " (" +
                        std::strerror(error) + ")",
                    true, PRINT_LITERAL);
}

void Calc::shutDown() {
    if (shutDownDone_) return;
    shutDownDone_ = true;
    if (useStateFiles_) saveState();
}

void Calc::setInput(const std::string& text, char mode) {
    switch (mode) {
    case '>':
    case 's':
        input_->setText(mode, text);
        break;
    case 'c':
        input_->setText(mode, platform_.clipboard().text());
        break;
    case 'f':
        try {
            input_->useFile(text);
        } catch (...) {
            reportCaught(std::current_exception());
        }
        break;
    default:
        break;
    }
}

bool Calc::takeErrorReported() {
    bool reported = errorReported_;
    errorReported_ = false;
    return reported;
}

void Calc::executePendingInput() {
    try {
        try {
            parseAndRun();
        } catch (...) {
            // Nothing of a failed input may run later: forget what was parsed
            // and what the input source still holds, keeping the line to report.
            parser_->resetForInput();
            workspace_->releaseRetired();
            recordedLineNumber_ = input_->lineNumber();
            recordedLineText_ = reader_->text();
            input_->reset();
            throw;
        }
    } catch (...) {
        reportCaught(std::current_exception());
    }
    // Whatever an input changed in its figures is on screen when it ends.
    figures_->flush();
}

void Calc::serviceWindows() {
    try {
        RunFlags::interrupted = false;
        setMathErrorOutput(console_.get());
        figures_->processInput();
        figures_->flush();
    } catch (...) {
        reportCaught(std::current_exception());
    }
}

FigureSet& Calc::figures() {
    figures_->takeWindowEvents();
    return *figures_;
}

ImageWriter* Calc::imageWriter() {
    return &platform_.imageWriter();
}

Dialogs& Calc::dialogs() {
    return dialogs_ ? *dialogs_ : platform_.dialogs();
}

void Calc::checkInterrupt() {
    if (RunFlags::interrupted.load(std::memory_order_relaxed)) throw Interrupted{};
}

const Value& Calc::answer() {
    return Answer::value();
}

std::unique_ptr<ScalarFunction> Calc::scalarFunction(const Value& argument) {
    return resolveScalarFunction(argument, *workspace_, *this, anonymous_);
}

std::unique_ptr<PairFunction> Calc::pairFunction(const Value& argument) {
    return resolvePairFunction(argument, *workspace_);
}

void Calc::parseAndRun() {
    parser_->resetForInput();
    setMathErrorOutput(console_.get()); // folding constants while parsing may report
    StatementPtr statement = parser_->parseBlock();
    parser_->compilePendingBodies();
    if (workspace_->scalarForms()) compileScalarForms(*statement, false);
    debugger_->startInput();
    RunFlags::interrupted = false; // an interrupt at the prompt stops nothing
    RunFlags::run = true;
    setMathErrorOutput(console_.get());
    statement->exe();
    statement.reset();
    workspace_->releaseRetired();
}

void Calc::reportCaught(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const SyntaxError& e) {
        reportSyntaxError(e.what());
    } catch (const RuntimeError& e) {
        reportRuntimeError(e.what());
    } catch (const InternalError& e) {
        reportRuntimeError(e.what());
    } catch (const CodeError& e) {
        reportRuntimeError(e.message());
    } catch (const std::bad_alloc&) {
        reportRuntimeError("out of memory");
    } catch (const Interrupted&) {
        RunFlags::interrupted = false;
        reportRuntimeError("interrupted");
    } catch (const std::string& text) {
        reportRuntimeError(text);
    } catch (const char* text) {
        reportRuntimeError(text ? text : "unspecified error");
    } catch (...) {
        reportRuntimeError("unspecified error");
    }
}

void Calc::reportSyntaxError(const std::string& message) {
    if (recordedLineNumber_ > 0)
        console_->print("{r at line " + std::to_string(recordedLineNumber_) + "}", true,
                        PRINT_MARKUP);
    console_->print(recordedLineText_, true, PRINT_LITERAL);
    console_->print("{r " + message + "}", true, PRINT_MARKUP);
    errorReported_ = true;
}

void Calc::reportRuntimeError(const std::string& message) {
    console_->print("{r " + message + "}", true, PRINT_MARKUP);
    errorReported_ = true;
}

} // namespace vemlor
