// The statement parser: pulls logical lines through the line reader, takes
// the statements the splitter queued one at a time and turns each into a
// Statement of the most specific class for what it can see: keyword
// statements, assignments (the class follows the target's and the right
// side's types), blocks and expressions. A statement carrying a display
// terminator is wrapped so that its result is shown.
//
// Statements refer straight to variables, so an assignment to a new name
// creates the variable while parsing.
#pragma once

#include "exec/Statement.h"
#include "exec/UserFunc.h"
#include "frontend/ExpressionParser.h"
#include "frontend/Token.h"

#include <deque>
#include <string>

namespace vemlor {

class BuiltinContext;
class LineReader;
class OutputSink;
class Workspace;

class StatementParser {
  public:
    StatementParser(LineReader& reader, Workspace& workspace, BuiltinContext& context,
                    OutputSink& out, int depth = 0);

    // The next statement, or none at the end of the input or of a block.
    // With throwAtEnd, running out of input raises the end-of-input code.
    StatementPtr parseStatement(bool throwAtEnd = false);
    // Statements until none is returned: one as it is, several in a BlockStm.
    StatementPtr parseBlock();
    // Forgets queued statements and the per-input counters.
    void resetForInput();

    ExpressionParser& expressions() { return expressions_; }
    // Compiles the bodies of functions declared from files (run by the
    // driver after each input has been read).
    void compilePendingBodies();

  private:
    bool nextStatement(bool throwAtEnd, TokenList& statement);
    bool peekNextStatement(const Token*& first);
    StatementPtr parseTokens(TokenList tokens, bool throwAtEnd);
    StatementPtr parseExpressionStatement(TokenList tokens);
    StatementPtr parseBracketBlock(const Token& bracket);
    StatementPtr parseBody(bool throwAtEnd);
    StatementPtr wrapForDisplay(StatementPtr statement, char terminator, Value* variable,
                                const std::string& name);
    int currentLine() const;
    // The debugger's hook for statements read here and now (null when
    // nobody debugs).
    DebugHook* debugHook() const;

    // Assignments (StatementAssignments.cpp).
    StatementPtr parseAssignment(TokenList tokens);
    StatementPtr parseMultipleAssignment(TokenList tokens);
    Value* prepareTarget(const std::string& name, Evaluatable& rhs, bool indexed);
    StatementPtr plainAssignment(Value* target, char op, EvaluatablePtr rhs, int line);
    StatementPtr indexedAssignment(Value* target, char op, EvaluatablePtr rhs,
                                   ExpressionParser::IndexList index, int line);

    // Keyword statements and declarations (StatementKeywords.cpp).
    StatementPtr parseKeyword(TokenList tokens, int keyword, bool throwAtEnd);
    StatementPtr parseConditional(TokenList tokens, int keyword);
    StatementPtr parseFor(TokenList tokens);
    void parseClear(const TokenList& tokens);
    void parseDeclaration(const TokenList& tokens, int keyword);
    double declaredNumber(const TokenList& items, int keyword);
    void declareName(const std::string& name, int keyword, const double* value);
    EvaluatablePtr readCondition(TokenList& tokens, char separator);

    // Function definitions (FunctionDefinitions.cpp).
    void parseShortDefinition(TokenList tokens);
    StatementPtr parseFunctionKeyword(TokenList tokens, int keyword);
    StatementPtr parseReturn(TokenList tokens);
    void checkFunctionName(const std::string& name);
    UserFunc& declareFunction(FunctionSignature signature);
    void defineBody(UserFunc& function, int form, TokenList body);
    void compileBody(UserFunc& function, int form, TokenList body);
    StatementPtr inferReturn(StatementPtr body, UserFunc& function);
    int localTypeFor(const std::string& name, int valueType) const;
    void takeLeftovers(StatementParser& nested);

    LineReader& reader_;
    Workspace& workspace_;
    BuiltinContext& context_;
    OutputSink& out_;
    ExpressionParser expressions_;
    std::deque<TokenList> queue_;
    TokenList current_; // what is left of the statement being read
    int depth_;
    bool closedBlock_ = false; // a "{ }" block read from its bracket alone
};

} // namespace vemlor
