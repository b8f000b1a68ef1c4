#include "exec/UserFuncTable.h"

#include "core/Errors.h"

namespace vemlor {

UserFuncTable::UserFuncTable(OutputSink& out) : out_(out) {}

UserFuncTable::~UserFuncTable() = default;

UserFunc* UserFuncTable::find(const std::string& name) const {
    auto it = functions_.find(name);
    return it == functions_.end() ? nullptr : it->second.get();
}

UserFunc& UserFuncTable::declare(FunctionSignature signature, DefinitionSource source) {
    if (UserFunc* existing = find(signature.name)) {
        if (existing->isRunning()) raiseRuntime("can't redefine a function while it runs");
        existing->redeclare(std::move(signature), std::move(source));
        return *existing;
    }
    std::string name = signature.name;
    auto function = std::make_unique<UserFunc>(std::move(signature), std::move(source), out_);
    UserFunc& result = *function;
    functions_[name] = std::move(function);
    return result;
}

bool UserFuncTable::remove(const std::string& name) {
    auto it = functions_.find(name);
    if (it == functions_.end()) return false;
    if (it->second->isRunning()) raiseRuntime("can't clear a function while it runs");
    if (compiling_ == it->second.get()) compiling_ = nullptr;
    it->second->discard();
    retired_.push_back(std::move(it->second));
    functions_.erase(it);
    return true;
}

void UserFuncTable::removeAll() {
    while (!functions_.empty())
        remove(functions_.begin()->first);
}

bool UserFuncTable::uses(const Value* variable) const {
    for (const auto& [name, function] : functions_)
        if (function->uses(variable)) return true;
    return false;
}

UserFunc* UserFuncTable::firstPending() const {
    for (const auto& [name, function] : functions_)
        if (!function->hasBody() && !function->source().fileName.empty()) return function.get();
    return nullptr;
}

std::vector<std::string> UserFuncTable::names(char category) const {
    std::vector<std::string> result;
    for (const auto& [name, function] : functions_)
        if (category != 'r' || function->isResource()) result.push_back(name);
    return result;
}

namespace {

std::string parameterList(const FunctionSignature& s) {
    std::string text;
    int firstDefault = s.minimumArguments();
    for (int i = 0; i < s.parameterCount(); ++i) {
        if (i) text += ", ";
        if (s.byReference.test(size_t(i))) text += "^";
        text += s.parameterNames[size_t(i)];
        if (s.parameterTypes[size_t(i)] == COMPLEX_VAL) text += "*";
        if (s.parameterTypes[size_t(i)] == LIST_VAL) text += "[]";
        if (i >= firstDefault) {
            char number[32];
            std::snprintf(number, sizeof number, ":%g", s.defaults[size_t(i - firstDefault)]);
            text += number;
        }
    }
    return text;
}

} // namespace

std::string UserFuncTable::describe(const UserFunc& f) const {
    const FunctionSignature& s = f.signature();
    // Plain name: a line that opens with a group would be read as one group.
    std::string text = f.name() + "(" + parameterList(s) + ") ";
    text += "user-defined function\n";
    text += std::string(", output type ") + std::string(typeName(f.outputType()));
    text += "\n line " + std::to_string(f.source().line);
    if (!f.source().fileName.empty()) text += " of " + f.source().fileName;
    text += "\ntype cvrlqst=" + std::string(f.isQuick() ? "q" : "") +
            (s.flags & FUNC_VECTORISED ? "v" : "") + (f.isResource() ? "r" : "");
    return text;
}

std::string UserFuncTable::listing(char category) const {
    if (category == 'r') {
        std::string text;
        int count = 0;
        for (const auto& [name, function] : functions_) {
            if (!function->isResource()) continue;
            text += name + "  ";
            ++count;
        }
        return count ? "Resources:\n" + text + std::to_string(count) : std::string();
    }
    std::string quick = "--Quick functions:\n", others;
    for (const auto& [name, function] : functions_) {
        if (function->isResource()) continue;
        if (function->isQuick())
            quick += describe(*function) + "\n";
        else
            others += describe(*function) + "\n";
    }
    if (!others.empty()) quick += "\n--User Functions:\n" + others;
    return quick;
}

} // namespace vemlor
