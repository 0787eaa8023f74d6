// Runs action bytes: timeline blocks and script function bodies.
#pragma once

#include <memory>
#include <span>

#include "engine/avm1/object.h"

namespace velmora::avm1 {

class Vm;

class Interpreter {
public:
    // A DoAction/DoInitAction/event block with `target` as this and timeline.
    static void RunBlock(Vm& vm, std::shared_ptr<const CodeBlock> code, Object* target);
    // The body of a script function; `home` is the object the method was found on.
    static Value RunFunction(Vm& vm, FunctionObject* function, const Value& thisValue, std::span<const Value> args,
                             Object* home);
};

}  // namespace velmora::avm1
