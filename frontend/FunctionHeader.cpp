#include "frontend/FunctionHeader.h"

#include "core/Errors.h"
#include "frontend/InputSource.h"
#include "frontend/Lexer.h"
#include "frontend/StatementSplitter.h"

#include <algorithm>

namespace vemlor {

namespace {

bool isSeparator(const Token& t) {
    return t.kind == TK_SEPARATOR && (t.code == ',' || t.code == ';');
}

bool isOperator(const Token& t, char code) {
    return (t.kind == TK_BINOP || t.kind == TK_UNOP) && t.code == code;
}

// "y =", "y* =" or "[a, b, ...] =": the outputs, each a double unless
// marked "*" (complex) or "[]" (list).
const Token* readOutputs(const Token* at, const Token* end, FunctionSignature& s) {
    auto isEquals = [](const Token& t) { return t.kind == TK_ASSIGN && t.code == '='; };
    if (at < end && at->kind == TK_NAME && at + 1 < end) {
        const Token* next = at + 1;
        if (isEquals(*next)) {
            s.outputNames.push_back(at->text);
            s.outputTypes.push_back(DOUBLE_VAL);
            return next + 1;
        }
        // "y*=" lexes as a multiply-assignment.
        if (next->kind == TK_ASSIGN && next->code == 'T') {
            s.outputNames.push_back(at->text);
            s.outputTypes.push_back(COMPLEX_VAL);
            return next + 1;
        }
        if (isOperator(*next, '*') && next + 1 < end && isEquals(next[1])) {
            s.outputNames.push_back(at->text);
            s.outputTypes.push_back(COMPLEX_VAL);
            return next + 2;
        }
        return at;
    }
    if (at + 1 < end && at->kind == TK_BRACKET && at->code == ']' && isEquals(at[1])) {
        const TokenList& items = at->children;
        for (size_t k = 0; k < items.size(); ++k) {
            const Token& t = items[k];
            if (t.kind == TK_SEPARATOR && t.code == ',') continue;
            if (t.kind == TK_BLANK) continue;
            if (t.kind == TK_NAME) {
                s.outputNames.push_back(t.text);
                s.outputTypes.push_back(DOUBLE_VAL);
            } else if (isOperator(t, '*') && !s.outputTypes.empty()) {
                s.outputTypes.back() = COMPLEX_VAL;
            } else if (t.kind == TK_EMPTY_MATRIX && !s.outputTypes.empty()) {
                s.outputTypes.back() = LIST_VAL;
            } else {
                throw SyntaxError("invalid list of names");
            }
        }
        if (s.outputNames.empty()) throw SyntaxError("invalid list of names");
        return at + 2;
    }
    return at;
}

double readDefault(const Token*& at, const Token* end) {
    bool negative = false;
    if (at < end && isOperator(*at, '-')) {
        negative = true;
        ++at;
    }
    if (at >= end || (at->kind != TK_INT && at->kind != TK_REAL) || at->code == 'i')
        throw SyntaxError("default value must be a number");
    double value = std::stod(at->text);
    ++at;
    return negative ? -value : value;
}

void readParameters(const TokenList& items, FunctionSignature& s) {
    int separators = 0;
    for (const Token& t : items)
        separators += isSeparator(t);
    if (!items.empty() && separators + 1 > kMaxParameters)
        throw SyntaxError("exceeded maximum permitted number of arguments");
    const Token* at = items.data();
    const Token* end = at + items.size();
    while (at < end) {
        size_t position = s.parameterNames.size();
        if (isOperator(*at, '^')) {
            if (++at >= end) throw SyntaxError("unattached '^' in argument list");
            if (position >= s.byReference.size()) throw SyntaxError("invalid bitset position");
            s.byReference.set(position);
        }
        if (at->kind != TK_NAME) throw SyntaxError("invalid item in argument list");
        const Token& name = *at++;
        int type = DOUBLE_VAL;
        if (name.code == '*') {
            if (at >= end || !isOperator(*at, '*'))
                throw SyntaxError("incorrect use of '*' in parameter list");
            ++at;
            type = COMPLEX_VAL;
        } else if (name.code == '[') {
            if (at >= end || at->kind != TK_EMPTY_MATRIX)
                throw SyntaxError("incorrect use of '['. Use [] to indicate a list");
            ++at;
            type = LIST_VAL;
        }
        s.parameterNames.push_back(name.text);
        s.parameterTypes.push_back(type);
        if (at < end && at->kind == TK_SEPARATOR && at->code == ':') {
            ++at;
            s.defaults.push_back(readDefault(at, end));
        } else if (!s.defaults.empty()) {
            throw SyntaxError("missing default value");
        }
        if (at == end) break;
        if (!isSeparator(*at)) throw SyntaxError("missing comma or semicolon");
        if (++at == end) throw SyntaxError("invalid item in argument list");
    }
}

// Parameters and outputs name the locals of one scope: no name twice.
void checkDistinctNames(const FunctionSignature& s) {
    std::vector<std::string> names = s.parameterNames;
    names.insert(names.end(), s.outputNames.begin(), s.outputNames.end());
    std::sort(names.begin(), names.end());
    if (std::adjacent_find(names.begin(), names.end()) != names.end())
        throw SyntaxError("duplicate name in argument list");
}

} // namespace

FunctionSignature readFunctionHeader(const Token* begin, const Token* end, bool keywordForm) {
    FunctionSignature s;
    const Token* at = keywordForm ? readOutputs(begin, end, s) : begin;
    if (at >= end || at->kind != TK_NAME) throw SyntaxError("invalid function declaration");
    s.name = at->text;
    ++at;
    if (at < end && at->kind == TK_BRACKET && at->code == ')') {
        readParameters(at->children, s);
        ++at;
    }
    if (at != end) throw SyntaxError("invalid function declaration");
    checkDistinctNames(s);
    if (s.outputTypes.empty()) s.outputTypes.push_back(DOUBLE_VAL);
    markQuickEligibility(s);
    return s;
}

namespace {

// The statements of one line of a file, lexed on its own.
std::deque<TokenList> statementsOfLine(const std::string& line) {
    TokenList tokens;
    InputSource nothingMore('s', "");
    Lexer lexer(nothingMore);
    int suchThatIndex = -1;
    lexer.lex(line + " #", '#', tokens, &suchThatIndex);
    std::deque<TokenList> statements;
    StatementSplitter().split(std::move(tokens), suchThatIndex, false, statements);
    return statements;
}

} // namespace

FunctionSignature headerFromText(const std::string& line) {
    std::deque<TokenList> statements = statementsOfLine(line);
    if (statements.empty()) throw SyntaxError("invalid function declaration");
    const TokenList& tokens = statements.front();
    if (tokens.empty() || tokens[0].kind != TK_NAME || tokens[0].text != "function")
        throw SyntaxError("invalid function declaration");
    const Token* begin = tokens.data() + 1;
    const Token* end = tokens.data() + tokens.size();
    while (end > begin && end[-1].kind == TK_TERMINATOR)
        --end;
    FunctionSignature s = readFunctionHeader(begin, end, true);
    s.flags |= FUNC_HEADER_FROM_TEXT;
    return s;
}

std::deque<TokenList> statementsAfterHeader(const std::string& line) {
    std::deque<TokenList> statements = statementsOfLine(line);
    if (!statements.empty()) statements.pop_front();
    return statements;
}

} // namespace vemlor
