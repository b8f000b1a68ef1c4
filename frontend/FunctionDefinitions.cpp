// Function definitions: the ":=" and "::=" forms, `function ... end`,
// `funcdec`, and the bodies of functions declared from files, compiled after
// the input that needs them has been read.
#include "builtins/Registry.h"
#include "core/Errors.h"
#include "core/OutputSink.h"
#include "exec/AssignStatements.h"
#include "exec/DisplayStatements.h"
#include "exec/UserFuncTable.h"
#include "exec/Workspace.h"
#include "frontend/FunctionHeader.h"
#include "frontend/InputSource.h"
#include "frontend/Keywords.h"
#include "frontend/LineReader.h"
#include "frontend/StatementParser.h"

#include <algorithm>
#include <filesystem>

namespace vemlor {

namespace {

bool isDefine(const Token& t) {
    return t.kind == TK_DEFINE;
}

// The function being compiled, or null outside a body.
UserFunc* compilingFunction(Workspace& workspace) {
    return workspace.functionDepth() > 0 ? workspace.userFunctions().compiling() : nullptr;
}

// Keeps the workspace's function scope and the table's current entry in
// step with the body being compiled, whatever way the compiling ends.
class FunctionScopeGuard {
  public:
    FunctionScopeGuard(Workspace& workspace, UserFunc& function) : workspace_(workspace) {
        workspace.enterFunction(function.signature().parameterCount());
        workspace.userFunctions().setCompiling(&function);
    }
    ~FunctionScopeGuard() {
        if (open_) close();
    }
    FunctionLocals close() {
        open_ = false;
        workspace_.userFunctions().setCompiling(nullptr);
        return workspace_.leaveFunction();
    }

  private:
    Workspace& workspace_;
    bool open_ = true;
};

} // namespace

void StatementParser::checkFunctionName(const std::string& name) {
    NameInfo info = workspace_.classify(name);
    bool clash = info.kind == NAME_VARIABLE || info.kind == NAME_CONSTANT ||
                 (info.kind == NAME_FUNCTION && !workspace_.userFunctions().contains(name));
    if (clash)
        throw SyntaxError(
            "name clash with existing symbol. (Clear the symbol or use another name)");
}

UserFunc& StatementParser::declareFunction(FunctionSignature signature) {
    if (depth_ > 0 || workspace_.functionDepth() > 0)
        throw SyntaxError("nested function definition");
    checkFunctionName(signature.name);
    LexInput& input = reader_.input();
    DefinitionSource source;
    source.fileName = input.sourceName();
    source.line = input.lineNumber();
    source.blockCommentStart = input.blockCommentStart();
    source.interactive = input.isInteractive();
    source.text = reader_.text();
    return workspace_.userFunctions().declare(std::move(signature), std::move(source));
}

// name(parameters) := body, name := body, and the "::=" forms.
void StatementParser::parseShortDefinition(TokenList tokens) {
    auto define = std::find_if(tokens.begin(), tokens.end(), isDefine);
    bool vectorised = define->code == 'v';
    const Token* headerEnd = tokens.data() + (define - tokens.begin());
    FunctionSignature signature = readFunctionHeader(tokens.data(), headerEnd, false);
    if (vectorised) signature.flags |= FUNC_VECTORISED;
    TokenList body(std::make_move_iterator(define + 1), std::make_move_iterator(tokens.end()));
    while (!body.empty() && body.back().kind == TK_TERMINATOR)
        body.pop_back();
    UserFunc& function = declareFunction(std::move(signature));
    defineBody(function, vectorised ? 2 : 1, std::move(body));
}

// `function` and `funcdec` lines.
StatementPtr StatementParser::parseFunctionKeyword(TokenList tokens, int keyword) {
    while (!tokens.empty() && tokens.back().kind == TK_TERMINATOR)
        tokens.pop_back();
    if (std::any_of(tokens.begin(), tokens.end(), isDefine))
        throw SyntaxError("do not use ':=' with the keyword 'function'");
    const Token* begin = tokens.data() + 1;
    FunctionSignature signature = readFunctionHeader(begin, tokens.data() + tokens.size(), true);
    UserFunc& function = declareFunction(std::move(signature));
    if (keyword == KW_FUNCTION) defineBody(function, 3, {});
    return nullptr;
}

void StatementParser::defineBody(UserFunc& function, int form, TokenList body) {
    std::string name = function.name();
    try {
        compileBody(function, form, std::move(body));
    } catch (...) {
        workspace_.userFunctions().remove(name);
        out_.print("in function " + name, true, PRINT_LITERAL);
        throw;
    }
}

void StatementParser::compileBody(UserFunc& function, int form, TokenList body) {
    const FunctionSignature& signature = function.signature();
    FunctionScopeGuard scope(workspace_, function);
    for (int i = 0; i < signature.parameterCount(); ++i)
        workspace_.createVariable(signature.parameterNames[size_t(i)],
                                  signature.parameterTypes[size_t(i)]);
    StatementParser nested(reader_, workspace_, context_, out_, depth_ + 1);
    StatementPtr statement;
    Evaluatable* quickBody = nullptr;
    if (form == 3) {
        // Statements after the header on its line are the first of the body.
        nested.queue_ = std::move(queue_);
        queue_.clear();
        std::vector<StatementPtr> statements;
        while (StatementPtr s = nested.parseStatement())
            statements.push_back(std::move(s));
        takeLeftovers(nested);
        if (statements.size() == 1) statements[0] = inferReturn(std::move(statements[0]), function);
        // Always a block, so that an error in the body reports its line. An
        // indented body already is one; wrapping it again would report the
        // line of its `end` as well.
        if (statements.size() == 1 && dynamic_cast<BlockStm*>(statements[0].get()))
            statement = std::move(statements[0]);
        else if (!statements.empty())
            statement =
                std::make_unique<BlockStm>(std::move(statements), out_, currentLine(), debugHook());
    } else {
        if (body.empty()) throw SyntaxError("function def requires a right hand side");
        bool block = body[0].kind == TK_BRACKET && (body[0].code == '}' || body[0].code == '{');
        if (!block) body.insert(body.begin(), Token{"return", TK_NAME, ' ', {}});
        nested.current_ = std::move(body);
        statement = nested.parseStatement();
        takeLeftovers(nested);
        if (statement && !block) quickBody = statement->expression();
    }
    if (!statement) throw SyntaxError("empty function");
    function.define(std::move(statement), scope.close(), quickBody);
    if (workspace_.scalarForms()) function.compileScalarForms();
}

// A `function` body without an output and without `return value` that is a
// single expression returns that expression.
StatementPtr StatementParser::inferReturn(StatementPtr body, UserFunc& function) {
    if (!function.signature().outputNames.empty() || workspace_.findVariable("")) return body;
    auto* expression = dynamic_cast<EvalStm*>(body.get());
    if (!expression) return body;
    Value* output = workspace_.createVariable("", function.outputType());
    return std::make_unique<ReturnStm>(expression->releaseExpression(), body->line(), output);
}

StatementPtr StatementParser::parseReturn(TokenList tokens) {
    UserFunc* function = compilingFunction(workspace_);
    if (!function || depth_ == 0) throw SyntaxError("stray 'return' keyword");
    while (!tokens.empty() && tokens.back().kind == TK_TERMINATOR)
        tokens.pop_back();
    int line = currentLine();
    if (tokens.size() == 1) return std::make_unique<ReturnStm>(nullptr, line, nullptr);
    if (tokens[1].kind == TK_BINOP) throw SyntaxError("binary operator with no lhs");
    const Token* begin = tokens.data() + 1;
    const Token* end = tokens.data() + tokens.size();
    EvaluatablePtr value =
        end - begin == 1 ? expressions_.parseOperand(*begin) : expressions_.parse(begin, end);
    int outputType = function->outputType();
    int valueType = value->resultType();
    if (!widensTo(valueType, outputType) && valueType != LIST_ITEM_TYPE)
        throw SyntaxError(std::string("wrong return type. ") + std::string(typeName(outputType)) +
                          " was expected");
    const auto& names = function->signature().outputNames;
    std::string outputName = names.empty() ? std::string() : names[0];
    Value* output = workspace_.isLocal(workspace_.findVariable(outputName))
                        ? workspace_.findVariable(outputName)
                        : workspace_.createVariable(outputName, outputType);
    return std::make_unique<ReturnStm>(std::move(value), line, output);
}

// The type a new local takes: an output keeps its declared type.
int StatementParser::localTypeFor(const std::string& name, int valueType) const {
    UserFunc* function = compilingFunction(workspace_);
    if (!function) return valueType;
    const FunctionSignature& s = function->signature();
    for (size_t k = 0; k < s.outputNames.size(); ++k)
        if (s.outputNames[k] == name && widensTo(valueType, s.outputTypes[k]))
            return s.outputTypes[k];
    return valueType;
}

void StatementParser::compilePendingBodies() {
    UserFuncTable& table = workspace_.userFunctions();
    while (UserFunc* function = table.firstPending()) {
        const DefinitionSource& source = function->source();
        InputSource file(source.fileName);
        if (!file.isOpen()) {
            std::string name = function->name();
            table.remove(name);
            throw SyntaxError("could not open file for function", name);
        }
        file.skipToLine(source.line + 1);
        LineReader reader(file);
        StatementParser parser(reader, workspace_, context_, out_, depth_);
        parser.queue_ = statementsAfterHeader(source.text);
        try {
            parser.defineBody(*function, 3, {});
        } catch (...) {
            // The driver reports the input that needed the function; say
            // where in the file the body went wrong.
            std::string file = std::filesystem::path(source.fileName).filename().string();
            out_.print("at line " + std::to_string(reader.input().lineNumber()) + " of " + file,
                       true, PRINT_LITERAL);
            out_.print(reader.text(), true, PRINT_LITERAL);
            throw;
        }
    }
}

} // namespace vemlor
