// The expression parser: token ranges in, expression trees out.
//
// It decides what each token means as an operand (literal, constant, variable,
// call, index, reference), applies prefix and postfix operators, reads
// argument and index lists, and checks the shape of the operator sequence;
// the builder arranges the result by precedence. Names are resolved against
// the workspace and the registry while parsing, so a tree points straight at
// variables and handlers. Constants are copied in at parse time.
#pragma once

#include "exec/Evaluatable.h"
#include "frontend/Token.h"

#include <vector>

namespace vemlor {

class BuiltinContext;
class ExpressionBuilder;
class UserFunc;
class Workspace;
struct BuiltinInfo;

// The call `property("a", "b")` that "<< a b" stands for: every token after
// the operator becomes one text argument (a string's text, or the spelling
// of a name or number).
TokenList propertyCallTokens(const Token* begin, const Token* end);

class ExpressionParser {
  public:
    ExpressionParser(Workspace& workspace, BuiltinContext& context)
        : workspace_(workspace), context_(context) {}

    // The tokens [begin, end) as one expression.
    EvaluatablePtr parse(const Token* begin, const Token* end);
    EvaluatablePtr parse(const TokenList& tokens) {
        return parse(tokens.data(), tokens.data() + tokens.size());
    }
    // One token as an operand.
    EvaluatablePtr parseOperand(const Token& token);

    struct IndexList {
        std::vector<EvaluatablePtr> indices;
        int colonMode = 0;
    };
    // The index bracket of `variable` (a "[ ]" bracket or a colon-index bracket).
    IndexList parseIndex(Value* variable, const Token& bracket);

  private:
    using Cursor = const Token*;

    Cursor parseUnary(Cursor at, Cursor end, ExpressionBuilder& builder);
    Cursor parseIncrement(Cursor at, Cursor end, ExpressionBuilder& builder);
    Cursor parseName(Cursor at, Cursor end, ExpressionBuilder& builder);
    Cursor parseVariable(Cursor at, Cursor end, Value* variable, ExpressionBuilder& builder);
    Cursor parseListItem(Cursor dot, Cursor end, Value* list, ExpressionBuilder& builder);
    Cursor parseCall(const BuiltinInfo& function, Cursor at, Cursor end,
                     ExpressionBuilder& builder);
    Cursor parseBracketDot(Cursor at, Cursor end, ExpressionBuilder& builder);
    Cursor parseBackslash(Cursor at, Cursor end, ExpressionBuilder& builder);
    Cursor parseUserCall(UserFunc& function, Cursor at, Cursor end, ExpressionBuilder& builder);
    EvaluatablePtr userCall(UserFunc& function, const Token* bracket);
    EvaluatablePtr parseAnonymousFunction(const Token* begin, const Token* semicolon,
                                          const Token* end);
    bool isFunctionReference(const Token& item) const;
    EvaluatablePtr callWithBracket(const BuiltinInfo& function, const Token* bracket);
    EvaluatablePtr callWithoutArguments(const BuiltinInfo& function);
    // Function references must lead the list unless referencesFirst is false.
    std::vector<EvaluatablePtr> parseArguments(const Token& bracket, bool referencesFirst = true);
    EvaluatablePtr parseItem(const Token* begin, const Token* end);
    EvaluatablePtr parseBracketContents(const Token& bracket);

    struct EndContext {
        const Value* variable;
        int dimension;
    };

    Workspace& workspace_;
    BuiltinContext& context_;
    // The variables whose index lists are being read, innermost last: `end`
    // means the size of the top one along its dimension.
    std::vector<EndContext> endContext_;
};

} // namespace vemlor
