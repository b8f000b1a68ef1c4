// Literals: numbers (integers, reals, imaginary units, the empty matrix) and
// strings, including the rewriting of interpolated strings ^"...{name}...".
#include "frontend/Lexer.h"

#include "core/Errors.h"
#include "frontend/LexerChars.h"

namespace vemlor {

using namespace detail;

namespace {

bool isPlainName(const std::string& text) {
    if (text.empty() || !isLexLetter(text[0])) return false;
    for (char c : text)
        if (!isIdentChar(c)) return false;
    return true;
}

// The text as a string literal in the given quotes.
std::string quoted(char quote, const std::string& text) {
    std::string result(1, quote);
    for (char c : text) {
        result += c;
        if (c == quote) result += quote;
    }
    result += quote;
    return result;
}

} // namespace

void Lexer::readNumber(TokenList& out) {
    if (cur() == '[') {
        pos_ += 2;
        out.push_back(Token{"", TK_EMPTY_MATRIX, 0, {}});
        return;
    }
    size_t start = pos_;
    size_t p = pos_;
    if (at(p) == '-') ++p;
    if ((at(p) == '0' || at(p) == '1') && (at(p + 1) == 'i' || at(p + 1) == 'j') &&
        !isIdentChar(at(p + 2))) {
        out.push_back(Token{text_.substr(start, p + 1 - start), TK_REAL, 'i', {}});
        pos_ = p + 2;
        return;
    }
    bool real = false;
    while (isLexDigit(at(p)))
        ++p;
    if (at(p) == '.' && isLexDigit(at(p + 1))) {
        real = true;
        ++p;
        while (isLexDigit(at(p)))
            ++p;
        if (at(p) == '.') throw SyntaxError("error in number");
    }
    if (at(p) == 'e') {
        size_t q = p + 1;
        if (at(q) == '+' || at(q) == '-') ++q;
        if (!isLexDigit(at(q))) throw SyntaxError("error in number");
        while (isLexDigit(at(q)))
            ++q;
        p = q;
        real = true;
    }
    out.push_back(Token{text_.substr(start, p - start), real ? TK_REAL : TK_INT, 0, {}});
    pos_ = p;
}

void Lexer::readString(TokenList& out) {
    size_t start = pos_;
    bool interpolated = cur() == '^';
    if (interpolated) ++pos_;
    char quote = cur();
    ++pos_;
    std::string body;
    for (;;) {
        if (pos_ >= text_.size()) throw SyntaxError("unterminated string at", contextFrom(start));
        char c = text_[pos_];
        if (c == quote) {
            if (at(pos_ + 1) != quote) break;
            ++pos_;
        }
        body += c;
        ++pos_;
    }
    ++pos_;
    if (interpolated && rewriteInterpolated(start, quote, body)) return;
    out.push_back(Token{std::move(body), TK_STRING, quote, {}});
}

// ^"a{x}b" becomes ["a" trim(str(x)) ^"b"] in the text, to be lexed in its
// place; the rest is interpolated again. Only the first '{' is looked at: a
// string whose first brace holds no plain name stays literal text.
bool Lexer::rewriteInterpolated(size_t start, char quote, const std::string& body) {
    size_t open = body.find('{');
    if (open == std::string::npos) return false;
    size_t close = body.find('}', open);
    if (close == std::string::npos) return false;
    std::string name = body.substr(open + 1, close - open - 1);
    if (!isPlainName(name)) return false;
    std::string rewritten = "[" + quoted(quote, body.substr(0, open)) + " trim(str(" + name +
                            ")) ^" + quoted(quote, body.substr(close + 1)) + "]";
    text_.replace(start, pos_ - start, rewritten);
    pos_ = start;
    return true;
}

} // namespace vemlor
