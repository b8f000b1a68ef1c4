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

constexpr int kGeneralToVariant0 = 34;
constexpr std::array<const char*, 4> kGeneralVariant2 = {"complex", "fft", "ifft", "cdiag"};
constexpr std::array<const char*, 4> kGeneralVariant3 = {"dir", "list", "split", "readtext"};

struct ArgumentRange {
    int minArgs;
    int maxArgs;
};

// Fixed argument ranges of every family except 9, whose rows carry their own.
ArgumentRange familyRange(int family) {
    switch (family) {
    case 1: return {0, 0};
    case 2: return {0, 1};
    case 7: return {1, 2};
    case 8: return {2, 2};
    default: return {1, 1};
    }
}

// The result type a family fixes by itself; -2 when the table row decides.
int familyResultType(int family, int variant) {
    switch (family) {
    case 1:
    case 8: return DOUBLE_VAL;
    case 3:
    case 4:
    case 5:
    case 6: return variant == 1 ? DOUBLE_VAL : INTEGER_VAL;
    default: return -2;
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

    void add(std::span<const BuiltinDefinition> table, int family, int variant) {
        for (size_t i = 0; i < table.size(); ++i)
            slots[table[i].name] = Slot{{family, int(i), variant}, &table[i]};
    }

    void retag(const char* name, int family, int variant) {
        auto it = slots.find(std::string_view(name));
        if (it == slots.end()) raiseBug(std::string("BUG: retag of unregistered built-in ") + name);
        it->second.entry.family = family;
        it->second.entry.variant = variant;
    }

    void retagFirst(std::span<const BuiltinDefinition> table, size_t count, int family,
                    int variant) {
        for (size_t i = 0; i < std::min(count, table.size()); ++i)
            retag(table[i].name, family, variant);
    }

    void registerAll();
    void complete();
};

void Registry::Impl::registerAll() {
    add(elementaryDoubleTable(), 3, 1);
    add(elementaryIntTable(), 3, 0);
    // The complex side map is read in complete(), per name.
    add(twoArgTable(), 7, 1);
    retagFirst(twoArgTable(), 10, 8, 1);
    add(noArgTable(), 1, 0);
    add(optionalArgTable(), 2, 0);
    add(valueToIntTable(), 5, 0);
    retagFirst(valueToIntTable(), 6, 4, 0);
    add(columnToDoubleTable(), 4, 1);
    retagFirst(columnToDoubleTable(), 3, 5, 1);
    add(vectorToDoubleTable(), 6, 1);
    add(vectorToIntTable(), 6, 0);
    add(generalTable(), 9, 1);
    retagFirst(generalTable(), kGeneralToVariant0, 9, 0);
    for (const char* name : kGeneralVariant2) retag(name, 9, 2);
    for (const char* name : kGeneralVariant3) retag(name, 9, 3);
}

void Registry::Impl::complete() {
    for (const auto& [name, slot] : slots) {
        BuiltinInfo info;
        info.name = name;
        info.entry = slot.entry;
        info.handler = slot.definition->handler;
        int family = slot.entry.family;
        int fixedType = familyResultType(family, slot.entry.variant);
        info.resultType = fixedType == -2 ? slot.definition->resultType : fixedType;
        ArgumentRange range = familyRange(family);
        if (family == 9) range = {slot.definition->minArgs, slot.definition->maxArgs};
        info.minArgs = range.minArgs;
        info.maxArgs = range.maxArgs;
        info.mixedArguments =
            family == 9 && std::find(kMixedArguments.begin(), kMixedArguments.end(),
                                     std::string_view(name)) != kMixedArguments.end();
        infos.emplace(name, std::move(info));
    }
    for (const ComplexCounterpart& counterpart : elementaryComplexTable()) {
        auto it = infos.find(std::string_view(counterpart.name));
        if (it == infos.end() || it->second.entry.family != 3)
            raiseBug(std::string("BUG: complex counterpart of a non-elementary name ") +
                     counterpart.name);
        it->second.complexHandler = counterpart.handler;
        it->second.complexTag = counterpart.tag;
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

int Registry::countInFamily(int family) const {
    return int(std::count_if(impl_->infos.begin(), impl_->infos.end(), [family](const auto& e) {
        return e.second.entry.family == family;
    }));
}

void notYetAvailable(const char* name) {
    raiseRuntime(std::string(name) + " is not yet available");
}

} // namespace vemlor
