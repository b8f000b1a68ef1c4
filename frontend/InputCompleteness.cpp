#include "frontend/InputCompleteness.h"

#include "core/Errors.h"
#include "frontend/InputSource.h"
#include "frontend/LineReader.h"

#include <deque>

namespace vemlor {

namespace {

// Blocks opened by a '{' left open at the end of a line and not yet closed.
int openBlocks(const std::deque<TokenList>& statements) {
    int open = 0;
    for (const TokenList& statement : statements)
        for (const Token& t : statement) {
            if (t.kind == TK_BRACKET && t.code == '{') ++open;
            else if (t.kind == TK_BLOCK_END && open > 0) --open;
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
    InputSource source('>', lines);
    LineReader reader(source);
    std::deque<TokenList> statements;
    try {
        while (reader.readStatements(statements)) {
        }
    } catch (const CodeError& e) {
        return e.code == 'e';
    } catch (const SyntaxError& e) {
        return isEndOfInputMessage(e.what());
    } catch (...) {
        return false; // a plain error: running the input reports it
    }
    return openBlocks(statements) > 0;
}

} // namespace vemlor
