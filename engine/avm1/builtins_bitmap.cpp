// flash.display.BitmapData over the raster's BitmapBuffer, with the player's argument
// rules: too few arguments or a disposed bitmap answer -1, a bad bitmap argument -2.
#include "engine/avm1/builtins_bitmap.h"

#include <algorithm>
#include <cmath>

#include "engine/avm1/builtins.h"
#include "engine/avm1/builtins_filters.h"
#include "engine/avm1/builtins_geom.h"

namespace velmora::avm1 {

namespace {

using raster::BitmapBuffer;
using raster::PixelRect;

constexpr int kMaxSideSwf9 = 2880, kMaxSide = 8191, kMaxPixels = 16777215;

struct BitmapState : NativeData {
    std::shared_ptr<BitmapBuffer> pixels;  // null once disposed (or never valid)
};

BitmapBuffer* PixelsOf(const Value& v) {
    Object* o = v.AsObject();
    BitmapState* s = o ? o->Data<BitmapState>() : nullptr;
    return s ? s->pixels.get() : nullptr;
}

bool IsBitmapData(const Value& v) {
    Object* o = v.AsObject();
    return o && o->Data<BitmapState>();
}

const Value kFail = Value::Number(-1);
const Value kBadBitmap = Value::Number(-2);

int Int(Vm& vm, const Value& v) { return ToInt32(vm.ToNumber(v)); }
uint32_t Color(Vm& vm, const Value& v) { return ToUint32(vm.ToNumber(v)); }

bool ReadRect(Vm& vm, const Value& v, PixelRect& out) {
    RectValues r;
    if (!ReadRectangle(vm, v, r)) return false;
    for (double d : {r.x, r.y, r.width, r.height})
        if (std::isnan(d)) return false;
    const int x = ToInt32(r.x), y = ToInt32(r.y);
    out = {x, y, x + ToInt32(r.width), y + ToInt32(r.height)};
    return true;
}

// A point argument; anything unreadable is the origin.
void ReadXY(Vm& vm, const Value& v, int& x, int& y) {
    double px = 0, py = 0;
    if (!ReadPoint(vm, v, px, py)) px = py = 0;
    x = ToInt32(px);
    y = ToInt32(py);
}

Value RectValue(Vm& vm, const PixelRect& r) {
    return MakeRectangle(vm, {static_cast<double>(r.left), static_cast<double>(r.top),
                              static_cast<double>(r.right - r.left), static_cast<double>(r.bottom - r.top)});
}

// A method on a live bitmap with at least `minArgs` arguments.
template <class F>
void BitmapMethod(Vm& vm, Object* proto, std::string_view name, size_t minArgs, F body) {
    vm.Method(proto, name, [body, minArgs](Vm& v, CallContext& c) -> Value {
        BitmapBuffer* self = PixelsOf(c.thisValue);
        if (!self || c.args.size() < minArgs) return kFail;
        return body(v, c, *self);
    });
}

Value NewBitmapObject(Vm& vm, std::shared_ptr<BitmapBuffer> pixels) {
    Object* ctor = Package(vm, "flash.display")->FindOwn("BitmapData", 10)->value.AsObject();
    Value r = vm.Construct(ctor, {});
    if (Object* o = r.AsObject()) {
        auto state = std::make_unique<BitmapState>();
        state->pixels = std::move(pixels);
        o->SetData(std::move(state));
    }
    return r;
}

bool ValidSize(Vm& vm, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (vm.MovieVersion() <= 9) return width <= kMaxSideSwf9 && height <= kMaxSideSwf9;
    return width <= kMaxSide && height <= kMaxSide && static_cast<int64_t>(width) * height <= kMaxPixels;
}

void InstallProperties(Vm& vm, Object* proto) {
    auto getter = [&vm, proto](const char* name, std::function<Value(Vm&, BitmapBuffer&)> get) {
        DefineAccessor(vm, proto, name, [get](Vm& v, CallContext& c) {
            BitmapBuffer* b = PixelsOf(c.thisValue);
            return b ? get(v, *b) : kFail;
        }, nullptr, 0);
    };
    getter("height", [](Vm&, BitmapBuffer& b) { return Value::Number(b.Height()); });
    getter("rectangle", [](Vm& v, BitmapBuffer& b) { return RectValue(v, b.Bounds()); });
    getter("transparent", [](Vm&, BitmapBuffer& b) { return Value::Bool(b.Transparent()); });
    getter("width", [](Vm&, BitmapBuffer& b) { return Value::Number(b.Width()); });
}

void InstallPixelMethods(Vm& vm, Object* proto) {
    BitmapMethod(vm, proto, "getPixel", 2, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        return Value::Number(b.GetPixel32(Int(v, c.args[0]), Int(v, c.args[1])) & 0xFFFFFF);
    });
    BitmapMethod(vm, proto, "getPixel32", 2, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        return Value::Number(static_cast<int32_t>(b.GetPixel32(Int(v, c.args[0]), Int(v, c.args[1]))));
    });
    BitmapMethod(vm, proto, "setPixel", 3, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        b.SetPixel(Int(v, c.args[0]), Int(v, c.args[1]), Color(v, c.args[2]));
        return Value::Number(0);
    });
    BitmapMethod(vm, proto, "setPixel32", 3, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        b.SetPixel32(Int(v, c.args[0]), Int(v, c.args[1]), Color(v, c.args[2]));
        return Value::Number(0);
    });
    BitmapMethod(vm, proto, "fillRect", 2, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        PixelRect r;
        if (!ReadRect(v, c.args[0], r)) return Value::Number(-2);
        // A negative size fills back from the corner.
        if (r.right < r.left) std::swap(r.left, r.right);
        if (r.bottom < r.top) std::swap(r.top, r.bottom);
        b.FillRect(r, Color(v, c.args[1]));
        return Value::Number(0);
    });
    BitmapMethod(vm, proto, "floodFill", 3, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        const int x = Int(v, c.args[0]), y = Int(v, c.args[1]);
        const uint64_t before = b.Version();
        b.FloodFill(x, y, Color(v, c.args[2]));
        return Value::Number(b.Version() != before ? 1 : 0);
    });
    BitmapMethod(vm, proto, "noise", 1, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        auto level = [&](size_t i, int fallback) {
            return static_cast<uint32_t>(c.args.size() > i ? std::clamp(Int(v, c.args[i]), 0, 255) : fallback);
        };
        const uint32_t low = level(1, 0), high = level(2, 255);
        const uint32_t channels = c.args.size() > 3 ? Color(v, c.args[3]) : 7;
        const bool gray = c.args.size() > 4 && v.ToBool(c.args[4]);
        b.Noise(Int(v, c.args[0]), low, high, channels, gray);
        return Value::Number(0);
    });
    BitmapMethod(vm, proto, "colorTransform", 2, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        PixelRect r;
        ColorTransformValues cx;
        if (!ReadRect(v, c.args[0], r) || !ReadColorTransform(c.args[1], cx)) return kFail;
        b.Transform(r, cx.ToEngine());
        return Value::Number(0);
    });
    BitmapMethod(vm, proto, "scroll", 2, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        b.Scroll(Int(v, c.args[0]), Int(v, c.args[1]));
        return Value::Number(0);
    });
    BitmapMethod(vm, proto, "getColorBoundsRect", 2, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        const bool find = c.args.size() < 3 || v.ToBool(c.args[2]);
        return RectValue(v, b.ColorBounds(Color(v, c.args[0]), Color(v, c.args[1]), find));
    });
    BitmapMethod(vm, proto, "clone", 0, [](Vm& v, CallContext&, BitmapBuffer& b) {
        return NewBitmapObject(v, std::make_shared<BitmapBuffer>(b));
    });
    vm.Method(proto, "dispose", [](Vm&, CallContext& c) {
        Object* o = c.thisValue.AsObject();
        BitmapState* s = o ? o->Data<BitmapState>() : nullptr;
        if (!s || !s->pixels) return kFail;
        s->pixels.reset();
        return Value::Number(0);
    });
}

// Methods taking another bitmap: -2 when it is not one, -3 when it is disposed.
BitmapBuffer* SourceArg(const Value& v, Value& error) {
    if (!IsBitmapData(v)) {
        error = kBadBitmap;
        return nullptr;
    }
    BitmapBuffer* b = PixelsOf(v);
    if (!b) error = Value::Number(-3);
    return b;
}

// What copyPixels, copyChannel and threshold start with: the source bitmap, its rectangle
// and the destination point. False with the method's answer in `error` when unusable.
struct CopyArgs {
    BitmapBuffer* source = nullptr;
    PixelRect rect;
    int dx = 0, dy = 0;
};
bool ReadCopyArgs(Vm& v, CallContext& c, CopyArgs& out, Value& error) {
    out.source = SourceArg(c.args[0], error);
    if (!out.source) return false;
    if (!ReadRect(v, c.args[1], out.rect)) {
        error = Value::Number(-4);
        return false;
    }
    ReadXY(v, c.args[2], out.dx, out.dy);
    return true;
}

void InstallCopyMethods(Vm& vm, Object* proto) {
    BitmapMethod(vm, proto, "copyPixels", 3, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        CopyArgs a;
        Value error;
        if (!ReadCopyArgs(v, c, a, error)) return error;
        int ax = 0, ay = 0;
        BitmapBuffer* alpha = c.args.size() > 3 ? PixelsOf(c.args[3]) : nullptr;
        if (c.args.size() > 4) ReadXY(v, c.args[4], ax, ay);
        const bool merge = c.args.size() > 5 && v.ToBool(c.args[5]);
        b.CopyPixels(*a.source, a.rect, a.dx, a.dy, alpha, ax, ay, merge);
        return Value::Number(0);
    });
    BitmapMethod(vm, proto, "copyChannel", 5, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        CopyArgs a;
        Value error;
        if (!ReadCopyArgs(v, c, a, error)) return error;
        b.CopyChannel(*a.source, a.rect, a.dx, a.dy, Color(v, c.args[3]), Color(v, c.args[4]));
        return kFail;
    });
    BitmapMethod(vm, proto, "threshold", 5, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        CopyArgs a;
        Value error;
        if (!ReadCopyArgs(v, c, a, error)) return error;
        static constexpr std::pair<const char*, BitmapBuffer::Compare> kOps[] = {
            {"<", BitmapBuffer::Compare::Less},    {"<=", BitmapBuffer::Compare::LessEqual},
            {">", BitmapBuffer::Compare::Greater}, {">=", BitmapBuffer::Compare::GreaterEqual},
            {"==", BitmapBuffer::Compare::Equal},  {"!=", BitmapBuffer::Compare::NotEqual}};
        const std::string opName = v.ToString(c.args[3]);
        const auto* op = std::find_if(std::begin(kOps), std::end(kOps),
                                      [&](const auto& entry) { return opName == entry.first; });
        if (op == std::end(kOps)) return Value::Number(0);
        const uint32_t color = c.args.size() > 5 ? Color(v, c.args[5]) : 0;
        const uint32_t mask = c.args.size() > 6 ? Color(v, c.args[6]) : 0xFFFFFFFF;
        const bool copy = c.args.size() > 7 && v.ToBool(c.args[7]);
        return Value::Number(b.Threshold(*a.source, a.rect, a.dx, a.dy, op->second, Color(v, c.args[4]), color, mask, copy));
    });
    BitmapMethod(vm, proto, "compare", 1, [](Vm& v, CallContext& c, BitmapBuffer& b) -> Value {
        BitmapBuffer* other = PixelsOf(c.args[0]);
        if (!other) return kBadBitmap;
        if (other->Width() != b.Width()) return Value::Number(-3);
        if (other->Height() != b.Height()) return Value::Number(-4);
        auto diff = std::make_shared<BitmapBuffer>(b.Width(), b.Height(), true, 0);
        bool any = false;
        for (int y = 0; y < b.Height(); ++y) {
            for (int x = 0; x < b.Width(); ++x) {
                const uint32_t p = b.GetPixel32(x, y), q = other->GetPixel32(x, y);
                if (p == q) continue;
                any = true;
                uint32_t out = 0;
                if ((p & 0xFFFFFF) != (q & 0xFFFFFF)) {
                    for (int shift : {16, 8, 0})
                        out |= (((p >> shift) - (q >> shift)) & 255) << shift;
                    out |= 0xFF000000u;
                } else {
                    out = ((((p >> 24) - (q >> 24)) & 255) << 24) | 0xFFFFFF;
                }
                diff->SetPixel32(x, y, out);
            }
        }
        return any ? NewBitmapObject(v, diff) : Value::Number(0);
    });
}

// A point argument that must have both coordinates.
bool ReadWholePoint(Vm& vm, const Value& v, int& x, int& y) {
    double px = 0, py = 0;
    if (!ReadPoint(vm, v, px, py) || std::isnan(px) || std::isnan(py)) return false;
    x = ToInt32(px);
    y = ToInt32(py);
    return true;
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondBitmapPoint, secondAlphaThreshold):
// the second object is a point, a rectangle or another bitmap placed at its own point.
Value HitTest(Vm& v, CallContext& c, BitmapBuffer& b) {
    int fx = 0, fy = 0;
    if (!ReadWholePoint(v, c.args[0], fx, fy)) return Value::Number(-2);
    const int threshold = Int(v, c.args[1]);
    auto opaqueAt = [](const BitmapBuffer& bmp, int x, int y, int limit) {
        return bmp.Contains(x, y) && static_cast<int>(bmp.GetPixel32(x, y) >> 24) >= limit;
    };
    const Value& second = c.args[2];
    if (IsBitmapData(second)) {
        BitmapBuffer* other = PixelsOf(second);
        if (!other) return Value::Number(-3);
        int sx = 0, sy = 0;
        if (c.args.size() > 3 && !ReadWholePoint(v, c.args[3], sx, sy)) return Value::Number(-4);
        const int otherThreshold = c.args.size() > 4 ? Int(v, c.args[4]) : 1;
        for (int y = std::max(fy, sy); y < std::min(fy + b.Height(), sy + other->Height()); ++y)
            for (int x = std::max(fx, sx); x < std::min(fx + b.Width(), sx + other->Width()); ++x)
                if (opaqueAt(b, x - fx, y - fy, threshold) && opaqueAt(*other, x - sx, y - sy, otherThreshold))
                    return Value::Bool(true);
        return Value::Bool(false);
    }
    int px = 0, py = 0;
    if (!ReadWholePoint(v, second, px, py)) return Value::Number(-3);
    // Coordinates alone are a point; with a width, a rectangle.
    if (!v.Has(second.AsObject(), "width")) return Value::Bool(opaqueAt(b, px - fx, py - fy, threshold));
    PixelRect r;
    if (!ReadRect(v, second, r)) return Value::Bool(false);
    for (int y = std::max(r.top, fy); y < std::min(r.bottom, fy + b.Height()); ++y)
        for (int x = std::max(r.left, fx); x < std::min(r.right, fx + b.Width()); ++x)
            if (opaqueAt(b, x - fx, y - fy, threshold)) return Value::Bool(true);
    return Value::Bool(false);
}

void InstallDrawing(Vm& vm, Object* proto, FunctionObject* ctor) {
    BitmapMethod(vm, proto, "hitTest", 3, HitTest);
    // draw(source, matrix, colorTransform, blendMode, clipRect, smoothing)
    BitmapMethod(vm, proto, "draw", 1, [](Vm& v, CallContext& c, BitmapBuffer& b) {
        Matrix m;
        if (c.args.size() > 1 && !ReadMatrix(v, c.args[1], m)) m = Matrix{};
        ColorTransformValues cx;
        if (c.args.size() > 2) ReadColorTransform(c.args[2], cx);
        const bool smooth = c.args.size() > 5 && v.ToBool(c.args[5]);
        if (BitmapBuffer* src = PixelsOf(c.args[0])) {
            b.DrawBitmap(*src, m * Matrix{1.0 / 20, 0, 0, 1.0 / 20, 0, 0}, cx.ToEngine(), smooth);
        } else if (ClipId clip = ClipOfValue(v, c.args[0])) {
            v.Display()->DrawClip(clip, b, m, cx.ToEngine(), smooth);
        }
        return Value();
    });
    vm.Method(ctor, "loadBitmap", [](Vm& v, CallContext& c) -> Value {
        if (!v.Display() || c.args.empty()) return Value();
        auto pixels = v.Display()->LoadBitmap(v.ToString(c.args[0]));
        return pixels ? NewBitmapObject(v, std::move(pixels)) : Value();
    });
    // MovieClip.attachBitmap(bitmap, depth, pixelSnapping, smoothing)
    if (Object* clipProto = vm.Protos().movieClip) {
        vm.Method(clipProto, "attachBitmap", [](Vm& v, CallContext& c) -> Value {
            ClipId clip = ClipOfValue(v, c.thisValue);
            auto pixels = BitmapOf(c.Arg(0));
            if (!clip || !pixels || c.args.size() < 2) return Value();
            const bool smooth = c.args.size() > 3 && v.ToBool(c.args[3]);
            v.Display()->AttachBitmap(clip, std::move(pixels), Int(v, c.args[1]), smooth);
            return Value();
        }, kDontEnum | kOnlySwf8Up);
    }
}

}  // namespace

std::shared_ptr<raster::BitmapBuffer> BitmapOf(const Value& v) {
    Object* o = v.AsObject();
    BitmapState* s = o ? o->Data<BitmapState>() : nullptr;
    return s ? s->pixels : nullptr;
}

void InstallBitmapBuiltins(Vm& vm) {
    Object* package = Package(vm, "flash.display");
    Object* proto = vm.NewObject();
    FunctionObject* ctor = vm.Class("BitmapData", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        auto state = std::make_unique<BitmapState>();
        if (!c.args.empty()) {
            const int width = Int(v, c.Arg(0)), height = Int(v, c.Arg(1));
            const bool transparent = c.args.size() < 3 || v.ToBool(c.args[2]);
            const uint32_t fill = c.args.size() > 3 ? Color(v, c.args[3]) : 0xFFFFFFFF;
            if (!ValidSize(v, width, height)) return Value();  // `new` gives undefined
            state->pixels = std::make_shared<BitmapBuffer>(width, height, transparent, fill);
        }
        self->SetData(std::move(state));
        return c.thisValue;
    }, proto, package);
    ctor->m_makesOwnObject = true;
    for (auto [name, value] : {std::pair{"RED_CHANNEL", 1}, {"GREEN_CHANNEL", 2}, {"BLUE_CHANNEL", 4},
                               {"ALPHA_CHANNEL", 8}})
        ctor->Define(name, Value::Number(value), 0);
    InstallProperties(vm, proto);
    InstallPixelMethods(vm, proto);
    InstallCopyMethods(vm, proto);
    InstallDrawing(vm, proto, ctor);
}

}  // namespace velmora::avm1
