// Cutting the tokens of a logical line into statements; see the header for
// where statements end.
#include "frontend/StatementSplitter.h"

#include "core/Errors.h"

#include <algorithm>

namespace vemlor {

namespace {

// Terminators the splitter adds itself say so in their text, so that a
// function body typed at the prompt can drop them.
Token displayTerminator(char code) {
    return Token{kAddedTerminator, TK_TERMINATOR, code, {}};
}

} // namespace

// Queues the statements of tokens[begin, end) that are closed; the tokens of
// an unclosed last statement are left in tail.
void StatementSplitter::cut(TokenList& tokens, size_t begin, size_t end,
                            std::deque<TokenList>& queue, TokenList& tail) {
    for (size_t i = begin; i < end; ++i) {
        Token& token = tokens[i];
        if (token.kind == TK_SEPARATOR && token.code == ';') {
            if (!tail.empty()) queue.push_back(std::move(tail));
            tail.clear();
            afterColon_ = false;
            continue;
        }
        bool opensOrFollowsColon = tail.empty() || afterColon_;
        bool ends = token.kind == TK_TERMINATOR || token.kind == TK_BLOCK_END ||
                    ((token.kind == TK_BRACKET || token.kind == TK_BRACKET_DOT) &&
                     token.code == '}' && opensOrFollowsColon);
        afterColon_ = token.kind == TK_SEPARATOR && token.code == ':';
        tail.push_back(std::move(token));
        if (ends) {
            queue.push_back(std::move(tail));
            tail.clear();
        }
    }
}

void StatementSplitter::split(TokenList tokens, int suchThatIndex, bool interactive,
                              std::deque<TokenList>& queue) {
    TokenList tail;
    if (suchThatIndex >= 0) {
        if (suchThatIndex == 0)
            throw SyntaxError("'such-that' clause is not allowed at the beginning of a line");
        size_t index = static_cast<size_t>(suchThatIndex);
        cut(tokens, index + 1, tokens.size(), queue, tail);
        if (!tail.empty()) queue.push_back(std::move(tail));
        tail.clear();
        size_t end = index;
        const Token& before = tokens[index - 1];
        if (before.kind == TK_SEPARATOR && before.code == ';') {
            end = index - 1;
        } else if (interactive && before.kind != TK_TERMINATOR) {
            // Ends the statement without showing its result.
            tokens[index] = displayTerminator(0);
            end = index + 1;
        }
        cut(tokens, 0, end, queue, tail);
        if (!tail.empty()) queue.push_back(std::move(tail));
        return;
    }
    bool definition =
        tokens.size() >= 3 && std::any_of(tokens.begin(), tokens.end(),
                                          [](const Token& t) { return t.kind == TK_DEFINE; });
    cut(tokens, 0, tokens.size(), queue, tail);
    if (tail.empty()) return;
    if (interactive && !definition) tail.push_back(displayTerminator(';'));
    queue.push_back(std::move(tail));
}

} // namespace vemlor
