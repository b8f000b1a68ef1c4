// Brackets: the contents of "( )", "[ ]" and "{ }" become the children of one
// bracket token, read over as many lines as it takes to reach the closing
// character ("{" alone may stay open). Absolute-value brackets "(| |)" become
// a call of abs; "[i,:]" and "[:,j]" become colon-index brackets.
#include "frontend/Lexer.h"

#include "core/Errors.h"
#include "frontend/LexerChars.h"

namespace vemlor {

using namespace detail;

namespace {

bool isSeparator(const Token& t, char code) {
    return t.kind == TK_SEPARATOR && t.code == code;
}

// Drops a trailing ';' and turns the colon forms into a colon-index bracket.
// Returns true when a token was dropped.
bool reduceSquareBracket(Token& bracket) {
    TokenList& children = bracket.children;
    bool dropped = false;
    if (!children.empty() && isSeparator(children.back(), ';')) {
        children.pop_back();
        dropped = true;
    }
    size_t n = children.size();
    if (n >= 2 && isSeparator(children[n - 2], ',') && isSeparator(children[n - 1], ':')) {
        children.resize(n - 2);
        bracket.kind = TK_BACKSLASH;
        bracket.code = 1;
        return true;
    }
    if (n >= 2 && isSeparator(children[0], ':') && isSeparator(children[1], ',')) {
        children.erase(children.begin(), children.begin() + 2);
        bracket.kind = TK_BACKSLASH;
        bracket.code = 2;
        return true;
    }
    if (n > 0 && (isSeparator(children.front(), ':') || isSeparator(children.back(), ':')))
        throw SyntaxError("incorrect use of ':'");
    return dropped;
}

} // namespace

void Lexer::readBracket(TokenList& out) {
    size_t open = pos_;
    bool absolute = cur() == '(' && at(pos_ + 1) == '|';
    char closing = cur() == '(' ? ')' : cur() == '[' ? ']' : '}';
    std::string context = contextFrom(open);
    int line = input_.lineNumber();
    pos_ += absolute ? 2 : 1;

    Token bracket{"", TK_BRACKET, closing, {}};
    bool immediate = !absolute && cur() == closing;
    bool closedByBar = false;
    if (immediate) {
        ++pos_;
    } else {
        // Parsing and evaluating recurse once per level; far below the stack's end.
        constexpr int kMaxDepth = 256;
        if (depth_ >= kMaxDepth) throw SyntaxError("brackets nested too deeply");
        ++depth_;
        try {
            for (;;) {
                closedByBar = lexRange(closing, absolute, bracket.children);
                if (cur() == closing) {
                    ++pos_;
                    break;
                }
                if (closing == '}') { // a block that goes on over the next lines
                    bracket.code = '{';
                    break;
                }
                continueLine();
            }
        } catch (const CodeError& e) {
            if (e.code != ErrorCode::EndOfInput) throw;
            throw SyntaxError("no closing bracket for line " + std::to_string(line) + ":", context);
        }
        --depth_;
    }
    finishBracket(out, bracket, absolute, closedByBar, immediate);
}

void Lexer::finishBracket(TokenList& out, Token& bracket, bool absolute, bool closedByBar,
                          bool immediate) {
    if (needsMoreInput(bracket.children)) throw SyntaxError("bracket finished incorrectly");
    if (absolute) {
        if (!closedByBar) throw SyntaxError("abs bracket form (| not closed");
        out.push_back(Token{"abs", TK_NAME, '(', {}});
    }
    bool dropped = bracket.code == ']' && reduceSquareBracket(bracket);
    if (bracket.kind == TK_BACKSLASH) {
        if (out.empty() || out.back().kind != TK_NAME || out.back().code != '[')
            throw SyntaxError("stray colon in the bracket");
        out.back().code = '\\';
    }
    if (bracket.children.empty()) {
        bool callArguments = bracket.code == ')' && !out.empty() && out.back().kind == TK_NAME &&
                             out.back().code == '(';
        bool allowed = bracket.code == '{' || bracket.code == '}' || callArguments;
        if (!allowed) throw SyntaxError(immediate || dropped ? "empty bracket?" : "empty bracket");
    }
    char after = cur();
    if (isQuote(after)) {
        ++pos_;
        out.push_back(std::move(bracket));
        out.push_back(Token{"", TK_UNOP, after, {}});
        return;
    }
    if (after == '.' && bracket.kind == TK_BRACKET) bracket.kind = TK_BRACKET_DOT;
    out.push_back(std::move(bracket));
}

} // namespace vemlor
