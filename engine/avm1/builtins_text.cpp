// TextField methods, the TextFormat class and Selection (keyboard focus).
#include <cmath>
#include <string>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

using text::TextAlign;
using text::TextFormat;

constexpr const char* kAlignNames[] = {"left", "right", "center", "justify"};

// TextFormat's fields in the order the constructor takes them, then the rest.
constexpr const char* kFormatFields[] = {"font", "size", "color", "bold", "italic", "underline", "url", "target",
                                         "align", "leftMargin", "rightMargin", "indent", "leading", "blockIndent",
                                         "tabStops", "bullet", "kerning", "letterSpacing"};

Value OptionalNumber(const std::optional<double>& v) { return v ? Value::Number(*v) : Value::Null(); }
Value OptionalBool(const std::optional<bool>& v) { return v ? Value::Bool(*v) : Value::Null(); }
Value OptionalString(const std::optional<std::string>& v) { return v ? Value::String(*v) : Value::Null(); }

bool IsSet(const Value& v) { return !v.IsUndefined() && !v.IsNull(); }

Object* NewFormatObject(Vm& vm) {
    Object* o = vm.Make<Object>(vm.Protos().textFormat);
    for (const char* name : kFormatFields) o->SetOwn(name, Value::Null(), vm.Version());
    return o;
}

Value FormatToObject(Vm& vm, const TextFormat& f) {
    Object* o = NewFormatObject(vm);
    auto set = [&](const char* name, Value v) { o->SetOwn(name, std::move(v), vm.Version()); };
    set("font", OptionalString(f.font));
    set("size", OptionalNumber(f.size));
    set("color", f.color ? Value::Number(*f.color) : Value::Null());
    set("bold", OptionalBool(f.bold));
    set("italic", OptionalBool(f.italic));
    set("underline", OptionalBool(f.underline));
    set("url", OptionalString(f.url));
    set("target", OptionalString(f.target));
    set("align", f.align ? Value::String(kAlignNames[static_cast<int>(*f.align)]) : Value::Null());
    set("leftMargin", OptionalNumber(f.leftMargin));
    set("rightMargin", OptionalNumber(f.rightMargin));
    set("indent", OptionalNumber(f.indent));
    set("leading", OptionalNumber(f.leading));
    set("blockIndent", OptionalNumber(f.blockIndent));
    set("bullet", OptionalBool(f.bullet));
    set("kerning", OptionalBool(f.kerning));
    set("letterSpacing", OptionalNumber(f.letterSpacing));
    if (f.tabStops) {
        ArrayObject* a = vm.NewArray();
        for (double stop : *f.tabStops) a->Push(Value::Number(stop));
        set("tabStops", Value::Obj(a));
    } else {
        set("tabStops", Value::Null());
    }
    return Value::Obj(o);
}

TextFormat FormatFromObject(Vm& vm, Object* o) {
    TextFormat f;
    if (!o) return f;
    auto get = [&](const char* name) { return vm.Get(o, name); };
    auto number = [&](const char* name, std::optional<double>& field, bool whole) {
        Value v = get(name);
        if (!IsSet(v)) return;
        double n = vm.ToNumber(v);
        if (std::isfinite(n)) field = whole ? std::trunc(n) : n;
    };
    auto flag = [&](const char* name, std::optional<bool>& field) {
        Value v = get(name);
        if (IsSet(v)) field = vm.ToBool(v);
    };
    auto string = [&](const char* name, std::optional<std::string>& field) {
        Value v = get(name);
        if (IsSet(v)) field = vm.ToString(v);
    };
    string("font", f.font);
    number("size", f.size, true);
    if (Value c = get("color"); IsSet(c)) f.color = text::ColorFromNumber(vm.ToNumber(c));
    flag("bold", f.bold);
    flag("italic", f.italic);
    flag("underline", f.underline);
    string("url", f.url);
    string("target", f.target);
    if (Value a = get("align"); IsSet(a)) {
        std::string name = FoldCase(vm.ToString(a));
        for (int i = 0; i < 4; ++i)
            if (name == kAlignNames[i]) f.align = static_cast<TextAlign>(i);
    }
    number("leftMargin", f.leftMargin, true);
    number("rightMargin", f.rightMargin, true);
    number("indent", f.indent, true);
    number("leading", f.leading, true);
    number("blockIndent", f.blockIndent, true);
    flag("bullet", f.bullet);
    flag("kerning", f.kerning);
    number("letterSpacing", f.letterSpacing, false);
    if (Object* stops = get("tabStops").AsObject(); stops && stops->AsArray()) {
        std::vector<double> list;
        for (const Value& v : stops->AsArray()->Items()) list.push_back(vm.ToNumber(v));
        f.tabStops = std::move(list);
    }
    return f;
}

void InstallTextFormat(Vm& vm) {
    Object* proto = vm.NewObject();
    vm.Protos().textFormat = proto;
    vm.Class(
        "TextFormat",
        [](Vm& v, CallContext& c) -> Value {
            Object* self = c.thisValue.AsObject();
            if (!self) return {};
            for (const char* name : kFormatFields) self->SetOwn(name, Value::Null(), v.Version());
            for (size_t i = 0; i < c.args.size() && i < 13; ++i)
                if (IsSet(c.args[i])) self->SetOwn(kFormatFields[i], c.args[i], v.Version());
            return c.thisValue;
        },
        proto);
    // display takes only the player's three values; anything else is "block". It lives in
    // the object's internal value.
    Property& display = proto->Define("display", Value(), kDontEnum);
    display.getter = vm.NewNative([](Vm&, CallContext& c) -> Value {
        Object* self = c.thisValue.AsObject();
        return self && self->Internal().IsString() ? self->Internal() : Value::String("block");
    });
    display.setter = vm.NewNative([](Vm& v, CallContext& c) -> Value {
        Object* self = c.thisValue.AsObject();
        if (!self) return {};
        std::string value = IsSet(c.Arg(0)) ? v.ToString(c.Arg(0)) : std::string();
        self->SetInternal(Value::String(value == "inline" || value == "none" ? value : "block"));
        return {};
    });
}

// (begin, end) of getTextFormat/setTextFormat from the leading number arguments; -1 for absent.
void Range(Vm& vm, CallContext& c, size_t numbers, int& begin, int& end) {
    begin = end = -1;
    if (numbers >= 1) begin = vm.ToInt32(c.Arg(0));
    if (numbers >= 2) end = vm.ToInt32(c.Arg(1));
    if (numbers == 1) end = begin + 1;
}

void InstallTextFieldMethods(Vm& vm, Object* tf) {
    ClipMethod(vm, tf, "getTextFormat", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) -> Value {
        int begin, end;
        size_t numbers = 0;
        while (numbers < c.args.size() && numbers < 2 && IsSet(c.args[numbers])) ++numbers;
        Range(v, c, numbers, begin, end);
        TextFormat f;
        if (!d.GetTextFormat(clip, begin, end, false, f)) return Value::Obj(NewFormatObject(v));
        return FormatToObject(v, f);
    });
    ClipMethod(vm, tf, "getNewTextFormat", [](Vm& v, CallContext&, DisplayHost& d, ClipId clip) -> Value {
        TextFormat f;
        if (!d.GetTextFormat(clip, -1, -1, true, f)) return {};
        return FormatToObject(v, f);
    });
    ClipMethod(vm, tf, "setTextFormat", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) -> Value {
        // The format is the last argument; numbers before it give the range.
        if (c.args.empty()) return {};
        Object* format = c.args.back().AsObject();
        if (!format) return {};
        int begin, end;
        Range(v, c, c.args.size() - 1, begin, end);
        d.SetTextFormat(clip, begin, end, false, FormatFromObject(v, format));
        return {};
    });
    ClipMethod(vm, tf, "setNewTextFormat", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) -> Value {
        if (Object* format = c.Arg(0).AsObject()) d.SetTextFormat(clip, -1, -1, true, FormatFromObject(v, format));
        return {};
    });
    ClipMethod(vm, tf, "replaceSel", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) -> Value {
        if (!c.args.empty()) d.ReplaceText(clip, -1, -1, v.ToString(c.args[0]));
        return {};
    });
    ClipMethod(vm, tf, "replaceText", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) -> Value {
        if (c.args.size() < 3) return {};
        int begin = v.ToInt32(c.args[0]), end = v.ToInt32(c.args[1]);
        if (begin < 0 || end < begin) return {};
        d.ReplaceText(clip, begin, end, v.ToString(c.args[2]));
        return {};
    });
    ClipMethod(vm, tf, "removeTextField", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        d.Remove(clip);
        return Value();
    });
    MakeBroadcaster(vm, tf);
    vm.Method(vm.Get(vm.Global(), "TextField").AsObject(), "getFontList", [](Vm& v, CallContext&) {
        ArrayObject* a = v.NewArray();
        for (const char* name : {"_sans", "_serif", "_typewriter"}) a->Push(Value::String(name));
        return Value::Obj(a);
    });
}

Value FocusValue(Vm& vm, ClipId clip) { return clip ? Value::Obj(vm.ObjectForClip(clip)) : Value::Null(); }

void InstallSelection(Vm& vm) {
    Object* selection = vm.NewObject();
    vm.Global()->Define("Selection", Value::Obj(selection));
    vm.Method(selection, "getFocus", [](Vm& v, CallContext&) -> Value {
        DisplayHost* d = v.Display();
        ClipId focus = d ? d->Focus() : kNoClip;
        return focus ? Value::String(v.TargetPath(focus)) : Value::Null();
    });
    vm.Method(selection, "setFocus", [selection](Vm& v, CallContext& c) -> Value {
        DisplayHost* d = v.Display();
        if (!d || c.args.empty()) return Value::Bool(false);
        Value target = c.args[0];
        ClipId next = kNoClip;
        if (IsSet(target)) {
            Object* o = target.AsObject();
            if (!o && target.IsString()) o = v.ResolvePath(v.RootObject(), target.AsString(), nullptr);
            ClipObject* clip = o ? v.Redirect(o)->AsClip() : nullptr;
            next = clip ? v.LiveClip(clip) : kNoClip;
            if (!next) return Value::Bool(false);
        }
        const ClipId old = d->Focus();
        if (old == next) return Value::Bool(true);
        d->SetFocus(next);
        Value oldValue = FocusValue(v, old), newValue = FocusValue(v, next);
        if (old) v.CallMethod(oldValue, "onKillFocus", std::span<const Value>(&newValue, 1));
        if (next) v.CallMethod(newValue, "onSetFocus", std::span<const Value>(&oldValue, 1));
        Value args[3] = {Value::String("onSetFocus"), oldValue, newValue};
        v.CallMethod(Value::Obj(selection), "broadcastMessage", args);
        return Value::Bool(true);
    });
    auto index = [](int which) {
        return [which](Vm& v, CallContext&) {
            int values[3] = {-1, -1, -1};
            if (DisplayHost* d = v.Display()) d->GetSelection(values[0], values[1], values[2]);
            return Value::Number(values[which]);
        };
    };
    vm.Method(selection, "getBeginIndex", index(0));
    vm.Method(selection, "getEndIndex", index(1));
    vm.Method(selection, "getCaretIndex", index(2));
    vm.Method(selection, "setSelection", [](Vm& v, CallContext& c) -> Value {
        if (DisplayHost* d = v.Display(); d && !c.args.empty())
            d->SetSelection(v.ToInt32(c.Arg(0)), c.args.size() > 1 ? v.ToInt32(c.args[1]) : v.ToInt32(c.Arg(0)));
        return {};
    });
    MakeBroadcaster(vm, selection);
}

}  // namespace

void InstallTextBuiltins(Vm& vm) {
    InstallTextFieldMethods(vm, vm.Protos().textField);
    InstallTextFormat(vm);
    InstallSelection(vm);
}

}  // namespace velmora::avm1
