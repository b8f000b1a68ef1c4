// Operators: reducing every spelling to its one-character code, and the
// checks on where an operator may stand (start of an expression, after
// another operator, such-that clauses, the ellipsis).
#include "frontend/Lexer.h"

#include "core/Errors.h"
#include "frontend/LexerChars.h"

#include <cstring>

namespace vemlor {

using namespace detail;

namespace {

bool startsExpression(const TokenList& out) {
    return out.empty() || out.back().kind == TK_ASSIGN || out.back().kind == TK_DEFINE;
}

bool isOneOf(char c, const char* set) {
    return c != '\0' && std::strchr(set, c) != nullptr;
}

// Code of an operator word at the start of text, with its length; 0 if none.
char operatorWord(const std::string& text, size_t pos, size_t& length) {
    struct Entry {
        const char* word;
        char code;
    };
    static constexpr Entry kEntries[] = {{"bitand", 'a'}, {"bitor", 'r'}, {"mod", 'u'},
                                         {"xor", 'x'},    {"vec", 'v'},   {"and", '&'},
                                         {"And", 'A'},    {"or", '|'},    {"Or", 'O'}};
    for (const Entry& e : kEntries) {
        size_t n = std::strlen(e.word);
        if (text.compare(pos, n, e.word) == 0) {
            length = n;
            return e.code;
        }
    }
    length = 1;
    return 0;
}

} // namespace

// Reads the operator at the current position into token and moves past it.
Lexer::Spelling Lexer::scanOperator(Token& token) {
    char c = cur();
    char n = at(pos_ + 1);
    size_t length = 1;
    token = Token{"", TK_BINOP, c, {}};
    bool joined = !isLexBlank(n) && !isLexLetter(n) && !isLexDigit(n) && !isBracketChar(n);
    if (joined && c == n) {
        static constexpr char kDoubled[] = "+-^=&|/<>?.";
        static constexpr char kDoubledCodes[] = "idREAOVgoQe";
        const char* found = isOneOf(c, kDoubled) ? std::strchr(kDoubled, c) : nullptr;
        if (!found) throw SyntaxError("unrecognised operator");
        token.code = kDoubledCodes[found - kDoubled];
        length = 2;
        if (token.code == 'e') {
            if (at(pos_ + 2) == '.') {
                pos_ += 3;
                return Spelling::Ellipsis;
            }
            pos_ += 2;
            return Spelling::ParentDirectory;
        }
        if (token.code == 'E' && at(pos_ + 2) == '=') {
            token.code = 'I';
            length = 3;
        } else if (token.code == 'i' || token.code == 'd') {
            token.kind = TK_UNOP;
            if (!isLexLetter(at(pos_ + 2)))
                throw SyntaxError("++ or -- must be attached to a name");
        } else if (token.code == 'g') {
            token.kind = TK_ASSIGN;
        }
    } else if (joined && n == '=') {
        static constexpr char kBefore[] = "*+-/,;<~>";
        static constexpr char kCodes[] = "TPMDCSLNG";
        if (!isOneOf(c, kBefore)) throw SyntaxError("unrecognised operator");
        size_t index = std::strchr(kBefore, c) - kBefore;
        token.code = kCodes[index];
        token.kind = index < 6 ? TK_ASSIGN : TK_BINOP;
        length = 2;
    } else if (c == '@' && joined) {
        static constexpr char kAfter[] = "+-^&|!";
        static constexpr char kCodes[] = "pmvarX";
        if (!isOneOf(n, kAfter)) throw SyntaxError("unrecognised operator");
        token.code = kCodes[std::strchr(kAfter, n) - kAfter];
        length = 2;
    } else if (c == '/' && n == '.' && (isLexBlank(at(pos_ + 2)) || isLexLetter(at(pos_ + 2)))) {
        token = Token{"", TK_SEPARATOR, 'J', {}};
        length = 2;
    } else if (c == '_' && n == '/') {
        length = 2;
    } else if (c == '=') {
        token.kind = TK_ASSIGN;
    } else if (c == '!') {
        if (pos_ > 0 && isLexBlank(text_[pos_ - 1])) throw SyntaxError("unattached '!' operator");
        token.kind = TK_UNOP;
    } else if (c == '~') {
        token.kind = TK_UNOP;
    } else if (isLexLetter(c)) {
        token.code = operatorWord(text_, pos_, length);
        if (token.code == 0) throw SyntaxError("unrecognised operator");
    }
    pos_ += length;
    return Spelling::Operator;
}

// Returns true when the '|' closing an absolute-value bracket was read.
bool Lexer::readOperator(TokenList& out, char terminator, bool absolute) {
    bool atStart = startsExpression(out);
    char n = at(pos_ + 1);
    if (atStart && cur() == '-' && (isLexDigit(n) || (n == '.' && isLexDigit(at(pos_ + 2))))) {
        readNumber(out);
        return false;
    }
    Token token;
    switch (scanOperator(token)) {
    case Spelling::Ellipsis:
        skipBlanks();
        if (pos_ < text_.size() && cur() != '#') throw SyntaxError("stray ellipsis");
        continueLine();
        return false;
    case Spelling::ParentDirectory:
        out.push_back(Token{"..", TK_NAME, 'f', {}});
        return false;
    case Spelling::Operator:
        break;
    }
    if (absolute && token.kind == TK_BINOP && token.code == '|' && cur() == terminator) return true;
    checkOperator(out, token, atStart);
    appendChecked(out, std::move(token));
    return false;
}

void Lexer::checkOperator(const TokenList& out, Token& token, bool atStart) {
    if (token.kind == TK_SEPARATOR) { // "/."
        if (depth_ > 0 || !suchThatAllowed_)
            throw SyntaxError("such that (/.) operator illegal here");
        if (suchThatIndex_ >= 0) throw SyntaxError("two /. clauses in one line");
        suchThatIndex_ = static_cast<int>(out.size());
        return;
    }
    if (atStart) {
        if (isOneOf(token.code, "-~?^Qidg")) {
            token.kind = TK_UNOP;
            return;
        }
        bool afterShift = !out.empty() && out.back().code == 'g';
        if (token.code == '*' && afterShift) return;
        throw SyntaxError("expression began with operator");
    }
    int previous = out.back().kind;
    if (previous == TK_BINOP || previous == TK_BLANK || previous == TK_SEPARATOR) {
        // '^' opens a by-reference parameter of a function header: f(a, ^b).
        bool caret = token.code == '^' && previous == TK_SEPARATOR;
        if (!isOneOf(token.code, "-~id") && !caret) throw SyntaxError("two adjacent operators");
        token.kind = TK_UNOP;
    }
}

} // namespace vemlor
