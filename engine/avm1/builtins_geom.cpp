// flash.geom: Point, Rectangle and Matrix behave as the player's own script versions
// of them do (fields read and written through ordinary property access, `+` that may
// concatenate, argument-count rules); ColorTransform and Transform are native.
#include "engine/avm1/builtins_geom.h"

#include <cmath>
#include <functional>
#include <limits>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Script-level operations on values, so overridden fields and getters are honoured.
struct Ops {
    Vm& vm;
    Value Get(const Value& o, std::string_view name) { return o.IsNullish() ? Value() : vm.GetValueMember(o, name); }
    void Put(const Value& o, std::string_view name, const Value& v) {
        if (Object* obj = o.AsObject()) vm.Set(obj, name, v);
    }
    double Num(const Value& v) { return vm.ToNumber(v); }
    Value Add(const Value& a, const Value& b) { return AddValues(vm, a, b); }
    Value Sub(const Value& a, const Value& b) { return Value::Number(Num(a) - Num(b)); }
    Value Mul(const Value& a, const Value& b) { return Value::Number(Num(a) * Num(b)); }
    // The comparison operators: `<` may give undefined; `<=` and `>=` are the negated
    // opposite test, so a NaN makes them true.
    Value Lt(const Value& a, const Value& b) { return vm.LessThan(a, b); }
    Value Le(const Value& a, const Value& b) { return Value::Bool(!vm.ToBool(vm.LessThan(b, a))); }
    Value Ge(const Value& a, const Value& b) { return Value::Bool(!vm.ToBool(vm.LessThan(a, b))); }
    // a && b && ...: the first falsy operand, else the last.
    Value All(std::initializer_list<std::function<Value()>> terms) {
        Value last;
        for (const auto& term : terms) {
            last = term();
            if (!vm.ToBool(last)) break;
        }
        return last;
    }
};

Object* GeomPackage(Vm& vm) { return Package(vm, "flash.geom"); }

// The current constructor of a flash.geom class, whatever the movie's version.
Object* GeomClass(Vm& vm, std::string_view name) {
    Property* p = GeomPackage(vm)->FindOwn(name, 10);
    return p ? p->value.AsObject() : nullptr;
}

Value New(Vm& vm, std::string_view cls, std::initializer_list<Value> args) {
    std::vector<Value> list(args);
    return vm.Construct(GeomClass(vm, cls), list);
}

Value Number(double n) { return Value::Number(n); }

// "(x=" + this.x + ", y=" + this.y + ")": each field joins the way `+` joins it.
std::string Describe(Vm& vm, const Value& self, std::initializer_list<std::pair<const char*, const char*>> fields) {
    Ops o{vm};
    Value text = Value::String("(");
    const char* separator = "";
    for (auto [label, field] : fields) {
        text = o.Add(o.Add(text, Value::String(std::string(separator) + label + "=")), o.Get(self, field));
        separator = ", ";
    }
    return vm.ToString(text) + ")";
}

void InstallPoint(Vm& vm, Object* geom) {
    Object* proto = vm.NewObject();
    FunctionObject* ctor = vm.Class("Point", [](Vm& v, CallContext& c) {
        Ops o{v};
        if (c.args.empty()) {
            o.Put(c.thisValue, "y", Number(0));  // this order shows in for-in
            o.Put(c.thisValue, "x", Number(0));
        } else {
            o.Put(c.thisValue, "x", c.Arg(0));
            o.Put(c.thisValue, "y", c.Arg(1));
        }
        return Value();
    }, proto, geom);
    constexpr uint16_t kPlain = 0;  // the player's script classes leave their members enumerable
    vm.Method(ctor, "distance", [](Vm& v, CallContext& c) {
        Value a = c.Arg(1);
        Value diff = v.CallMethod(c.Arg(0), "subtract", std::span<const Value>(&a, 1));
        return Ops{v}.Get(diff, "length");
    }, kPlain);
    vm.Method(ctor, "polar", [](Vm& v, CallContext& c) {
        double len = v.ToNumber(c.Arg(0)), angle = v.ToNumber(c.Arg(1));
        return New(v, "Point", {Number(len * std::cos(angle)), Number(len * std::sin(angle))});
    }, kPlain);
    vm.Method(ctor, "interpolate", [](Vm& v, CallContext& c) {
        Ops o{v};
        Value p1 = c.Arg(0), p2 = c.Arg(1), f = c.Arg(2);
        Value y = o.Add(o.Get(p2, "y"), o.Mul(o.Sub(o.Get(p1, "y"), o.Get(p2, "y")), f));
        Value x = o.Add(o.Get(p2, "x"), o.Mul(o.Sub(o.Get(p1, "x"), o.Get(p2, "x")), f));
        return New(v, "Point", {x, y});
    }, kPlain);
    DefineAccessor(vm, proto, "length", [](Vm& v, CallContext& c) {
        Ops o{v};
        double x = o.Num(o.Get(c.thisValue, "x")), y = o.Num(o.Get(c.thisValue, "y"));
        return Number(std::sqrt(x * x + y * y));
    }, [](Vm&, CallContext&) { return Value(); }, kPlain);
    vm.Method(proto, "clone", [](Vm& v, CallContext& c) {
        Ops o{v};
        Value y = o.Get(c.thisValue, "y"), x = o.Get(c.thisValue, "x");
        return New(v, "Point", {x, y});
    }, kPlain);
    vm.Method(proto, "offset", [](Vm& v, CallContext& c) {
        Ops o{v};
        o.Put(c.thisValue, "x", o.Add(o.Get(c.thisValue, "x"), c.Arg(0)));
        o.Put(c.thisValue, "y", o.Add(o.Get(c.thisValue, "y"), c.Arg(1)));
        return Value();
    }, kPlain);
    vm.Method(proto, "equals", [](Vm& v, CallContext& c) {
        Ops o{v};
        Object* other = c.Arg(0).AsObject();
        if (!other || !v.InstanceOf(other, GeomClass(v, "Point"))) return Value::Bool(false);
        return Value::Bool(v.LooseEquals(o.Get(c.Arg(0), "x"), o.Get(c.thisValue, "x")) &&
                           v.LooseEquals(o.Get(c.Arg(0), "y"), o.Get(c.thisValue, "y")));
    }, kPlain);
    // add and subtract read y before x, as the player does.
    for (bool subtract : {true, false}) {
        vm.Method(proto, subtract ? "subtract" : "add", [subtract](Vm& v, CallContext& c) {
            Ops o{v};
            auto apply = [&](const char* f) {
                Value a = o.Get(c.thisValue, f), b = o.Get(c.Arg(0), f);
                return subtract ? o.Sub(a, b) : o.Add(a, b);
            };
            Value y = apply("y");
            Value x = apply("x");
            return New(v, "Point", {x, y});
        }, kPlain);
    }
    vm.Method(proto, "normalize", [](Vm& v, CallContext& c) {
        Ops o{v};
        Value current = o.Get(c.thisValue, "length");
        if (o.vm.ToBool(o.Le(current, Number(0)))) return Value();  // zero, negative or NaN: left alone
        Value scale = Number(o.Num(c.Arg(0)) / o.Num(current));
        o.Put(c.thisValue, "x", o.Mul(o.Get(c.thisValue, "x"), scale));
        o.Put(c.thisValue, "y", o.Mul(o.Get(c.thisValue, "y"), scale));
        return Value();
    }, kPlain);
    vm.Method(proto, "toString", [](Vm& v, CallContext& c) {
        return Value::String(Describe(v, c.thisValue, {{"x", "x"}, {"y", "y"}}));
    }, kPlain);
}

// Rectangle accessors in terms of x/y/width/height, as the player defines them.
void InstallRectangleAccessors(Vm& vm, Object* proto) {
    auto self = [](CallContext& c) { return c.thisValue; };
    auto getter = [](std::string_view pos, std::string_view size) {
        return [pos, size](Vm& v, CallContext& c) {
            Ops o{v};
            return size.empty() ? o.Get(c.thisValue, pos) : o.Add(o.Get(c.thisValue, pos), o.Get(c.thisValue, size));
        };
    };
    // left/top move the near edge and keep the far one; right/bottom move the far edge.
    auto nearSetter = [self](std::string_view pos, std::string_view size) {
        return [=](Vm& v, CallContext& c) {
            Ops o{v};
            Value t = self(c);
            o.Put(t, size, o.Add(o.Get(t, size), o.Sub(o.Get(t, pos), c.Arg(0))));
            o.Put(t, pos, c.Arg(0));
            return Value();
        };
    };
    auto farSetter = [self](std::string_view pos, std::string_view size) {
        return [=](Vm& v, CallContext& c) {
            Ops o{v};
            o.Put(self(c), size, o.Sub(c.Arg(0), o.Get(self(c), pos)));
            return Value();
        };
    };
    DefineAccessor(vm, proto, "left", getter("x", ""), nearSetter("x", "width"), 0);
    DefineAccessor(vm, proto, "right", getter("x", "width"), farSetter("x", "width"), 0);
    DefineAccessor(vm, proto, "top", getter("y", ""), nearSetter("y", "height"), 0);
    DefineAccessor(vm, proto, "bottom", getter("y", "height"), farSetter("y", "height"), 0);
    DefineAccessor(vm, proto, "topLeft", [](Vm& v, CallContext& c) {
        Ops o{v};
        return New(v, "Point", {o.Get(c.thisValue, "x"), o.Get(c.thisValue, "y")});
    }, [](Vm& v, CallContext& c) {
        Ops o{v};
        Value t = c.thisValue, p = c.Arg(0);
        o.Put(t, "width", o.Add(o.Get(t, "width"), o.Sub(o.Get(t, "x"), o.Get(p, "x"))));
        o.Put(t, "height", o.Add(o.Get(t, "height"), o.Sub(o.Get(t, "y"), o.Get(p, "y"))));
        o.Put(t, "x", o.Get(p, "x"));
        o.Put(t, "y", o.Get(p, "y"));
        return Value();
    }, 0);
    DefineAccessor(vm, proto, "bottomRight", [](Vm& v, CallContext& c) {
        Ops o{v};
        Value t = c.thisValue;
        return New(v, "Point", {o.Add(o.Get(t, "x"), o.Get(t, "width")), o.Add(o.Get(t, "y"), o.Get(t, "height"))});
    }, [](Vm& v, CallContext& c) {
        Ops o{v};
        Value t = c.thisValue, p = c.Arg(0);
        o.Put(t, "width", o.Sub(o.Get(p, "x"), o.Get(t, "x")));
        o.Put(t, "height", o.Sub(o.Get(p, "y"), o.Get(t, "y")));
        return Value();
    }, 0);
    DefineAccessor(vm, proto, "size", [](Vm& v, CallContext& c) {
        Ops o{v};
        return New(v, "Point", {o.Get(c.thisValue, "width"), o.Get(c.thisValue, "height")});
    }, [](Vm& v, CallContext& c) {
        Ops o{v};
        o.Put(c.thisValue, "width", o.Get(c.Arg(0), "x"));
        o.Put(c.thisValue, "height", o.Get(c.Arg(0), "y"));
        return Value();
    }, 0);
}

void SetEmpty(Vm& vm, const Value& t) {
    Ops o{vm};
    for (const char* f : {"height", "width", "y", "x"}) o.Put(t, f, Number(0));
}

bool IsEmptyRect(Vm& vm, const Value& t) {
    Ops o{vm};
    return vm.ToBool(o.Le(o.Get(t, "width"), Number(0))) || vm.ToBool(o.Le(o.Get(t, "height"), Number(0)));
}

// Edges of a rectangle value: x, y, x + width, y + height.
struct Edges {
    Value x, y, right, bottom;
};
Edges EdgesOf(Ops& o, const Value& r) {
    Value x = o.Get(r, "x"), y = o.Get(r, "y");
    return {x, y, o.Add(x, o.Get(r, "width")), o.Add(y, o.Get(r, "height"))};
}

double MinMax(Vm& vm, const Value& a, const Value& b, bool max) {
    double x = vm.ToNumber(a), y = vm.ToNumber(b);
    if (std::isnan(x) || std::isnan(y)) return kNaN;
    return max ? std::max(x, y) : std::min(x, y);
}

void InstallRectangle(Vm& vm, Object* geom) {
    Object* proto = vm.NewObject();
    vm.Class("Rectangle", [](Vm& v, CallContext& c) {
        if (c.args.empty()) {
            v.CallMethod(c.thisValue, "setEmpty", {});
            return Value();
        }
        Ops o{v};
        const char* fields[] = {"x", "y", "width", "height"};
        for (size_t i = 0; i < 4; ++i) o.Put(c.thisValue, fields[i], c.Arg(i));
        return Value();
    }, proto, geom);
    vm.Method(proto, "clone", [](Vm& v, CallContext& c) {
        Ops o{v};
        Value t = c.thisValue;
        return New(v, "Rectangle", {o.Get(t, "x"), o.Get(t, "y"), o.Get(t, "width"), o.Get(t, "height")});
    }, 0);
    vm.Method(proto, "setEmpty", [](Vm& v, CallContext& c) {
        SetEmpty(v, c.thisValue);
        return Value();
    }, 0);
    vm.Method(proto, "isEmpty", [](Vm& v, CallContext& c) { return Value::Bool(IsEmptyRect(v, c.thisValue)); }, 0);
    InstallRectangleAccessors(vm, proto);
    // Each of these comes as (x, y) and as a point: inflate/inflatePoint and so on.
    using PairFn = Value (*)(Vm&, const Value&, const Value&, const Value&);
    auto pair = [&vm, proto](const char* name, const char* pointName, PairFn fn) {
        vm.Method(proto, name, [fn](Vm& v, CallContext& c) { return fn(v, c.thisValue, c.Arg(0), c.Arg(1)); }, 0);
        vm.Method(proto, pointName, [fn](Vm& v, CallContext& c) {
            Ops o{v};
            return fn(v, c.thisValue, o.Get(c.Arg(0), "x"), o.Get(c.Arg(0), "y"));
        }, 0);
    };
    pair("inflate", "inflatePoint", [](Vm& v, const Value& t, const Value& dx, const Value& dy) {
        Ops o{v};
        o.Put(t, "x", o.Sub(o.Get(t, "x"), dx));
        o.Put(t, "width", o.Add(o.Get(t, "width"), o.Mul(dx, Number(2))));
        o.Put(t, "y", o.Sub(o.Get(t, "y"), dy));
        o.Put(t, "height", o.Add(o.Get(t, "height"), o.Mul(dy, Number(2))));
        return Value();
    });
    pair("offset", "offsetPoint", [](Vm& v, const Value& t, const Value& dx, const Value& dy) {
        Ops o{v};
        o.Put(t, "x", o.Add(o.Get(t, "x"), dx));
        o.Put(t, "y", o.Add(o.Get(t, "y"), dy));
        return Value();
    });
    pair("contains", "containsPoint", [](Vm& v, const Value& t, const Value& x, const Value& y) {
        Ops o{v};
        Edges e = EdgesOf(o, t);
        return o.All({[&] { return o.Ge(x, e.x); }, [&] { return o.Lt(x, e.right); }, [&] { return o.Ge(y, e.y); },
                      [&] { return o.Lt(y, e.bottom); }});
    });
    vm.Method(proto, "containsRectangle", [](Vm& v, CallContext& c) {
        Ops o{v};
        Edges r = EdgesOf(o, c.Arg(0)), t = EdgesOf(o, c.thisValue);
        return o.All({[&] { return o.Ge(r.x, t.x); }, [&] { return o.Lt(r.x, t.right); },
                      [&] { return o.Ge(r.y, t.y); }, [&] { return o.Lt(r.y, t.bottom); },
                      [&] { return o.Lt(t.x, r.right); }, [&] { return o.Le(r.right, t.right); },
                      [&] { return o.Lt(t.y, r.bottom); }, [&] { return o.Le(r.bottom, t.bottom); }});
    }, 0);
    // Intersection and union build on an empty rectangle so the fields enumerate as the player's do.
    auto combine = [](Vm& v, const Value& t, const Value& other, bool unite) -> Value {
        Ops o{v};
        Value result = New(v, "Rectangle", {});
        Edges a = EdgesOf(o, t), b = EdgesOf(o, other);
        double x = MinMax(v, a.x, b.x, !unite), y = MinMax(v, a.y, b.y, !unite);
        o.Put(result, "x", Number(x));
        o.Put(result, "y", Number(y));
        o.Put(result, "width", Number(MinMax(v, a.right, b.right, unite) - x));
        o.Put(result, "height", Number(MinMax(v, a.bottom, b.bottom, unite) - y));
        if (!unite && IsEmptyRect(v, result)) SetEmpty(v, result);
        return result;
    };
    vm.Method(proto, "intersection", [combine](Vm& v, CallContext& c) {
        if (IsEmptyRect(v, c.thisValue) || v.ToBool(v.CallMethod(c.Arg(0), "isEmpty", {}))) {
            Value result = New(v, "Rectangle", {});
            SetEmpty(v, result);
            return result;
        }
        return combine(v, c.thisValue, c.Arg(0), false);
    }, 0);
    vm.Method(proto, "intersects", [](Vm& v, CallContext& c) {
        Value r = v.CallMethod(c.thisValue, "intersection", c.args.subspan(0, std::min<size_t>(c.args.size(), 1)));
        return Value::Bool(!v.ToBool(v.CallMethod(r, "isEmpty", {})));
    }, 0);
    vm.Method(proto, "union", [combine](Vm& v, CallContext& c) {
        if (IsEmptyRect(v, c.thisValue)) return v.CallMethod(c.Arg(0), "clone", {});
        if (v.ToBool(v.CallMethod(c.Arg(0), "isEmpty", {}))) return v.CallMethod(c.thisValue, "clone", {});
        return combine(v, c.thisValue, c.Arg(0), true);
    }, 0);
    vm.Method(proto, "equals", [](Vm& v, CallContext& c) {
        Ops o{v};
        Object* other = c.Arg(0).AsObject();
        if (!other || !v.InstanceOf(other, GeomClass(v, "Rectangle"))) return Value::Bool(false);
        for (const char* f : {"x", "y", "width", "height"})
            if (!v.LooseEquals(o.Get(c.Arg(0), f), o.Get(c.thisValue, f))) return Value::Bool(false);
        return Value::Bool(true);
    }, 0);
    vm.Method(proto, "toString", [](Vm& v, CallContext& c) {
        return Value::String(Describe(v, c.thisValue, {{"x", "x"}, {"y", "y"}, {"w", "width"}, {"h", "height"}}));
    }, 0);
}

const char* const kMatrixFields[] = {"a", "b", "c", "d", "tx", "ty"};

void SetIdentity(Vm& vm, const Value& t) {
    Ops o{vm};
    for (auto [f, n] : {std::pair{"d", 1.0}, {"a", 1.0}, {"c", 0.0}, {"b", 0.0}, {"ty", 0.0}, {"tx", 0.0}})
        o.Put(t, f, Number(n));
}

void Concat(Vm& vm, const Value& t, const Value& m) {
    Ops o{vm};
    auto g = [&](const Value& v, const char* f) { return o.Num(o.Get(v, f)); };
    double ta = g(t, "a"), tb = g(t, "b"), tc = g(t, "c"), td = g(t, "d"), ttx = g(t, "tx"), tty = g(t, "ty");
    double ma = g(m, "a"), mb = g(m, "b"), mc = g(m, "c"), md = g(m, "d"), mtx = g(m, "tx"), mty = g(m, "ty");
    double a = ta * ma, d = td * md, b = 0, c = 0, tx = ttx * ma + mtx, ty = tty * md + mty;
    // Skew terms only when some skew is not zero (NaN counts as not zero).
    if (!(tb == 0) || !(tc == 0) || !(mb == 0) || !(mc == 0)) {
        a += tb * mc;
        d += tc * mb;
        b += ta * mb + tb * md;
        c += tc * ma + td * mc;
        tx += tty * mc;
        ty += ttx * mb;
    }
    for (auto [f, n] : {std::pair{"a", a}, {"b", b}, {"c", c}, {"d", d}, {"tx", tx}, {"ty", ty}}) o.Put(t, f, Number(n));
}

void InstallMatrix(Vm& vm, Object* geom) {
    Object* proto = vm.NewObject();
    vm.Class("Matrix", [](Vm& v, CallContext& c) {
        if (c.args.empty()) {
            v.CallMethod(c.thisValue, "identity", {});
            return Value();
        }
        for (size_t i = 0; i < 6; ++i) Ops{v}.Put(c.thisValue, kMatrixFields[i], c.Arg(i));
        return Value();
    }, proto, geom);
    vm.Method(proto, "identity", [](Vm& v, CallContext& c) {
        SetIdentity(v, c.thisValue);
        return Value();
    }, 0);
    vm.Method(proto, "concat", [](Vm& v, CallContext& c) {
        Concat(v, c.thisValue, c.Arg(0));
        return Value();
    }, 0);
    vm.Method(proto, "clone", [](Vm& v, CallContext& c) {
        Ops o{v};
        std::vector<Value> values(6);
        for (size_t i = 6; i-- > 0;) values[i] = o.Get(c.thisValue, kMatrixFields[i]);
        return v.Construct(GeomClass(v, "Matrix"), values);
    }, 0);
    vm.Method(proto, "invert", [](Vm& v, CallContext& c) {
        Ops o{v};
        Value t = c.thisValue;
        auto g = [&](const char* f) { return o.Num(o.Get(t, f)); };
        if (g("b") == 0 && g("c") == 0) {
            double a = 1 / g("a"), d = 1 / g("d");
            o.Put(t, "a", Number(a));
            o.Put(t, "d", Number(d));
            o.Put(t, "c", Number(0));
            o.Put(t, "b", Number(0));
            o.Put(t, "tx", Number(-a * g("tx")));
            o.Put(t, "ty", Number(-d * g("ty")));
            return Value();
        }
        double a = g("a"), b = g("b"), cc = g("c"), d = g("d");
        double det = a * d - b * cc;
        if (det == 0) {
            v.CallMethod(t, "identity", {});
            return Value();
        }
        det = 1 / det;
        for (auto [f, n] : {std::pair{"a", d * det}, {"b", -b * det}, {"c", -cc * det}, {"d", a * det}})
            o.Put(t, f, Number(n));
        Value ty = o.Get(t, "ty"), tx = o.Get(t, "tx");
        Value arg = New(v, "Point", {tx, ty});
        Value p = v.CallMethod(t, "deltaTransformPoint", std::span<const Value>(&arg, 1));
        o.Put(t, "tx", Number(-o.Num(o.Get(p, "x"))));
        o.Put(t, "ty", Number(-o.Num(o.Get(p, "y"))));
        return Value();
    }, 0);
    vm.Method(proto, "createBox", [](Vm& v, CallContext& c) {
        Value tx = c.args.size() < 4 ? Number(0) : c.Arg(3);
        Value ty = c.args.size() < 5 ? Number(0) : c.Arg(4);
        v.CallMethod(c.thisValue, "identity", {});
        Value rotation = c.Arg(2);  // not defaulted: a missing angle fills the matrix with NaN
        v.CallMethod(c.thisValue, "rotate", std::span<const Value>(&rotation, 1));
        Value scale[] = {c.Arg(0), c.Arg(1)};
        v.CallMethod(c.thisValue, "scale", scale);
        Ops{v}.Put(c.thisValue, "tx", tx);
        Ops{v}.Put(c.thisValue, "ty", ty);
        return Value();
    }, 0);
    vm.Method(proto, "createGradientBox", [](Vm& v, CallContext& c) {
        Ops o{v};
        Value rotation = c.args.size() < 3 ? Number(0) : c.Arg(2);
        Value tx = c.args.size() < 4 ? Number(0) : c.Arg(3);
        Value ty = c.args.size() < 5 ? Number(0) : c.Arg(4);
        double width = o.Num(c.Arg(0)), height = o.Num(c.Arg(1));
        Value boxY = o.Add(ty, Number(height / 2));
        Value boxX = o.Add(tx, Number(width / 2));
        // The gradient square is 1638.4 pixels (32768 twips) wide.
        Value args[] = {Number(width / 1638.4), Number(height / 1638.4), rotation, boxX, boxY};
        v.CallMethod(c.thisValue, "createBox", args);
        return Value();
    }, 0);
    vm.Method(proto, "rotate", [](Vm& v, CallContext& c) {
        double angle = v.ToNumber(c.Arg(0));
        double cs = std::cos(angle), sn = std::sin(angle);
        Value m = New(v, "Matrix", {Number(cs), Number(sn), Number(-sn), Number(cs), Number(0), Number(0)});
        v.CallMethod(c.thisValue, "concat", std::span<const Value>(&m, 1));
        return Value();
    }, 0);
    vm.Method(proto, "translate", [](Vm& v, CallContext& c) {
        Ops o{v};
        o.Put(c.thisValue, "tx", o.Add(o.Get(c.thisValue, "tx"), c.Arg(0)));
        o.Put(c.thisValue, "ty", o.Add(o.Get(c.thisValue, "ty"), c.Arg(1)));
        return Value();
    }, 0);
    vm.Method(proto, "scale", [](Vm& v, CallContext& c) {
        Value m = New(v, "Matrix", {c.Arg(0), Number(0), Number(0), c.Arg(1), Number(0), Number(0)});
        v.CallMethod(c.thisValue, "concat", std::span<const Value>(&m, 1));
        return Value();
    }, 0);
    auto transform = [](Vm& v, CallContext& c, bool translate) {
        Ops o{v};
        Value t = c.thisValue, p = c.Arg(0);
        Value y = o.Add(o.Mul(o.Get(t, "d"), o.Get(p, "y")), o.Mul(o.Get(t, "b"), o.Get(p, "x")));
        Value x = o.Add(o.Mul(o.Get(t, "a"), o.Get(p, "x")), o.Mul(o.Get(t, "c"), o.Get(p, "y")));
        if (translate) {
            y = o.Add(y, o.Get(t, "ty"));
            x = o.Add(x, o.Get(t, "tx"));
        }
        return New(v, "Point", {x, y});
    };
    vm.Method(proto, "deltaTransformPoint", [transform](Vm& v, CallContext& c) { return transform(v, c, false); }, 0);
    vm.Method(proto, "transformPoint", [transform](Vm& v, CallContext& c) { return transform(v, c, true); }, 0);
    vm.Method(proto, "toString", [](Vm& v, CallContext& c) {
        return Value::String(Describe(v, c.thisValue, {{"a", "a"}, {"b", "b"}, {"c", "c"}, {"d", "d"}, {"tx", "tx"}, {"ty", "ty"}}));
    }, 0);
}

struct ColorTransformData : NativeData {
    ColorTransformValues values;
};

ColorTransformData* CtOf(const Value& v) { return v.AsObject() ? v.AsObject()->Data<ColorTransformData>() : nullptr; }

void InstallColorTransform(Vm& vm, Object* geom) {
    Object* proto = vm.NewObject();
    vm.Class("ColorTransform", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        auto data = std::make_unique<ColorTransformData>();
        for (size_t i = 0; i < 4; ++i) {
            if (i < c.args.size()) data->values.mul[i] = v.ToNumber(c.args[i]);
            if (i + 4 < c.args.size()) data->values.add[i] = v.ToNumber(c.args[i + 4]);
        }
        self->SetData(std::move(data));
        return Value();
    }, proto, geom);
    // Accessors in the player's order; they are enumerable on the prototype.
    struct Field {
        const char* name;
        bool add;
        int channel;
    };
    static constexpr Field kFields[] = {{"alphaMultiplier", false, 3}, {"redMultiplier", false, 0},
                                        {"greenMultiplier", false, 1}, {"blueMultiplier", false, 2},
                                        {"alphaOffset", true, 3},      {"redOffset", true, 0},
                                        {"greenOffset", true, 1},      {"blueOffset", true, 2}};
    for (const Field& f : kFields) {
        DefineAccessor(vm, proto, f.name, [f](Vm&, CallContext& c) {
            ColorTransformData* d = CtOf(c.thisValue);
            if (!d) return Value();
            return Number(f.add ? d->values.add[f.channel] : d->values.mul[f.channel]);
        }, [f](Vm& v, CallContext& c) {
            if (ColorTransformData* d = CtOf(c.thisValue)) (f.add ? d->values.add : d->values.mul)[f.channel] = v.ToNumber(c.Arg(0));
            return Value();
        }, 0);
    }
    DefineAccessor(vm, proto, "rgb", [](Vm&, CallContext& c) {
        ColorTransformData* d = CtOf(c.thisValue);
        if (!d) return Value();
        auto channel = [&](int i) { return static_cast<uint32_t>(ToInt32(d->values.add[i])); };
        return Number(static_cast<double>(static_cast<int32_t>((channel(0) << 16) | (channel(1) << 8) | channel(2))));
    }, [](Vm& v, CallContext& c) {
        ColorTransformData* d = CtOf(c.thisValue);
        if (!d) return Value();
        uint32_t rgb = ToUint32(v.ToNumber(c.Arg(0)));
        for (int i = 0; i < 3; ++i) {
            d->values.add[i] = (rgb >> (16 - 8 * i)) & 0xFF;
            d->values.mul[i] = 0;
        }
        return Value();
    }, 0);
    vm.Method(proto, "concat", [](Vm&, CallContext& c) {
        ColorTransformData* self = CtOf(c.thisValue);
        ColorTransformData* other = CtOf(c.Arg(0));
        if (!self || !other) return Value();
        ColorTransformValues& t = self->values;
        const ColorTransformValues o = other->values;
        for (int i = 0; i < 4; ++i) {
            t.add[i] = o.add[i] * t.mul[i] + t.add[i];
            t.mul[i] *= o.mul[i];
        }
        return Value();
    }, 0);
    vm.Method(proto, "toString", [](Vm& v, CallContext& c) {
        std::string text = "(";
        const char* order[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                               "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};
        for (const char* name : order) {
            if (text.size() > 1) text += ", ";
            text += std::string(name) + "=" + v.ToString(Ops{v}.Get(c.thisValue, name));
        }
        return Value::String(text + ")");
    }, 0);
}

// A Transform refers to its clip and reads the display list each time.
struct TransformData : NativeData {
    ClipObject* clip = nullptr;
    void TraceRefs(std::vector<Object*>& out) const override {
        if (clip) out.push_back(clip);
    }
};

ClipId TransformClip(Vm& vm, const Value& self) {
    TransformData* d = self.AsObject() ? self.AsObject()->Data<TransformData>() : nullptr;
    return d && d->clip && vm.Display() ? vm.LiveClip(d->clip) : kNoClip;
}

Value MakeTransform(Vm& vm, ClipObject* clip) {
    Value arg = Value::Obj(clip);
    return vm.Construct(GeomClass(vm, "Transform"), std::span<const Value>(&arg, 1));
}

void InstallTransform(Vm& vm, Object* geom) {
    Object* proto = vm.NewObject();
    vm.Class("Transform", [](Vm&, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        ClipObject* clip = c.Arg(0).AsObject() ? c.Arg(0).AsObject()->AsClip() : nullptr;
        if (!self || !clip) return Value();
        auto data = std::make_unique<TransformData>();
        data->clip = clip;
        self->SetData(std::move(data));
        return Value();
    }, proto, geom);
    constexpr uint16_t kFlags = kDontEnum | kDontDelete;
    DefineAccessor(vm, proto, "matrix", [](Vm& v, CallContext& c) {
        ClipId clip = TransformClip(v, c.thisValue);
        return clip ? MakeMatrix(v, v.Display()->GetMatrix(clip)) : Value();
    }, [](Vm& v, CallContext& c) {
        ClipId clip = TransformClip(v, c.thisValue);
        Object* m = c.Arg(0).AsObject();
        Matrix matrix;
        // Only a real Matrix is taken; anything else leaves the clip alone.
        if (clip && m && v.InstanceOf(m, GeomClass(v, "Matrix")) && ReadMatrix(v, c.Arg(0), matrix))
            v.Display()->SetMatrix(clip, matrix);
        return Value();
    }, kFlags);
    DefineAccessor(vm, proto, "colorTransform", [](Vm& v, CallContext& c) {
        ClipId clip = TransformClip(v, c.thisValue);
        if (!clip) return Value();
        return MakeColorTransform(v, ColorTransformValues::FromEngine(v.Display()->GetColorTransform(clip)));
    }, [](Vm& v, CallContext& c) {
        ClipId clip = TransformClip(v, c.thisValue);
        ColorTransformValues t;
        if (clip && ReadColorTransform(c.Arg(0), t)) v.Display()->SetColorTransform(clip, t.ToEngine());
        return Value();
    }, kFlags);
    DefineAccessor(vm, proto, "concatenatedMatrix", [](Vm& v, CallContext& c) {
        ClipId clip = TransformClip(v, c.thisValue);
        return clip ? MakeMatrix(v, v.Display()->GetConcatenatedMatrix(clip)) : Value();
    }, {}, kFlags);
    DefineAccessor(vm, proto, "concatenatedColorTransform", [](Vm& v, CallContext& c) {
        ClipId clip = TransformClip(v, c.thisValue);
        if (!clip) return Value();
        return MakeColorTransform(v, ColorTransformValues::FromEngine(v.Display()->GetConcatenatedColorTransform(clip)));
    }, {}, kFlags);
    DefineAccessor(vm, proto, "pixelBounds", [](Vm& v, CallContext& c) {
        ClipId clip = TransformClip(v, c.thisValue);
        if (!clip) return Value();
        Bounds b = v.Display()->GetPixelBounds(clip);
        return MakeRectangle(v, {b.xMin, b.yMin, b.xMax - b.xMin, b.yMax - b.yMin});
    }, {}, kFlags);

    // MovieClip.transform: a new Transform at each read; assigning one copies its clip's
    // matrix and colour transform.
    if (Object* clipProto = vm.Protos().movieClip) {
        DefineAccessor(vm, clipProto, "transform", [](Vm& v, CallContext& c) {
            ClipObject* clip = c.thisValue.AsObject() ? c.thisValue.AsObject()->AsClip() : nullptr;
            return clip ? MakeTransform(v, clip) : Value();
        }, [](Vm& v, CallContext& c) {
            ClipObject* self = c.thisValue.AsObject() ? c.thisValue.AsObject()->AsClip() : nullptr;
            ClipId from = TransformClip(v, c.Arg(0));
            ClipId to = self && v.Display() ? v.LiveClip(self) : kNoClip;
            if (!from || !to) return Value();
            v.Display()->SetMatrix(to, v.Display()->GetMatrix(from));
            v.Display()->SetColorTransform(to, v.Display()->GetColorTransform(from));
            return Value();
        }, kDontEnum | kDontDelete | kOnlySwf8Up);
    }
}

}  // namespace

Object* Package(Vm& vm, std::string_view dottedPath) {
    Object* at = vm.Global();
    size_t start = 0;
    while (start <= dottedPath.size()) {
        size_t dot = dottedPath.find('.', start);
        std::string_view name = dottedPath.substr(start, dot == std::string_view::npos ? dot : dot - start);
        Property* p = at->FindOwn(name, 10);
        Object* next = p ? p->value.AsObject() : nullptr;
        if (!next) {
            next = vm.NewObject();
            at->Define(name, Value::Obj(next), at == vm.Global() ? kDontEnum | kOnlySwf8Up : kDontEnum);
        }
        at = next;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    return at;
}

Property& DefineAccessor(Vm& vm, Object* target, std::string_view name, NativeFunction get, NativeFunction set,
                         uint16_t flags) {
    Property& p = target->Define(name, Value(), flags);
    p.getter = vm.NewNative(std::move(get));
    p.setter = set ? vm.NewNative(std::move(set)) : nullptr;
    return p;
}

bool ReadPoint(Vm& vm, const Value& v, double& x, double& y) {
    if (!v.IsObject()) return false;
    Ops o{vm};
    x = o.Num(o.Get(v, "x"));
    y = o.Num(o.Get(v, "y"));
    return true;
}

bool ReadRectangle(Vm& vm, const Value& v, RectValues& out) {
    if (!v.IsObject()) return false;
    Ops o{vm};
    out = {o.Num(o.Get(v, "x")), o.Num(o.Get(v, "y")), o.Num(o.Get(v, "width")), o.Num(o.Get(v, "height"))};
    return true;
}

bool ReadMatrix(Vm& vm, const Value& v, Matrix& out) {
    if (!v.IsObject()) return false;
    Ops o{vm};
    double* slots[] = {&out.a, &out.b, &out.c, &out.d, &out.tx, &out.ty};
    for (size_t i = 0; i < 6; ++i) *slots[i] = o.Num(o.Get(v, kMatrixFields[i]));
    return true;
}

Value MakePoint(Vm& vm, double x, double y) { return New(vm, "Point", {Number(x), Number(y)}); }

Value MakeRectangle(Vm& vm, const RectValues& r) {
    return New(vm, "Rectangle", {Number(r.x), Number(r.y), Number(r.width), Number(r.height)});
}

Value MakeMatrix(Vm& vm, const Matrix& m) {
    return New(vm, "Matrix", {Number(m.a), Number(m.b), Number(m.c), Number(m.d), Number(m.tx), Number(m.ty)});
}

ColorTransform ColorTransformValues::ToEngine() const {
    auto f = [](double n) { return static_cast<float>(n); };
    return {f(mul[0]), f(mul[1]), f(mul[2]), f(mul[3]), f(add[0]), f(add[1]), f(add[2]), f(add[3])};
}

ColorTransformValues ColorTransformValues::FromEngine(const ColorTransform& t) {
    return {{t.rMul, t.gMul, t.bMul, t.aMul}, {t.rAdd, t.gAdd, t.bAdd, t.aAdd}};
}

bool ReadColorTransform(const Value& v, ColorTransformValues& out) {
    ColorTransformData* d = CtOf(v);
    if (d) out = d->values;
    return d != nullptr;
}

Value MakeColorTransform(Vm& vm, const ColorTransformValues& t) {
    Value r = vm.Construct(GeomClass(vm, "ColorTransform"), {});
    if (ColorTransformData* d = CtOf(r)) d->values = t;
    return r;
}

void InstallGeomBuiltins(Vm& vm) {
    Object* geom = GeomPackage(vm);
    InstallRectangle(vm, geom);
    InstallPoint(vm, geom);
    InstallMatrix(vm, geom);
    InstallColorTransform(vm, geom);
    InstallTransform(vm, geom);
}

}  // namespace velmora::avm1
