// Calc: one interpreter instance, the spine every input passes through.
//
// It owns (in this order) the command history of its console, the input
// source, the console output store, the directory history, the files its
// scripts opened and the parsing state. Construction is the instance's set-up (a primary instance
// restores the state files); shutDown() saves them again. One primary instance at a time uses a
// state folder: another one set up on it becomes secondary. executePendingInput() never lets an
// exception out: every error becomes red console lines.
#pragma once

#include "builtins/BuiltinContext.h"
#include "builtins/OpenFiles.h"
#include "console/CommandHistory.h"
#include "console/ConsoleOutput.h"
#include "console/Debugger.h"
#include "exec/DebugSites.h"
#include "exec/FunctionArguments.h"
#include "exec/Workspace.h"
#include "frontend/LineReader.h"
#include "frontend/StatementParser.h"
#include "frontend/Token.h"
#include "frontend/UserInput.h"
#include "graphics/Figure.h"
#include "session/Dir.h"
#include "session/StateLock.h"
#include "session/WindowCallbacks.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace vemlor {

class Platform;

// State file names, in the state directory.
inline constexpr const char* kWorkspaceFile = "vemlor_env.bin";
inline constexpr const char* kHistoryFile = "vemlor_comm.bin";
inline constexpr const char* kDirectoryFile = "vemlor_cd.bin";

struct CalcSetup {
    int mode = 0;               // 0 primary, 1 secondary
    bool useStateFiles = true;  // batch runs neither read nor write them
    std::string startDirectory; // where a secondary or batch instance starts
    // Whether a primary instance goes back to the directory it was in when
    // it last ended (the desktop program) or starts in startDirectory (the
    // terminal session); the recent directories are restored either way.
    bool restoreDirectory = true;
    Platform* platform = nullptr; // dialogs, clipboard and paths (required)
    // The instance's figure windows; without them figures are models only.
    FigureWindows* figureWindows = nullptr;
    // Questions for this instance alone, instead of the platform's dialogs.
    Dialogs* dialogs = nullptr;
    bool isolated = false; // runs no programs, reads no typed lines (fuzzing)
    // Receives the console lines from the start, those of set-up included.
    std::function<void(const std::string&)> lineListener;
};

class Calc : public BuiltinContext {
  public:
    explicit Calc(const CalcSetup& setup);
    ~Calc() override;
    Calc(const Calc&) = delete;
    Calc& operator=(const Calc&) = delete;

    // Hands text to the input source. Modes: ">" typed at the prompt, "s" a
    // selection, "c" the clipboard's text, "f" a script file name.
    void setInput(const std::string& text, char mode);
    // Parses, runs and reports the pending input; never throws.
    void executePendingInput();
    // Applies what the user did in the figure windows while no input ran,
    // calling the user's callbacks; never throws.
    void serviceWindows();
    // Asked before the session ends: with variables too large to be saved,
    // whether to end anyway; false when the user keeps the session.
    bool confirmExit();
    // Saves the state files (primary only) once; later calls do nothing.
    // A file that cannot be written is reported on the console.
    void shutDown();

    int mode() const { return mode_; }
    ConsoleOutput& console() { return *console_; }
    CommandHistory& history() { return *history_; }
    Dir& dir() { return *dir_; }
    UserInput& input() { return *input_; }
    Workspace& workspace() { return *workspace_; }

    // What built-ins may ask of this instance.
    OutputSink& output() override { return *console_; }
    const Value& answer() override;
    std::unique_ptr<ScalarFunction> scalarFunction(const Value& argument) override;
    std::unique_ptr<PairFunction> pairFunction(const Value& argument) override;
    void checkInterrupt() override;
    std::unique_ptr<LuForm>& savedLuForm() override { return luForm_; }
    int registerAnonymous(ScalarFunction& function) override { return anonymous_.add(function); }
    void unregisterAnonymous(int id) override { anonymous_.remove(id); }
    const std::string& programDirectory() const override { return programDirectory_; }
    const std::string& stateDirectory() const override { return stateDirectory_; }
    std::string currentDirectory() const override { return dir_->currentDirectory(); }
    // The figures as the user left their windows.
    FigureSet& figures() override;
    ImageWriter* imageWriter() override;
    WorkingDirectory& workingDirectory() override { return *dir_; }
    OpenFiles& openFiles() override { return *openFiles_; }
    Dialogs& dialogs() override;
    Debugger* debugger() override { return debugger_.get(); }
    bool isolated() const override { return isolated_; }

    // Whether an error was reported since the last call (batch exit status).
    bool takeErrorReported();

    void reportSyntaxError(const std::string& message);
    void reportRuntimeError(const std::string& message);

  private:
    void restoreState(bool restoreDirectory);
    void saveState();
    void reportUnsaved(const char* file, int error);
    void parseAndRun();
    void reportCaught(std::exception_ptr error);
    std::string statePath(const char* file) const;

    // Members follow the instance's layout; the destructor tears them down in
    // the reverse of set-up, the console's history last (it stands for the
    // console window, which is created first).
    int mode_;
    bool useStateFiles_;
    Platform& platform_;
    Dialogs* dialogs_; // the instance's own, or null for the platform's
    std::unique_ptr<CommandHistory> history_;
    std::unique_ptr<UserInput> input_;
    std::unique_ptr<ConsoleOutput> console_;
    std::unique_ptr<Dir> dir_;
    std::unique_ptr<OpenFiles> openFiles_;
    std::unique_ptr<StateLock> stateLock_; // held by a primary instance
    AnonymousFunctions anonymous_;         // outlives the expressions that register
    std::unique_ptr<Debugger> debugger_;
    std::unique_ptr<DebugSites> debugSites_; // outlive the statements that hold their hooks
    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<FigureSet> figures_;
    std::unique_ptr<WindowCallbacks> windowCallbacks_;
    std::string programDirectory_;
    std::string stateDirectory_;
    std::unique_ptr<LuForm> luForm_; // kept by setLU
    std::unique_ptr<LineReader> reader_;
    std::unique_ptr<StatementParser> parser_;
    bool isolated_;
    bool shutDownDone_ = false;
    bool errorReported_ = false;
    int recordedLineNumber_ = 0;
    std::string recordedLineText_;
};

} // namespace vemlor
