// The token record produced by the lexer and read by the parsers.
//
// A token is a flat record except for brackets: a bracket token (kinds
// TK_BRACKET and TK_BRACKET_DOT) holds the tokens between its brackets as
// children; no other kind has children. The code character refines the kind
// (operator code, closing bracket, quote character ...).
#pragma once

#include <string>
#include <vector>

namespace vemlor {

enum TokenKind : int {
    TK_NAME = 1,          // code: the character right after the name
    TK_INT = 2,           // code 0
    TK_REAL = 3,          // code 0, or 'i' for an imaginary unit
    TK_STRING = 4,        // code: the quote character
    TK_BINOP = 5,         // code: operator code
    TK_UNOP = 6,          // prefix or postfix operator; code: operator code
    TK_ASSIGN = 7,        // '=' or an operator-assignment code
    TK_SEPARATOR = 8,     // ',' ';' ':' 'W' ("::") 'J' ("/.")
    TK_BRACKET = 9,       // code: closing character, '{' for a block left open
    TK_BRACKET_DOT = 10,  // a bracket directly followed by '.'
    TK_EMPTY_MATRIX = 11, // "[]"
    TK_DEFINE = 12,       // ":=" (code ':') or "::=" (code 'v'); text: rest of line
    TK_TERMINATOR = 13,   // display terminator: ';' '!' '?' or 0 (no display)
    TK_BACKSLASH = 14,    // backslash reference or colon-index bracket
    TK_BLANK = 15,        // blank separator inside "[ ]"
    TK_BLOCK_END = 16,    // "}"
};

struct Token {
    std::string text;
    int kind = 0;
    char code = 0;
    std::vector<Token> children;
};

using TokenList = std::vector<Token>;

// The text of a display terminator that typed input gets implicitly.
inline constexpr const char* kAddedTerminator = "typed";

} // namespace vemlor
