#include "frontend/StatementParser.h"

#include "core/Errors.h"
#include "exec/DisplayStatements.h"
#include "frontend/Keywords.h"
#include "frontend/LineReader.h"

namespace vemlor {

StatementParser::StatementParser(LineReader& reader, Workspace& workspace,
                                 BuiltinContext& context, OutputSink& out)
    : reader_(reader), workspace_(workspace), out_(out), expressions_(workspace, context) {}

void StatementParser::resetForInput() {
    queue_.clear();
    depth_ = 0;
    displayMode_ = 0;
}

bool StatementParser::nextStatement(bool throwAtEnd, TokenList& statement) {
    while (queue_.empty())
        if (!reader_.readStatements(queue_, throwAtEnd)) return false;
    statement = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

StatementPtr StatementParser::parseStatement(bool throwAtEnd) {
    TokenList tokens;
    while (nextStatement(throwAtEnd, tokens)) {
        if (tokens.empty()) continue;
        const Token& first = tokens[0];
        if (first.kind == TK_BLOCK_END) return nullptr;
        bool assignment = tokens.size() > 1 && (tokens[1].kind == TK_ASSIGN ||
                                                tokens[1].kind == TK_DEFINE);
        bool keyword = first.kind == TK_NAME && keywordOf(first.text) != KW_NONE;
        bool block = first.kind == TK_BRACKET && (first.code == '{' || first.code == '}');
        bool query = first.kind == TK_UNOP && (first.code == '?' || first.code == 'Q');
        for (const Token& t : tokens)
            if (t.kind == TK_ASSIGN || t.kind == TK_DEFINE) assignment = true;
        if (assignment || keyword || block || query) refuseForNow(tokens);
        return parseExpressionStatement(tokens);
    }
    return nullptr;
}

StatementPtr StatementParser::parseBlock() {
    std::vector<StatementPtr> statements;
    while (StatementPtr s = parseStatement()) statements.push_back(std::move(s));
    if (statements.size() == 1) return std::move(statements[0]);
    return std::make_unique<BlockStm>(std::move(statements), out_);
}

StatementPtr StatementParser::parseExpressionStatement(TokenList& tokens) {
    char terminator = 0;
    if (tokens.back().kind == TK_TERMINATOR) {
        terminator = tokens.back().code;
        tokens.pop_back();
    }
    EvaluatablePtr expr = expressions_.parse(tokens);
    int line = reader_.input().lineNumber();
    if (terminator == ';' || terminator == '?')
        return std::make_unique<EvalAndDisplayStm>(std::move(expr), line, out_, terminator);
    // A breakpoint (";!") on an expression shows nothing either; the debugger
    // hook arrives with the debugger.
    return std::make_unique<EvalStm>(std::move(expr), line);
}

void StatementParser::refuseForNow(const TokenList& tokens) {
    const Token& first = tokens[0];
    if (first.kind == TK_NAME && keywordOf(first.text) != KW_NONE)
        raiseRuntime("the '" + first.text + "' statement is not available yet");
    raiseRuntime("only expressions can be run so far; this statement is not available yet");
}

} // namespace vemlor
