// Assignments: the target, the right side, the type rules and the class
// that fits them.
#include "builtins/Registry.h"
#include "core/Errors.h"
#include "exec/AssignStatements.h"
#include "exec/ExpressionBuilder.h"
#include "exec/IndexedAssignStatements.h"
#include "exec/UserFuncElements.h"
#include "exec/UserFuncTable.h"

#include "exec/Workspace.h"
#include "frontend/StatementParser.h"
#include <algorithm>

#include <cstring>

namespace vemlor {

namespace {

bool isGrowOperator(char op) {
    return op == 'C' || op == 'S';
}

bool isSequenceIndex(const Evaluatable& index) {
    return index.category() == CAT_SEQUENCE;
}

int selectModeOf(int colonMode) {
    return colonMode == 1 ? SELECT_ROW : colonMode == 2 ? SELECT_COLUMN : SELECT_AUTO;
}

// Whether a variable of type `target` must be re-created to take a value of
// type `value` (unknown types never force it).
bool needsNewType(int target, int value) {
    if (value == target || value > LIST_VAL) return false;
    if (target == LIST_VAL) return false; // lists take anything by '=', ',=' and ';='
    if (target == COMPLEX_VAL) return value == LIST_VAL;
    return target < value;
}

} // namespace

StatementPtr StatementParser::parseAssignment(TokenList tokens) {
    const std::string name = tokens[0].text;
    NameInfo info = workspace_.classify(name);
    if (info.kind == NAME_CONSTANT) throw SyntaxError("you can't assign to a constant");
    if (info.kind == NAME_FUNCTION && tokens[1].kind == TK_ASSIGN)
        throw SyntaxError("you can't assign to a function call");

    // The left side: the name and an optional index or list item.
    size_t assignAt = 1;
    const Token* indexBracket = nullptr;
    const Token* itemToken = nullptr;
    if (tokens[1].kind == TK_BRACKET || tokens[1].kind == TK_BACKSLASH) {
        indexBracket = &tokens[1];
        assignAt = 2;
    } else if (tokens[1].kind == TK_BINOP && tokens[1].code == '.') {
        itemToken = &tokens[2];
        assignAt = 3;
    }
    bool indexed = indexBracket || itemToken;
    if (indexed && info.kind != NAME_VARIABLE)
        throw SyntaxError("Indexing an undeclared variable on the lhs");
    char op = tokens[assignAt].code;

    char terminator = 0;
    Token terminatorToken;
    if (tokens.back().kind == TK_TERMINATOR) {
        terminator = tokens.back().code;
        terminatorToken = std::move(tokens.back());
        tokens.pop_back();
    }
    const Token* rhsBegin = tokens.data() + assignAt + 1;
    const Token* rhsEnd = tokens.data() + tokens.size();
    if (op == 'g') {
        if (rhsEnd - rhsBegin < 2) throw SyntaxError("illegal operator with assignment");
        // x << a b is x = property("a", "b").
        TokenList rewritten(tokens.begin(), tokens.begin() + long(assignAt));
        rewritten.push_back(Token{"=", TK_ASSIGN, '=', {}});
        for (Token& call : propertyCallTokens(rhsBegin, rhsEnd))
            rewritten.push_back(std::move(call));
        if (terminatorToken.kind == TK_TERMINATOR) rewritten.push_back(std::move(terminatorToken));
        return parseAssignment(std::move(rewritten));
    }
    if (rhsBegin == rhsEnd) throw SyntaxError("missing rhs");
    int line = currentLine();

    bool erasure = op == '=' && rhsEnd - rhsBegin == 1 && rhsBegin->kind == TK_EMPTY_MATRIX;
    if (erasure) {
        Value* target = info.kind == NAME_VARIABLE ? info.variable
                                                   : workspace_.createVariable(name, DOUBLE_VAL);
        EvaluatablePtr index;
        int dimension = -1;
        if (indexBracket) {
            ExpressionParser::IndexList list = expressions_.parseIndex(target, *indexBracket);
            if (list.indices.size() > 1) throw SyntaxError("invalid erasure (more than one index)");
            index = std::move(list.indices[0]);
            dimension = list.colonMode == 1 ? 1 : list.colonMode == 2 ? 2 : -1;
        } else if (itemToken) {
            index = expressions_.parseOperand(*itemToken);
        }
        StatementPtr statement =
            std::make_unique<ErasureStm>(std::move(index), line, target, dimension);
        return wrapForDisplay(std::move(statement), terminator, target, name);
    }

    EvaluatablePtr rhs = rhsEnd - rhsBegin == 1 ? expressions_.parseOperand(*rhsBegin)
                                                : expressions_.parse(rhsBegin, rhsEnd);
    Value* target = prepareTarget(name, *rhs, indexed);
    StatementPtr statement;
    if (indexBracket) {
        ExpressionParser::IndexList list = expressions_.parseIndex(target, *indexBracket);
        statement = indexedAssignment(target, op, std::move(rhs), std::move(list), line);
    } else if (itemToken) {
        ExpressionParser::IndexList list;
        list.indices.push_back(expressions_.parseOperand(*itemToken));
        statement = indexedAssignment(target, op, std::move(rhs), std::move(list), line);
    } else {
        statement = plainAssignment(target, op, std::move(rhs), line);
    }
    return wrapForDisplay(std::move(statement), terminator, target, name);
}

// The variable an assignment writes: created with the right side's type when
// new; re-created when its type cannot take the right side.
Value* StatementParser::prepareTarget(const std::string& name, Evaluatable& rhs, bool indexed) {
    int valueType = localTypeFor(name, rhs.resultType());
    NameInfo info = workspace_.classify(name);
    if (info.kind != NAME_VARIABLE) return workspace_.createVariable(name, valueType);
    Value* variable = info.variable;
    // A function writes its own locals; only a `global` declaration lets it
    // write a global variable.
    bool globalSeenFromBody =
        workspace_.functionDepth() > 0 && !info.throughGlobal && !workspace_.isLocal(variable);
    if (globalSeenFromBody && !indexed) return workspace_.createVariable(name, valueType);
    if (indexed || !needsNewType(variable->type(), valueType)) return variable;
    if (depth_ > 0 || rhs.refersTo(variable)) throw SyntaxError("incompatible types in assignment");
    if (workspace_.userFunctions().uses(variable))
        throw SyntaxError("variable in use, its base-type can't be changed here: " + name);
    return workspace_.createVariable(name, valueType);
}

StatementPtr StatementParser::plainAssignment(Value* target, char op, EvaluatablePtr rhs,
                                              int line) {
    int targetType = target->type();
    int valueType = rhs->resultType();
    if (op == '=') {
        if (targetType == COMPLEX_VAL)
            return std::make_unique<ComplexAssignStm>(std::move(rhs), line, target);
        if (targetType == LIST_VAL)
            return std::make_unique<ListAssignStm>(std::move(rhs), line, target);
        if (valueType != DOUBLE_VAL && valueType != INTEGER_VAL)
            return std::make_unique<CheckedAssignStm>(std::move(rhs), line, target);
        return std::make_unique<AssignStm>(std::move(rhs), line, target);
    }
    if (isGrowOperator(op)) {
        if (targetType == DOUBLE_VAL)
            return std::make_unique<GrowAssignDStm>(std::move(rhs), line, target, op);
        if (targetType == LIST_VAL)
            return std::make_unique<GrowListStm>(std::move(rhs), line, target, op);
        if (targetType == COMPLEX_VAL) throw SyntaxError("not yet implemented for complex type");
        throw SyntaxError("illegal operator-assignment for a list");
    }
    if (targetType == LIST_VAL) throw SyntaxError("illegal operator-assignment for a list");
    if (targetType == COMPLEX_VAL) throw SyntaxError("not yet implemented for complex type");
    if (valueType == INTEGER_VAL && std::strchr("PMTD", op))
        return std::make_unique<OpAssignIntStm>(std::move(rhs), line, target, op);
    switch (op) {
    case 'P':
        return std::make_unique<AssignPlusDStm>(std::move(rhs), line, target);
    case 'M':
        return std::make_unique<AssignMinusDStm>(std::move(rhs), line, target);
    case 'T':
        return std::make_unique<AssignTimesDStm>(std::move(rhs), line, target);
    case 'D':
        return std::make_unique<AssignDivideDStm>(std::move(rhs), line, target);
    default:
        throw SyntaxError("illegal operator with assignment");
    }
}

StatementPtr StatementParser::indexedAssignment(Value* target, char op, EvaluatablePtr rhs,
                                                ExpressionParser::IndexList index, int line) {
    std::vector<EvaluatablePtr>& indices = index.indices;
    int selectMode = selectModeOf(index.colonMode);
    if (target->type() == LIST_VAL) {
        if (op != '=') throw SyntaxError("indexed op-assign to list not yet implemented");
        if (indices.size() == 1)
            return std::make_unique<SingleIndexed_SeqAssignStm>(std::move(rhs), line, target,
                                                                std::move(indices[0]), selectMode);
        return std::make_unique<IndexedAnyAssignStm>(std::move(rhs), line, target,
                                                     std::move(indices));
    }
    if (target->type() != DOUBLE_VAL)
        throw SyntaxError("indexed assignment to non-double not yet implemented");
    if (!std::strchr("=PMTD", op))
        throw SyntaxError("this op-assign not allowed for an indexed lhs");
    if (indices.size() > 1)
        return std::make_unique<IndexedAssignStm>(std::move(rhs), line, target, std::move(indices),
                                                  op);
    if (!isSequenceIndex(*indices[0]))
        return std::make_unique<SingleIndexedAssignStm>(std::move(rhs), line, target,
                                                        std::move(indices[0]), op, selectMode);
    if (op != '=') throw SyntaxError("op-assign with sequence lhs is not implemented");
    EvaluatablePtr sequence = std::move(indices[0]);
    if (sequence->resultType() == DOUBLE_VAL) sequence = makeDoubleToInt(std::move(sequence));
    return std::make_unique<SingleIndexed_SeqAssignStm>(std::move(rhs), line, target,
                                                        std::move(sequence), selectMode);
}

StatementPtr StatementParser::parseMultipleAssignment(TokenList tokens) {
    if (tokens.back().kind == TK_TERMINATOR) tokens.pop_back(); // never displays
    if (tokens.size() < 3) throw SyntaxError("missing rhs");
    const Token& rhsFirst = tokens[2];
    EvaluatablePtr call;
    if (rhsFirst.kind == TK_NAME) {
        call = expressions_.parse(tokens.data() + 2, tokens.data() + tokens.size());
    } else if (rhsFirst.kind == TK_BRACKET && rhsFirst.code == ']') {
        // [a, b] = [1, 2] hands the elements of the bracket out as outputs.
        Token arguments = rhsFirst;
        arguments.code = ')';
        for (Token& t : arguments.children)
            if (t.kind == TK_BLANK) t = Token{"", TK_SEPARATOR, ',', {}};
        TokenList rewritten{Token{"multiassign", TK_NAME, '(', {}}, std::move(arguments)};
        call = expressions_.parse(rewritten);
    } else {
        throw SyntaxError("invalid or missing rhs");
    }
    if (!dynamic_cast<MultiOutputSource*>(call.get()))
        throw SyntaxError("invalid rhs for multiple assignment");
    std::vector<Value*> targets;
    const TokenList& names = tokens[0].children;
    for (size_t k = 0; k < names.size(); ++k) {
        const Token& t = names[k];
        if (k % 2 == 1) {
            if (t.kind == TK_SEPARATOR && t.code == ',') continue;
            if (t.kind == TK_BLANK) continue;
            throw SyntaxError("invalid list of names");
        }
        if (t.kind != TK_NAME) throw SyntaxError("invalid list of names");
        NameInfo info = workspace_.classify(t.text);
        if (info.kind == NAME_CONSTANT) throw SyntaxError("you can't assign to a constant");
        if (info.kind == NAME_FUNCTION)
            throw SyntaxError(
                "multiple assignment may not declare a variable name matching a built-in function");
        if (info.kind == NAME_VARIABLE && info.variable->type() != DOUBLE_VAL)
            throw SyntaxError("non-double type not yet allowed in multi-assign");
        bool own =
            info.kind == NAME_VARIABLE && (workspace_.functionDepth() == 0 || info.throughGlobal ||
                                           workspace_.isLocal(info.variable));
        targets.push_back(own ? info.variable : workspace_.createVariable(t.text, DOUBLE_VAL));
    }
    if (targets.empty()) throw SyntaxError("invalid list of names");
    if (auto* user = dynamic_cast<UserFuncElement*>(call.get())) {
        size_t outputs = std::max<size_t>(1, user->function().signature().outputNames.size());
        if (targets.size() > outputs) throw SyntaxError("too many output arguments");
    }
    return std::make_unique<MultiAssignStm>(std::move(call), currentLine(), std::move(targets));
}

} // namespace vemlor
