// LoadVars, and the transfer methods it shares with XML (load, send, sendAndLoad,
// addRequestHeader, getBytesLoaded/Total). The host fetches; the script sees the
// answer through onData, whose default parses it and calls onLoad.
#include <string>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

constexpr std::string_view kFormType = "application/x-www-form-urlencoded";

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Headers from addRequestHeader, kept in the slot the player uses.
std::vector<std::pair<std::string, std::string>> CustomHeaders(Vm& vm, Object* self) {
    std::vector<std::pair<std::string, std::string>> out;
    Value list = vm.Get(self, "_customHeaders");
    ArrayObject* a = list.AsObject() ? list.AsObject()->AsArray() : nullptr;
    if (!a) return out;
    for (size_t i = 0; i + 1 < a->Items().size(); i += 2)
        out.emplace_back(vm.ToString(a->Items()[i]), vm.ToString(a->Items()[i + 1]));
    return out;
}

bool IsPost(Vm& vm, const Value& method) { return NamesEqual(vm.ToString(method), "POST", false); }

// Marks `target` as waiting and asks the host; false when there is nothing to ask for.
bool StartLoad(Vm& vm, Object* self, Object* target, std::string url, bool post, bool sendBody) {
    if (!target || url.empty()) return false;
    DataRequest request;
    if (sendBody) {
        std::string body = vm.ToString(vm.CallMethod(Value::Obj(self), "toString", {}));
        if (post) {
            request.body = std::move(body);
        } else if (!body.empty()) {
            url += (url.find('?') == std::string::npos ? "?" : "&") + body;
        }
    }
    request.url = std::move(url);
    request.post = post;
    request.contentType = vm.ToString(vm.Get(self, "contentType"));
    request.headers = CustomHeaders(vm, self);
    vm.Set(target, "loaded", Value::Bool(false));
    target->Define("_bytesLoaded", Value::Number(0));
    target->Define("_bytesTotal", Value());
    return vm.StartDataRequest(target, request);
}

}  // namespace

bool Vm::StartDataRequest(Object* target, const DataRequest& request) {
    uint32_t id = m_host.RequestData(request);
    if (id == 0) return false;
    m_dataRequests[id] = target;
    return true;
}

void Vm::DataArrived(uint32_t request, bool ok, std::string_view bytes) {
    auto it = m_dataRequests.find(request);
    if (it == m_dataRequests.end()) return;
    Object* target = it->second;
    m_dataRequests.erase(it);
    Guarded([&] {
        std::vector<Value> args;
        if (ok) {
            target->Define("_bytesLoaded", Value::Number(static_cast<double>(bytes.size())));
            target->Define("_bytesTotal", Value::Number(static_cast<double>(bytes.size())));
            // Loaded text is UTF-8 (a BOM is dropped); anything else is taken as the system code page.
            if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
            args.push_back(Value::String(IsValidUtf8(bytes) ? std::string(bytes) : m_codec->AnsiToUtf8(bytes)));
        }
        CallMethod(Value::Obj(target), "onData", args);
    });
}

void InstallDataLoading(Vm& vm, Object* proto, bool formData) {
    proto->Define("contentType", Value::String(std::string(kFormType)), kDontEnum);
    vm.Method(proto, "load", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self || c.args.empty()) return Value::Bool(false);
        return Value::Bool(StartLoad(v, self, self, StringArg(v, c, 0), false, false));
    });
    // XML always posts itself; LoadVars posts or appends to the URL as asked (GET when unsaid).
    vm.Method(proto, "sendAndLoad", [formData](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self || c.args.size() < 2) return Value::Bool(false);
        bool post = !formData || IsPost(v, c.Arg(2));
        return Value::Bool(StartLoad(v, self, c.Arg(1).AsObject(), StringArg(v, c, 0), post, true));
    });
    vm.Method(proto, "send", [formData](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self || c.args.empty()) return Value::Bool(false);
        std::string url = StringArg(v, c, 0);
        bool post = !formData || IsPost(v, c.Arg(2));
        std::string body = v.ToString(v.CallMethod(c.thisValue, "toString", {}));
        if (!post && !body.empty()) url += (url.find('?') == std::string::npos ? "?" : "&") + body;
        // The browser window that would show the answer is the host's to open.
        v.HostEnv().GetUrl(url, StringArg(v, c, 1), post ? 2 : 1);
        return Value::Bool(true);
    });
    vm.Method(proto, "addRequestHeader", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        Value list = v.Get(self, "_customHeaders");
        ArrayObject* a = list.AsObject() ? list.AsObject()->AsArray() : nullptr;
        if (!a) {
            a = v.NewArray();
            self->Define("_customHeaders", Value::Obj(a));
        }
        // (name, value) or one array of name, value, name, value...
        if (ArrayObject* pairs = c.Arg(0).AsObject() ? c.Arg(0).AsObject()->AsArray() : nullptr) {
            for (const Value& item : pairs->Items()) a->Push(Value::String(v.ToString(item)));
        } else if (c.Arg(0).IsString() && c.Arg(1).IsString()) {
            a->Push(c.Arg(0));
            a->Push(c.Arg(1));
        }
        return Value();
    });
    vm.Method(proto, "getBytesLoaded", [](Vm& v, CallContext& c) {
        return c.thisValue.AsObject() ? v.Get(c.thisValue.AsObject(), "_bytesLoaded") : Value();
    });
    vm.Method(proto, "getBytesTotal", [](Vm& v, CallContext& c) {
        return c.thisValue.AsObject() ? v.Get(c.thisValue.AsObject(), "_bytesTotal") : Value();
    });
    vm.Method(proto, "onLoad", [](Vm&, CallContext&) { return Value(); });
    // The default onData: decode or parse the text, then onLoad(true); onLoad(false) after a failure.
    vm.Method(proto, "onData", [formData](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        Value success = Value::Bool(!c.Arg(0).IsUndefined());
        if (success.AsBool()) {
            v.CallMethod(c.thisValue, formData ? "decode" : "parseXML", c.args.subspan(0, 1));
            v.Set(self, "loaded", Value::Bool(true));
        }
        v.CallMethod(c.thisValue, "onLoad", std::span<const Value>(&success, 1));
        return Value();
    });
}

std::string EncodeFormData(Vm& vm, Object* self) {
    std::string out;
    for (const std::string& key : vm.EnumerableKeys(self)) {
        if (!out.empty()) out += '&';
        out += Escape(key) + '=' + Escape(vm.ToString(vm.Get(self, key)));
    }
    return out;
}

void DecodeFormData(Vm& vm, Object* self, std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t amp = text.find('&', start);
        std::string_view pair = text.substr(start, amp == std::string_view::npos ? amp : amp - start);
        size_t eq = pair.find('=');
        // A pair without '=' is dropped, as the player drops it.
        if (eq != std::string_view::npos && eq > 0) {
            std::string name = Unescape(pair.substr(0, eq));
            std::string value = Unescape(pair.substr(eq + 1));
            vm.Set(self, name, Value::String(std::move(value)));
        }
        if (amp == std::string_view::npos) break;
        start = amp + 1;
    }
}

void InstallLoadVarsBuiltins(Vm& vm) {
    Object* proto = vm.NewObject();
    vm.Class("LoadVars", [](Vm&, CallContext& c) { return c.thisValue; }, proto);
    InstallDataLoading(vm, proto, true);
    vm.Method(proto, "toString", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        return Value::String(self ? EncodeFormData(v, self) : std::string());
    });
    vm.Method(proto, "decode", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (self && !c.args.empty()) DecodeFormData(v, self, v.ToString(c.args[0]));
        return Value();
    });
}

}  // namespace velmora::avm1
