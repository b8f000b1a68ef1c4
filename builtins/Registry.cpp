// The registry of built-in functions, built once from the family tables.
//
// Registration follows a fixed order and later steps retag some names to
// another family or variant while keeping their index. Each table row
// already carries the handler of the family the name ends up in, so after
// the last step every name's BuiltinInfo is complete and never changes.
#include "builtins/Registry.h"

#include "builtins/FamilyTables.h"
#include "builtins/MathErrors.h"
#include "core/Errors.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

namespace vemlor {

namespace {

// Family 9 functions whose call the parser builds with arguments of mixed
// kinds (lists, strings and numbers together).
constexpr std::array<std::string_view, 9> kMixedArguments = {
    "list", "disp", "save", "menu", "writetext", "fft", "ifft", "join", "cdiag"};

constexpr size_t kGeneralFirstCount = 34;
constexpr std::array<const char*, 4> kGeneralComplex = {"complex", "fft", "ifft", "cdiag"};
constexpr std::array<const char*, 4> kGeneralList = {"dir", "list", "split", "readtext"};

struct ArgumentRange {
    int minArgs;
    int maxArgs;
};

// Fixed argument ranges of every family except General, whose rows carry
// their own.
ArgumentRange familyRange(Family family) {
    switch (family) {
    case Family::NoArg: return {0, 0};
    case Family::OptionalArg: return {0, 1};
    case Family::OneOrTwoArgs: return {1, 2};
    case Family::Functor: return {2, 2};
    default: return {1, 1};
    }
}

constexpr int kRowDecides = -2;

// The result type a family fixes by itself; kRowDecides when the table row
// decides.
int familyResultType(Family family, Variant variant) {
    switch (family) {
    case Family::NoArg:
    case Family::Functor: return DOUBLE_VAL;
    case Family::Elementwise:
    case Family::Column:
    case Family::ValueToScalar:
    case Family::ValueToValue: return variant == Variant::Double ? DOUBLE_VAL : INTEGER_VAL;
    default: return kRowDecides;
    }
}

} // namespace

struct Registry::Impl {
    struct Slot {
        BuiltinEntry entry;
        const BuiltinDefinition* definition = nullptr;
    };
    std::map<std::string, Slot, std::less<>> slots;
    std::map<std::string, BuiltinInfo, std::less<>> infos;

    void add(std::span<const BuiltinDefinition> table, Family family, Variant variant) {
        for (size_t i = 0; i < table.size(); ++i)
            slots[table[i].name] = Slot{{family, int(i), variant}, &table[i]};
    }

    void retag(const char* name, Family family, Variant variant) {
        auto it = slots.find(std::string_view(name));
        if (it == slots.end()) raiseBug(std::string("BUG: retag of unregistered built-in ") + name);
        it->second.entry.family = family;
        it->second.entry.variant = variant;
    }

    void retagFirst(std::span<const BuiltinDefinition> table, size_t count, Family family,
                    Variant variant) {
        for (size_t i = 0; i < std::min(count, table.size()); ++i)
            retag(table[i].name, family, variant);
    }

    void registerAll();
    void complete();
};

void Registry::Impl::registerAll() {
    add(elementaryDoubleTable(), Family::Elementwise, Variant::Double);
    add(elementaryIntTable(), Family::Elementwise, Variant::Integer);
    // The complex side map is read in complete(), per name.
    add(twoArgTable(), Family::OneOrTwoArgs, Variant::Double);
    retagFirst(twoArgTable(), 10, Family::Functor, Variant::Double);
    add(noArgTable(), Family::NoArg, Variant::Untyped);
    add(optionalArgTable(), Family::OptionalArg, Variant::Untyped);
    add(valueToIntTable(), Family::ValueToScalar, Variant::Integer);
    retagFirst(valueToIntTable(), 6, Family::Column, Variant::Integer);
    add(columnToDoubleTable(), Family::Column, Variant::Double);
    retagFirst(columnToDoubleTable(), 3, Family::ValueToScalar, Variant::Double);
    add(vectorToDoubleTable(), Family::ValueToValue, Variant::Double);
    add(vectorToIntTable(), Family::ValueToValue, Variant::Integer);
    add(generalTable(), Family::General, Variant::GeneralRest);
    retagFirst(generalTable(), kGeneralFirstCount, Family::General, Variant::GeneralFirst);
    for (const char* name : kGeneralComplex) retag(name, Family::General, Variant::Complex);
    for (const char* name : kGeneralList) retag(name, Family::General, Variant::List);
}

void Registry::Impl::complete() {
    for (const auto& [name, slot] : slots) {
        BuiltinInfo info;
        info.name = name;
        info.entry = slot.entry;
        info.handler = slot.definition->handler;
        Family family = slot.entry.family;
        int fixedType = familyResultType(family, slot.entry.variant);
        info.resultType = fixedType == kRowDecides ? slot.definition->resultType : fixedType;
        ArgumentRange range = familyRange(family);
        if (family == Family::General) range = {slot.definition->minArgs, slot.definition->maxArgs};
        info.minArgs = range.minArgs;
        info.maxArgs = range.maxArgs;
        info.mixedArguments =
            family == Family::General && std::find(kMixedArguments.begin(), kMixedArguments.end(),
                                     std::string_view(name)) != kMixedArguments.end();
        infos.emplace(name, std::move(info));
    }
    for (const ComplexCounterpart& counterpart : elementaryComplexTable()) {
        auto it = infos.find(std::string_view(counterpart.name));
        if (it == infos.end() || it->second.entry.family != Family::Elementwise)
            raiseBug(std::string("BUG: complex counterpart of a non-elementary name ") +
                     counterpart.name);
        it->second.complexHandler = counterpart.handler;
        it->second.complexKind = static_cast<ComplexCounterpartKind>(counterpart.tag);
    }
}

Registry::Registry() : impl_(std::make_unique<Impl>()) {
    // Special functions report domain errors through GSL's handler, whose
    // default aborts the process; every built-in is reached through here.
    installMathErrorHandler();
    impl_->registerAll();
    impl_->complete();
}

const Registry& Registry::instance() {
    static const Registry registry;
    return registry;
}

BuiltinEntry Registry::lookup(const std::string& name) const {
    const BuiltinInfo* info = find(name);
    return info ? info->entry : BuiltinEntry{};
}

const BuiltinInfo* Registry::find(const std::string& name) const {
    auto it = impl_->infos.find(name);
    return it == impl_->infos.end() ? nullptr : &it->second;
}

void Registry::checkArity(const std::string& name, int minArgs, int maxArgs, int count) {
    if (count < minArgs) throw SyntaxError(name + "(...) has too few arguments");
    if (maxArgs != -1 && count > maxArgs) throw SyntaxError(name + "(...) has too many arguments");
}

std::vector<std::string> Registry::names() const {
    std::vector<std::string> result;
    result.reserve(impl_->infos.size());
    for (const auto& entry : impl_->infos) result.push_back(entry.first);
    return result;
}

void notYetAvailable(const char* name) {
    raiseRuntime(std::string(name) + " is not yet available");
}

} // namespace vemlor
