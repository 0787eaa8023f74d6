// MovieClip, Button and TextField methods, reached through the DisplayHost.
#include <cmath>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

ClipId ClipArg(Vm& vm, CallContext& c, size_t i) {
    Value v = c.Arg(i);
    Object* o = v.AsObject();
    if (!o && v.IsString()) o = vm.ResolvePath(c.thisValue.AsObject(), v.AsString(), c.thisValue.AsObject());
    ClipObject* clip = o ? o->AsClip() : nullptr;
    return clip ? vm.LiveClip(clip) : kNoClip;
}

void Goto(Vm& vm, DisplayHost& d, ClipId clip, const Value& frame, bool play) {
    int index = -1;
    if (frame.IsString()) {
        double n = StringToNumber(frame.AsString(), vm.Version());
        index = std::isnan(n) ? d.FrameOfLabel(clip, frame.AsString()) : static_cast<int>(n) - 1;
        if (index < 0) return;
    } else {
        double n = vm.ToNumber(frame);
        if (!std::isfinite(n) || n < 1) return;  // frame 0 and below go nowhere
        index = static_cast<int>(n) - 1;
    }
    d.GotoFrame(clip, index);
    if (play) {
        d.Play(clip);
    } else {
        d.Stop(clip);
    }
}

// Copies the initObject's properties onto a new clip and applies a registered class.
Value Finish(Vm& vm, ClipId clip, const Value& init, std::string_view linkageId) {
    if (!clip) return {};
    ClipObject* obj = vm.ObjectForClip(clip);
    vm.MakeInstance(obj, linkageId.empty() ? nullptr : vm.RegisteredClass(linkageId), init.AsObject());
    return Value::Obj(obj);
}

Value BoundsObject(Vm& vm, const Bounds& b) {
    Object* o = vm.NewObject();
    vm.Set(o, "xMin", Value::Number(b.xMin));
    vm.Set(o, "xMax", Value::Number(b.xMax));
    vm.Set(o, "yMin", Value::Number(b.yMin));
    vm.Set(o, "yMax", Value::Number(b.yMax));
    return Value::Obj(o);
}

void Draw(Vm& vm, CallContext& c, DisplayHost& d, ClipId clip, DrawCommand::Kind kind) {
    DrawCommand cmd;
    cmd.kind = kind;
    size_t first = 0;
    if (kind == DrawCommand::Kind::BeginGradientFill) {
        cmd.text = StringArg(vm, c, 0);
        first = 1;
        // colors, alphas, ratios arrays flattened in order, then the matrix fields a,b,c,d,tx,ty.
        for (size_t i = 1; i <= 3; ++i) {
            ArrayObject* a = c.Arg(i).AsObject() ? c.Arg(i).AsObject()->AsArray() : nullptr;
            cmd.numbers.push_back(a ? static_cast<double>(a->Length()) : 0);
            if (a)
                for (const Value& v : a->Items()) cmd.numbers.push_back(vm.ToNumber(v));
        }
        if (Object* m = c.Arg(4).AsObject()) {
            for (const char* k : {"a", "b", "c", "d", "tx", "ty", "matrixType", "x", "y", "w", "h", "r"})
                cmd.numbers.push_back(vm.ToNumber(vm.Get(m, k)));
        }
        d.Draw(clip, cmd);
        return;
    }
    for (size_t i = first; i < c.args.size(); ++i) cmd.numbers.push_back(vm.ToNumber(c.args[i]));
    d.Draw(clip, cmd);
}

void InstallMovieClip(Vm& vm, Object* mc) {
    ClipMethod(vm, mc, "play", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        d.Play(clip);
        return Value();
    });
    ClipMethod(vm, mc, "stop", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        d.Stop(clip);
        return Value();
    });
    auto step = [](int delta) {
        return [delta](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
            int next = static_cast<int>(d.GetProperty(clip, ClipProp::CurrentFrame).number) - 1 + delta;
            if (next >= 0) d.GotoFrame(clip, next);
            d.Stop(clip);
            return Value();
        };
    };
    ClipMethod(vm, mc, "nextFrame", step(1));
    ClipMethod(vm, mc, "prevFrame", step(-1));
    ClipMethod(vm, mc, "gotoAndPlay", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        Goto(v, d, clip, c.Arg(0), true);
        return Value();
    });
    ClipMethod(vm, mc, "gotoAndStop", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        Goto(v, d, clip, c.Arg(0), false);
        return Value();
    });
    ClipMethod(vm, mc, "getDepth", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        return Value::Number(d.Depth(clip));
    });
    ClipMethod(vm, mc, "getInstanceAtDepth", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) -> Value {
        if (c.args.empty()) return {};
        const int depth = v.ToInt32(c.args[0]);
        for (ClipId child : d.Children(clip))
            if (d.Depth(child) == depth) return Value::Obj(v.ObjectForClip(child));
        return {};
    });
    ClipMethod(vm, mc, "getNextHighestDepth", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        return Value::Number(d.NextHighestDepth(clip));
    });
    ClipMethod(vm, mc, "swapDepths", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        if (ClipId other = ClipArg(v, c, 0)) {
            // Only with a sibling: a clip elsewhere in the tree leaves both where they are.
            if (d.Parent(other) == d.Parent(clip)) d.SwapDepths(clip, d.Depth(other));
        } else if (c.Arg(0).IsNumber()) {
            d.SwapDepths(clip, v.ToInt32(c.Arg(0)));
        }
        return Value();
    });
    ClipMethod(vm, mc, "duplicateMovieClip", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        ClipId copy = d.Duplicate(clip, StringArg(v, c, 0), v.ToInt32(c.Arg(1)));
        return Finish(v, copy, c.Arg(2), {});
    });
    ClipMethod(vm, mc, "removeMovieClip", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        d.Remove(clip);
        return Value();
    });
    ClipMethod(vm, mc, "attachMovie", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        std::string id = StringArg(v, c, 0);
        ClipId child = d.Attach(clip, id, StringArg(v, c, 1), v.ToInt32(c.Arg(2)));
        return Finish(v, child, c.Arg(3), id);
    });
    ClipMethod(vm, mc, "createEmptyMovieClip", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        return Finish(v, d.CreateEmpty(clip, StringArg(v, c, 0), v.ToInt32(c.Arg(1))), Value(), {});
    });
    ClipMethod(vm, mc, "createTextField", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        double x = NumberArg(v, c, 2, 0), y = NumberArg(v, c, 3, 0);
        Bounds box{x, y, x + NumberArg(v, c, 4, 0), y + NumberArg(v, c, 5, 0)};
        return Finish(v, d.CreateTextField(clip, StringArg(v, c, 0), v.ToInt32(c.Arg(1)), box), Value(), {});
    });
    ClipMethod(vm, mc, "getBytesLoaded", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        return Value::Number(d.BytesLoaded(clip));
    });
    ClipMethod(vm, mc, "getBytesTotal", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        return Value::Number(d.BytesTotal(clip));
    });
    ClipMethod(vm, mc, "hitTest", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        if (c.args.size() >= 2)
            return Value::Bool(d.HitTestPoint(clip, v.ToNumber(c.args[0]), v.ToNumber(c.args[1]), v.ToBool(c.Arg(2))));
        ClipId other = ClipArg(v, c, 0);
        return Value::Bool(other && d.HitTestClip(clip, other));
    });
    ClipMethod(vm, mc, "getBounds", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        ClipId space = c.args.empty() ? clip : ClipArg(v, c, 0);
        if (!space) return Value();
        return BoundsObject(v, d.GetBounds(clip, space));
    });
    auto convert = [](bool toGlobal) {
        return [toGlobal](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
            Object* pt = c.Arg(0).AsObject();
            if (!pt) return Value();
            double x = v.ToNumber(v.Get(pt, "x")), y = v.ToNumber(v.Get(pt, "y"));
            if (toGlobal) {
                d.LocalToGlobal(clip, x, y);
            } else {
                d.GlobalToLocal(clip, x, y);
            }
            v.Set(pt, "x", Value::Number(x));
            v.Set(pt, "y", Value::Number(y));
            return Value();
        };
    };
    ClipMethod(vm, mc, "localToGlobal", convert(true));
    ClipMethod(vm, mc, "globalToLocal", convert(false));
    ClipMethod(vm, mc, "startDrag", [](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        Bounds limits{NumberArg(v, c, 1, 0), NumberArg(v, c, 2, 0), NumberArg(v, c, 3, 0), NumberArg(v, c, 4, 0)};
        d.StartDrag(clip, v.ToBool(c.Arg(0)), c.args.size() >= 5 ? &limits : nullptr);
        return Value();
    });
    ClipMethod(vm, mc, "stopDrag", [](Vm&, CallContext&, DisplayHost& d, ClipId) {
        d.StopDrag();
        return Value();
    });
    auto method = [](Vm& v, CallContext& c, size_t i) {
        std::string m = FoldCase(StringArg(v, c, i));
        return m == "get" ? 1 : m == "post" ? 2 : 0;
    };
    ClipMethod(vm, mc, "loadMovie", [method](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        d.LoadMovie(clip, StringArg(v, c, 0), method(v, c, 1));
        return Value();
    });
    ClipMethod(vm, mc, "loadVariables", [method](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
        d.LoadVariables(clip, StringArg(v, c, 0), method(v, c, 1));
        return Value();
    });
    ClipMethod(vm, mc, "unloadMovie", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
        d.UnloadMovie(clip);
        return Value();
    });
    vm.Method(mc, "getURL", [method](Vm& v, CallContext& c) {
        v.HostEnv().GetUrl(StringArg(v, c, 0), StringArg(v, c, 1), method(v, c, 2));
        return Value();
    });
    using K = DrawCommand::Kind;
    for (auto [name, kind] : {std::pair{"clear", K::Clear}, {"moveTo", K::MoveTo}, {"lineTo", K::LineTo},
                              {"curveTo", K::CurveTo}, {"beginFill", K::BeginFill},
                              {"beginGradientFill", K::BeginGradientFill}, {"lineStyle", K::LineStyle},
                              {"endFill", K::EndFill}}) {
        K k = kind;
        ClipMethod(vm, mc, name, [k](Vm& v, CallContext& c, DisplayHost& d, ClipId clip) {
            Draw(v, c, d, clip, k);
            return Value();
        });
    }
}

}  // namespace

void InstallDisplayBuiltins(Vm& vm) {
    auto& p = vm.Protos();
    p.movieClip = vm.NewObject();
    vm.Class("MovieClip", [](Vm&, CallContext& c) { return c.thisValue; }, p.movieClip);
    InstallMovieClip(vm, p.movieClip);

    p.button = vm.NewObject();
    vm.Class("Button", [](Vm&, CallContext& c) { return c.thisValue; }, p.button);
    p.textField = vm.NewObject();
    vm.Class("TextField", [](Vm&, CallContext& c) { return c.thisValue; }, p.textField);
    for (Object* proto : {p.button, p.textField}) {
        ClipMethod(vm, proto, "getDepth", [](Vm&, CallContext&, DisplayHost& d, ClipId clip) {
            return Value::Number(d.Depth(clip));
        });
    }
    InstallTextBuiltins(vm);
    InstallEnvironmentBuiltins(vm);
    InstallSoundBuiltins(vm);
}

}  // namespace velmora::avm1
