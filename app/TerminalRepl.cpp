#include "app/TerminalRepl.h"

#include "app/Interrupts.h"

#include "console/TerminalRenderer.h"
#include "exec/RunFlags.h"
#include "frontend/InputCompleteness.h"
#include "platform/terminal/TerminalDebugger.h"
#include "platform/terminal/TerminalPlatform.h"
#include "session/Calc.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <poll.h>
#include <readline/history.h>
#include <readline/readline.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace vemlor {
namespace {

struct TerminalMode {
    bool interactiveInput = false; // prompt, readline, history
    bool styledOutput = false;     // ANSI colours and wrapping
};

TerminalMode detectTerminal() {
    return {::isatty(0) && ::isatty(1), bool(::isatty(1))};
}

int terminalWidth() {
    winsize size{};
    if (::ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_col > 20) return size.ws_col;
    return 80;
}

bool readDebugLine(const TerminalMode& mode, const std::string& prompt, std::string& line);

// Everything one session needs, wired together: the interpreter prints its
// console lines to standard output as they are completed, and stops at
// breakpoints to ask on the same input.
class TerminalSession {
  public:
    TerminalSession(TerminalMode mode, bool primary, FigureWindows* figureWindows = nullptr)
        : mode_(mode), platform_([this](const std::string& text) { showMessage(text); },
                                 mode.interactiveInput, processPaths()),
          debugger_([this](const std::string& text) { showLine(text); },
                    [this](const std::string& prompt, std::string& line) {
                        return readDebugLine(mode_, prompt, line);
                    }) {
        platform_.setDebuggerView(&debugger_);
        CalcSetup setup;
        setup.mode = primary ? 0 : 1;
        setup.useStateFiles = primary;
        setup.startDirectory = workingDirectory();
        setup.restoreDirectory = false; // a terminal session works where it was started
        setup.platform = &platform_;
        setup.figureWindows = figureWindows;
        setup.lineListener = [this](const std::string& line) { writeLine(line); };
        calc_ = std::make_unique<Calc>(setup);
        if (mode_.styledOutput) calc_->console().setLineWidth(terminalWidth());
    }

    Calc& calc() { return *calc_; }

    // What the user did in the figure windows while the session waited for
    // a line. Lines printed meanwhile replace the prompt's line, which the
    // caller draws again; returns whether any were.
    bool serviceWindows() {
        holding_ = true;
        calc_->serviceWindows();
        calc_->console().endLine();
        holding_ = false;
        if (held_.empty()) return false;
        std::fputs("\r\033[K", stdout);
        for (const std::string& line : held_)
            writeLine(line);
        held_.clear();
        std::fflush(stdout);
        return true;
    }

    void run(std::string text, char inputMode) {
        // Typed text separates its lines with carriage returns.
        if (inputMode == '>')
            for (char& c : text)
                if (c == '\n') c = '\r';
        calc_->setInput(text, inputMode);
        if (inputMode != 'f' || !calc_->takeErrorReported())
            calc_->executePendingInput();
        else
            errorSeen_ = true;
        calc_->console().endLine();
        std::fflush(stdout);
        if (calc_->takeErrorReported()) errorSeen_ = true;
    }

    bool errorSeen() const { return errorSeen_; }

  private:
    void writeLine(const std::string& line) {
        if (holding_) {
            held_.push_back(line);
            return;
        }
        std::string text = mode_.styledOutput ? renderAnsi(line) : renderPlain(line);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
    }
    // A line of the debugger's, shown at once: the session waits after it.
    void showLine(const std::string& text) {
        calc_->console().print(text, true, PRINT_LITERAL);
        calc_->console().endLine();
        std::fflush(stdout);
    }
    void showMessage(const std::string& text) {
        if (calc_)
            calc_->console().print(text, true, PRINT_LITERAL);
        else
            std::fprintf(stderr, "%s\n", text.c_str());
    }

    TerminalMode mode_;
    TerminalPlatform platform_;
    TerminalDebugger debugger_;
    std::unique_ptr<Calc> calc_;
    bool errorSeen_ = false;
    bool holding_ = false; // lines wait in held_ while the prompt is shown
    std::vector<std::string> held_;
};

// The session and figures readline's idle hook serves: readline calls the
// hook without arguments, so they are kept here while a session with
// figure windows reads its lines.
TerminalSession* idleSession = nullptr;
const TerminalFigures* idleFigures = nullptr;

// Called by readline about twenty times a second while it waits for a key.
int serviceWhileIdle() {
    if (!idleSession || !idleFigures) return 0;
    std::string typed;
    if (idleFigures->takeTypedLine && idleFigures->takeTypedLine(typed)) {
        // A menu item's command, as if typed: onto the line, then Enter.
        ::rl_insert_text(typed.c_str());
        ::rl_redisplay();
        ::rl_done = 1;
        return 0;
    }
    if (idleSession->serviceWindows()) ::rl_forced_update_display();
    return 0;
}

class IdleService {
  public:
    IdleService(TerminalSession& session, const TerminalFigures* figures) {
        if (!figures) return;
        idleSession = &session;
        idleFigures = figures;
        ::rl_set_keyboard_input_timeout(50000);
        ::rl_event_hook = serviceWhileIdle;
    }
    ~IdleService() {
        ::rl_event_hook = nullptr;
        idleSession = nullptr;
        idleFigures = nullptr;
    }
    IdleService(const IdleService&) = delete;
    IdleService& operator=(const IdleService&) = delete;
};

// A script named on the command line (found relative to where the program
// was started) runs in its own directory, which becomes current before it
// starts, so it finds the files beside it by their names; a script met by
// `use` runs in the directory of the input using it.
void runStartupScript(TerminalSession& session, const std::string& script) {
    Dir& dir = session.calc().dir();
    std::string path = dir.resolve(script, "", false);
    size_t slash = path.rfind('/');
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    if (slash != std::string::npos && Dir::classify(folder) == Dir::Directory)
        dir.setCurrent(folder);
    session.run(path, 'f');
}

// False at the end of the input, and when a termination signal broke the wait.
bool readLine(const TerminalMode& mode, const std::string& prompt, std::string& line) {
    InterruptWatch::WaitingForInput waiting;
    if (InterruptWatch::terminationSignal()) return false;
    if (!mode.interactiveInput) {
        if (!std::getline(std::cin, line)) return false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    char* text = ::readline(prompt.c_str());
    if (!text) return false;
    line = text;
    std::free(text);
    return true;
}

// Characters for readline at the debugger's prompt: Ctrl-C there (which
// readline alone would only answer with a fresh line) ends the line, and
// the wait with it.
int debugPromptCharacter(FILE* in) {
    for (;;) {
        if (RunFlags::interrupted.load(std::memory_order_relaxed)) return '\n';
        pollfd ready = {::fileno(in), POLLIN, 0};
        int count = ::poll(&ready, 1, 100);
        if (count > 0) return ::rl_getc(in);
        if (count < 0 && errno != EINTR) return EOF;
    }
}

// A command at the debugger's prompt; false at the end of the input and
// after an interrupt. Batch runs ask too (prompting when standard input is
// a terminal), so that a script run from the shell stops at its breakpoints.
bool readDebugLine(const TerminalMode& mode, const std::string& prompt, std::string& line) {
    bool got;
    if (mode.interactiveInput) {
        // Readline's own handler would keep Ctrl-C from our handler until
        // after the next key; without it the wait ends at once.
        rl_getc_func_t* previous = rl_getc_function;
        int catching = rl_catch_signals;
        rl_getc_function = debugPromptCharacter;
        rl_catch_signals = 0;
        got = readLine(mode, prompt, line);
        rl_getc_function = previous;
        rl_catch_signals = catching;
    } else {
        if (::isatty(0)) {
            std::fputs(prompt.c_str(), stdout);
            std::fflush(stdout);
        }
        got = readLine(mode, prompt, line);
    }
    return got && !RunFlags::interrupted.load(std::memory_order_relaxed);
}

void remember(TerminalSession& session, const TerminalMode& mode, const std::string& line) {
    if (mode.interactiveInput && !line.empty()) {
        session.calc().history().add(line);
        ::add_history(line.c_str());
    }
}

// One input: a line, and while it stops inside an open bracket, block or
// after a dangling operator, the lines that follow. At the end of the input
// an unfinished input runs as it stands, so its error is reported.
bool readInput(TerminalSession& session, const TerminalMode& mode, int promptNumber,
               std::string& input) {
    std::string line;
    if (!readLine(mode, std::to_string(promptNumber) + ">", line)) return false;
    remember(session, mode, line);
    input = line;
    while (isUnfinishedInput(input) && readLine(mode, "..>", line)) {
        remember(session, mode, line);
        input += "\r" + line;
    }
    return true;
}

} // namespace

int runTerminalSession(const std::string& script, const TerminalFigures* figures) {
    TerminalMode mode = detectTerminal();
    // Output to a reader that went away, or a file grown past its limit,
    // must not end the session unsaved: the write fails and says so.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    TerminalSession session(mode, true, figures ? figures->windows : nullptr);
    InterruptWatch interrupts([&session] { session.calc().shutDown(); });
    IdleService idle(session, mode.interactiveInput ? figures : nullptr);
    if (mode.interactiveInput) {
        for (const std::string& entry : session.calc().history().inOrder())
            if (!entry.empty()) ::add_history(entry.c_str());
    }
    if (!script.empty()) runStartupScript(session, script);
    std::string input;
    for (int prompt = 1;; ++prompt) {
        bool more = readInput(session, mode, prompt, input);
        if (InterruptWatch::terminationSignal()) break; // nobody to ask: save what can be
        if (more)
            session.run(input, '>');
        else if (session.calc().confirmExit())
            break;
    }
    if (mode.interactiveInput) std::fputc('\n', stdout);
    session.calc().shutDown();
    std::fflush(stdout);
    int signal = InterruptWatch::terminationSignal();
    return signal ? 128 + signal : 0;
}

int runScriptBatch(const std::string& file) {
    TerminalSession session({false, bool(::isatty(1))}, false);
    InterruptWatch interrupts(nullptr);
    runStartupScript(session, file);
    return session.errorSeen() ? 1 : 0;
}

int runTextBatch(const std::string& text) {
    TerminalSession session({false, bool(::isatty(1))}, false);
    InterruptWatch interrupts(nullptr);
    session.run(text, '>');
    return session.errorSeen() ? 1 : 0;
}

} // namespace vemlor
