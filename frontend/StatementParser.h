// The statement parser: pulls logical lines through the line reader, takes
// the statements the splitter queued one at a time and turns each into a
// Statement. A typed statement carrying a display terminator is wrapped so
// that its result is shown.
#pragma once

#include "exec/Statement.h"
#include "frontend/ExpressionParser.h"
#include "frontend/Token.h"

#include <deque>

namespace vemlor {

class BuiltinContext;
class LineReader;
class OutputSink;
class Workspace;

class StatementParser {
public:
    StatementParser(LineReader& reader, Workspace& workspace, BuiltinContext& context,
                    OutputSink& out);

    // The next statement, or none at the end of the input (or of a block).
    // With throwAtEnd, running out of input raises the end-of-input code.
    StatementPtr parseStatement(bool throwAtEnd = false);
    // Statements until none is returned: one as it is, several in a BlockStm.
    StatementPtr parseBlock();
    // Forgets queued statements and the per-input counters.
    void resetForInput();

    ExpressionParser& expressions() { return expressions_; }

private:
    bool nextStatement(bool throwAtEnd, TokenList& statement);
    StatementPtr parseExpressionStatement(TokenList& tokens);
    [[noreturn]] void refuseForNow(const TokenList& tokens);

    LineReader& reader_;
    Workspace& workspace_;
    OutputSink& out_;
    ExpressionParser expressions_;
    std::deque<TokenList> queue_;
    int depth_ = 0;
    int displayMode_ = 0;
};

} // namespace vemlor
