#include "frontend/ExpressionParser.h"

#include "builtins/Registry.h"
#include "core/Errors.h"
#include "core/OperatorCodes.h"
#include "exec/ExpressionBuilder.h"
#include "exec/FuncElements.h"
#include "exec/FuncRefElement.h"
#include "exec/IndexElements.h"
#include "exec/ScalarCompiler.h"
#include "exec/UserFuncElements.h"
#include "exec/UserFuncTable.h"
#include "exec/Workspace.h"
#include "frontend/Keywords.h"
#include "frontend/ResourceFunctions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vemlor {

namespace {

const char* const kMisplacedOperator = "Incorrectly placed operator in bracket or expression";

bool isComparison(char code) {
    return code && std::strchr("<>LENGI", code);
}

// Operators outside the precedence table bind like level 0.
int levelOf(char code) {
    int value = opCodeOf(code);
    return value < 0 ? 0 : precedenceLevel(value);
}

// The end of the operand of a unary '-' or '~' starting at `from`: up to a
// prefix operator, a separator, a blank separator or a binary operator of
// level 2 or above (so -a*b negates a*b, -a+b only a).
const Token* unaryRunEnd(const Token* from, const Token* end) {
    for (const Token* t = from; t < end; ++t) {
        if (t->kind == TK_UNOP || t->kind == TK_SEPARATOR || t->kind == TK_BLANK) return t;
        if (t->kind == TK_BINOP && levelOf(t->code) >= 2) return t;
    }
    return end;
}

// The one-argument families whose argument may follow the name without
// brackets (`sin x`).
bool takesNoBracketArgument(Family family) {
    return family == Family::Elementwise || family == Family::Column ||
           family == Family::ValueToScalar || family == Family::ValueToValue;
}

bool isValueOperandKind(int kind) {
    return kind == TK_NAME || kind == TK_INT || kind == TK_REAL || kind == TK_STRING ||
           kind == TK_BRACKET || kind == TK_EMPTY_MATRIX;
}

void argumentRange(const BuiltinInfo& f, int& minArgs, int& maxArgs) {
    switch (f.entry.family) {
    case Family::NoArg:
        minArgs = 0, maxArgs = 0;
        break;
    case Family::OptionalArg:
        minArgs = 0, maxArgs = 1;
        break;
    case Family::OneOrTwoArgs:
        minArgs = 1, maxArgs = 2;
        break;
    case Family::Functor:
        minArgs = 2, maxArgs = 2;
        break;
    case Family::General:
        minArgs = f.minArgs, maxArgs = f.maxArgs;
        break;
    default:
        minArgs = 1, maxArgs = 1;
        break;
    }
}

EvaluatablePtr numberLiteral(const Token& t) {
    if (t.kind == TK_INT) {
        errno = 0;
        long long x = std::strtoll(t.text.c_str(), nullptr, 10);
        // Beyond the integer range a literal is a double, as written.
        if (errno == ERANGE || x > INT_MAX || x < INT_MIN)
            return makeDoubleConstant(std::strtod(t.text.c_str(), nullptr));
        return makeIntConstant(int(x));
    }
    double x = std::strtod(t.text.c_str(), nullptr);
    if (t.code == 'i') return makeComplexConstant(complexd(0, x));
    return makeDoubleConstant(x);
}

} // namespace

TokenList propertyCallTokens(const Token* begin, const Token* end) {
    Token arguments{"", TK_BRACKET, ')', {}};
    for (const Token* t = begin; t < end; ++t) {
        if (t != begin) arguments.children.push_back(Token{",", TK_SEPARATOR, ',', {}});
        arguments.children.push_back(Token{t->text, TK_STRING, '"', {}});
    }
    TokenList call;
    call.push_back(Token{"property", TK_NAME, '(', {}});
    call.push_back(std::move(arguments));
    return call;
}

EvaluatablePtr ExpressionParser::parse(const Token* begin, const Token* end) {
    ExpressionBuilder builder;
    bool comparison = false, lastWasOperator = false;
    int percents = 0, queries = 0, elses = 0;
    // Two operands with nothing between them multiply ("pi r^2").
    auto beforeOperand = [&builder] {
        if (!builder.empty() && builder.lastOperator() == 0) builder.setOperator('*');
    };
    auto writeOperator = [&](char code) {
        if (builder.empty() || lastWasOperator) throw SyntaxError(kMisplacedOperator);
        builder.setOperator(code);
        lastWasOperator = true;
    };
    for (const Token* t = begin; t < end;) {
        switch (t->kind) {
        case TK_INT:
        case TK_REAL:
        case TK_STRING:
        case TK_BRACKET:
        case TK_EMPTY_MATRIX:
            beforeOperand();
            builder.append(parseOperand(*t));
            ++t;
            lastWasOperator = false;
            break;
        case TK_BINOP:
            if (isComparison(t->code)) comparison = true;
            if (t->code == '%' || t->code == 'V') ++percents;
            if (t->code == '?') ++queries;
            writeOperator(t->code);
            ++t;
            break;
        case TK_UNOP:
            if (t->code == '!' || t->code == '\'' || t->code == '"') {
                if (builder.empty() || lastWasOperator) throw SyntaxError(kMisplacedOperator);
                builder.applyUnary(t->code);
                ++t;
                break;
            }
            beforeOperand();
            if (t->code == '-' || t->code == '~')
                t = parseUnary(t, end, builder);
            else if (t->code == 'i' || t->code == 'd')
                t = parseIncrement(t, end, builder);
            else if (t->code == '^')
                throw SyntaxError("misplaced '^' operator");
            else if (t->code == 'g') {
                TokenList call = propertyCallTokens(t + 1, end);
                parseName(call.data(), call.data() + call.size(), builder);
                t = end;
            } else
                throw SyntaxError("incorrectly formed statement or expression");
            lastWasOperator = false;
            break;
        case TK_SEPARATOR:
            if (t->code == 'W') {
                ++elses;
                if (queries == 0) throw SyntaxError("illegal :: without '?' operator");
            }
            writeOperator(t->code);
            ++t;
            break;
        case TK_BLANK:
            writeOperator(',');
            ++t;
            break;
        case TK_NAME:
            beforeOperand();
            t = parseName(t, end, builder);
            lastWasOperator = false;
            break;
        case TK_BRACKET_DOT:
            beforeOperand();
            t = parseBracketDot(t, end, builder);
            lastWasOperator = false;
            break;
        case TK_BACKSLASH:
            beforeOperand();
            t = parseBackslash(t, end, builder);
            lastWasOperator = false;
            break;
        default:
            throw SyntaxError("incorrectly formed statement or expression");
        }
    }
    if (builder.empty()) throw SyntaxError("empty expression");
    if (lastWasOperator) throw SyntaxError("dangling operator");
    if (queries || elses) {
        if (queries > 1 || elses > 1) throw SyntaxError("multiple '?' or '::' operators");
        if (elses == 0) throw SyntaxError("missing :: after '?' operator");
    }
    if (!comparison && percents) builder.percentStep();
    return builder.finish();
}

EvaluatablePtr ExpressionParser::parseOperand(const Token& t) {
    switch (t.kind) {
    case TK_INT:
    case TK_REAL:
        return numberLiteral(t);
    case TK_STRING:
        return makeStringLiteral(t.text);
    case TK_EMPTY_MATRIX:
        return makeEmptySet();
    case TK_SEPARATOR:
        if (t.code == ':') return makeOpenSequence();
        break;
    case TK_BRACKET:
        if (t.code == ')' || t.code == ']') return parseBracketContents(t);
        break;
    case TK_NAME: {
        ExpressionBuilder single;
        const Token* end = parseName(&t, &t + 1, single);
        (void)end;
        return single.finish();
    }
    default:
        break;
    }
    throw SyntaxError("incorrect use of operator or similar");
}

EvaluatablePtr ExpressionParser::parseBracketContents(const Token& bracket) {
    if (bracket.children.empty()) throw SyntaxError("an empty expression is not allowed");
    return parse(bracket.children.data(), bracket.children.data() + bracket.children.size());
}

ExpressionParser::Cursor ExpressionParser::parseUnary(Cursor at, Cursor end,
                                                      ExpressionBuilder& builder) {
    char op = at->code;
    Cursor from = at + 1;
    Cursor runEnd = unaryRunEnd(from, end);
    if (runEnd == from) throw SyntaxError("illegal use of unary operator");
    if (op == '-' && runEnd == from + 1 && (from->kind == TK_INT || from->kind == TK_REAL)) {
        EvaluatablePtr literal = numberLiteral(*from);
        negateConstant(*literal);
        builder.append(std::move(literal));
    } else {
        builder.append(parse(from, runEnd));
        builder.applyUnary(op);
    }
    return runEnd;
}

ExpressionParser::Cursor ExpressionParser::parseIncrement(Cursor at, Cursor end,
                                                          ExpressionBuilder& builder) {
    Cursor name = at + 1;
    NameInfo info;
    if (name < end && name->kind == TK_NAME) info = workspace_.classify(name->text);
    if (info.kind != NAME_VARIABLE) throw SyntaxError("item cannot be incremented/decremented");
    int type = info.variable->type();
    if (type != INTEGER_VAL && type != DOUBLE_VAL)
        throw SyntaxError("variable has wrong type for increment or decement");
    builder.append(makeIncDec(info.variable, at->code));
    return name + 1;
}

ExpressionParser::Cursor ExpressionParser::parseName(Cursor at, Cursor end,
                                                     ExpressionBuilder& builder) {
    const std::string& name = at->text;
    NameInfo info = workspace_.classify(name);
    switch (info.kind) {
    case NAME_CONSTANT:
        builder.append(makeDoubleConstant(info.constant));
        return at + 1;
    case NAME_VARIABLE:
        return parseVariable(at, end, info.variable, builder);
    case NAME_FUNCTION:
        if (UserFunc* function = workspace_.userFunctions().find(name))
            return parseUserCall(*function, at, end, builder);
        return parseCall(*Registry::instance().find(name), at, end, builder);
    default:
        if (UserFunc* function = loadResourceFunction(workspace_, name))
            return parseUserCall(*function, at, end, builder);
        throw SyntaxError(keywordOf(name) ? "misplaced keyword" : "unrecognised name",
                          "'" + name + "'");
    }
}

ExpressionParser::Cursor ExpressionParser::parseVariable(Cursor at, Cursor end, Value* variable,
                                                         ExpressionBuilder& builder) {
    Cursor next = at + 1;
    if (next < end) {
        bool squareIndex = at->code == '[' && next->kind == TK_BRACKET && next->code == ']';
        bool colonIndex = at->code == '\\' && next->kind == TK_BACKSLASH && next->text.empty() &&
                          (next->code == 1 || next->code == 2);
        if (squareIndex || colonIndex) {
            IndexList index = parseIndex(variable, *next);
            builder.append(makeIndexedRead(variable, std::move(index.indices), index.colonMode));
            return next + 1;
        }
        if (next->kind == TK_BINOP && next->code == '.' && variable->type() == LIST_VAL)
            return parseListItem(next, end, variable, builder);
        if (next->kind == TK_BACKSLASH) {
            if (Registry::instance().find(next->text))
                throw SyntaxError("'var\\func' is not allowed (insert a space or use a bracket).");
            throw SyntaxError("incorrect use of backslash");
        }
    }
    builder.append(makeVariable(variable));
    return next;
}

ExpressionParser::Cursor ExpressionParser::parseListItem(Cursor dot, Cursor end, Value* list,
                                                         ExpressionBuilder& builder) {
    Cursor item = dot + 1;
    if (item >= end) throw SyntaxError("expression ends with a dot or backslash");
    EvaluatablePtr index;
    if (item->kind == TK_INT) {
        index = numberLiteral(*item);
    } else if (item->kind == TK_BRACKET && item->code == ')') {
        index = makeDoubleToInt(parseBracketContents(*item));
    } else if (item->kind == TK_NAME) {
        // A name after the dot stands for its value as the item number.
        index = makeDoubleToInt(parseOperand(*item));
    } else {
        throw SyntaxError("the dot must be followed by an integer or a name or a bracket");
    }
    builder.append(makeListItemRead(list, std::move(index)));
    return item + 1;
}

ExpressionParser::IndexList ExpressionParser::parseIndex(Value* variable, const Token& bracket) {
    IndexList result;
    result.colonMode = bracket.kind == TK_BACKSLASH ? bracket.code : 0;
    const TokenList& children = bracket.children;
    std::vector<std::pair<const Token*, const Token*>> items;
    const Token* itemStart = children.data();
    const Token* childrenEnd = children.data() + children.size();
    for (const Token* t = itemStart; t <= childrenEnd; ++t) {
        if (t == childrenEnd || (t->kind == TK_SEPARATOR && t->code == ',')) {
            if (t == itemStart) throw SyntaxError("stray comma or empty argument");
            items.emplace_back(itemStart, t);
            itemStart = t + 1;
        }
    }
    if (children.empty() || items.empty()) throw SyntaxError("empty index list");
    if (items.size() > 2) throw SyntaxError("too many indices");
    for (size_t k = 0; k < items.size(); ++k) {
        int dimension = items.size() == 2 ? int(k) : -1;
        if (result.colonMode == 1) dimension = 0;
        if (result.colonMode == 2) dimension = 1;
        endContext_.push_back({variable, dimension});
        EvaluatablePtr index;
        try {
            index = parseItem(items[k].first, items[k].second);
        } catch (...) {
            endContext_.pop_back();
            throw;
        }
        endContext_.pop_back();
        int type = index->resultType();
        bool singleSequence = items.size() == 1 && index->category() == CAT_SEQUENCE;
        if (type == DOUBLE_VAL && !singleSequence)
            index = makeDoubleToInt(std::move(index));
        else if (type != INTEGER_VAL && type != DOUBLE_VAL)
            throw SyntaxError("invalid type of index");
        result.indices.push_back(std::move(index));
    }
    return result;
}

EvaluatablePtr ExpressionParser::parseItem(const Token* begin, const Token* end) {
    if (end - begin == 1) return parseOperand(*begin);
    return parse(begin, end);
}

ExpressionParser::Cursor ExpressionParser::parseCall(const BuiltinInfo& function, Cursor at,
                                                     Cursor end, ExpressionBuilder& builder) {
    Family family = function.entry.family;
    if (function.name == "end") {
        if (endContext_.empty()) throw SyntaxError("stray 'end' keyword");
        builder.append(makeEndIndex(endContext_.back().variable, endContext_.back().dimension));
        return at + 1;
    }
    // f^n(x): the call f(x) raised to the power n.
    if (at->code == '^' && family != Family::NoArg) {
        Cursor power = at + 1, exponent = at + 2, bracket = at + 3;
        if (bracket >= end || bracket->kind != TK_BRACKET || bracket->code != ')' ||
            power->kind != TK_BINOP)
            throw SyntaxError("function with ^ requires an argument in a bracket");
        builder.append(callWithBracket(function, bracket));
        builder.setOperator('^');
        builder.append(parseOperand(*exponent));
        return bracket + 1;
    }
    if (takesNoBracketArgument(family)) {
        Cursor argument = at + 1;
        if (argument < end && argument->kind == TK_BLANK) ++argument;
        if (argument >= end) throw SyntaxError("function requires a parameter");
        if (!isValueOperandKind(argument->kind)) throw SyntaxError("argument requires a bracket");
        std::vector<EvaluatablePtr> arguments;
        arguments.push_back(parseOperand(*argument));
        builder.append(makeBuiltinCall(function, std::move(arguments), context_));
        return argument + 1;
    }
    Cursor next = at + 1;
    if (at->code == '(' && next < end && next->kind == TK_BRACKET && next->code == ')') {
        builder.append(callWithBracket(function, next));
        return next + 1;
    }
    builder.append(callWithoutArguments(function));
    return next;
}

EvaluatablePtr ExpressionParser::callWithBracket(const BuiltinInfo& function,
                                                 const Token* bracket) {
    // `ode` and `odetest` take their function after the initial state.
    bool referenceLater = function.name == "ode" || function.name == "odetest";
    std::vector<EvaluatablePtr> arguments = parseArguments(*bracket, !referenceLater);
    int minArgs, maxArgs;
    argumentRange(function, minArgs, maxArgs);
    Registry::checkArity(function.name, minArgs, maxArgs, int(arguments.size()));
    return makeBuiltinCall(function, std::move(arguments), context_);
}

EvaluatablePtr ExpressionParser::callWithoutArguments(const BuiltinInfo& function) {
    int minArgs, maxArgs;
    argumentRange(function, minArgs, maxArgs);
    if (minArgs > 0) throw SyntaxError("function requires a parameter");
    return makeBuiltinCall(function, {}, context_);
}

ExpressionParser::Cursor ExpressionParser::parseUserCall(UserFunc& function, Cursor at, Cursor end,
                                                         ExpressionBuilder& builder) {
    Cursor next = at + 1;
    bool bracket = at->code == '(' && next < end && next->kind == TK_BRACKET && next->code == ')';
    builder.append(userCall(function, bracket ? &*next : nullptr));
    return bracket ? next + 1 : next;
}

EvaluatablePtr ExpressionParser::userCall(UserFunc& function, const Token* bracket) {
    std::vector<EvaluatablePtr> arguments;
    if (bracket) arguments = parseArguments(*bracket);
    const FunctionSignature& s = function.signature();
    if (!bracket && s.minimumArguments() > 0) throw SyntaxError("function requires a parameter");
    Registry::checkArity(function.name(), s.minimumArguments(), s.parameterCount(),
                         int(arguments.size()));
    if (function.isQuick() && s.quickEligible())
        return std::make_unique<QuickUserFuncElement>(function, std::move(arguments),
                                                      (s.flags & FUNC_VECTORISED) != 0);
    return std::make_unique<UserFuncElement>(function, std::move(arguments));
}

// The first argument written as (expr; x, ...): an anonymous function of x.
// While expr is read, x names a fresh double value that the function owns.
EvaluatablePtr ExpressionParser::parseAnonymousFunction(const Token* begin, const Token* semicolon,
                                                        const Token* end) {
    const Token* name = semicolon + 1;
    if (name >= end || name->kind != TK_NAME)
        throw SyntaxError("missing x in '(func(x); x, ...)' form");
    if (name + 1 != end) throw SyntaxError("missing comma in '(func(x); x, ...)' form");
    if (begin == semicolon) throw SyntaxError("invalid item");
    NameInfo info = workspace_.classify(name->text);
    if (info.kind == NAME_CONSTANT)
        throw SyntaxError("don't use a constant as the parameter name here");
    bool rebound = info.kind == NAME_VARIABLE;
    ValuePtr parameter = std::make_unique<DoubleValue>();
    ValuePtr previous = rebound ? workspace_.rebind(name->text, std::move(parameter))
                                : workspace_.bind(name->text, std::move(parameter));
    auto restore = [&] {
        return rebound ? workspace_.rebind(name->text, std::move(previous))
                       : workspace_.unbind(name->text);
    };
    EvaluatablePtr body;
    try {
        body = parseItem(begin, semicolon);
    } catch (...) {
        restore();
        throw;
    }
    parameter = restore();
    Evaluatable& expression = *body;
    auto function =
        std::make_unique<QuickUserFuncElement>(std::move(body), std::move(parameter), context_);
    if (workspace_.scalarForms()) function->setScalarCode(compileScalarExpression(expression));
    return function;
}

// A single name that stands for a function rather than its value.
bool ExpressionParser::isFunctionReference(const Token& item) const {
    if (item.kind != TK_NAME) return false;
    if (workspace_.classify(item.text).kind != NAME_FUNCTION) return false;
    if (UserFunc* user = workspace_.userFunctions().find(item.text))
        return user->signature().minimumArguments() > 0;
    const BuiltinInfo* f = Registry::instance().find(item.text);
    return f && f->entry.family != Family::NoArg && f->entry.family != Family::OptionalArg;
}

std::vector<EvaluatablePtr> ExpressionParser::parseArguments(const Token& bracket,
                                                             bool referencesFirst) {
    std::vector<EvaluatablePtr> arguments;
    const Token* begin = bracket.children.data();
    const Token* end = begin + bracket.children.size();
    bool referencesDone = false;
    const Token* itemStart = begin;
    for (const Token* t = begin; t <= end && begin != end; ++t) {
        if (t != end && !(t->kind == TK_SEPARATOR && t->code == ',')) continue;
        if (t == itemStart) throw SyntaxError("stray comma or empty argument");
        const Token* semicolon = nullptr;
        for (const Token* s = itemStart; s < t && !semicolon; ++s)
            if (s->kind == TK_SEPARATOR && s->code == ';') semicolon = s;
        if (semicolon) {
            if (!arguments.empty())
                throw SyntaxError("'(expr; ...)' syntax can only be used for the first argument");
            arguments.push_back(parseAnonymousFunction(itemStart, semicolon, t));
            itemStart = t + 1;
            continue;
        }
        bool reference = t - itemStart == 1 && isFunctionReference(*itemStart);
        if (reference) {
            if (referencesDone && referencesFirst)
                throw SyntaxError("function reference(s) must be the first argument(s)");
            arguments.push_back(std::make_unique<FuncRefElement>(itemStart->text));
        } else {
            referencesDone = true;
            arguments.push_back(parseItem(itemStart, t));
        }
        itemStart = t + 1;
    }
    return arguments;
}

ExpressionParser::Cursor ExpressionParser::parseBracketDot(Cursor at, Cursor end,
                                                           ExpressionBuilder& builder) {
    // (expr).name is name(expr).
    Cursor dot = at + 1, name = at + 2;
    if (name >= end || dot->kind != TK_BINOP || dot->code != '.' || name->kind != TK_NAME)
        throw SyntaxError("invalid ().func syntax");
    if (workspace_.classify(name->text).kind != NAME_FUNCTION)
        throw SyntaxError(name->text + " is not a function");
    if (UserFunc* user = workspace_.userFunctions().find(name->text)) {
        Token bracket = *at;
        bracket.kind = TK_BRACKET;
        builder.append(userCall(*user, &bracket));
        return name + 1;
    }
    const BuiltinInfo& function = *Registry::instance().find(name->text);
    Token bracket = *at;
    bracket.kind = TK_BRACKET;
    if (takesNoBracketArgument(function.entry.family)) {
        std::vector<EvaluatablePtr> arguments;
        arguments.push_back(parseBracketContents(bracket));
        builder.append(makeBuiltinCall(function, std::move(arguments), context_));
    } else {
        builder.append(callWithBracket(function, &bracket));
    }
    return name + 1;
}

ExpressionParser::Cursor ExpressionParser::parseBackslash(Cursor at, Cursor end,
                                                          ExpressionBuilder& builder) {
    if (at->text.empty()) throw SyntaxError("stray backslash");
    const BuiltinInfo* function = Registry::instance().find(at->text);
    if (!function) throw SyntaxError("after backslash: no such built-in function");
    // The reference token carries the name; what follows is read as after the name.
    Token name{at->text, TK_NAME, ' ', {}};
    Cursor next = at + 1;
    if (next < end && next->kind == TK_BRACKET && next->code == ')') name.code = '(';
    std::vector<Token> tokens{name};
    tokens.insert(tokens.end(), next, end);
    const Token* base = tokens.data();
    Cursor stop = parseCall(*function, base, base + tokens.size(), builder);
    return next + (stop - base - 1);
}

} // namespace vemlor
