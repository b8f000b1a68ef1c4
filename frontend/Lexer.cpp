// The lexer's main loop and the simple token readers: names, command words,
// separators, backslash references and the characters of no other class.
// Operators, numbers and strings, and brackets live in their own files.
#include "frontend/Lexer.h"

#include "core/Errors.h"
#include "frontend/LexerChars.h"

#include <cstring>

namespace vemlor {

using namespace detail;

namespace {

// The words the lexer tells apart from names: command words take the rest of
// the statement as a string, the others are operators.
struct Word {
    const char* text;
    bool command;
};
constexpr Word kWords[] = {{"cd", true},   {"dir", true},  {"mod", false},    {"vec", false},
                           {"and", false}, {"or", false},  {"bitand", false}, {"bitor", false},
                           {"xor", false}, {"And", false}, {"Or", false}};

// The previous token ends an operand, so a blank after it inside "[ ]"
// separates two elements.
bool endsOperand(const TokenList& out) {
    if (out.empty()) return false;
    const Token& t = out.back();
    switch (t.kind) {
    case TK_NAME:
    case TK_INT:
    case TK_REAL:
    case TK_STRING:
    case TK_BRACKET:
    case TK_BRACKET_DOT:
    case TK_EMPTY_MATRIX:
    case TK_BACKSLASH:
        return true;
    case TK_UNOP: // a postfix operator: transpose or factorial
        return isQuote(t.code) || t.code == '!';
    default:
        return false;
    }
}

bool isSeparatorToken(const Token& t) {
    return t.kind == TK_SEPARATOR || t.kind == TK_TERMINATOR || t.kind == TK_BLOCK_END;
}

} // namespace

int Lexer::lex(const std::string& text, char terminator, TokenList& out, int* suchThatIndex) {
    text_ = text;
    pos_ = 0;
    depth_ = 0;
    suchThatAllowed_ = suchThatIndex != nullptr;
    suchThatIndex_ = -1;
    joinedLine_ = false;
    if (!text_.empty() && text_[0] == '!')
        throw SyntaxError("operator '!' cannot appear at the start");
    try {
        lexRange(terminator, false, out);
    } catch (const CodeError& e) {
        if (e.code == ErrorCode::EndOfInput)
            throw SyntaxError("dangling operator or more input needed");
        throw;
    }
    if (suchThatIndex) *suchThatIndex = suchThatIndex_;
    return static_cast<int>(pos_);
}

bool Lexer::lexRange(char terminator, bool absolute, TokenList& out) {
    for (;;) {
        size_t before = pos_;
        skipBlanks();
        bool skipped = pos_ != before || joinedLine_;
        joinedLine_ = false;
        if (pos_ >= text_.size()) throw SyntaxError("unexpected end of line");
        char c = cur();
        if (c == terminator) {
            if (terminator == '#' && needsMoreInput(out)) {
                continueLine();
                continue;
            }
            return false;
        }
        size_t wordLength = 0;
        CharClass cls = classify(wordLength);
        if (terminator == ']' && skipped && c != '#' && endsOperand(out)) {
            bool startsElement = (cls != CharClass::Operator && cls != CharClass::Separator) ||
                                 (c == '-' && !isLexBlank(at(pos_ + 1)));
            if (startsElement) out.push_back(Token{" ", TK_BLANK, ' ', {}});
        }
        switch (cls) {
        case CharClass::Name:
            readName(out);
            break;
        case CharClass::CommandWord:
            readCommandWord(out, wordLength);
            break;
        case CharClass::Number:
            readNumber(out);
            break;
        case CharClass::String:
            readString(out);
            break;
        case CharClass::Separator:
            readSeparator(out, terminator);
            break;
        case CharClass::Bracket:
            readBracket(out);
            break;
        case CharClass::Backslash:
            readBackslash(out);
            break;
        case CharClass::Operator:
            if (readOperator(out, terminator, absolute)) return true;
            break;
        case CharClass::Other:
            if (!readOther(out, terminator)) return false;
            break;
        }
    }
}

void Lexer::continueLine() {
    std::string next;
    input_.getLine(next, true, true);
    text_.erase(pos_);
    if (!text_.empty() && !isLexBlank(text_.back())) text_ += ' ';
    text_ += next;
    text_ += " #";
    joinedLine_ = true; // the line break separates like a blank
}

void Lexer::skipBlanks() {
    while (pos_ < text_.size() && isLexBlank(text_[pos_]))
        ++pos_;
}

// The text from start to the end, without the " #" the reader appended.
std::string Lexer::contextFrom(size_t start) const {
    std::string context = text_.substr(std::min(start, text_.size()));
    if (context.size() >= 2 && context.compare(context.size() - 2, 2, " #") == 0)
        context.resize(context.size() - 2);
    return context;
}

Lexer::CharClass Lexer::classify(size_t& wordLength) const {
    char c = cur();
    char next = at(pos_ + 1);
    if (c == ',' || c == ';' || c == ':') return CharClass::Separator;
    if (c != '\0' && std::strchr("+-/*_@=<>^&|~%?!.", c)) {
        if (c == '^' && isQuote(next)) return CharClass::String;
        // "x.5" is the dot operator; only a '.' that starts a word begins a number.
        if (c == '.' && isLexDigit(next) && !(pos_ > 0 && isIdentChar(text_[pos_ - 1])))
            return CharClass::Number;
        return CharClass::Operator;
    }
    if (isLexDigit(c)) return CharClass::Number;
    if (isLexLetter(c)) {
        if (std::strchr("cdmvaobAOx", c) && next != '\0' && std::strchr("dioenr", next)) {
            for (const Word& word : kWords) {
                size_t n = std::strlen(word.text);
                if (text_.compare(pos_, n, word.text) == 0 && !isIdentChar(at(pos_ + n))) {
                    wordLength = n;
                    return word.command ? CharClass::CommandWord : CharClass::Operator;
                }
            }
        }
        return CharClass::Name;
    }
    if (isQuote(c)) return CharClass::String;
    if (c == '\\') return CharClass::Backslash;
    if (c == '(' || c == '{') return CharClass::Bracket;
    if (c == '[') return next == ']' ? CharClass::Number : CharClass::Bracket;
    return CharClass::Other;
}

void Lexer::readName(TokenList& out) {
    size_t start = pos_;
    while (isIdentChar(cur()))
        ++pos_;
    out.push_back(Token{text_.substr(start, pos_ - start), TK_NAME, cur(), {}});
    if (isQuote(cur())) {
        out.push_back(Token{"", TK_UNOP, cur(), {}});
        ++pos_;
    }
}

// `cd` and `dir` take the rest of the statement as a string unless a
// bracket, a string or the end of the statement follows them.
void Lexer::readCommandWord(TokenList& out, size_t length) {
    size_t wordEnd = pos_ + length;
    size_t next = wordEnd;
    while (isLexBlank(at(next)))
        ++next;
    Token word{text_.substr(pos_, length), TK_NAME, at(wordEnd), {}};
    char c = at(next);
    if (c != '\0' && std::strchr("(\"';#", c)) {
        pos_ = wordEnd;
        out.push_back(std::move(word));
        return;
    }
    if (!isLexBlank(at(wordEnd))) throw SyntaxError("missing space, bracket or string");
    size_t end = text_.find_first_of(";#", next);
    if (end == std::string::npos) end = text_.size();
    size_t last = end;
    while (last > next && isLexBlank(text_[last - 1]))
        --last;
    out.push_back(std::move(word));
    out.push_back(Token{text_.substr(next, last - next), TK_STRING, '"', {}});
    pos_ = end;
}

void Lexer::readSeparator(TokenList& out, char terminator) {
    char c = cur();
    char next = at(pos_ + 1);
    Token token{"", TK_SEPARATOR, c, {}};
    size_t length = 1;
    if (c == ';' && (next == '!' || next == ';' || next == '?')) {
        token = Token{"", TK_TERMINATOR, next, {}};
        length = 2;
    } else if ((c == ';' || c == ',') && next == '=') {
        token = Token{"", TK_ASSIGN, c == ';' ? 'S' : 'C', {}};
        length = 2;
    } else if (c == ':' && next == ':' && at(pos_ + 2) == '=') {
        token = Token{"", TK_DEFINE, 'v', {}};
        length = 3;
    } else if (c == ':' && next == '=') {
        token = Token{"", TK_DEFINE, ':', {}};
        length = 2;
    } else if (c == ':' && next == ':') {
        token = Token{"", TK_SEPARATOR, 'W', {}};
        length = 2;
    } else if (c == ',' && next == ',') {
        throw SyntaxError("double comma");
    }
    bool atStart = out.empty() ? terminator != ']' : out.back().kind == TK_ASSIGN;
    if (atStart) throw SyntaxError("expression starts wrong");
    pos_ += length;
    if (token.kind == TK_DEFINE) {
        // The definition keeps the rest of its line; lexing goes on over it,
        // as the body's tokens are needed too.
        size_t from = pos_;
        while (isLexBlank(at(from)))
            ++from;
        token.text = contextFrom(from);
    }
    appendChecked(out, std::move(token));
}

void Lexer::readBackslash(TokenList& out) {
    size_t start = pos_;
    while (cur() == '\\')
        ++pos_;
    Token token{"", TK_BACKSLASH, static_cast<char>(pos_ - start), {}};
    if (isLexLetter(cur())) {
        size_t nameStart = pos_;
        while (isIdentChar(cur()))
            ++pos_;
        token.text = text_.substr(nameStart, pos_ - nameStart);
    }
    out.push_back(std::move(token));
}

// Returns false when lexing of the current range stops here.
bool Lexer::readOther(TokenList& out, char terminator) {
    char c = cur();
    if (c == '}') {
        out.push_back(Token{"}", TK_BLOCK_END, '}', {}});
        ++pos_;
        return true;
    }
    if (c == '#' && terminator != '#') {
        if (!needsMoreInput(out)) return false;
        continueLine();
        return true;
    }
    if (c == ')' || c == ']') throw SyntaxError("unexpected closing bracket");
    throw SyntaxError("unrecognised character");
}

// Appends a token, refusing a second assignment within one statement.
void Lexer::appendChecked(TokenList& out, Token token) {
    if (token.kind == TK_ASSIGN) {
        for (auto it = out.rbegin(); it != out.rend() && !isSeparatorToken(*it); ++it)
            if (it->kind == TK_ASSIGN) throw SyntaxError("2nd assignment");
    }
    out.push_back(std::move(token));
}

int lex(const std::string& text, char terminator, LexInput& input, TokenList& out,
        int* suchThatIndex) {
    Lexer lexer(input);
    return lexer.lex(text, terminator, out, suchThatIndex);
}

bool needsMoreInput(const TokenList& tokens) {
    if (tokens.empty()) return false;
    // A query names its item and ends with its line ("?," asks about the comma).
    bool query = tokens[0].kind == TK_UNOP && (tokens[0].code == '?' || tokens[0].code == 'Q');
    if (query) return false;
    const Token& last = tokens.back();
    if (last.kind == TK_ASSIGN) return true;
    if (last.kind == TK_SEPARATOR) return last.code == ',' || last.code == 0;
    if (last.kind != TK_BINOP) return false;
    if (tokens[0].code == '?') return false;
    if (tokens.size() > 2 && (tokens[0].code == 'g' || tokens[1].code == 'g')) return false;
    if (last.code == '*' && tokens.size() >= 2) {
        const Token& before = tokens[tokens.size() - 2];
        if (before.kind == TK_NAME && before.code == '*') return false;
    }
    return true;
}

} // namespace vemlor
