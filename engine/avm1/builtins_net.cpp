// The classes that reach outside the movie, as a player with no browser around it
// and no network has them: ExternalInterface (unavailable, with its XML encoders),
// NetConnection/NetStream (connect(null) only), LocalConnection, MovieClipLoader
// (through the host's loadMovie), ContextMenu/ContextMenuItem, FileReference and
// System.security.
#include <string>

#include "engine/avm1/builtins.h"
#include "engine/avm1/xml_parser.h"

namespace velmora::avm1 {

namespace {

constexpr uint16_t kHidden = kDontEnum | kDontDelete;

Value Str(std::string s) { return Value::String(std::move(s)); }

bool IsArray(Vm& vm, const Value& v) {
    Object* o = v.AsObject();
    Value ctor = vm.Get(vm.Global(), "Array");
    return o && (o->AsArray() || vm.InstanceOf(o, ctor.AsObject()));
}

// --- ExternalInterface's encoding of values as XML and back ---

// Text as the encoders write it; empty or missing text is null, which joins as "null".
Value EscapeForExternal(Vm& vm, CallContext& c) {
    if (c.args.empty()) return Value::Null();
    std::string text = vm.ToString(c.args[0]);
    return text.empty() ? Value::Null() : Str(EscapeXml(text));
}

std::string ToXml(Vm& vm, const Value& v);

// list.length and list[i] as script reads them: a string has a length but no elements.
template <class Each>
void ForEachIndex(Vm& vm, const Value& list, double from, Each each) {
    if (list.IsNullish()) return;
    double length = vm.ToNumber(vm.GetValueMember(list, "length"));
    for (double i = from; i < length && i < 1e6; ++i) each(i, vm.GetValueMember(list, NumberToString(i)));
}

std::string ArrayToXml(Vm& vm, const Value& list) {
    std::string out = "<array>";
    ForEachIndex(vm, list, 0, [&](double i, const Value& v) {
        out += "<property id=\"" + NumberToString(i) + "\">" + ToXml(vm, v) + "</property>";
    });
    return out + "</array>";
}

std::string ObjectToXml(Vm& vm, const Value& v) {
    std::string out = "<object>";
    if (Object* o = v.AsObject()) {
        for (const std::string& key : vm.EnumerableKeys(o))
            out += "<property id=\"" + key + "\">" + ToXml(vm, vm.Get(o, key)) + "</property>";
    }
    return out + "</object>";
}

std::string ToXml(Vm& vm, const Value& v) {
    switch (v.Type()) {
    case ValueType::Undefined: return "<undefined/>";
    case ValueType::Null: return "<null/>";
    case ValueType::Boolean: return v.AsBool() ? "<true/>" : "<false/>";
    case ValueType::Number: return "<number>" + NumberToString(v.AsNumber()) + "</number>";
    case ValueType::String: {
        std::string text = v.AsString();
        return "<string>" + (text.empty() ? "null" : EscapeXml(text)) + "</string>";
    }
    case ValueType::Object:
        if (v.AsObject()->AsFunction()) return "<null/>";
        return IsArray(vm, v) ? ArrayToXml(vm, v) : ObjectToXml(vm, v);
    }
    return "<null/>";
}

Value FromXml(Vm& vm, const Value& node);

// The <property id="..."> children of an <array>, <arguments> or <object> node.
template <class Store>
void ForEachProperty(Vm& vm, const Value& node, Store store) {
    Value children = node.IsObject() ? vm.Get(node.AsObject(), "childNodes") : Value();
    ArrayObject* list = children.AsObject() ? children.AsObject()->AsArray() : nullptr;
    if (!list) return;
    std::vector<Value> items = list->Items();
    for (const Value& child : items) {
        Value attributes = vm.GetValueMember(child, "attributes");
        store(vm.GetValueMember(attributes, "id"), FromXml(vm, vm.GetValueMember(child, "firstChild")));
    }
}

Value FromXml(Vm& vm, const Value& node) {
    if (!node.IsObject()) return {};
    std::string name = vm.ToString(vm.Get(node.AsObject(), "nodeName"));
    Value text = vm.GetValueMember(vm.Get(node.AsObject(), "firstChild"), "nodeValue");
    if (name == "null") return Value::Null();
    if (name == "true" || name == "false") return Value::Bool(name == "true");
    if (name == "string") return Str(vm.ToString(text));
    if (name == "number") return Value::Number(vm.ToNumber(text));
    if (name == "array" || name == "arguments") {
        ArrayObject* a = vm.NewArray();
        ForEachProperty(vm, node, [&](const Value& id, const Value& v) { vm.Set(a, vm.ToString(id), v); });
        return Value::Obj(a);
    }
    if (name == "object") {
        Object* o = vm.NewObject();
        ForEachProperty(vm, node, [&](const Value& id, const Value& v) { vm.Set(o, vm.ToString(id), v); });
        return Value::Obj(o);
    }
    return {};
}

void InstallExternalInterface(Vm& vm) {
    Object* ei = vm.NewNative([](Vm&, CallContext& c) { return c.thisValue; }, vm.NewObject());
    Package(vm, "flash.external")->Define("ExternalInterface", Value::Obj(ei), kDontEnum);
    ei->Define("available", Value::Bool(false), kHidden | kReadOnly);
    vm.Method(ei, "addCallback", [](Vm&, CallContext&) { return Value::Bool(false); });
    vm.Method(ei, "call", [](Vm&, CallContext&) { return Value::Null(); });
    vm.Method(ei, "_escapeXML", EscapeForExternal);
    vm.Method(ei, "_unescapeXML", [](Vm& v, CallContext& c) { return Str(DecodeXmlEntities(StringArg(v, c, 0))); });
    vm.Method(ei, "_toXML", [](Vm& v, CallContext& c) { return Str(ToXml(v, c.Arg(0))); });
    vm.Method(ei, "_arrayToXML", [](Vm& v, CallContext& c) { return Str(ArrayToXml(v, c.Arg(0))); });
    // The call's arguments after the function name, bare.
    vm.Method(ei, "_argumentsToXML", [](Vm& v, CallContext& c) {
        std::string out = "<arguments>";
        ForEachIndex(v, c.Arg(0), 1, [&](double, const Value& item) { out += ToXml(v, item); });
        return Str(out + "</arguments>");
    });
    vm.Method(ei, "_objectToXML", [](Vm& v, CallContext& c) { return Str(ObjectToXml(v, c.Arg(0))); });
    vm.Method(ei, "_toAS", [](Vm& v, CallContext& c) { return FromXml(v, c.Arg(0)); });
    auto list = [](Vm& v, CallContext& c) {
        ArrayObject* a = v.NewArray();
        ForEachProperty(v, c.Arg(0), [&](const Value& id, const Value& value) { v.Set(a, v.ToString(id), value); });
        return Value::Obj(a);
    };
    vm.Method(ei, "_arrayToAS", list);
    vm.Method(ei, "_argumentsToAS", list);
    vm.Method(ei, "_objectToAS", [](Vm& v, CallContext& c) {
        Object* o = v.NewObject();
        ForEachProperty(v, c.Arg(0), [&](const Value& id, const Value& value) { v.Set(o, v.ToString(id), value); });
        return Value::Obj(o);
    });
}

// --- NetConnection / NetStream ---

// onStatus({level: "status", code: ...}) on the connection.
void Status(Vm& vm, const Value& self, const char* code) {
    Object* event = vm.NewObject();
    vm.Set(event, "level", Str("status"));
    vm.Set(event, "code", Str(code));
    Value arg = Value::Obj(event);
    vm.CallMethod(self, "onStatus", std::span<const Value>(&arg, 1));
}

void InstallNetConnection(Vm& vm) {
    Object* proto = vm.NewObject();
    vm.Class("NetConnection", [](Vm&, CallContext& c) {
        if (Object* o = c.thisValue.AsObject()) o->Define("isConnected", Value::Bool(false), kHidden);
        return Value();
    }, proto);
    // Only connect(null), the local "connection" for progressive video, succeeds; a
    // server address would need the network, so it never connects.
    vm.Method(proto, "connect", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value::Bool(false);
        if (v.ToBool(v.Get(self, "isConnected"))) Status(v, c.thisValue, "NetConnection.Connect.Closed");
        bool local = c.Arg(0).IsNull();
        self->Define("isConnected", Value::Bool(local), kHidden);
        if (local) Status(v, c.thisValue, "NetConnection.Connect.Success");
        return Value::Bool(local);
    }, kHidden);
    vm.Method(proto, "close", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self || !v.ToBool(v.Get(self, "isConnected"))) return Value();
        self->Define("isConnected", Value::Bool(false), kHidden);
        Status(v, c.thisValue, "NetConnection.Connect.Closed");
        return Value();
    }, kHidden);
    vm.Method(proto, "call", [](Vm&, CallContext&) { return Value::Bool(false); }, kHidden);
    vm.Method(proto, "addHeader", [](Vm&, CallContext&) { return Value(); }, kHidden);

    Object* stream = vm.NewObject();
    vm.Class("NetStream", [](Vm& v, CallContext& c) {
        if (Object* o = c.thisValue.AsObject()) {
            for (const char* name : {"bufferLength", "bufferTime", "bytesLoaded", "bytesTotal", "time", "currentFps"})
                v.Set(o, name, Value::Number(0));
        }
        return Value();
    }, stream);
    for (const char* name : {"play", "pause", "seek", "close", "setBufferTime", "attachAudio", "attachVideo"})
        vm.Method(stream, name, [](Vm&, CallContext&) { return Value(); }, kHidden);
}

// --- LocalConnection: no other movies to talk to ---

void InstallLocalConnection(Vm& vm) {
    Object* proto = vm.NewObject();
    vm.Class("LocalConnection", [](Vm&, CallContext&) { return Value(); }, proto);
    vm.Method(proto, "domain", [](Vm&, CallContext&) { return Str("localhost"); }, kHidden);
    vm.Method(proto, "connect", [](Vm&, CallContext& c) { return Value::Bool(c.Arg(0).IsString()); }, kHidden);
    vm.Method(proto, "close", [](Vm&, CallContext&) { return Value(); }, kHidden);
    vm.Method(proto, "send", [](Vm&, CallContext& c) { return Value::Bool(c.args.size() >= 2); }, kHidden);
}

// --- MovieClipLoader: a broadcaster that is its own first listener ---

void InstallMovieClipLoader(Vm& vm) {
    Object* proto = vm.NewObject();
    vm.Class("MovieClipLoader", [](Vm& v, CallContext& c) {
        if (Object* self = c.thisValue.AsObject()) {
            ArrayObject* listeners = v.NewArray();
            listeners->Push(c.thisValue);
            self->Define("_listeners", Value::Obj(listeners));
        }
        return Value();
    }, proto);
    Object* broadcaster = vm.Get(vm.Global(), "AsBroadcaster").AsObject();
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
        if (broadcaster) proto->Define(name, vm.Get(broadcaster, name), kHidden);
    // The host loads into the target; the player fetches, the script never sees the bytes.
    vm.Method(proto, "loadClip", [](Vm& v, CallContext& c) {
        Object* target = c.Arg(1).AsObject();
        if (!target && c.Arg(1).IsString()) target = v.ResolvePath(v.RootObject(), c.Arg(1).AsString(), nullptr);
        ClipObject* clip = target ? target->AsClip() : nullptr;
        ClipId id = clip && v.Display() ? v.LiveClip(clip) : kNoClip;
        if (!id || c.args.empty()) return Value::Bool(false);
        v.Display()->LoadMovie(id, StringArg(v, c, 0), 0);
        return Value::Bool(true);
    }, kHidden);
    vm.Method(proto, "unloadClip", [](Vm& v, CallContext& c) {
        ClipObject* clip = c.Arg(0).AsObject() ? c.Arg(0).AsObject()->AsClip() : nullptr;
        ClipId id = clip && v.Display() ? v.LiveClip(clip) : kNoClip;
        if (id) v.Display()->UnloadMovie(id);
        return Value::Bool(id != kNoClip);
    }, kHidden);
    vm.Method(proto, "getProgress", [](Vm& v, CallContext& c) {
        Object* progress = v.NewObject();
        ClipObject* clip = c.Arg(0).AsObject() ? c.Arg(0).AsObject()->AsClip() : nullptr;
        ClipId id = clip && v.Display() ? v.LiveClip(clip) : kNoClip;
        if (id) {
            v.Set(progress, "bytesLoaded", Value::Number(v.Display()->BytesLoaded(id)));
            v.Set(progress, "bytesTotal", Value::Number(v.Display()->BytesTotal(id)));
        }
        return Value::Obj(progress);
    }, kHidden);
}

// --- ContextMenu and ContextMenuItem keep what the script sets; the host draws the menu ---

Object* BuiltInItems(Vm& vm, bool shown) {
    Object* items = vm.NewObject();
    for (const char* name : {"save", "zoom", "quality", "play", "loop", "rewind", "forward_back", "print"})
        vm.Set(items, name, Value::Bool(shown));
    return items;
}

void InstallContextMenu(Vm& vm) {
    constexpr uint16_t kMenuFlags = kDontEnum | kDontDelete | kOnlySwf7Up;
    Object* item = vm.NewObject();
    vm.Class("ContextMenuItem", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        v.Set(self, "caption", c.Arg(0));
        v.Set(self, "onSelect", c.Arg(1));
        v.Set(self, "separatorBefore", c.Arg(2).IsNullish() ? Value::Bool(false) : c.Arg(2));
        v.Set(self, "enabled", c.Arg(3).IsNullish() ? Value::Bool(true) : c.Arg(3));
        v.Set(self, "visible", c.Arg(4).IsNullish() ? Value::Bool(true) : c.Arg(4));
        return Value();
    }, item);
    vm.Method(item, "copy", [](Vm& v, CallContext& c) {
        Value copy = v.Construct(v.Get(v.Global(), "ContextMenuItem").AsObject(), {});
        for (const char* name : {"caption", "onSelect", "separatorBefore", "enabled", "visible"})
            if (copy.AsObject()) v.Set(copy.AsObject(), name, v.GetValueMember(c.thisValue, name));
        return copy;
    }, kMenuFlags);

    Object* menu = vm.NewObject();
    vm.Class("ContextMenu", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        v.Set(self, "onSelect", c.Arg(0));
        v.Set(self, "builtInItems", Value::Obj(BuiltInItems(v, true)));
        v.Set(self, "customItems", v.Construct(v.Get(v.Global(), "Array").AsObject(), {}));
        return Value();
    }, menu);
    vm.Method(menu, "copy", [](Vm& v, CallContext& c) {
        Value copy = v.Construct(v.Get(v.Global(), "ContextMenu").AsObject(), {});
        Object* to = copy.AsObject();
        if (!to) return copy;
        v.Set(to, "onSelect", v.GetValueMember(c.thisValue, "onSelect"));
        v.Set(to, "builtInItems", v.GetValueMember(c.thisValue, "builtInItems"));  // shared, as the player shares it
        Value items = v.Construct(v.Get(v.Global(), "Array").AsObject(), {});
        v.Set(to, "customItems", items);
        Value source = v.GetValueMember(c.thisValue, "customItems");
        double length = v.ToNumber(v.GetValueMember(source, "length"));
        for (double i = 0; i < length && i < 1e6; ++i) {
            Value copied = v.CallMethod(v.GetValueMember(source, NumberToString(i)), "copy", {});
            v.CallMethod(items, "push", std::span<const Value>(&copied, 1));
        }
        return copy;
    }, kMenuFlags);
    vm.Method(menu, "hideBuiltInItems", [](Vm& v, CallContext& c) {
        if (Object* self = c.thisValue.AsObject()) v.Set(self, "builtInItems", Value::Obj(BuiltInItems(v, false)));
        return Value();
    }, kMenuFlags);
}

// --- FileReference and FileReferenceList: there is no file dialog, so every browse
// ends as a cancelled one and nothing is downloaded or uploaded ---

// A file-type list is an array of {description, extension} with both non-empty.
bool ValidTypeList(Vm& vm, const Value& list) {
    if (list.IsUndefined()) return true;
    ArrayObject* a = list.AsObject() ? list.AsObject()->AsArray() : nullptr;
    if (!a || a->Items().empty()) return false;
    for (const Value& entry : a->Items()) {
        for (const char* field : {"description", "extension"}) {
            Value v = vm.GetValueMember(entry, field);
            if (v.IsNullish() || vm.ToString(v).empty()) return false;
        }
    }
    return true;
}

void InstallFileReference(Vm& vm) {
    Object* package = Package(vm, "flash.net");
    Object* broadcaster = vm.Get(vm.Global(), "AsBroadcaster").AsObject();
    for (const char* className : {"FileReference", "FileReferenceList"}) {
        Object* proto = vm.NewObject();
        vm.Class(className, [](Vm& v, CallContext& c) {
            if (Object* self = c.thisValue.AsObject()) self->Define("_listeners", Value::Obj(v.NewArray()));
            return Value();
        }, proto, package);
        for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
            if (broadcaster) proto->Define(name, vm.Get(broadcaster, name), kHidden);
        vm.Method(proto, "browse", [](Vm& v, CallContext& c) {
            if (!ValidTypeList(v, c.Arg(0))) return Value::Bool(false);
            Value args[] = {Str("onCancel"), c.thisValue};
            v.CallMethod(c.thisValue, "broadcastMessage", args);
            return Value::Bool(true);
        }, kHidden);
    }
    Object* fileProto = vm.Get(vm.Get(package, "FileReference").AsObject(), "prototype").AsObject();
    for (const char* name : {"download", "upload"})
        vm.Method(fileProto, name, [](Vm&, CallContext&) { return Value::Bool(false); }, kHidden);
    vm.Method(fileProto, "cancel", [](Vm&, CallContext&) { return Value(); }, kHidden);
}

}  // namespace

void InstallNetBuiltins(Vm& vm) {
    InstallExternalInterface(vm);
    InstallNetConnection(vm);
    InstallLocalConnection(vm);
    InstallMovieClipLoader(vm);
    InstallContextMenu(vm);
    InstallFileReference(vm);
    // A movie played from disk, as the standalone player runs it.
    Value system = vm.Get(vm.Global(), "System");
    Object* security = system.AsObject() ? vm.Get(system.AsObject(), "security").AsObject() : nullptr;
    if (security) security->Define("sandboxType", Str("localWithFile"), kHidden | kReadOnly);
    for (Object* proto : {vm.Protos().movieClip, vm.Protos().button})
        if (proto) proto->Define("useHandCursor", Value::Bool(true), kDontEnum);
}

}  // namespace velmora::avm1
