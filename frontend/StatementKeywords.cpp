// Keyword statements: conditions and loops, the escape statements, `clear`
// and the declarations.
#include "core/Errors.h"
#include "core/OutputSink.h"
#include "exec/ExpressionBuilder.h"
#include "exec/UserFuncTable.h"
#include "exec/Workspace.h"
#include "frontend/Keywords.h"
#include "frontend/StatementParser.h"

namespace vemlor {

namespace {

bool isSeparator(const Token& t, char code) {
    return t.kind == TK_SEPARATOR && t.code == code;
}

void dropTerminator(TokenList& tokens) {
    if (!tokens.empty() && tokens.back().kind == TK_TERMINATOR) tokens.pop_back();
}

// Keywords that may stand alone.
bool standsAlone(int keyword) {
    return keyword == KW_ELSE || keyword == KW_END || keyword == KW_RETURN || keyword == KW_BREAK ||
           keyword == KW_CONTINUE;
}

const char* const kClearedConstantWarning =
    " warning: clearing a global constant may lead to instability if it is used in a user "
    "function which has already been compiled";

} // namespace

StatementPtr StatementParser::parseKeyword(TokenList tokens, int keyword, bool throwAtEnd) {
    (void)throwAtEnd;
    if (!standsAlone(keyword) && (tokens.size() < 2 || tokens[1].kind == TK_TERMINATOR))
        throw SyntaxError("incomplete statement");
    switch (keyword) {
    case KW_WHILE:
    case KW_IF:
    case KW_UNLESS:
        return parseConditional(std::move(tokens), keyword);
    case KW_FOR:
        return parseFor(std::move(tokens));
    case KW_ELSE:
        throw SyntaxError("stray 'else' keyword");
    case KW_CLEAR:
        parseClear(tokens);
        return nullptr;
    case KW_RETURN:
        return parseReturn(std::move(tokens));
    case KW_FUNCTION:
    case KW_FUNCDEC:
        return parseFunctionKeyword(std::move(tokens), keyword);
    case KW_END:
        dropTerminator(tokens);
        if (depth_ != 1) throw SyntaxError("stray 'end' keyword");
        if (tokens.size() > 1) throw SyntaxError("continuation after 'end' is not allowed");
        --depth_;
        return nullptr;
    case KW_CONST:
    case KW_GLOBAL:
    case KW_PERSISTENT:
        parseDeclaration(tokens, keyword);
        return nullptr;
    case KW_USE:
        throw SyntaxError("'use' keyword must be at the beginning of a line");
    case KW_BREAK:
        dropTerminator(tokens);
        if (tokens.size() > 1)
            throw SyntaxError("extraneous characters or missing ; after break statement");
        return std::make_unique<BreakStm>(currentLine());
    case KW_CONTINUE:
        dropTerminator(tokens);
        if (tokens.size() > 1)
            throw SyntaxError("extraneous characters or missing ; after continue");
        return std::make_unique<ContinueStm>(currentLine());
    default:
        throw SyntaxError("incorrectly formed statement or expression");
    }
}

// The condition: from the second token up to the first ';', the given
// separator, or a block bracket. The separator is consumed; what follows is
// left as the current statement (the body), unless nothing but a display
// terminator is left.
EvaluatablePtr StatementParser::readCondition(TokenList& tokens, char separator) {
    size_t end = 1;
    while (end < tokens.size()) {
        const Token& t = tokens[end];
        if (isSeparator(t, ';') || isSeparator(t, separator)) break;
        if (t.kind == TK_BRACKET && (t.code == '}' || t.code == '{')) break;
        if (t.kind == TK_TERMINATOR) break;
        ++end;
    }
    if (end == 1) throw SyntaxError("incomplete statement");
    EvaluatablePtr condition = end == 2
                                   ? expressions_.parseOperand(tokens[1])
                                   : expressions_.parse(tokens.data() + 1, tokens.data() + end);
    size_t rest = end;
    if (rest < tokens.size() && tokens[rest].kind == TK_SEPARATOR) ++rest;
    current_.assign(std::make_move_iterator(tokens.begin() + long(rest)),
                    std::make_move_iterator(tokens.end()));
    if (current_.size() == 1 && current_[0].kind == TK_TERMINATOR) current_.clear();
    return condition;
}

StatementPtr StatementParser::parseConditional(TokenList tokens, int keyword) {
    int line = currentLine();
    EvaluatablePtr condition = readCondition(tokens, ':');
    if (condition->resultType() == DOUBLE_VAL) condition = makeDoubleToInt(std::move(condition));
    StatementPtr body = parseBody(true);
    if (keyword == KW_WHILE)
        return std::make_unique<WhileStm>(std::move(condition), line, std::move(body));

    const Token* next = nullptr;
    bool elseFollows =
        peekNextStatement(next) && next && next->kind == TK_NAME && next->text == "else";
    if (!elseFollows) {
        if (keyword == KW_IF)
            return std::make_unique<IfStm>(std::move(condition), line, std::move(body));
        return std::make_unique<UnlessStm>(std::move(condition), line, std::move(body));
    }
    if (keyword == KW_UNLESS) throw SyntaxError("'else' not allowed after unless");
    TokenList elseTokens;
    if (!current_.empty())
        elseTokens.swap(current_);
    else {
        elseTokens = std::move(queue_.front());
        queue_.pop_front();
    }
    size_t from = 1;
    if (from < elseTokens.size() && isSeparator(elseTokens[from], ':')) ++from;
    current_.assign(std::make_move_iterator(elseTokens.begin() + long(from)),
                    std::make_move_iterator(elseTokens.end()));
    if (current_.size() == 1 && current_[0].kind == TK_TERMINATOR) current_.clear();
    StatementPtr elseBody = parseBody(true);
    return std::make_unique<IfElseStm>(std::move(condition), line, std::move(body),
                                       std::move(elseBody));
}

StatementPtr StatementParser::parseFor(TokenList tokens) {
    int line = currentLine();
    if (tokens.size() < 4 || tokens[1].kind != TK_NAME)
        throw SyntaxError("incomplete 'for' statement");
    size_t at = 2;
    std::string counterName;
    std::string variableName = tokens[1].text;
    if (isSeparator(tokens[2], ',')) {
        if (tokens[3].kind != TK_NAME) throw SyntaxError("missing name after comma");
        counterName = variableName;
        variableName = tokens[3].text;
        at = 4;
    }
    bool assignForm = at < tokens.size() && tokens[at].kind == TK_ASSIGN && tokens[at].code == '=';
    bool inForm = at < tokens.size() && tokens[at].kind == TK_NAME && tokens[at].text == "in";
    if (assignForm && !counterName.empty())
        throw SyntaxError("in the 'for i,x' form you must use 'in' not '='");
    if (!assignForm && !inForm) throw SyntaxError("'for' expression missing = or 'in'");

    auto loopVariable = [this](const std::string& name) {
        NameInfo info = workspace_.classify(name);
        if (info.kind == NAME_CONSTANT)
            throw SyntaxError("you can't use a constant as a loop variable");
        if (info.kind == NAME_FUNCTION)
            throw SyntaxError("you can't use a function name as a loop variable");
        return info.kind == NAME_VARIABLE ? info.variable
                                          : workspace_.createVariable(name, DOUBLE_VAL);
    };
    Value* variable = loopVariable(variableName);
    if (assignForm) {
        // The range runs from after '=' to the first ';' (or a block bracket).
        TokenList range(std::make_move_iterator(tokens.begin() + long(at)),
                        std::make_move_iterator(tokens.end()));
        EvaluatablePtr rangeExpr = readCondition(range, ';');
        StatementPtr body = parseBody(true);
        return std::make_unique<ForStm>(std::move(rangeExpr), line, std::move(body), variable);
    }
    Value* counter = counterName.empty() ? nullptr : loopVariable(counterName);
    size_t name = at + 1;
    if (name >= tokens.size() || tokens[name].kind != TK_NAME)
        throw SyntaxError("after 'in' you must put a name");
    NameInfo collection = workspace_.classify(tokens[name].text);
    if (collection.kind != NAME_VARIABLE) throw SyntaxError("incorrect variable name after 'in'");
    size_t rest = name + 1;
    if (rest < tokens.size() && (isSeparator(tokens[rest], ':') || isSeparator(tokens[rest], ';')))
        ++rest;
    current_.assign(std::make_move_iterator(tokens.begin() + long(rest)),
                    std::make_move_iterator(tokens.end()));
    if (current_.size() == 1 && current_[0].kind == TK_TERMINATOR) current_.clear();
    StatementPtr body = parseBody(true);
    return std::make_unique<ForInStm>(line, std::move(body), counter, variable,
                                      collection.variable);
}

void StatementParser::parseClear(const TokenList& tokens) {
    if (depth_ != 0) throw SyntaxError("the 'clear' keyword can only be invoked at zero depth");
    size_t at = 1;
    int mode = 0;
    if (at < tokens.size() && tokens[at].kind == TK_BRACKET) {
        const TokenList& inside = tokens[at].children;
        bool single = tokens[at].code == ')' && inside.size() == 1 && inside[0].kind == TK_NAME;
        if (single && inside[0].text == "const")
            mode = 2;
        else if (single && inside[0].text == "const_")
            mode = 1;
        else
            throw SyntaxError("bracket not recognised after clear keyword");
        ++at;
    }
    for (; at < tokens.size(); ++at) {
        if (tokens[at].kind != TK_NAME) continue;
        const std::string& name = tokens[at].text;
        NameInfo info = workspace_.classify(name);
        if (info.kind == NAME_VARIABLE && workspace_.userFunctions().uses(info.variable))
            throw SyntaxError("variable in use, can't be cleared here:", name);
        switch (workspace_.clear(name, mode != 0)) {
        case CLEAR_DONE:
            break;
        case CLEAR_NO_SUCH_SYMBOL:
            if (mode == 0) out_.print("clear " + name + ": no such symbol", true, PRINT_LITERAL);
            break;
        case CLEAR_BUILTIN_FUNCTION:
            throw SyntaxError("attempt to clear built-in function", name);
        case CLEAR_CONSTANT:
            if (mode == 2) out_.print(name + kClearedConstantWarning, true, PRINT_LITERAL);
            break;
        default:
            throw SyntaxError("failed to clear", name);
        }
    }
}

// A list of names, or one name = expression whose value (a number, read
// while parsing: a declaration runs nothing) initialises it.
void StatementParser::parseDeclaration(const TokenList& tokens, int keyword) {
    TokenList items(tokens.begin() + 1, tokens.end());
    dropTerminator(items);
    bool initialised = items.size() >= 2 && items[0].kind == TK_NAME &&
                       items[1].kind == TK_ASSIGN && items[1].code == '=';
    if (keyword == KW_CONST || initialised) {
        double value = declaredNumber(items, keyword);
        declareName(items[0].text, keyword, &value);
        return;
    }
    for (size_t k = 0; k < items.size(); ++k) {
        const Token& t = items[k];
        if (k % 2 == 1) {
            if (isSeparator(t, ',') || t.kind == TK_BLANK) continue;
            throw SyntaxError(keyword == KW_GLOBAL ? "invalid global declaration"
                                                   : "invalid list of names");
        }
        if (t.kind != TK_NAME) throw SyntaxError("invalid list of names");
        declareName(t.text, keyword, nullptr);
    }
}

double StatementParser::declaredNumber(const TokenList& items, int keyword) {
    const char* message = keyword == KW_CONST    ? "invalid const expression"
                          : keyword == KW_GLOBAL ? "invalid global declaration"
                                                 : "invalid list of names";
    if (items.size() < 3 || items[0].kind != TK_NAME || items[1].kind != TK_ASSIGN ||
        items[1].code != '=')
        throw SyntaxError(message);
    EvaluatablePtr value = expressions_.parse(items.data() + 2, items.data() + items.size());
    int type = value->resultType();
    if (value->category() != CAT_NUMBER || (type != INTEGER_VAL && type != DOUBLE_VAL))
        throw SyntaxError(message);
    ValuePtr scratch = newValue(type);
    const Value* result = value->pValue(scratch.get());
    DoubleValue number(*result);
    if (number.n != 1) throw SyntaxError(message);
    return number.data()[0];
}

// A global's initial value applies only when the declaration creates it.
void StatementParser::declareName(const std::string& name, int keyword, const double* value) {
    std::string error;
    if (keyword == KW_CONST) {
        error = workspace_.declareConstant(name, *value);
    } else if (keyword == KW_PERSISTENT) {
        error = workspace_.declarePersistent(name, value ? *value : 0.0);
    } else {
        bool existed = workspace_.variables().count(name) != 0;
        error = workspace_.declareGlobal(name);
        if (error.empty() && value && !existed)
            workspace_.variables().at(name)->assignScalar(*value);
    }
    if (!error.empty()) throw SyntaxError(error);
}

} // namespace vemlor
