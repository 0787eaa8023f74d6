// The built-in classes and global functions, installed into a new Vm.
#pragma once

#include "engine/avm1/vm.h"

namespace velmora::avm1 {

void InstallObjectBuiltins(Vm& vm);   // Object, Function, Error, ASSetPropFlags, AsBroadcaster
void InstallArrayBuiltins(Vm& vm);
void InstallStringBuiltins(Vm& vm);
void InstallNumberBuiltins(Vm& vm);   // Number, Boolean, Math
void InstallDateBuiltins(Vm& vm);
void InstallGlobalFunctions(Vm& vm);  // parseInt, escape, setInterval, getTimer...
void InstallDisplayBuiltins(Vm& vm);  // MovieClip, Button, TextField
void InstallEnvironmentBuiltins(Vm& vm);  // Key, Mouse, Stage, Color, System
void InstallSoundBuiltins(Vm& vm);
void InstallTextBuiltins(Vm& vm);         // TextField methods, TextFormat, Selection
void InstallBitmapBuiltins(Vm& vm);       // flash.display.BitmapData
void InstallFilterBuiltins(Vm& vm);       // flash.filters; MovieClip.filters, blendMode, cacheAsBitmap
void InstallGeomBuiltins(Vm& vm);         // flash.geom: Point, Rectangle, Matrix, ColorTransform, Transform
void InstallLoadVarsBuiltins(Vm& vm);
void InstallXmlBuiltins(Vm& vm);          // XMLNode, XML
void InstallNetBuiltins(Vm& vm);  // ExternalInterface, NetConnection, LocalConnection, MovieClipLoader, ContextMenu
void InstallNativeBuiltins(Vm& vm);  // ASnative, ASSetNative, ASSetNativeAccessor; last, as it maps the others

// load/send/sendAndLoad/addRequestHeader/getBytes*/onData/onLoad and contentType on a
// prototype; formData: LoadVars (decode, GET allowed) rather than XML (parseXML, POST).
void InstallDataLoading(Vm& vm, Object* proto, bool formData);
// LoadVars.toString and decode: name=value pairs, escaped, joined by '&'.
std::string EncodeFormData(Vm& vm, Object* self);
void DecodeFormData(Vm& vm, Object* self, std::string_view text);

// The `+` operator of SWF 5 and later: text when either side's primitive is text.
Value AddValues(Vm& vm, const Value& a, const Value& b);
// A package object under _global ("flash.geom"), made on first use; `flash` is seen from SWF 8 on.
Object* Package(Vm& vm, std::string_view dottedPath);

// A boxed string; its length is an ordinary hidden slot a script may overwrite.
class StringObject : public Object {
public:
    StringObject(Object* proto, std::string text) : Object(proto) {
        SetKind(ObjectKind::String);
        Define("length", Value::Number(static_cast<double>(Utf8ToUtf16(text).size())), kDontEnum | kDontDelete);
        SetInternal(Value::String(std::move(text)));
    }
};

// The global parsing functions, also used by tests.
double ParseInt(std::string_view text, int radix);  // radix 0: from the text
double ParseFloat(std::string_view text);
std::string Escape(std::string_view bytes);
std::string Unescape(std::string_view text);

// Gives an object the AsBroadcaster methods and an empty listener list.
void MakeBroadcaster(Vm& vm, Object* o);

// The live display object a value stands for (a removed clip's successor), or kNoClip.
inline ClipId ClipOfValue(Vm& vm, const Value& v) {
    Object* o = v.AsObject();
    ClipObject* clip = o ? vm.Redirect(o)->AsClip() : nullptr;
    return clip && vm.Display() ? vm.LiveClip(clip) : kNoClip;
}
// The live display object `this` stands for, or kNoClip.
inline ClipId ThisClip(Vm& vm, CallContext& c) { return ClipOfValue(vm, c.thisValue); }

// A method that needs a live clip; others get undefined.
template <class F>
void ClipMethod(Vm& vm, Object* proto, std::string_view name, F body) {
    vm.Method(proto, name, [body](Vm& v, CallContext& c) -> Value {
        ClipId clip = ThisClip(v, c);
        if (!clip) return {};
        return body(v, c, *v.Display(), clip);
    });
}

// Argument helpers for native functions.
inline double NumberArg(Vm& vm, CallContext& c, size_t i, double fallback) {
    return i < c.args.size() && !c.args[i].IsUndefined() ? vm.ToNumber(c.args[i]) : fallback;
}
inline std::string StringArg(Vm& vm, CallContext& c, size_t i) {
    return i < c.args.size() ? vm.ToString(c.args[i]) : std::string();
}

}  // namespace velmora::avm1
