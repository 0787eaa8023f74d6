#include <gtest/gtest.h>

#include "engine/avm1/builtins.h"
#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

class NetTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    Vm vm{host, nullptr, 8};

    Value S(const char* s) { return Value::String(s); }
    Value ExternalInterface() { return Value::Obj(vm.Get(Package(vm, "flash.external"), "ExternalInterface").AsObject()); }
    Value Call(const Value& target, const char* method, std::vector<Value> args) {
        return vm.CallMethod(target, method, args);
    }
    ArrayObject* Array(std::initializer_list<Value> items) {
        ArrayObject* a = vm.NewArray();
        for (const Value& v : items) a->Push(v);
        return a;
    }
};

TEST_F(NetTest, ExternalInterfaceEncodesValuesAsItsXml) {
    Object* obj = vm.NewObject();
    vm.Set(obj, "k", S("<&>"));
    const struct {
        Value value;
        const char* xml;
    } cases[] = {
        {Value(), "<undefined/>"},
        {Value::Null(), "<null/>"},
        {Value::Bool(false), "<false/>"},
        {Value::Number(-2.5), "<number>-2.5</number>"},
        {S(""), "<string>null</string>"},
        {S("a'b\""), "<string>a&apos;b&quot;</string>"},
        {Value::Obj(Array({Value::Bool(true), S("x")})),
         "<array><property id=\"0\"><true/></property><property id=\"1\"><string>x</string></property></array>"},
        {Value::Obj(obj), "<object><property id=\"k\"><string>&lt;&amp;&gt;</string></property></object>"},
        {Value::Obj(vm.NewNative([](Vm&, CallContext&) { return Value(); })), "<null/>"},
    };
    for (const auto& c : cases) EXPECT_EQ(vm.ToString(Call(ExternalInterface(), "_toXML", {c.value})), c.xml);
    EXPECT_TRUE(Call(ExternalInterface(), "_escapeXML", {}).IsNull());
    EXPECT_EQ(vm.ToString(Call(ExternalInterface(), "_argumentsToXML", {Value::Obj(Array({S("fn"), Value::Number(1)}))})),
              "<arguments><number>1</number></arguments>");  // the function name is left out
    EXPECT_FALSE(vm.ToBool(vm.GetValueMember(ExternalInterface(), "available")));

    // And back: the XML the encoder writes decodes to the same values.
    Value doc = vm.Construct(vm.Get(vm.Global(), "XML").AsObject(),
                             std::vector<Value>{Call(ExternalInterface(), "_toXML", {Value::Obj(obj)})});
    Value decoded = Call(ExternalInterface(), "_toAS", {vm.GetValueMember(doc, "firstChild")});
    EXPECT_EQ(vm.ToString(vm.GetValueMember(decoded, "k")), "<&>");
}

TEST_F(NetTest, NetConnectionConnectsOnlyLocally) {
    Object* nc = vm.Construct(vm.Get(vm.Global(), "NetConnection").AsObject(), {}).AsObject();
    std::vector<std::string> codes;
    vm.Set(nc, "onStatus", Value::Obj(vm.NewNative([&codes](Vm& v, CallContext& c) {
        codes.push_back(v.ToString(v.GetValueMember(c.Arg(0), "code")));
        return Value();
    })));
    Value self = Value::Obj(nc);
    Call(self, "close", {});
    Call(self, "connect", {Value::Null()});
    Call(self, "connect", {Value::Null()});
    Call(self, "close", {});
    EXPECT_FALSE(vm.ToBool(Call(self, "connect", {S("rtmp://example.org/app")})));
    EXPECT_EQ(codes, (std::vector<std::string>{"NetConnection.Connect.Success", "NetConnection.Connect.Closed",
                                               "NetConnection.Connect.Success", "NetConnection.Connect.Closed"}));
}

TEST_F(NetTest, FileBrowsingEndsCancelledAndChecksTheTypeList) {
    Object* ref = vm.Construct(vm.Get(Package(vm, "flash.net"), "FileReference").AsObject(), {}).AsObject();
    int cancels = 0;
    Object* listener = vm.NewObject();
    vm.Set(listener, "onCancel", Value::Obj(vm.NewNative([&cancels](Vm&, CallContext&) {
        ++cancels;
        return Value();
    })));
    Value self = Value::Obj(ref);
    Call(self, "addListener", {Value::Obj(listener)});
    Object* badType = vm.NewObject();
    vm.Set(badType, "description", S("Text"));
    EXPECT_FALSE(vm.ToBool(Call(self, "browse", {Value::Obj(Array({}))})));
    EXPECT_FALSE(vm.ToBool(Call(self, "browse", {Value::Obj(Array({Value::Obj(badType)}))})));
    EXPECT_EQ(cancels, 0);
    EXPECT_TRUE(vm.ToBool(Call(self, "browse", {})));
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(vm.ToBool(Call(self, "download", {S("http://example.org/a.txt")})));
}

TEST_F(NetTest, ContextMenuItemDefaultsAndCopies) {
    Value item = vm.Construct(vm.Get(vm.Global(), "ContextMenuItem").AsObject(), std::vector<Value>{S("Play"), Value(), Value::Null()});
    EXPECT_EQ(vm.ToString(vm.GetValueMember(item, "separatorBefore")), "false");
    EXPECT_EQ(vm.ToString(vm.GetValueMember(item, "enabled")), "true");
    Value menu = vm.Construct(vm.Get(vm.Global(), "ContextMenu").AsObject(), {});
    Call(vm.GetValueMember(menu, "customItems"), "push", {item});
    Value copy = Call(menu, "copy", {});
    Value copied = vm.GetValueMember(vm.GetValueMember(copy, "customItems"), "0");
    EXPECT_EQ(vm.ToString(vm.GetValueMember(copied, "caption")), "Play");
    EXPECT_FALSE(Vm::StrictEquals(copied, item));
    Call(menu, "hideBuiltInItems", {});
    EXPECT_EQ(vm.ToString(vm.GetValueMember(vm.GetValueMember(menu, "builtInItems"), "zoom")), "false");
}

}  // namespace
}  // namespace velmora::avm1
