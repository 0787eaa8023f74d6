#include "engine/avm1/interpreter.h"

#include <algorithm>

#include "engine/avm1/frame.h"

namespace velmora::avm1 {

namespace {

// DefineFunction2 flags.
enum : uint16_t {
    kPreloadThis = 0x01, kSuppressThis = 0x02, kPreloadArguments = 0x04, kSuppressArguments = 0x08,
    kPreloadSuper = 0x10, kSuppressSuper = 0x20, kPreloadRoot = 0x40, kPreloadParent = 0x80,
    kPreloadGlobal = 0x100,
};
// Try flags.
enum : uint8_t { kHasCatch = 0x01, kHasFinally = 0x02, kCatchInRegister = 0x04 };

Flow ExecuteRange(Frame& f, size_t begin, size_t end);

Value DisplayParent(Vm& vm, Object* obj) {
    ClipObject* clip = obj ? obj->AsClip() : nullptr;
    ClipId id = clip ? vm.LiveClip(clip) : kNoClip;
    ClipId parent = id ? vm.Display()->Parent(id) : kNoClip;
    return parent ? Value::Obj(vm.ObjectForClip(parent)) : Value();
}

void SetRegister(Frame& f, size_t index, Value v) {
    if (index < f.registers.size()) f.registers[index] = std::move(v);
}

void ExecutePush(Frame& f, const ActionRecord& a) {
    PayloadReader r(a.payload);
    while (!r.AtEnd()) {
        uint8_t type = r.U8();
        switch (type) {
        case 0: f.Push(Value::String(f.Text(r.CString()))); break;
        case 1: f.Push(Value::Number(r.F32())); break;
        case 2: f.Push(Value::Null()); break;
        case 3: f.Push(Value()); break;
        case 4: {
            uint8_t reg = r.U8();
            f.Push(reg < f.registers.size() ? f.registers[reg] : Value());
            break;
        }
        case 5: f.Push(Value::Bool(r.U8() != 0)); break;
        case 6: f.Push(Value::Number(r.F64())); break;
        case 7: f.Push(Value::Number(static_cast<int32_t>(r.U32()))); break;
        case 8:
        case 9: {
            size_t index = type == 8 ? r.U8() : r.U16();
            if (f.pool && index < f.pool->size()) {
                f.Push(Value::String((*f.pool)[index]));
            } else {
                f.Push(Value());
            }
            break;
        }
        default: return;  // unknown type: the rest of the record cannot be read
        }
        if (r.Failed()) {
            f.Pop();
            return;
        }
    }
}

void ExecuteConstantPool(Frame& f, const ActionRecord& a) {
    PayloadReader r(a.payload);
    uint16_t count = r.U16();
    auto pool = std::make_shared<std::vector<std::string>>();
    pool->reserve(std::min<size_t>(count, a.payload.size()));
    for (uint16_t i = 0; i < count && !r.AtEnd(); ++i) pool->push_back(f.Text(r.CString()));
    f.pool = std::move(pool);
}

// DefineFunction/DefineFunction2: returns the position after the body.
size_t ExecuteDefineFunction(Frame& f, const ActionRecord& a, size_t end) {
    auto def = std::make_shared<ScriptFunctionDef>();
    PayloadReader r(a.payload);
    def->name = f.Text(r.CString());
    uint16_t paramCount = r.U16();
    def->isFunction2 = a.code == static_cast<uint8_t>(Op::DefineFunction2);
    if (def->isFunction2) {
        def->registerCount = r.U8();
        def->flags = r.U16();
    }
    for (uint16_t i = 0; i < paramCount && !r.Failed(); ++i) {
        ScriptFunctionDef::Param p;
        if (def->isFunction2) p.reg = r.U8();
        p.name = f.Text(r.CString());
        def->params.push_back(std::move(p));
    }
    size_t codeSize = r.U16();
    def->code = f.code;
    def->begin = a.next;
    def->end = std::min(a.next + codeSize, end);

    Vm& vm = f.vm;
    auto* fn = vm.Make<FunctionObject>(vm.Protos().function, std::shared_ptr<const ScriptFunctionDef>(def), f.scope,
                                       f.pool, f.baseTarget);
    Object* proto = vm.NewObject();
    proto->Define("constructor", Value::Obj(fn), kDontEnum);
    fn->Define("prototype", Value::Obj(proto), kDontEnum);
    if (def->name.empty()) {
        f.Push(Value::Obj(fn));
    } else {
        DefineLocal(f, def->name, Value::Obj(fn), false);
    }
    return def->end;
}

// Runs a nested range (with/try bodies) and maps its flow onto ours.
bool Nested(Frame& f, size_t begin, size_t end, size_t outerEnd, Flow& flow) {
    flow = ExecuteRange(f, begin, std::min(end, outerEnd));
    return flow.kind != Flow::Kind::Normal;
}

Flow ExecuteTry(Frame& f, const ActionRecord& a, size_t end, size_t& next) {
    PayloadReader r(a.payload);
    uint8_t flags = r.U8();
    size_t trySize = r.U16(), catchSize = r.U16(), finallySize = r.U16();
    std::string catchName;
    uint8_t catchRegister = 0;
    if (flags & kCatchInRegister) {
        catchRegister = r.U8();
    } else {
        catchName = f.Text(r.CString());
    }
    size_t tryBegin = a.next, catchBegin = tryBegin + trySize, finallyBegin = catchBegin + catchSize;
    next = std::min(finallyBegin + finallySize, end);

    Flow flow;
    bool pending = false;
    Value thrown;
    size_t stackDepth = f.stack.size();
    try {
        Nested(f, tryBegin, catchBegin, end, flow);
    } catch (const ScriptThrow& t) {
        f.stack.resize(std::min(f.stack.size(), stackDepth));
        if (flags & kHasCatch) {
            if (flags & kCatchInRegister) {
                SetRegister(f, catchRegister, t.value);
            } else {
                DefineLocal(f, catchName, t.value, false);
            }
            try {
                Nested(f, catchBegin, finallyBegin, end, flow);
            } catch (const ScriptThrow& inner) {
                pending = true;
                thrown = inner.value;
            }
        } else {
            pending = true;
            thrown = t.value;
        }
    }
    if ((flags & kHasFinally) && finallySize > 0) {
        Value savedReturn = f.returnValue;
        Flow finallyFlow;
        if (Nested(f, finallyBegin, finallyBegin + finallySize, end, finallyFlow)) return finallyFlow;
        f.returnValue = savedReturn;
    }
    if (pending) throw ScriptThrow{thrown};
    // The try body's jump over the catch block lands inside this structure: done.
    if (flow.kind == Flow::Kind::Jump && flow.target >= catchBegin && flow.target <= next) return {};
    return flow;
}

Flow ExecuteRange(Frame& f, size_t begin, size_t end) {
    std::span<const uint8_t> bytes(f.code->bytes);
    end = std::min(end, bytes.size());
    size_t pos = begin;
    int skip = 0;  // WaitForFrame: actions to skip
    ActionRecord a;
    while (pos < end && ReadAction(bytes, pos, end, a)) {
        f.vm.CountActions(1);
        size_t next = a.next;
        if (skip > 0) {
            --skip;
            pos = next;
            continue;
        }
        auto op = static_cast<Op>(a.code);
        switch (op) {
        case Op::Push: ExecutePush(f, a); break;
        case Op::ConstantPool: ExecuteConstantPool(f, a); break;
        case Op::StoreRegister:
            if (!a.payload.empty()) SetRegister(f, a.payload[0], f.Top());
            break;
        case Op::Jump:
        case Op::If: {
            if (a.payload.size() < 2) break;
            auto offset = static_cast<int16_t>(a.payload[0] | (a.payload[1] << 8));
            if (op == Op::If && !ToBoolean(f.Pop(), f.version)) break;
            auto target = static_cast<int64_t>(next) + offset;
            if (target < static_cast<int64_t>(begin) || target > static_cast<int64_t>(end)) {
                if (target < 0 || target >= static_cast<int64_t>(bytes.size())) return {};  // off the block: done
                return {Flow::Kind::Jump, static_cast<size_t>(target)};
            }
            next = static_cast<size_t>(target);
            break;
        }
        case Op::DefineFunction:
        case Op::DefineFunction2: next = ExecuteDefineFunction(f, a, end); break;
        case Op::Return:
            f.returnValue = f.Pop();
            return {Flow::Kind::Return};
        case Op::With: {
            PayloadReader r(a.payload);
            size_t size = r.U16();
            Value v = f.Pop();
            Object* obj = f.vm.ToObject(v);
            size_t bodyEnd = std::min(a.next + size, end);
            if (obj) {
                ScopePtr saved = f.scope;
                f.scope = std::make_shared<Scope>(Scope{Scope::Kind::With, obj, saved});
                Flow flow;
                try {
                    Nested(f, a.next, bodyEnd, end, flow);
                } catch (...) {
                    f.scope = saved;
                    throw;
                }
                f.scope = saved;
                if (flow.kind == Flow::Kind::Return) return flow;
                if (flow.kind == Flow::Kind::Jump) {
                    if (flow.target < begin || flow.target > end) return flow;
                    next = flow.target;
                    break;
                }
            }
            next = bodyEnd;
            break;
        }
        case Op::Try: {
            Flow flow = ExecuteTry(f, a, end, next);
            if (flow.kind == Flow::Kind::Return) return flow;
            if (flow.kind == Flow::Kind::Jump) {
                if (flow.target < begin || flow.target > end) return flow;
                next = flow.target;
            }
            break;
        }
        case Op::WaitForFrame:
        case Op::WaitForFrame2: {
            PayloadReader r(a.payload);
            int frame = 0;
            ClipId clip = TargetClip(f);
            if (op == Op::WaitForFrame) {
                frame = r.U16();
            } else {
                Value v = f.Pop();
                frame = static_cast<int>(f.vm.ToNumber(v)) - 1;
            }
            int count = r.U8();
            DisplayHost* d = f.vm.Display();
            bool loaded = !d || !clip || d->FrameLoaded(clip, frame);
            if (!loaded) skip = count;
            break;
        }
        default:
            if (!ExecuteSimpleOp(f, a.code)) ExecuteTimelineOp(f, a);
            break;
        }
        pos = next;
    }
    return {};
}

// Runs the whole block, following jumps that leave nested ranges.
void ExecuteAll(Frame& f, size_t begin, size_t end) {
    Flow flow = ExecuteRange(f, begin, end);
    while (flow.kind == Flow::Kind::Jump && flow.target >= begin && flow.target < end)
        flow = ExecuteRange(f, flow.target, end);
}

}  // namespace

bool SuperObject::GetNative(Vm& vm, std::string_view name, Value& out) {
    Object* start = LookupStart();
    if (!start) return false;
    out = vm.GetFrom(start, name, m_this);
    return true;
}

SuperObject::SuperObject(Value thisValue, Object* home) : Object(nullptr), m_this(std::move(thisValue)), m_home(home) {
    int depth = 0;
    for (Object* o = m_this.AsObject(); o && depth < 256; o = o->Proto(), ++depth) {
        if (o == home) {
            m_depth = depth;
            break;
        }
    }
    // Its own __proto__ is the one of the object lookups start at.
    if (Object* start = LookupStart()) SetProto(start->Proto());
}

Object* SuperObject::Home() const {
    Object* home = m_home;
    if (m_depth >= 0) {
        home = m_this.AsObject();
        for (int i = 0; i < m_depth && home; ++i) home = home->Proto();
    }
    return home && !home->AsClip() ? home : nullptr;
}

Value SuperObject::CallConstructor(Vm& vm, std::span<const Value> args) {
    Object* home = Home();
    if (!home) return {};
    Value ctor = vm.GetFrom(home, "__constructor__", m_this, nullptr, false);
    return vm.CallSuperConstructor(ctor.AsObject(), m_this, args, LookupStart());
}

void SuperObject::TraceRefs(std::vector<Object*>& out) const {
    Object::TraceRefs(out);
    if (m_this.AsObject()) out.push_back(m_this.AsObject());
    if (m_home) out.push_back(m_home);
}

void Interpreter::RunBlock(Vm& vm, std::shared_ptr<const CodeBlock> code, Object* target) {
    Frame f(vm);
    f.version = code->swfVersion;
    f.code = std::move(code);
    vm.SetVersion(f.version);
    // SWF 4 movies knew no globals (not even NaN): their names start on the timeline.
    auto global = f.version < 5 ? nullptr : std::make_shared<Scope>(Scope{Scope::Kind::Global, vm.Global(), nullptr});
    f.scope = std::make_shared<Scope>(Scope{Scope::Kind::Target, target, global});
    f.thisValue = Value::Obj(target);
    f.baseTarget = f.target = target;
    f.registers.resize(4);
    ExecuteAll(f, 0, f.code->bytes.size());
}

Value Interpreter::RunFunction(Vm& vm, FunctionObject* fn, const Value& thisValue, std::span<const Value> args,
                               Object* home) {
    const ScriptFunctionDef& def = *fn->Def();
    Frame f(vm);
    f.code = def.code;
    // A function is SWF 5 code even inside an SWF 4 movie.
    f.version = std::max(def.code->swfVersion, 5);
    vm.SetVersion(f.version);
    f.pool = fn->Pool();
    f.callee = fn;
    f.thisValue = thisValue;
    // A method that is an own property of this has its home one step up, as if
    // found on this's prototype.
    Object* self = thisValue.AsObject();
    f.home = home && home != self ? home : (self ? self->Proto() : nullptr);
    f.baseTarget = f.target = fn->BaseClip() ? vm.Redirect(fn->BaseClip()) : vm.RootObject();
    // SWF 5 code runs on the timeline of a clip it is called on.
    if (f.version < 6 && self && self->AsClip()) f.baseTarget = f.target = self;

    f.locals = vm.Make<Object>(nullptr);
    ScopePtr captured = fn->ScopeChain();
    if (!captured) {
        auto global = std::make_shared<Scope>(Scope{Scope::Kind::Global, vm.Global(), nullptr});
        captured = std::make_shared<Scope>(Scope{Scope::Kind::Target, f.baseTarget, global});
    }
    f.scope = std::make_shared<Scope>(Scope{Scope::Kind::Local, f.locals, captured});

    ArrayObject* arguments = vm.NewArray();
    for (const Value& v : args) arguments->Push(v);
    arguments->Define("callee", Value::Obj(fn), kDontEnum);
    arguments->Define("caller", vm.m_runningFunction ? Value::Obj(vm.m_runningFunction) : Value::Null(), kDontEnum);
    struct RunningFunction {
        Vm& vm;
        FunctionObject* saved;
        ~RunningFunction() { vm.m_runningFunction = saved; }
    } running{vm, vm.m_runningFunction};
    vm.m_runningFunction = fn;
    f.arguments = arguments;

    size_t preloads = 0;
    uint16_t flags = def.flags;
    if (def.isFunction2) {
        for (uint16_t bit : {kPreloadThis, kPreloadArguments, kPreloadSuper, kPreloadRoot, kPreloadParent,
                             kPreloadGlobal})
            if (flags & bit) ++preloads;
    }
    size_t regCount = def.isFunction2 ? std::max<size_t>(def.registerCount, preloads + 1) : 4;
    for (const auto& p : def.params) regCount = std::max<size_t>(regCount, static_cast<size_t>(p.reg) + 1);
    f.registers.resize(regCount);

    if (def.isFunction2) {
        size_t reg = 1;
        auto superObject = [&] { return Value::Obj(vm.Make<SuperObject>(thisValue, f.home)); };
        // Each preload takes a register even when the name is also suppressed; then
        // this and super stay undefined, while arguments is loaded all the same.
        if (flags & kPreloadThis) f.registers[reg++] = (flags & kSuppressThis) ? Value() : thisValue;
        if (flags & kPreloadArguments) f.registers[reg++] = Value::Obj(arguments);
        if (flags & kPreloadSuper) f.registers[reg++] = (flags & kSuppressSuper) ? Value() : superObject();
        // The player fills _global before _parent, and _parent is the display
        // parent even where a variable of that name hides it.
        if (flags & kPreloadRoot) f.registers[reg++] = Value::Obj(vm.RootObject());
        if (flags & kPreloadGlobal) f.registers[reg++] = Value::Obj(vm.Global());
        if (flags & kPreloadParent) f.registers[reg++] = DisplayParent(vm, f.baseTarget);
        if (!(flags & (kPreloadArguments | kSuppressArguments)))
            f.locals->SetOwn("arguments", Value::Obj(arguments), f.version);
        if (!(flags & (kPreloadSuper | kSuppressSuper))) f.locals->SetOwn("super", superObject(), f.version);
        // Without a `this` variable the name reads as on the timeline: the clip itself.
        if (flags & (kPreloadThis | kSuppressThis)) f.thisValue = Value::Obj(f.baseTarget);
    } else {
        f.locals->SetOwn("arguments", Value::Obj(arguments), f.version);
        f.locals->SetOwn("super", Value::Obj(vm.Make<SuperObject>(thisValue, f.home)), f.version);
    }
    for (size_t i = 0; i < def.params.size(); ++i) {
        Value arg = i < args.size() ? args[i] : Value();
        const auto& p = def.params[i];
        if (p.reg) {
            f.registers[p.reg] = arg;
        } else {
            f.locals->SetOwn(p.name, arg, f.version);
        }
    }
    ExecuteAll(f, def.begin, def.end);
    return f.returnValue;
}

}  // namespace velmora::avm1
