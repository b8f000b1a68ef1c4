#include "frontend/StatementParser.h"

#include "core/Errors.h"
#include "core/OutputSink.h"
#include "exec/DebugSites.h"
#include "exec/DisplayStatements.h"
#include "exec/UserFuncTable.h"
#include "exec/Workspace.h"
#include "frontend/Inquiry.h"
#include "frontend/Keywords.h"
#include "frontend/LineReader.h"
#include "frontend/StatementSplitter.h"

namespace vemlor {

namespace {

// name := ..., name(...) := ... and the "::=" forms.
bool isShortDefinition(const TokenList& tokens) {
    size_t n = tokens.size();
    if (n < 2 || tokens[0].kind != TK_NAME) return false;
    if (tokens[1].kind == TK_DEFINE) {
        if (tokens[1].code == 'v')
            throw SyntaxError("can't vectorize a function with no arguments");
        return true;
    }
    return n > 2 && tokens[1].kind == TK_BRACKET && tokens[1].code == ')' &&
           tokens[2].kind == TK_DEFINE;
}

} // namespace

StatementParser::StatementParser(LineReader& reader, Workspace& workspace, BuiltinContext& context,
                                 OutputSink& out, int depth)
    : reader_(reader), workspace_(workspace), context_(context), out_(out),
      expressions_(workspace, context), depth_(depth) {}

void StatementParser::resetForInput() {
    queue_.clear();
    current_.clear();
    depth_ = 0;
}

int StatementParser::currentLine() const {
    return reader_.input().lineNumber();
}

DebugHook* StatementParser::debugHook() const {
    DebugSites* sites = workspace_.debugSites();
    if (!sites) return nullptr;
    const UserFunc* function =
        workspace_.functionDepth() > 0 ? workspace_.userFunctions().compiling() : nullptr;
    return sites->site(function, reader_.input().sourceName());
}

bool StatementParser::nextStatement(bool throwAtEnd, TokenList& statement) {
    while (queue_.empty()) {
        if (closedBlock_) return false;
        if (!reader_.readStatements(queue_, throwAtEnd)) return false;
    }
    statement = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

// The first token of the statement that comes next, reading a line when the
// queue is empty (never at the end of the input); null when there is none.
bool StatementParser::peekNextStatement(const Token*& first) {
    first = nullptr;
    if (!current_.empty()) {
        first = &current_[0];
        return true;
    }
    while (queue_.empty()) {
        if (closedBlock_) return false;
        if (!reader_.readStatements(queue_, false)) return false;
    }
    if (!queue_.front().empty()) first = &queue_.front()[0];
    return first != nullptr;
}

StatementPtr StatementParser::parseStatement(bool throwAtEnd) {
    for (;;) {
        TokenList tokens;
        if (!current_.empty())
            tokens.swap(current_);
        else if (!nextStatement(throwAtEnd, tokens))
            return nullptr;
        if (tokens.empty()) continue;
        if (tokens[0].kind == TK_BLOCK_END) return nullptr;
        // A function body typed at the prompt shows nothing while it runs.
        bool inBody = workspace_.functionDepth() > 0;
        if (inBody && tokens.back().kind == TK_TERMINATOR && tokens.back().text == kAddedTerminator)
            tokens.pop_back();
        if (tokens.empty()) continue;
        int keyword = tokens[0].kind == TK_NAME ? keywordOf(tokens[0].text) : KW_NONE;
        if (keyword != KW_NONE) {
            StatementPtr statement = parseKeyword(std::move(tokens), keyword, throwAtEnd);
            if (statement || keyword == KW_END) return statement;
            continue; // a declaration or `clear`: nothing to run, read on
        }
        if (isShortDefinition(tokens)) {
            parseShortDefinition(std::move(tokens));
            continue;
        }
        bool query = tokens[0].kind == TK_UNOP && (tokens[0].code == '?' || tokens[0].code == 'Q');
        if (query) {
            answerInquiry(tokens, workspace_, out_);
            continue;
        }
        return parseTokens(std::move(tokens), throwAtEnd);
    }
}

StatementPtr StatementParser::parseTokens(TokenList tokens, bool throwAtEnd) {
    (void)throwAtEnd;
    const Token& first = tokens[0];
    size_t n = tokens.size();
    bool assignmentAfterName = first.kind == TK_NAME && n > 1 && tokens[1].kind == TK_ASSIGN;
    bool indexedAssignment = first.kind == TK_NAME && n >= 4 &&
                             (((tokens[1].kind == TK_BRACKET && tokens[1].code == ']') ||
                               tokens[1].kind == TK_BACKSLASH) &&
                              tokens[2].kind == TK_ASSIGN);
    bool itemAssignment = first.kind == TK_NAME && n >= 5 && tokens[1].kind == TK_BINOP &&
                          tokens[1].code == '.' && tokens[3].kind == TK_ASSIGN;
    if (assignmentAfterName || indexedAssignment || itemAssignment)
        return parseAssignment(std::move(tokens));
    if (first.kind == TK_BRACKET && (first.code == '{' || first.code == '}'))
        return parseBracketBlock(first);
    if (first.kind == TK_BRACKET && n > 1 && tokens[1].kind == TK_ASSIGN) {
        if (first.code == ']' && tokens[1].code == '=')
            return parseMultipleAssignment(std::move(tokens));
        throw SyntaxError("invalid multiple assignment syntax");
    }
    return parseExpressionStatement(std::move(tokens));
}

StatementPtr StatementParser::parseBlock() {
    std::vector<StatementPtr> statements;
    std::vector<DebugHook*> hooks; // the input may switch to a script and back
    while (StatementPtr s = parseStatement()) {
        statements.push_back(std::move(s));
        hooks.push_back(debugHook());
    }
    if (statements.size() == 1) return std::move(statements[0]);
    auto block = std::make_unique<BlockStm>(std::move(statements), out_, 0, debugHook());
    block->setStatementHooks(std::move(hooks));
    return block;
}

StatementPtr StatementParser::parseBody(bool throwAtEnd) {
    ++depth_;
    StatementPtr body;
    try {
        body = parseStatement(throwAtEnd);
    } catch (...) {
        --depth_;
        throw;
    }
    --depth_;
    if (!body) body = std::make_unique<BlockStm>(std::vector<StatementPtr>{}, out_);
    return body;
}

// A "{ }" block: a nested parser one level deeper reads the bracket's
// statements; a '{' left open at the end of a line reads on until its '}'
// and hands back what followed it on that line.
StatementPtr StatementParser::parseBracketBlock(const Token& bracket) {
    StatementParser nested(reader_, workspace_, context_, out_, depth_ + 1);
    StatementSplitter splitter;
    splitter.split(bracket.children, -1, false, nested.queue_);
    bool open = bracket.code == '{';
    nested.closedBlock_ = !open;
    // The end of a script closes the indentation blocks still open; typed
    // input must close its braces.
    bool mustClose = open && reader_.input().isInteractive();
    std::vector<StatementPtr> statements;
    while (StatementPtr s = nested.parseStatement(mustClose))
        statements.push_back(std::move(s));
    if (open) takeLeftovers(nested);
    if (statements.size() == 1) return std::move(statements[0]);
    return std::make_unique<BlockStm>(std::move(statements), out_, currentLine(), debugHook());
}

// What a nested parser read past the end of its block is this parser's.
void StatementParser::takeLeftovers(StatementParser& nested) {
    if (!nested.current_.empty()) nested.queue_.push_front(std::move(nested.current_));
    while (!nested.queue_.empty()) {
        queue_.push_front(std::move(nested.queue_.back()));
        nested.queue_.pop_back();
    }
}

StatementPtr StatementParser::parseExpressionStatement(TokenList tokens) {
    char terminator = 0;
    if (tokens.back().kind == TK_TERMINATOR) {
        terminator = tokens.back().code;
        tokens.pop_back();
    }
    if (tokens.empty()) throw SyntaxError("incorrectly formed statement or expression");
    int line = currentLine();
    EvaluatablePtr expr = expressions_.parse(tokens);
    if (terminator == ';' || terminator == '?')
        return std::make_unique<EvalAndDisplayStm>(std::move(expr), line, out_, terminator);
    return wrapForDisplay(std::make_unique<EvalStm>(std::move(expr), line), terminator, nullptr,
                          "");
}

StatementPtr StatementParser::wrapForDisplay(StatementPtr statement, char terminator,
                                             Value* variable, const std::string& name) {
    int line = statement->line();
    if (terminator == '!')
        return std::make_unique<BreakPointStm>(std::move(statement), line, debugHook(), variable,
                                               name);
    if ((terminator == ';' || terminator == '?') && variable)
        return std::make_unique<AssignAndDisplayStm>(std::move(statement), line, out_, variable,
                                                     name, terminator);
    return statement;
}

} // namespace vemlor
