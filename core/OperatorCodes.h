// Numeric operator codes of expressions. A code divided by 8 is its
// precedence level (0 binds tightest). The lexer's one-character spellings map
// onto these; arithmetic and the evaluator share them.
#pragma once

namespace vemlor {

enum OpCode : int {
    OP_POWER = 0,           // '^'
    OP_MATRIX_POWER = 3,    // 'R'
    OP_TIMES = 8,           // '*'
    OP_DIVIDE = 9,          // '/'
    OP_MATRIX_PRODUCT = 10, // '.'
    OP_KRONECKER = 11,      // '@'
    OP_CROSS = 12,          // 'v'
    OP_INT_DIVIDE = 13,     // '_'
    OP_PLUS = 16,           // '+'
    OP_MINUS = 17,          // '-'
    OP_MOD = 18,            // 'u'
    OP_VECTOR_ADD = 19,     // 'p'
    OP_VECTOR_SUB = 20,     // 'm'
    OP_BITAND = 24,         // 'a'
    OP_BITOR = 32,          // 'r'
    OP_BITXOR = 33,         // 'X'
    OP_LESS = 40,           // '<'
    OP_LESS_EQUAL = 41,     // 'L'
    OP_EQUAL = 42,          // 'E'
    OP_IDENTICAL = 43,      // 'I'
    OP_NOT_EQUAL = 44,      // 'N'
    OP_GREATER_EQUAL = 45,  // 'G'
    OP_GREATER = 46,        // '>'
    OP_AND_SHORT = 48,      // 'A'
    OP_AND = 49,            // '&'
    OP_OR_SHORT = 56,       // 'O'
    OP_OR = 57,             // '|'
    OP_XOR = 58,            // 'x'
    OP_HCAT = 64,           // ','
    OP_VCAT = 72,           // ';'
    OP_QUERY = 80,          // '?'
    OP_QUERY_ELSE = 81,     // 'W'
    OP_END = 88,            // end of expression
};

inline int precedenceLevel(int code) {
    return code / 8;
}

// The numeric code of a lexer character (-1 for an unknown one).
int opCodeOf(char c);

} // namespace vemlor
