// flash.filters: the nine filter classes with the player's argument order, defaults and
// clamping, and MovieClip.filters / blendMode / cacheAsBitmap over the display host.
#include "engine/avm1/builtins_filters.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/avm1/builtins.h"
#include "engine/avm1/builtins_geom.h"

namespace velmora::avm1 {

namespace {

enum class FilterClass : uint8_t {
    Bevel, Blur, ColorMatrix, Convolution, DisplacementMap, DropShadow, Glow, GradientBevel, GradientGlow
};

constexpr const char* kClassNames[] = {"BevelFilter", "BlurFilter", "ColorMatrixFilter", "ConvolutionFilter",
                                       "DisplacementMapFilter", "DropShadowFilter", "GlowFilter",
                                       "GradientBevelFilter", "GradientGlowFilter"};

// A filter as scripts see it: angles in degrees, colours as numbers with separate alphas.
struct FilterValues : NativeData {
    FilterClass cls = FilterClass::Blur;
    double distance = 4, angle = 45;
    double color = 0, alpha = 1;
    double highlightColor = 0xFFFFFF, highlightAlpha = 1, shadowColor = 0, shadowAlpha = 1;
    double blurX = 4, blurY = 4, strength = 1, quality = 1;
    bool inner = false, knockout = false, hideObject = false;
    std::string type = "inner";
    std::vector<double> colors, alphas, ratios, matrix;
    double matrixX = 0, matrixY = 0, divisor = 1, bias = 0;
    bool preserveAlpha = true, clamp = true;
    Value mapBitmap;
    double mapX = 0, mapY = 0, componentX = 0, componentY = 0, scaleX = 0, scaleY = 0;
    std::string mode = "wrap";

    void TraceRefs(std::vector<Object*>& out) const override {
        if (Object* o = mapBitmap.AsObject()) out.push_back(o);
    }
};

FilterValues* ValuesOf(const Value& v) {
    Object* o = v.AsObject();
    return o ? o->Data<FilterValues>() : nullptr;
}

double Clamp(double v, double lo, double hi) { return std::isnan(v) ? lo : std::clamp(v, lo, hi); }
double ColorNumber(Vm& vm, const Value& v) { return static_cast<double>(ToUint32(vm.ToNumber(v)) & 0xFFFFFF); }

// Integers the player keeps in a byte-sized field.
double Whole(double v, double lo, double hi) { return std::trunc(Clamp(v, lo, hi)); }

std::vector<double> NumberList(Vm& vm, const Value& v) {
    std::vector<double> out;
    Object* o = v.AsObject();
    ArrayObject* a = o ? o->AsArray() : nullptr;
    if (!a) return out;
    for (const Value& item : a->Items()) out.push_back(vm.ToNumber(item));
    return out;
}

Value ListValue(Vm& vm, const std::vector<double>& list) {
    ArrayObject* a = vm.NewArray();
    for (double d : list) a->Push(Value::Number(d));
    return Value::Obj(a);
}

// The gradient lists keep one entry per colour; alphas and ratios follow the colours.
void FitGradient(FilterValues& f) {
    f.alphas.resize(f.colors.size(), 1);
    f.ratios.resize(f.colors.size(), 0);
    for (double& a : f.alphas) a = Clamp(a, 0, 1);
    for (double& r : f.ratios) r = Whole(r, 0, 255);
    for (double& c : f.colors) c = static_cast<double>(ToUint32(c) & 0xFFFFFF);
}

void FitMatrix(FilterValues& f) {
    if (f.cls == FilterClass::ColorMatrix) f.matrix.resize(20, 0);
    else f.matrix.resize(static_cast<size_t>(f.matrixX * f.matrixY), 0);
}

const std::vector<double> kIdentityMatrix = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};

bool ValidType(const std::string& t) { return t == "inner" || t == "outer" || t == "full"; }
const std::string kModes[] = {"wrap", "clamp", "ignore", "color"};
bool ValidMode(const std::string& m) { return std::find(std::begin(kModes), std::end(kModes), m) != std::end(kModes); }

// One script property of a filter class.
struct Field {
    const char* name;
    std::function<Value(Vm&, FilterValues&)> get;
    std::function<void(Vm&, FilterValues&, const Value&)> set;
};

Field Number(const char* name, double FilterValues::*m, double lo, double hi, bool whole = false) {
    return {name, [m](Vm&, FilterValues& f) { return Value::Number(f.*m); },
            [m, lo, hi, whole](Vm& vm, FilterValues& f, const Value& v) {
                const double n = vm.ToNumber(v);
                f.*m = whole ? Whole(n, lo, hi) : Clamp(n, lo, hi);
            }};
}
Field Plain(const char* name, double FilterValues::*m) {
    return {name, [m](Vm&, FilterValues& f) { return Value::Number(f.*m); },
            [m](Vm& vm, FilterValues& f, const Value& v) { f.*m = vm.ToNumber(v); }};
}
Field Color(const char* name, double FilterValues::*m) {
    return {name, [m](Vm&, FilterValues& f) { return Value::Number(f.*m); },
            [m](Vm& vm, FilterValues& f, const Value& v) { f.*m = ColorNumber(vm, v); }};
}
Field Flag(const char* name, bool FilterValues::*m) {
    return {name, [m](Vm&, FilterValues& f) { return Value::Bool(f.*m); },
            [m](Vm& vm, FilterValues& f, const Value& v) { f.*m = vm.ToBool(v); }};
}
Field Text(const char* name, std::string FilterValues::*m, bool (*valid)(const std::string&)) {
    return {name, [m](Vm&, FilterValues& f) { return Value::String(f.*m); },
            [m, valid](Vm& vm, FilterValues& f, const Value& v) {
                if (std::string t = vm.ToString(v); valid(t)) f.*m = t;
            }};
}
Field List(const char* name, std::vector<double> FilterValues::*m) {
    return {name, [m](Vm& vm, FilterValues& f) { return ListValue(vm, f.*m); },
            [m](Vm& vm, FilterValues& f, const Value& v) {
                f.*m = NumberList(vm, v);
                if (f.cls == FilterClass::GradientBevel || f.cls == FilterClass::GradientGlow) FitGradient(f);
                else FitMatrix(f);
            }};
}

Field Distance() { return Plain("distance", &FilterValues::distance); }
Field Angle() { return Plain("angle", &FilterValues::angle); }
Field Alpha(const char* name, double FilterValues::*m) { return Number(name, m, 0, 1); }
Field BlurX() { return Number("blurX", &FilterValues::blurX, 0, 255); }
Field BlurY() { return Number("blurY", &FilterValues::blurY, 0, 255); }
Field Strength() { return Number("strength", &FilterValues::strength, 0, 255); }
Field Quality() { return Number("quality", &FilterValues::quality, 0, 15, true); }
Field Type() { return Text("type", &FilterValues::type, ValidType); }
Field Knockout() { return Flag("knockout", &FilterValues::knockout); }
Field Size(const char* name, double FilterValues::*m) {
    return {name, [m](Vm&, FilterValues& f) { return Value::Number(f.*m); },
            [m](Vm& vm, FilterValues& f, const Value& v) {
                f.*m = Whole(vm.ToNumber(v), 0, 15);
                FitMatrix(f);
            }};
}
Field MapPoint() {
    return {"mapPoint", [](Vm& vm, FilterValues& f) { return MakePoint(vm, f.mapX, f.mapY); },
            [](Vm& vm, FilterValues& f, const Value& v) {
                double x = 0, y = 0;
                if (!ReadPoint(vm, v, x, y)) return;
                f.mapX = ToInt32(x);
                f.mapY = ToInt32(y);
            }};
}
Field MapBitmap() {
    return {"mapBitmap", [](Vm&, FilterValues& f) { return f.mapBitmap; },
            [](Vm&, FilterValues& f, const Value& v) { f.mapBitmap = v.IsObject() ? v : Value(); }};
}

// Constructor argument order is the property order given here.
std::vector<Field> FieldsOf(FilterClass cls) {
    using F = FilterValues;
    switch (cls) {
    case FilterClass::Bevel:
        return {Distance(), Angle(), Color("highlightColor", &F::highlightColor),
                Alpha("highlightAlpha", &F::highlightAlpha), Color("shadowColor", &F::shadowColor),
                Alpha("shadowAlpha", &F::shadowAlpha), BlurX(), BlurY(), Strength(), Quality(), Type(), Knockout()};
    case FilterClass::Blur: return {BlurX(), BlurY(), Quality()};
    case FilterClass::ColorMatrix: return {List("matrix", &F::matrix)};
    case FilterClass::Convolution:
        return {Size("matrixX", &F::matrixX), Size("matrixY", &F::matrixY), List("matrix", &F::matrix),
                Plain("divisor", &F::divisor), Plain("bias", &F::bias), Flag("preserveAlpha", &F::preserveAlpha),
                Flag("clamp", &F::clamp), Color("color", &F::color), Alpha("alpha", &F::alpha)};
    case FilterClass::DisplacementMap:
        return {MapBitmap(), MapPoint(), Plain("componentX", &F::componentX), Plain("componentY", &F::componentY),
                Number("scaleX", &F::scaleX, -65535, 65535), Number("scaleY", &F::scaleY, -65535, 65535),
                Text("mode", &F::mode, ValidMode), Color("color", &F::color), Alpha("alpha", &F::alpha)};
    case FilterClass::DropShadow:
        return {Distance(), Angle(), Color("color", &F::color), Alpha("alpha", &F::alpha), BlurX(), BlurY(),
                Strength(), Quality(), Flag("inner", &F::inner), Knockout(), Flag("hideObject", &F::hideObject)};
    case FilterClass::Glow:
        return {Color("color", &F::color), Alpha("alpha", &F::alpha), BlurX(), BlurY(), Strength(), Quality(),
                Flag("inner", &F::inner), Knockout()};
    case FilterClass::GradientBevel:
    case FilterClass::GradientGlow:
        return {Distance(), Angle(), List("colors", &F::colors), List("alphas", &F::alphas),
                List("ratios", &F::ratios), BlurX(), BlurY(), Strength(), Quality(), Type(), Knockout()};
    }
    return {};
}

std::unique_ptr<FilterValues> Defaults(FilterClass cls) {
    auto f = std::make_unique<FilterValues>();
    f->cls = cls;
    switch (cls) {
    case FilterClass::Glow:
        f->color = 0xFF0000;
        f->blurX = f->blurY = 6;
        f->strength = 2;
        break;
    case FilterClass::ColorMatrix: f->matrix = kIdentityMatrix; break;
    case FilterClass::Convolution: f->alpha = 0; break;
    case FilterClass::DisplacementMap: f->alpha = 0; break;
    default: break;
    }
    return f;
}

Object* ClassObject(Vm& vm, FilterClass cls) {
    Property* p = Package(vm, "flash.filters")->FindOwn(kClassNames[static_cast<int>(cls)], 10);
    return p ? p->value.AsObject() : nullptr;
}

Value NewFilterObject(Vm& vm, std::unique_ptr<FilterValues> values) {
    Object* ctor = ClassObject(vm, values->cls);
    Object* o = vm.NewObject();
    if (ctor)
        if (Object* proto = vm.Get(ctor, "prototype").AsObject()) o->SetProto(proto);
    o->SetData(std::move(values));
    return Value::Obj(o);
}

void InstallFilterClass(Vm& vm, Object* package, Object* base, FilterClass cls) {
    Object* proto = vm.Make<Object>(base);
    auto fields = std::make_shared<std::vector<Field>>(FieldsOf(cls));
    vm.Class(kClassNames[static_cast<int>(cls)], [cls, fields](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        auto values = Defaults(cls);
        // Both list-taking classes also read a list spread over the arguments.
        const size_t listAt = cls == FilterClass::ColorMatrix ? 0 : cls == FilterClass::Convolution ? 2 : SIZE_MAX;
        for (size_t i = 0; i < c.args.size() && i < fields->size(); ++i) {
            if (i == listAt && !(c.args[i].AsObject() && c.args[i].AsObject()->AsArray())) {
                for (size_t k = i; k < c.args.size(); ++k) values->matrix.push_back(v.ToNumber(c.args[k]));
                if (cls == FilterClass::ColorMatrix) FitMatrix(*values);
                break;
            }
            (*fields)[i].set(v, *values, c.args[i]);
        }
        // A substitute colour given without its alpha is opaque (both classes take the
        // colour eighth and its alpha ninth).
        if ((cls == FilterClass::Convolution || cls == FilterClass::DisplacementMap) && c.args.size() == 8)
            values->alpha = 1;
        self->SetData(std::move(values));
        return Value();
    }, proto, package);
    for (const Field& field : *fields) {
        auto get = field.get;
        auto set = field.set;
        DefineAccessor(vm, proto, field.name, [get](Vm& v, CallContext& c) {
            FilterValues* f = ValuesOf(c.thisValue);
            return f ? get(v, *f) : Value();
        }, [set](Vm& v, CallContext& c) {
            if (FilterValues* f = ValuesOf(c.thisValue)) set(v, *f, c.Arg(0));
            return Value();
        }, kDontEnum | kDontDelete);
    }
    vm.Method(proto, "clone", [](Vm& v, CallContext& c) {
        FilterValues* f = ValuesOf(c.thisValue);
        return f ? NewFilterObject(v, std::make_unique<FilterValues>(*f)) : Value();
    });
}

Rgba ToRgba(double color, double alpha) {
    const uint32_t c = ToUint32(color);
    return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c),
            static_cast<uint8_t>(std::lround(Clamp(alpha, 0, 1) * 255))};
}

double Degrees(double radians) { return radians * 180 / std::numbers::pi; }
double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

void SetType(Filter& f, const std::string& type) {
    f.inner = type == "inner";
    f.onTop = type == "full";
}

std::string TypeOf(const Filter& f) { return f.onTop ? "full" : f.inner ? "inner" : "outer"; }

const char* BlendModeName(BlendMode mode) {
    static constexpr const char* kNames[] = {"normal", "layer", "multiply", "screen", "lighten", "darken",
                                             "difference", "add", "subtract", "invert", "alpha", "erase",
                                             "overlay", "hardlight"};
    return kNames[static_cast<int>(mode) - 1];
}

// blendMode, filters and cacheAsBitmap of display objects.
void InstallEffectAccessors(Vm& vm, Object* proto) {
    constexpr uint16_t kFlags = kDontEnum | kDontDelete | kOnlySwf8Up;
    auto effects = [](Vm& v, const Value& self, DisplayEffects& out) {
        ClipId clip = ClipOfValue(v, self);
        return clip && v.Display()->GetEffects(clip, out) ? clip : kNoClip;
    };
    DefineAccessor(vm, proto, "blendMode", [effects](Vm& v, CallContext& c) {
        DisplayEffects e;
        return effects(v, c.thisValue, e) ? Value::String(BlendModeName(e.blendMode)) : Value();
    }, [effects](Vm& v, CallContext& c) {
        DisplayEffects e;
        ClipId clip = effects(v, c.thisValue, e);
        if (!clip) return Value();
        const Value& arg = c.Arg(0);
        if (arg.IsNumber()) {
            const double n = arg.AsNumber();
            if (n >= 1 && n <= 14) e.blendMode = static_cast<BlendMode>(static_cast<int>(n));
        } else {
            const std::string name = v.ToString(arg);
            for (int m = 1; m <= 14; ++m)
                if (name == BlendModeName(static_cast<BlendMode>(m))) e.blendMode = static_cast<BlendMode>(m);
        }
        v.Display()->SetEffects(clip, e);
        return Value();
    }, kFlags);
    DefineAccessor(vm, proto, "cacheAsBitmap", [effects](Vm& v, CallContext& c) {
        DisplayEffects e;
        return effects(v, c.thisValue, e) ? Value::Bool(e.cacheAsBitmap) : Value();
    }, [effects](Vm& v, CallContext& c) {
        DisplayEffects e;
        if (ClipId clip = effects(v, c.thisValue, e)) {
            e.cacheAsBitmap = v.ToBool(c.Arg(0));
            v.Display()->SetEffects(clip, e);
        }
        return Value();
    }, kFlags);
    // Scripts get copies: changing an element of the array changes nothing until it is set again.
    DefineAccessor(vm, proto, "filters", [effects](Vm& v, CallContext& c) {
        DisplayEffects e;
        if (!effects(v, c.thisValue, e)) return Value();
        ArrayObject* list = v.NewArray();
        for (const Filter& f : e.filters) list->Push(ObjectFromFilter(v, f));
        return Value::Obj(list);
    }, [effects](Vm& v, CallContext& c) {
        DisplayEffects e;
        ClipId clip = effects(v, c.thisValue, e);
        if (!clip) return Value();
        e.filters.clear();
        Object* o = c.Arg(0).AsObject();
        if (ArrayObject* list = o ? o->AsArray() : nullptr)
            for (const Value& item : list->Items())
                if (auto f = FilterFromObject(v, item)) e.filters.push_back(*f);
        v.Display()->SetEffects(clip, e);
        return Value();
    }, kFlags);
}

}  // namespace

std::optional<Filter> FilterFromObject(Vm&, const Value& v) {
    const FilterValues* s = ValuesOf(v);
    if (!s) return std::nullopt;
    Filter f;
    f.blurX = s->blurX;
    f.blurY = s->blurY;
    f.passes = static_cast<unsigned>(s->quality);
    f.strength = static_cast<float>(s->strength);
    f.angle = Radians(s->angle);
    f.distance = s->distance;
    f.knockout = s->knockout;
    f.inner = s->inner;
    f.compositeSource = !s->hideObject;
    switch (s->cls) {
    case FilterClass::Blur: f.kind = FilterKind::Blur; break;
    case FilterClass::DropShadow:
    case FilterClass::Glow:
        f.kind = s->cls == FilterClass::Glow ? FilterKind::Glow : FilterKind::DropShadow;
        f.colors = {ToRgba(s->color, s->alpha)};
        break;
    case FilterClass::Bevel:
        f.kind = FilterKind::Bevel;
        f.colors = {ToRgba(s->highlightColor, s->highlightAlpha), ToRgba(s->shadowColor, s->shadowAlpha)};
        SetType(f, s->type);
        break;
    case FilterClass::GradientBevel:
    case FilterClass::GradientGlow:
        f.kind = s->cls == FilterClass::GradientGlow ? FilterKind::GradientGlow : FilterKind::GradientBevel;
        for (size_t i = 0; i < s->colors.size(); ++i) {
            f.colors.push_back(ToRgba(s->colors[i], s->alphas[i]));
            f.ratios.push_back(static_cast<uint8_t>(s->ratios[i]));
        }
        SetType(f, s->type);
        break;
    case FilterClass::ColorMatrix:
        f.kind = FilterKind::ColorMatrix;
        for (double m : s->matrix) f.matrix.push_back(static_cast<float>(m));
        break;
    case FilterClass::Convolution:
        f.kind = FilterKind::Convolution;
        f.matrixX = static_cast<unsigned>(s->matrixX);
        f.matrixY = static_cast<unsigned>(s->matrixY);
        for (double m : s->matrix) f.matrix.push_back(static_cast<float>(m));
        f.divisor = static_cast<float>(s->divisor);
        f.bias = static_cast<float>(s->bias);
        f.preserveAlpha = s->preserveAlpha;
        f.clamp = s->clamp;
        f.defaultColor = ToRgba(s->color, s->alpha);
        break;
    case FilterClass::DisplacementMap:
        f.kind = FilterKind::DisplacementMap;
        f.mapX = s->mapX;
        f.mapY = s->mapY;
        f.componentX = ToUint32(s->componentX);
        f.componentY = ToUint32(s->componentY);
        f.scaleX = s->scaleX;
        f.scaleY = s->scaleY;
        f.mode = static_cast<uint8_t>(std::find(std::begin(kModes), std::end(kModes), s->mode) - std::begin(kModes));
        f.defaultColor = ToRgba(s->color, s->alpha);
        break;
    }
    return f;
}

Value ObjectFromFilter(Vm& vm, const Filter& f) {
    static constexpr FilterClass kFromKind[] = {FilterClass::DropShadow, FilterClass::Blur, FilterClass::Glow,
                                                FilterClass::Bevel, FilterClass::GradientGlow,
                                                FilterClass::Convolution, FilterClass::ColorMatrix,
                                                FilterClass::GradientBevel, FilterClass::DisplacementMap};
    auto s = Defaults(kFromKind[static_cast<int>(f.kind)]);
    auto color = [](Rgba c) { return static_cast<double>(uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b); };
    s->blurX = f.blurX;
    s->blurY = f.blurY;
    s->quality = f.passes;
    s->strength = f.strength;
    s->angle = Degrees(f.angle);
    s->distance = f.distance;
    s->knockout = f.knockout;
    s->inner = f.inner;
    s->hideObject = !f.compositeSource;
    s->type = TypeOf(f);
    if (!f.colors.empty() && (f.kind == FilterKind::DropShadow || f.kind == FilterKind::Glow)) {
        s->color = color(f.colors[0]);
        s->alpha = f.colors[0].a / 255.0;
    }
    if (f.kind == FilterKind::Bevel && f.colors.size() >= 2) {
        s->highlightColor = color(f.colors[0]);
        s->highlightAlpha = f.colors[0].a / 255.0;
        s->shadowColor = color(f.colors[1]);
        s->shadowAlpha = f.colors[1].a / 255.0;
    }
    if (f.kind == FilterKind::GradientGlow || f.kind == FilterKind::GradientBevel) {
        s->colors.clear();
        for (size_t i = 0; i < f.colors.size() && i < f.ratios.size(); ++i) {
            s->colors.push_back(color(f.colors[i]));
            s->alphas.push_back(f.colors[i].a / 255.0);
            s->ratios.push_back(f.ratios[i]);
        }
    }
    if (f.kind == FilterKind::ColorMatrix || f.kind == FilterKind::Convolution)
        s->matrix.assign(f.matrix.begin(), f.matrix.end());
    if (f.kind == FilterKind::DisplacementMap) {
        s->mapX = f.mapX;
        s->mapY = f.mapY;
        s->componentX = f.componentX;
        s->componentY = f.componentY;
        s->scaleX = f.scaleX;
        s->scaleY = f.scaleY;
        s->mode = kModes[std::min<size_t>(f.mode, 3)];
    }
    if (f.kind == FilterKind::Convolution) {
        s->matrixX = f.matrixX;
        s->matrixY = f.matrixY;
        s->divisor = f.divisor;
        s->bias = f.bias;
        s->preserveAlpha = f.preserveAlpha;
        s->clamp = f.clamp;
    }
    if (f.kind == FilterKind::Convolution || f.kind == FilterKind::DisplacementMap) {
        s->color = color(f.defaultColor);
        s->alpha = f.defaultColor.a / 255.0;
    }
    return NewFilterObject(vm, std::move(s));
}

void InstallFilterBuiltins(Vm& vm) {
    Object* package = Package(vm, "flash.filters");
    Object* base = vm.NewObject();
    vm.Class("BitmapFilter", [](Vm&, CallContext&) { return Value(); }, base, package);
    vm.Method(base, "clone", [](Vm&, CallContext&) { return Value(); });
    for (int cls = 0; cls <= static_cast<int>(FilterClass::GradientGlow); ++cls)
        InstallFilterClass(vm, package, base, static_cast<FilterClass>(cls));
    for (Object* proto : {vm.Protos().movieClip, vm.Protos().button, vm.Protos().textField})
        if (proto) InstallEffectAccessors(vm, proto);
}

}  // namespace velmora::avm1
