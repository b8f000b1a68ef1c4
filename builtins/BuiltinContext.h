// What a built-in may ask of the interpreter instance that calls it.
//
// Handlers are plain functions shared by every instance; whatever belongs to
// one instance (its console, its last answer, its user functions) reaches
// them through this interface, which the driver implements.
#pragma once

#include "core/Value.h"

namespace vemlor {

class OutputSink;

class BuiltinContext {
public:
    virtual ~BuiltinContext() = default;
    // The console of the calling instance.
    virtual OutputSink& output() = 0;
    // The instance's answer value (`ans`); never null.
    virtual const Value& answer() = 0;
};

} // namespace vemlor
