// XMLNode and XML. Each node is a script object carrying its tree links natively;
// the navigation properties are accessors on XMLNode.prototype, and childNodes is one
// array per node that the tree rewrites whenever its children change.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/avm1/builtins.h"
#include "engine/avm1/builtins_geom.h"
#include "engine/avm1/xml_parser.h"

namespace velmora::avm1 {

namespace {

constexpr int kElement = 1;
constexpr int kText = 3;

struct XmlNode : NativeData {
    double type = kElement;
    Value name;   // string, or null (text nodes, documents)
    Value value;  // string, or null (elements)
    Object* attributes = nullptr;
    Object* parent = nullptr;
    std::vector<Object*> children;
    ArrayObject* childArray = nullptr;  // made on first read of childNodes
    bool document = false;              // made by XML: toString adds the declarations

    void TraceRefs(std::vector<Object*>& out) const override {
        for (Object* o : {attributes, parent, static_cast<Object*>(childArray)})
            if (o) out.push_back(o);
        out.insert(out.end(), children.begin(), children.end());
    }
};

XmlNode* NodeOf(Object* o) { return o ? o->Data<XmlNode>() : nullptr; }
XmlNode* NodeOf(const Value& v) { return NodeOf(v.AsObject()); }

void SyncChildArray(XmlNode& node) {
    if (!node.childArray) return;
    auto& items = node.childArray->Elements();
    items.clear();
    for (Object* child : node.children) items.push_back(Value::Obj(child));
}

void Detach(Object* child) {
    XmlNode* c = NodeOf(child);
    XmlNode* p = c ? NodeOf(c->parent) : nullptr;
    if (!p) return;
    std::erase(p->children, child);
    c->parent = nullptr;
    SyncChildArray(*p);
}

// Puts `child` under `parent` before `before` (nullptr: at the end). A node cannot
// go under itself or its own descendants.
bool Insert(Object* parent, Object* child, Object* before) {
    XmlNode* p = NodeOf(parent);
    XmlNode* c = NodeOf(child);
    if (!p || !c) return false;
    for (Object* up = parent; up; up = NodeOf(up) ? NodeOf(up)->parent : nullptr)
        if (up == child) return false;
    Detach(child);
    auto at = before ? std::find(p->children.begin(), p->children.end(), before) : p->children.end();
    p->children.insert(at, child);
    c->parent = parent;
    SyncChildArray(*p);
    return true;
}

Object* NodeProto(Vm& vm) {
    Property* ctor = vm.Global()->FindOwn("XMLNode", 10);
    Value proto = ctor && ctor->value.AsObject() ? vm.Get(ctor->value.AsObject(), "prototype") : Value();
    return proto.AsObject() ? proto.AsObject() : vm.Protos().object;
}

Object* Attributes(Vm& vm, XmlNode& node) {
    if (!node.attributes) node.attributes = vm.NewObject();
    return node.attributes;
}

Object* NewNode(Vm& vm, Object* proto, int type, std::string text) {
    Object* o = vm.Make<Object>(proto);
    auto data = std::make_unique<XmlNode>();
    data->type = type;
    (type == kElement ? data->name : data->value) = Value::String(std::move(text));
    (type == kElement ? data->value : data->name) = Value::Null();
    o->SetData(std::move(data));
    return o;
}

// The attributes in the order for-in shows them, which is the order toString writes them.
std::string AttributesText(Vm& vm, XmlNode& node) {
    std::string out;
    if (!node.attributes) return out;
    for (const std::string& key : vm.EnumerableKeys(node.attributes))
        out += " " + key + "=\"" + EscapeXml(vm.ToString(vm.Get(node.attributes, key))) + "\"";
    return out;
}

// Written without recursion: script can build trees deeper than any stack.
std::string Serialize(Vm& vm, Object* root) {
    std::string out;
    XmlNode* top = NodeOf(root);
    if (!top) return out;
    if (top->document) {
        for (const char* decl : {"xmlDecl", "docTypeDecl"}) {
            Value v = vm.Get(root, decl);
            if (!v.IsNullish()) out += vm.ToString(v);
        }
    }
    struct Step {
        Object* node;
        size_t next;
    };
    std::vector<Step> stack{{root, 0}};
    while (!stack.empty()) {
        Step& step = stack.back();
        XmlNode& n = *NodeOf(step.node);
        bool named = n.type == kElement && n.name.IsString();
        if (step.next == 0 && n.type != kElement) {
            if (!n.value.IsNullish()) out += EscapeXml(vm.ToString(n.value));
            stack.pop_back();
            continue;
        }
        if (step.next == 0 && named) {
            out += "<" + n.name.AsString() + AttributesText(vm, n);
            if (n.children.empty()) {
                out += " />";
                stack.pop_back();
                continue;
            }
            out += ">";
        }
        if (step.next < n.children.size()) {
            Object* child = n.children[step.next++];
            if (NodeOf(child)) stack.push_back({child, 0});
            continue;
        }
        if (named) out += "</" + n.name.AsString() + ">";
        stack.pop_back();
    }
    return out;
}

Object* Clone(Vm& vm, Object* source, bool deep) {
    auto copyOne = [&vm](Object* from) {
        XmlNode& f = *NodeOf(from);
        Object* to = vm.Make<Object>(from->Proto());
        auto data = std::make_unique<XmlNode>();
        data->type = f.type;
        data->name = f.name;
        data->value = f.value;
        if (f.attributes) {
            data->attributes = vm.NewObject();
            for (const Property& p : f.attributes->Slots())
                if (!p.IsVirtual()) data->attributes->Define(p.name, p.value, p.flags);
        }
        to->SetData(std::move(data));
        return to;
    };
    Object* root = copyOne(source);
    if (!deep) return root;
    std::vector<std::pair<Object*, Object*>> work{{source, root}};
    while (!work.empty()) {
        auto [from, to] = work.back();
        work.pop_back();
        for (Object* child : NodeOf(from)->children) {
            if (!NodeOf(child)) continue;
            Object* copy = copyOne(child);
            Insert(to, copy, nullptr);
            work.emplace_back(child, copy);
        }
    }
    return root;
}

void ParseInto(Vm& vm, Object* doc, const std::string& text) {
    XmlNode* d = NodeOf(doc);
    if (!d) return;
    while (!d->children.empty()) Detach(d->children.front());
    XmlParseResult parsed = ParseXml(text, vm.ToBool(vm.Get(doc, "ignoreWhite")));
    Value idMap = vm.Get(doc, "idMap");
    if (!idMap.AsObject()) {
        idMap = Value::Obj(vm.NewObject());
        vm.Set(doc, "idMap", idMap);
    }
    Object* proto = NodeProto(vm);
    std::vector<Object*> made;
    made.reserve(parsed.nodes.size());
    for (XmlParsedNode& n : parsed.nodes) {
        Object* node = NewNode(vm, proto, n.element ? kElement : kText, n.element ? n.name : n.text);
        if (n.element) {
            // Defined last to first, so for-in (newest first) lists them in document order.
            Object* attrs = Attributes(vm, *NodeOf(node));
            for (auto it = n.attributes.rbegin(); it != n.attributes.rend(); ++it)
                attrs->SetOwn(it->first, Value::String(it->second), vm.Version());
            for (auto& [name, value] : n.attributes)
                if (name == "id") vm.Set(idMap.AsObject(), value, Value::Obj(node));
        }
        // A fresh node needs none of Insert's checks (which walk up the whole tree).
        Object* parent = n.parent < 0 ? doc : made[static_cast<size_t>(n.parent)];
        NodeOf(parent)->children.push_back(node);
        NodeOf(node)->parent = parent;
        made.push_back(node);
    }
    if (parsed.hasXmlDecl) vm.Set(doc, "xmlDecl", Value::String(parsed.xmlDecl));
    if (parsed.hasDocType) vm.Set(doc, "docTypeDecl", Value::String(parsed.docTypeDecl));
    SyncChildArray(*d);
    vm.Set(doc, "status", Value::Number(static_cast<int>(parsed.status)));
}

// The prefix an attribute declares: "xmlns:p" declares p; "xmlns", "xmlns:" and any
// other name starting "xmlns" declare the default namespace, as the player reads them.
bool DeclaredPrefix(const std::string& attribute, std::string& prefix) {
    if (!attribute.starts_with("xmlns")) return false;
    prefix = attribute.size() > 6 && attribute[5] == ':' ? attribute.substr(6) : std::string();
    return true;
}

// The namespace declared for `prefix` by the first matching attribute of the nearest
// node that declares it.
Value NamespaceFor(Vm& vm, Object* start, std::string_view prefix) {
    std::string declared;
    for (Object* o = start; XmlNode* n = NodeOf(o); o = n->parent) {
        if (!n->attributes) continue;
        for (const std::string& key : vm.EnumerableKeys(n->attributes))
            if (DeclaredPrefix(key, declared) && declared == prefix) return vm.Get(n->attributes, key);
    }
    return Value::Null();
}

// The prefix of the nearest declaration of `uri`.
Value PrefixFor(Vm& vm, Object* start, const std::string& uri) {
    std::string declared;
    for (Object* o = start; XmlNode* n = NodeOf(o); o = n->parent) {
        if (!n->attributes) continue;
        for (const std::string& key : vm.EnumerableKeys(n->attributes))
            if (DeclaredPrefix(key, declared) && vm.ToString(vm.Get(n->attributes, key)) == uri)
                return Value::String(declared);
    }
    return Value::Null();
}

std::string_view PrefixOf(const std::string& name) {
    size_t colon = name.find(':');
    return colon == std::string::npos ? std::string_view() : std::string_view(name).substr(0, colon);
}

Value Sibling(Object* self, XmlNode& n, std::ptrdiff_t step) {
    XmlNode* p = NodeOf(n.parent);
    if (!p) return Value::Null();
    auto it = std::find(p->children.begin(), p->children.end(), self);
    std::ptrdiff_t index = (it - p->children.begin()) + step;
    if (it == p->children.end() || index < 0 || index >= static_cast<std::ptrdiff_t>(p->children.size()))
        return Value::Null();
    return Value::Obj(p->children[static_cast<size_t>(index)]);
}

void InstallNodeAccessors(Vm& vm, Object* proto) {
    using Getter = Value (*)(Vm&, Object*, XmlNode&);
    auto property = [&vm, proto](const char* name, Getter get, NativeFunction set = {}) {
        DefineAccessor(vm, proto, name, [get](Vm& v, CallContext& c) {
            XmlNode* n = NodeOf(c.thisValue);
            return n ? get(v, c.thisValue.AsObject(), *n) : Value();
        }, std::move(set), kDontEnum | kDontDelete);
    };
    property("nodeType", [](Vm&, Object*, XmlNode& n) { return Value::Number(n.type); });
    property("nodeName", [](Vm&, Object*, XmlNode& n) { return n.name; }, [](Vm& v, CallContext& c) {
        if (XmlNode* n = NodeOf(c.thisValue)) n->name = c.Arg(0).IsNullish() ? Value::Null() : Value::String(v.ToString(c.Arg(0)));
        return Value();
    });
    property("nodeValue", [](Vm&, Object*, XmlNode& n) { return n.value; }, [](Vm& v, CallContext& c) {
        if (XmlNode* n = NodeOf(c.thisValue)) n->value = c.Arg(0).IsNullish() ? Value::Null() : Value::String(v.ToString(c.Arg(0)));
        return Value();
    });
    property("attributes", [](Vm& v, Object*, XmlNode& n) { return Value::Obj(Attributes(v, n)); });
    property("childNodes", [](Vm& v, Object*, XmlNode& n) {
        if (!n.childArray) {
            n.childArray = v.NewArray();
            SyncChildArray(n);
        }
        return Value::Obj(n.childArray);
    });
    property("parentNode", [](Vm&, Object*, XmlNode& n) { return Value::Obj(n.parent); });
    property("firstChild", [](Vm&, Object*, XmlNode& n) {
        return n.children.empty() ? Value::Null() : Value::Obj(n.children.front());
    });
    property("lastChild", [](Vm&, Object*, XmlNode& n) {
        return n.children.empty() ? Value::Null() : Value::Obj(n.children.back());
    });
    property("nextSibling", [](Vm&, Object* self, XmlNode& n) { return Sibling(self, n, 1); });
    property("previousSibling", [](Vm&, Object* self, XmlNode& n) { return Sibling(self, n, -1); });
    property("prefix", [](Vm&, Object*, XmlNode& n) {
        if (!n.name.IsString()) return Value::Null();
        return Value::String(std::string(PrefixOf(n.name.AsString())));
    });
    property("localName", [](Vm&, Object*, XmlNode& n) {
        if (!n.name.IsString()) return Value::Null();
        const std::string& name = n.name.AsString();
        size_t colon = name.find(':');
        return Value::String(colon == std::string::npos ? name : name.substr(colon + 1));
    });
    property("namespaceURI", [](Vm& v, Object* self, XmlNode& n) {
        if (!n.name.IsString()) return Value::Null();
        return NamespaceFor(v, self, PrefixOf(n.name.AsString()));
    });
}

void InstallNodeMethods(Vm& vm, Object* proto) {
    vm.Method(proto, "appendChild", [](Vm&, CallContext& c) {
        Insert(c.thisValue.AsObject(), c.Arg(0).AsObject(), nullptr);
        return Value();
    });
    vm.Method(proto, "insertBefore", [](Vm&, CallContext& c) {
        XmlNode* self = NodeOf(c.thisValue);
        Object* before = c.Arg(1).AsObject();
        // Only before one of this node's own children.
        if (self && before && std::find(self->children.begin(), self->children.end(), before) != self->children.end())
            Insert(c.thisValue.AsObject(), c.Arg(0).AsObject(), before);
        return Value();
    });
    vm.Method(proto, "removeNode", [](Vm&, CallContext& c) {
        Detach(c.thisValue.AsObject());
        return Value();
    });
    vm.Method(proto, "cloneNode", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        return NodeOf(self) ? Value::Obj(Clone(v, self, v.ToBool(c.Arg(0)))) : Value();
    });
    vm.Method(proto, "hasChildNodes", [](Vm&, CallContext& c) {
        XmlNode* n = NodeOf(c.thisValue);
        return n ? Value::Bool(!n->children.empty()) : Value();
    });
    vm.Method(proto, "toString", [](Vm& v, CallContext& c) {
        return Value::String(Serialize(v, c.thisValue.AsObject()));
    });
    vm.Method(proto, "getNamespaceForPrefix", [](Vm& v, CallContext& c) {
        if (!NodeOf(c.thisValue) || c.args.empty()) return Value::Null();
        return NamespaceFor(v, c.thisValue.AsObject(), v.ToString(c.args[0]));
    });
    vm.Method(proto, "getPrefixForNamespace", [](Vm& v, CallContext& c) {
        if (!NodeOf(c.thisValue) || c.args.empty()) return Value::Null();
        return PrefixFor(v, c.thisValue.AsObject(), v.ToString(c.args[0]));
    });
}

// XMLNode(type, value): an element named `value` (type 1) or a text node holding it.
void InitNode(Vm& vm, Object* self, const Value& type, const Value& value) {
    auto data = std::make_unique<XmlNode>();
    data->type = vm.ToNumber(type);
    Value text = value.IsNullish() ? Value::Null() : Value::String(vm.ToString(value));
    bool element = data->type == kElement;
    data->name = element ? text : Value::Null();
    data->value = element ? Value::Null() : text;
    self->SetData(std::move(data));
}

}  // namespace

void InstallXmlBuiltins(Vm& vm) {
    Object* nodeProto = vm.NewObject();
    vm.Class("XMLNode", [](Vm& v, CallContext& c) {
        if (Object* self = c.thisValue.AsObject()) InitNode(v, self, c.Arg(0), c.Arg(1));
        return Value();
    }, nodeProto);
    InstallNodeAccessors(vm, nodeProto);
    InstallNodeMethods(vm, nodeProto);

    Object* xmlProto = vm.Make<Object>(nodeProto);
    vm.Class("XML", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        InitNode(v, self, Value::Number(kElement), Value::Null());
        NodeOf(self)->document = true;
        if (!c.Arg(0).IsNullish()) ParseInto(v, self, v.ToString(c.Arg(0)));
        return Value();
    }, xmlProto);
    xmlProto->Define("ignoreWhite", Value::Bool(false), kDontEnum);
    xmlProto->Define("status", Value::Number(0), kDontEnum);
    xmlProto->Define("loaded", Value(), kDontEnum);
    vm.Method(xmlProto, "createElement", [](Vm& v, CallContext& c) {
        return Value::Obj(NewNode(v, NodeProto(v), kElement, StringArg(v, c, 0)));
    });
    vm.Method(xmlProto, "createTextNode", [](Vm& v, CallContext& c) {
        return Value::Obj(NewNode(v, NodeProto(v), kText, StringArg(v, c, 0)));
    });
    vm.Method(xmlProto, "parseXML", [](Vm& v, CallContext& c) {
        if (Object* self = c.thisValue.AsObject(); self && !c.args.empty()) ParseInto(v, self, v.ToString(c.args[0]));
        return Value();
    });
    InstallDataLoading(vm, xmlProto, false);
}

}  // namespace velmora::avm1
