#include "frontend/InputCompleteness.h"

#include "core/Errors.h"
#include "frontend/InputSource.h"
#include "frontend/LineReader.h"

#include <cctype>
#include <deque>

namespace vemlor {

namespace {

// Blocks opened by a '{' left open at the end of a line and not yet closed.
int openBlocks(const std::deque<TokenList>& statements) {
    int open = 0;
    for (const TokenList& statement : statements)
        for (const Token& t : statement) {
            if (t.kind == TK_BRACKET && t.code == '{')
                ++open;
            else if (t.kind == TK_BLOCK_END && open > 0)
                --open;
        }
    return open;
}

std::string firstWord(const std::string& line) {
    size_t begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    size_t end = begin;
    while (end < line.size() &&
           (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_'))
        ++end;
    return line.substr(begin, end - begin);
}

// `function` lines whose closing `end` has not been typed yet. Counted on
// the raw lines, so that a body with an error still waits for its `end`
// (the error is reported once, for the whole definition).
int openFunctions(const std::string& lines) {
    int open = 0;
    size_t start = 0;
    while (start <= lines.size()) {
        size_t stop = lines.find('\r', start);
        if (stop == std::string::npos) stop = lines.size();
        std::string word = firstWord(lines.substr(start, stop - start));
        if (word == "function")
            ++open;
        else if (word == "end" && open > 0)
            --open;
        start = stop + 1;
    }
    return open;
}

bool isEndOfInputMessage(const std::string& message) {
    return message.find("no closing bracket for line") != std::string::npos ||
           message.find("dangling operator or more input needed") != std::string::npos;
}

} // namespace

bool isUnfinishedInput(const std::string& text) {
    std::string lines = text;
    for (char& c : lines)
        if (c == '\n') c = '\r';
    if (openFunctions(lines) > 0) return true;
    InputSource source('>', lines);
    LineReader reader(source);
    std::deque<TokenList> statements;
    try {
        while (reader.readStatements(statements)) {
        }
    } catch (const CodeError& e) {
        return e.code == ErrorCode::EndOfInput;
    } catch (const SyntaxError& e) {
        return isEndOfInputMessage(e.what());
    } catch (...) {
        return false; // a plain error: running the input reports it
    }
    return openBlocks(statements) > 0;
}

} // namespace vemlor
