// Array.
#include <algorithm>
#include <cmath>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

enum SortFlag : int { kCaseInsensitive = 1, kDescending = 2, kUniqueSort = 4, kReturnIndexedArray = 8, kNumeric = 16 };

ArrayObject* ThisArray(CallContext& c) {
    Object* o = c.thisValue.AsObject();
    return o ? o->AsArray() : nullptr;
}

// Relative index as slice/splice read it.
size_t ClampIndex(double v, size_t length) {
    if (std::isnan(v)) return 0;
    double n = std::trunc(v);
    if (n < 0) n = std::max(0.0, static_cast<double>(length) + n);
    return static_cast<size_t>(std::min(n, static_cast<double>(length)));
}

std::string Join(Vm& vm, ArrayObject* a, const std::string& sep) {
    std::string out;
    std::vector<Value> items = a->Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += sep;
        // A hole reads through the prototype, like any missing index.
        out += vm.ToString(a->Present(i) ? items[i] : vm.Get(a, std::to_string(i)));
    }
    return out;
}

int CompareValues(Vm& vm, const Value& a, const Value& b, int flags) {
    if (flags & kNumeric) {
        double x = vm.ToNumber(a), y = vm.ToNumber(b);
        if (x < y) return -1;
        if (x > y) return 1;
        return 0;
    }
    std::u16string x = Utf8ToUtf16(vm.ToString(a)), y = Utf8ToUtf16(vm.ToString(b));
    if (flags & kCaseInsensitive) {
        auto lower = [](std::u16string& s) {
            for (auto& ch : s)
                if (ch >= 'A' && ch <= 'Z') ch = static_cast<char16_t>(ch + 32);
        };
        lower(x);
        lower(y);
    }
    return x < y ? -1 : x > y ? 1 : 0;
}

// A merge sort that stays in bounds whatever the script comparator answers.
template <class Less>
void MergeSort(std::vector<size_t>& v, Less less) {
    std::vector<size_t> tmp(v.size());
    for (size_t width = 1; width < v.size(); width *= 2) {
        for (size_t lo = 0; lo < v.size(); lo += 2 * width) {
            size_t mid = std::min(lo + width, v.size()), hi = std::min(lo + 2 * width, v.size());
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) tmp[k++] = less(v[j], v[i]) ? v[j++] : v[i++];
            while (i < mid) tmp[k++] = v[i++];
            while (j < hi) tmp[k++] = v[j++];
        }
        v.swap(tmp);
    }
}

// Shared by sort and sortOn: `key` picks what is compared from each element.
Value SortBy(Vm& vm, ArrayObject* a, int flags, Object* comparator, const std::vector<std::string>& fields) {
    std::vector<size_t> order(a->Length());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::vector<Value> items = a->Items();
    bool duplicate = false;
    auto compare = [&](size_t ia, size_t ib) {
        const Value& x = items[ia];
        const Value& y = items[ib];
        int r = 0;
        if (comparator) {
            Value args[2] = {x, y};
            r = static_cast<int>(vm.ToNumber(vm.Call(comparator, Value(), args)));
        } else if (!fields.empty()) {
            for (const std::string& field : fields) {
                Value fx = x.IsObject() ? vm.Get(x.AsObject(), field) : Value();
                Value fy = y.IsObject() ? vm.Get(y.AsObject(), field) : Value();
                r = CompareValues(vm, fx, fy, flags);
                if (r) break;
            }
        } else {
            r = CompareValues(vm, x, y, flags);
        }
        if (r == 0 && ia != ib) duplicate = true;
        return (flags & kDescending) ? r > 0 : r < 0;
    };
    MergeSort(order, compare);
    if ((flags & kUniqueSort) && duplicate) return Value::Number(0);
    if (flags & kReturnIndexedArray) {
        ArrayObject* result = vm.NewArray();
        for (size_t i : order) result->Push(Value::Number(static_cast<double>(i)));
        return Value::Obj(result);
    }
    std::vector<Value> sorted;
    sorted.reserve(order.size());
    for (size_t i : order) sorted.push_back(items[i]);
    a->Elements() = std::move(sorted);
    return Value::Obj(a);
}

Value Sort(Vm& vm, CallContext& c) {
    ArrayObject* a = ThisArray(c);
    if (!a) return {};
    Object* comparator = c.Arg(0).AsObject() && c.Arg(0).AsObject()->AsFunction() ? c.Arg(0).AsObject() : nullptr;
    // A first argument that is neither a function nor a number makes sort do nothing.
    if (!comparator && !c.args.empty() && !c.args[0].IsNumber()) return {};
    int flags = ToInt32(NumberArg(vm, c, comparator ? 1 : 0, 0));
    return SortBy(vm, a, flags, comparator, {});
}

Value SortOn(Vm& vm, CallContext& c) {
    ArrayObject* a = ThisArray(c);
    if (!a || c.args.empty()) return {};
    std::vector<std::string> fields;
    std::vector<int> fieldFlags;
    if (ArrayObject* names = c.Arg(0).AsObject() ? c.Arg(0).AsObject()->AsArray() : nullptr) {
        for (const Value& v : names->Items()) fields.push_back(vm.ToString(v));
    } else {
        fields.push_back(vm.ToString(c.Arg(0)));
    }
    int flags = 0;
    if (ArrayObject* list = c.Arg(1).AsObject() ? c.Arg(1).AsObject()->AsArray() : nullptr) {
        if (!list->Items().empty()) flags = vm.ToInt32(list->Items()[0]);
    } else {
        flags = ToInt32(NumberArg(vm, c, 1, 0));
    }
    return SortBy(vm, a, flags, nullptr, fields);
}

Value Splice(Vm& vm, CallContext& c) {
    ArrayObject* a = ThisArray(c);
    if (!a || c.args.empty() || c.args[0].IsUndefined()) return {};
    auto& e = a->Elements();
    size_t start = ClampIndex(vm.ToNumber(c.args[0]), e.size());
    size_t count = e.size() - start;
    if (c.args.size() > 1) {
        double n = vm.ToNumber(c.args[1]);
        count = std::isnan(n) || n < 0 ? 0 : std::min(count, static_cast<size_t>(n));
    }
    ArrayObject* removed = vm.NewArray();
    removed->Elements().assign(e.begin() + static_cast<std::ptrdiff_t>(start),
                               e.begin() + static_cast<std::ptrdiff_t>(start + count));
    e.erase(e.begin() + static_cast<std::ptrdiff_t>(start), e.begin() + static_cast<std::ptrdiff_t>(start + count));
    if (c.args.size() > 2) e.insert(e.begin() + static_cast<std::ptrdiff_t>(start), c.args.begin() + 2, c.args.end());
    return Value::Obj(removed);
}

}  // namespace

void InstallArrayBuiltins(Vm& vm) {
    auto& p = vm.Protos();
    p.array = vm.Make<ArrayObject>(p.object);
    FunctionObject* ctor = vm.Class("Array", [](Vm& v, CallContext& c) {
        ArrayObject* a = nullptr;
        if (c.onExisting) {
            a = c.thisValue.AsObject() ? c.thisValue.AsObject()->AsArray() : nullptr;
            if (!a) return c.thisValue;
        } else {
            Value protoValue = c.callee ? v.Get(c.callee, "prototype") : Value();
            a = v.Make<ArrayObject>(protoValue.AsObject() ? protoValue.AsObject() : v.Protos().array);
        }
        if (c.args.size() == 1 && c.args[0].IsNumber()) {
            double n = c.args[0].AsNumber();
            if (n >= 0 && n < 1e7) a->SetLength(static_cast<size_t>(n));
        } else {
            for (const Value& x : c.args) a->Push(x);
        }
        return Value::Obj(a);
    }, p.array);
    ctor->m_makesOwnObject = true;
    for (auto [name, value] : {std::pair{"CASEINSENSITIVE", kCaseInsensitive}, {"DESCENDING", kDescending},
                               {"UNIQUESORT", kUniqueSort}, {"RETURNINDEXEDARRAY", kReturnIndexedArray},
                               {"NUMERIC", kNumeric}})
        ctor->Define(name, Value::Number(value), kDontEnum | kDontDelete | kReadOnly);

    vm.Method(p.array, "push", [](Vm&, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        if (!a) return Value();
        for (const Value& v : c.args) a->Push(v);
        return Value::Number(static_cast<double>(a->Length()));
    });
    vm.Method(p.array, "pop", [](Vm&, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        if (!a || a->Items().empty()) return Value();
        Value v = a->Items().back();
        a->Elements().pop_back();
        return v;
    });
    vm.Method(p.array, "shift", [](Vm&, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        if (!a || a->Items().empty()) return Value();
        Value v = a->Items().front();
        a->Elements().erase(a->Elements().begin());
        return v;
    });
    vm.Method(p.array, "unshift", [](Vm&, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        if (!a) return Value();
        a->Elements().insert(a->Elements().begin(), c.args.begin(), c.args.end());
        return Value::Number(static_cast<double>(a->Length()));
    });
    vm.Method(p.array, "join", [](Vm& v, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        if (!a) return Value();
        return Value::String(Join(v, a, c.Arg(0).IsUndefined() ? "," : v.ToString(c.Arg(0))));
    });
    vm.Method(p.array, "toString", [](Vm& v, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        return a ? Value::String(Join(v, a, ",")) : Value::String("[object Object]");
    });
    vm.Method(p.array, "reverse", [](Vm&, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        if (a) std::reverse(a->Elements().begin(), a->Elements().end());
        return c.thisValue;
    });
    vm.Method(p.array, "slice", [](Vm& v, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        if (!a) return Value();
        size_t len = a->Length();
        size_t start = ClampIndex(NumberArg(v, c, 0, 0), len);
        size_t end = ClampIndex(NumberArg(v, c, 1, static_cast<double>(len)), len);
        ArrayObject* r = v.NewArray();
        for (size_t i = start; i < end; ++i) r->Push(a->Items()[i]);
        return Value::Obj(r);
    });
    vm.Method(p.array, "concat", [](Vm& v, CallContext& c) {
        ArrayObject* a = ThisArray(c);
        ArrayObject* r = v.NewArray();
        if (a) r->Elements() = a->Items();
        for (const Value& x : c.args) {
            if (ArrayObject* other = x.AsObject() ? x.AsObject()->AsArray() : nullptr) {
                for (const Value& e : other->Items()) r->Push(e);
            } else {
                r->Push(x);
            }
        }
        return Value::Obj(r);
    });
    vm.Method(p.array, "splice", Splice);
    vm.Method(p.array, "sort", Sort);
    vm.Method(p.array, "sortOn", SortOn);
}

}  // namespace velmora::avm1
