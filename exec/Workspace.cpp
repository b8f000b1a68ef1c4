// The workspace's name resolution, declarations, `clear` and function scope.
// The function scope keeps its locals in creation order (the order the
// compiled function needs) and indexes the latest local of each name.
#include "exec/Workspace.h"

#include "builtins/Registry.h"
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "exec/UserFuncTable.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <set>

namespace vemlor {

namespace {

constexpr double kSpeedOfLight = 299792458;
constexpr double kGravitationalConstant = 6.674301e-11;
constexpr double kStandardGravity = 9.80665;

double quietNaN() {
    const uint64_t bits = 0x7FF8000000000000ULL;
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

std::map<std::string, double> makeBuiltinConstants() {
    return {
        {"pi", 3.141592653589793},
        {"rt2", 1.4142135623730951},
        {"rt3", 1.7320508075688772},
        {"ee", 2.718281828459045},
        {"ln2", 0.6931471805599453},
        {"deg", 0.017453292519943295},
        {"cc", kSpeedOfLight},
        {"mu0", 1.25663706212e-6},
        {"eps0", 8.8541878128e-12},
        {"GG", kGravitationalConstant},
        {"year", 3.15576e7},
        {"AU", 149597870700},
        {"hbar", 1.054571817e-34},
        {"kB", 1.3806494e-23},
        {"eV", 1.602176634e-19},
        {"Mp", 1.67262192369e-27},
        {"Me", 9.1093837015e-31},
        {"au", 1.6605390666e-27},
        {"NA", 6.02214076e23},
        {"T0", 273.15},
        {"alpha", 0.0072973525693},
        {"muB", 9.27400915e-24},
        {"sigSB", 5.670373e-8},
        {"lPlanck", 1.616199e-35},
        {"aBohr", 5.2917721092e-11},
        {"Mpc", 3.08567758149137e22},
        {"inf", std::numeric_limits<double>::infinity()},
        {"nan", quietNaN()},
    };
}

// The one table shared by all instances. It is deliberately process-wide:
// `clear` in one instance empties or refills it for every instance.
std::map<std::string, double>& builtinTable() {
    static std::map<std::string, double> table = makeBuiltinConstants();
    return table;
}

bool sameConstant(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

void appendName(NameList& list, const std::string& name) {
    list.text += name;
    list.text += "  ";
    ++list.count;
}

NameInfo variableInfo(Value* value, bool throughGlobal = false) {
    NameInfo info;
    info.kind = NAME_VARIABLE;
    info.variable = value;
    info.throughGlobal = throughGlobal;
    return info;
}

NameInfo constantInfo(double value) {
    NameInfo info;
    info.kind = NAME_CONSTANT;
    info.constant = value;
    return info;
}

} // namespace

const std::map<std::string, double>& builtinConstants() {
    return builtinTable();
}

struct Workspace::FunctionScope {
    int parameterCount = 0;
    int persistentCount = 0;
    std::map<std::string, double> constants;
    std::vector<LocalVariable> locals;     // creation order, owning
    std::map<std::string, size_t> indices; // name -> latest local of that name
    std::set<std::string> globals;         // names declared `global`
};

Workspace::Workspace(OutputSink& out)
    : out_(out), userFunctions_(std::make_unique<UserFuncTable>(out)) {
    setInitialConstants();
}

Workspace::~Workspace() = default;

void Workspace::setInitialConstants() {
    constants_ = {{"c", kSpeedOfLight}, {"G", kGravitationalConstant}, {"g", kStandardGravity}};
}

NameInfo Workspace::classify(const std::string& name) const {
    bool throughGlobal = false;
    if (scope_) {
        if (scope_->globals.count(name))
            throughGlobal = true;
        else if (ValuePtr* slot = localSlot(name))
            return variableInfo(slot->get());
        else if (auto c = scope_->constants.find(name); c != scope_->constants.end())
            return constantInfo(c->second);
    }
    if (auto v = variables_.find(name); v != variables_.end())
        return variableInfo(v->second.get(), throughGlobal);
    if (auto c = constants_.find(name); c != constants_.end()) return constantInfo(c->second);
    const auto& builtin = builtinConstants();
    if (auto b = builtin.find(name); b != builtin.end()) return constantInfo(b->second);
    NameInfo info;
    if (userFunctions_->contains(name) || Registry::instance().find(name))
        info.kind = NAME_FUNCTION;
    return info;
}

std::string Workspace::declareConstant(const std::string& name, double value) {
    auto& constants = scope_ ? scope_->constants : constants_;
    if (auto c = constants.find(name); c != constants.end())
        return sameConstant(c->second, value) ? std::string()
                                              : "attempt to change value of a const";
    bool isVariable = scope_ ? localSlot(name) != nullptr : variables_.count(name) != 0;
    if (isVariable) return "const name clash";
    constants[name] = value;
    return {};
}

ValuePtr Workspace::makeVariableValue(int type) {
    // No integer variables: literals and loop counters widen into doubles.
    if (type == INTEGER_VAL || type == 4) type = DOUBLE_VAL;
    return newValue(type, &out_);
}

Value* Workspace::createVariable(const std::string& name, int type) {
    ValuePtr value = makeVariableValue(type);
    if (scope_) return createLocal(name, std::move(value));
    ValuePtr& slot = variables_[name];
    retire(std::move(slot));
    slot = std::move(value);
    return slot.get();
}

void Workspace::retire(ValuePtr value) {
    if (value) retired_.push_back(std::move(value));
}

Value* Workspace::createLocal(const std::string& name, ValuePtr value) {
    Value* created = value.get();
    scope_->locals.push_back({name, std::move(value)});
    scope_->indices[name] = scope_->locals.size() - 1;
    return created;
}

ValuePtr* Workspace::localSlot(const std::string& name) const {
    if (!scope_) return nullptr;
    auto i = scope_->indices.find(name);
    return i == scope_->indices.end() ? nullptr : &scope_->locals[i->second].value;
}

ValuePtr* Workspace::slotFor(const std::string& name) {
    if (ValuePtr* local = localSlot(name)) return local;
    auto v = variables_.find(name);
    return v == variables_.end() ? nullptr : &v->second;
}

Value* Workspace::findVariable(const std::string& name) const {
    if (ValuePtr* local = localSlot(name)) return local->get();
    auto v = variables_.find(name);
    return v == variables_.end() ? nullptr : v->second.get();
}

std::string Workspace::declarePersistent(const std::string& name, double initial) {
    if (!scope_) return "invalid command at global scope";
    if (localSlot(name)) return "misplaced declaration";
    Value* value = createLocal(name, std::make_unique<DoubleValue>());
    ++scope_->persistentCount;
    // Persistent variables must directly follow the parameters, because
    // calls save and restore every local except that block.
    if (scope_->locals.size() != size_t(scope_->parameterCount + scope_->persistentCount))
        throw SyntaxError("misplaced persistent declaration");
    value->assignScalar(initial);
    return {};
}

std::string Workspace::declareGlobal(const std::string& name) {
    if (!scope_) return "invalid command at global scope";
    if (localSlot(name)) return "misplaced declaration";
    scope_->globals.insert(name);
    ValuePtr& slot = variables_[name];
    if (!slot) slot = std::make_unique<DoubleValue>();
    return {};
}

ValuePtr Workspace::rebind(const std::string& name, ValuePtr value) {
    ValuePtr* slot = slotFor(name);
    if (!slot) throw SyntaxError("something wrong with temporary function definition");
    std::swap(*slot, value);
    return value;
}

ValuePtr Workspace::bind(const std::string& name, ValuePtr value) {
    ValuePtr* slot = slotFor(name);
    if (!slot) slot = &variables_[name];
    std::swap(*slot, value);
    return value;
}

ValuePtr Workspace::unbind(const std::string& name) {
    auto v = variables_.find(name);
    if (v == variables_.end()) return nullptr;
    ValuePtr value = std::move(v->second);
    variables_.erase(v);
    return value;
}

void Workspace::wipe() {
    userFunctions_->removeAll();
    for (auto& entry : variables_)
        retire(std::move(entry.second));
    variables_.clear();
    constants_.clear();
    builtinTable().clear();
}

ClearOutcome Workspace::clear(const std::string& name, bool constantFlag) {
    if (name == "reset" || name == "everything") {
        wipe();
        if (name == "reset") {
            builtinTable() = makeBuiltinConstants();
            setInitialConstants();
        }
        return CLEAR_DONE;
    }
    if (constantFlag) {
        if (constants_.erase(name) == 0) builtinTable().erase(name);
        return CLEAR_CONSTANT;
    }
    NameInfo info = classify(name);
    switch (info.kind) {
    case NAME_UNKNOWN:
        return CLEAR_NO_SUCH_SYMBOL;
    case NAME_CONSTANT:
        throw RuntimeError("To clear a constant you must use 'clear (const) " + name + "'");
    case NAME_FUNCTION:
        return userFunctions_->remove(name) ? CLEAR_DONE : CLEAR_BUILTIN_FUNCTION;
    case NAME_VARIABLE: {
        // Only globals: a local belongs to the body being compiled.
        auto v = variables_.find(name);
        if (v != variables_.end() && v->second.get() == info.variable) {
            retire(std::move(v->second));
            variables_.erase(v);
            return CLEAR_DONE;
        }
        break;
    }
    }
    return CLEAR_OTHER;
}

NameList Workspace::listNames(char category) const {
    NameList list;
    switch (category) {
    case 'v':
        for (const auto& [name, value] : variables_)
            appendName(list, name);
        break;
    case 'c':
        for (const auto& [name, value] : builtinConstants())
            appendName(list, name);
        for (const auto& [name, value] : constants_)
            appendName(list, name);
        break;
    case 'f':
    case 'r':
        for (const std::string& name : userFunctions_->names(category))
            appendName(list, name);
        break;
    default:
        break;
    }
    return list;
}

void Workspace::enterFunction(int parameterCount) {
    if (scope_) throw SyntaxError("nested functions not allowed");
    scope_ = std::make_unique<FunctionScope>();
    scope_->parameterCount = parameterCount;
}

FunctionLocals Workspace::leaveFunction() {
    if (!scope_) raiseBug("BUG: leaving a function scope that was never entered");
    FunctionLocals result;
    result.values = std::move(scope_->locals);
    result.persistentCount = scope_->persistentCount;
    scope_.reset();
    return result;
}

bool Workspace::isLocal(const Value* value) const {
    if (!scope_) return false;
    for (const LocalVariable& local : scope_->locals)
        if (local.value.get() == value) return true;
    return false;
}

} // namespace vemlor
