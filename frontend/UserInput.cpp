// The interpreter's input: typed text, pasted text and the scripts that
// `use` opens, read as one stream of logical lines.
#include "frontend/UserInput.h"

#include "core/Errors.h"

#include <algorithm>

namespace vemlor {
namespace {

std::string withoutLeadingSpace(const std::string& line) {
    size_t i = line.find_first_not_of(" \t\r\n\f");
    return i == std::string::npos ? std::string() : line.substr(i);
}

std::string trimmedBlanks(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

UserInput::UserInput(ScriptLocator& locator)
    : locator_(locator), current_(std::make_unique<InputSource>('>', std::string())) {}

void UserInput::setText(char mode, std::string text) {
    if (mode == '>' && current_->isInteractive()) {
        current_->replaceText(std::move(text));
        return;
    }
    suspended_.push_back(std::move(current_));
    current_ = std::make_unique<InputSource>(mode, std::move(text));
}

void UserInput::useFile(const std::string& name) {
    std::string path = locator_.findScript(name);
    auto fail = [&](const char* what) {
        std::string message;
        if (current_->mode() == InputSource::File)
            message = "line " + std::to_string(current_->lineNumber()) + ": ";
        message += std::string("could not ") + what + " script file '" + name;
        message += name.find('.') == std::string::npos ? ".vml'" : "'";
        raiseRuntime(message);
    };
    if (path.empty()) fail("find");
    auto script = std::make_unique<InputSource>(path);
    if (!script->isOpen()) fail("open");

    if (current_->mode() != InputSource::File)
        current_->setSavedDirectory(locator_.currentDirectory());
    suspended_.push_back(std::move(current_));
    current_ = std::move(script);

    size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos)
        locator_.changeDirectory(slash == 0 ? "/" : path.substr(0, slash));
}

void UserInput::reset() {
    int line = current_->lineNumber();
    suspended_.clear();
    current_ = std::make_unique<InputSource>('>', std::string());
    current_->setLineNumber(line);
}

bool UserInput::hasPendingInput() const {
    if (!current_->atEnd()) return true;
    return std::any_of(suspended_.begin(), suspended_.end(),
                       [](const auto& source) { return !source->atEnd(); });
}

// Makes the most recently suspended source current again. An in-memory
// source that started a script gets back the directory it had then.
void UserInput::resumeSuspended() {
    current_->close();
    current_ = std::move(suspended_.back());
    suspended_.pop_back();
    if (current_->mode() != InputSource::File && !current_->savedDirectory().empty()) {
        locator_.changeDirectory(current_->savedDirectory());
        current_->setSavedDirectory(std::string());
    }
}

// Runs the `use` command standing at useStart of line, which began at
// lineStart of the current source's text.
void UserInput::startUse(const std::string& line, size_t lineStart, size_t useStart) {
    size_t p = line.find_first_not_of(" \t", useStart + 4);
    if (p == std::string::npos) p = line.size();
    std::string name;
    size_t semicolon;
    if (p < line.size() && (line[p] == '\'' || line[p] == '"')) {
        size_t close = line.find(line[p], p + 1);
        if (close == std::string::npos)
            throw RuntimeError("missing closing inverted comma after 'use'");
        name = line.substr(p + 1, close - p - 1);
        semicolon = line.find(';', close + 1);
    } else {
        semicolon = line.find(';', p);
        name = trimmedBlanks(
            line.substr(p, semicolon == std::string::npos ? std::string::npos : semicolon - p));
    }
    bool restFollows = semicolon != std::string::npos &&
                       line.find_first_not_of(" \t", semicolon + 1) != std::string::npos;
    // The rest of the line is read again, as the same line, once the script ends.
    if (restFollows && current_->mode() != InputSource::File)
        current_->rewind(lineStart + semicolon + 1, current_->lineNumber() - 1);
    useFile(name);
}

bool UserInput::getLine(std::string& out, bool throwAtEnd, bool raw) {
    for (;;) {
        if (current_->atEnd()) {
            if (suspended_.empty()) {
                if (throwAtEnd) raiseCode(ErrorCode::EndOfInput);
                return false;
            }
            resumeSuspended();
            continue;
        }
        size_t lineStart = current_->position();
        std::string line;
        current_->readPhysicalLine(line);
        if (isBlankLine(line) ||
            current_->handleComment(line) != InputSource::CommentResult::NotComment)
            continue;
        size_t first = line.find_first_not_of(" \t");
        if (line.compare(first, 4, "use ") == 0) {
            startUse(line, lineStart, first);
            continue;
        }
        if (!raw) {
            if (line.find('\n') != std::string::npos)
                throw SyntaxError("unexpected newline found when reading input");
            line = current_->applyIndentation(line);
        }
        line = withoutLeadingSpace(line);
        if (!line.empty()) {
            lastText_ = line;
            out = std::move(line);
            return true;
        }
    }
}

} // namespace vemlor
