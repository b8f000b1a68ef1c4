#include "exec/Workspace.h"

#include "builtins/Registry.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace vemlor {

namespace {

double quietNaN() {
    const uint64_t bits = 0x7FF8000000000000ULL;
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

std::map<std::string, double> makeBuiltinConstants() {
    return {
        {"pi", 3.141592653589793},   {"rt2", 1.4142135623730951},
        {"rt3", 1.7320508075688772}, {"ee", 2.718281828459045},
        {"ln2", 0.6931471805599453}, {"deg", 0.017453292519943295},
        {"cc", 299792458},           {"mu0", 1.25663706212e-6},
        {"eps0", 8.8541878128e-12},  {"GG", 6.674301e-11},
        {"year", 3.15576e7},         {"AU", 149597870700},
        {"hbar", 1.054571817e-34},   {"kB", 1.3806494e-23},
        {"eV", 1.602176634e-19},     {"Mp", 1.67262192369e-27},
        {"Me", 9.1093837015e-31},    {"au", 1.6605390666e-27},
        {"NA", 6.02214076e23},       {"T0", 273.15},
        {"alpha", 0.0072973525693},  {"muB", 9.27400915e-24},
        {"sigSB", 5.670373e-8},      {"lPlanck", 1.616199e-35},
        {"aBohr", 5.2917721092e-11}, {"Mpc", 3.08567758149137e22},
        {"inf", std::numeric_limits<double>::infinity()},
        {"nan", quietNaN()},
    };
}

} // namespace

const std::map<std::string, double>& builtinConstants() {
    static const std::map<std::string, double> constants = makeBuiltinConstants();
    return constants;
}

Workspace::Workspace() {
    const auto& builtin = builtinConstants();
    constants_ = {{"c", builtin.at("cc")}, {"G", builtin.at("GG")}, {"g", 9.80665}};
}

NameInfo Workspace::classify(const std::string& name) const {
    NameInfo info;
    if (auto v = variables_.find(name); v != variables_.end()) {
        info.kind = NAME_VARIABLE;
        info.variable = v->second.get();
    } else if (auto c = constants_.find(name); c != constants_.end()) {
        info.kind = NAME_CONSTANT;
        info.constant = c->second;
    } else if (auto b = builtinConstants().find(name); b != builtinConstants().end()) {
        info.kind = NAME_CONSTANT;
        info.constant = b->second;
    } else if (Registry::instance().find(name)) {
        info.kind = NAME_FUNCTION;
    }
    return info;
}

Value* Workspace::createVariable(const std::string& name, int type) {
    ValuePtr& slot = variables_[name];
    slot = newValue(type);
    return slot.get();
}

Value* Workspace::findVariable(const std::string& name) const {
    auto v = variables_.find(name);
    return v == variables_.end() ? nullptr : v->second.get();
}

} // namespace vemlor
