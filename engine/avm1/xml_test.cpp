#include "engine/avm1/xml_parser.h"

#include <gtest/gtest.h>

#include "engine/avm1/builtins.h"
#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

class XmlTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    Vm vm{host, nullptr, 8};

    Value S(const char* s) { return Value::String(s); }
    Value NewXml(const std::string& text, bool ignoreWhite = false) {
        Value doc = vm.Construct(vm.Get(vm.Global(), "XML").AsObject(), {});
        vm.Set(doc.AsObject(), "ignoreWhite", Value::Bool(ignoreWhite));
        Value arg = Value::String(text);
        vm.CallMethod(doc, "parseXML", std::span<const Value>(&arg, 1));
        return doc;
    }
    std::string Str(const Value& v) { return vm.ToString(v); }
    Value Member(const Value& v, const char* name) { return vm.GetValueMember(v, name); }
};

TEST_F(XmlTest, ParseAndSerialiseRoundTrips) {
    const struct {
        const char* source;
        bool ignoreWhite;
        const char* written;
        int status;
    } cases[] = {
        {"<a><b>text</b><c/></a>", false, "<a><b>text</b><c /></a>", 0},
        {"<a x=\"1\" y='two'>&lt;&amp;&gt;&quot;&apos;</a>", false, "<a x=\"1\" y=\"two\">&lt;&amp;&gt;&quot;&apos;</a>", 0},
        {"<a t=\"&#65;&#x42;&bogus;\" />", false, "<a t=\"AB&amp;bogus;\" />", 0},
        {"<a>  <b> keep </b>  </a>", true, "<a><b> keep </b></a>", 0},
        {"<a>  <b> keep </b>  </a>", false, "<a>  <b> keep </b>  </a>", 0},
        {"<a><!-- gone --><![CDATA[<raw>]]></a>", false, "<a>&lt;raw&gt;</a>", 0},
        {"<?xml version=\"1.0\"?><!DOCTYPE a><a />", false, "<?xml version=\"1.0\"?><!DOCTYPE a><a />", 0},
        {"top<a/>tail", false, "top<a />tail", 0},
        // Errors keep what was read before them.
        {"<a><![CDATA[open", false, "<a />", -2},
        {"<?xml version", false, "", -3},
        {"<!DOCTYPE a", false, "", -4},
        {"<a><!-- open", false, "<a />", -5},
        {"<a b></a>", false, "", -6},
        {"<a =\"1\"></a>", false, "", -6},
        {"<a b=\"1></a>", false, "", -8},
        {"<a><b></a>", false, "<a><b /></a>", -9},
        {"<a>", false, "<a />", -9},
        {"</a>", false, "", -10},
    };
    for (const auto& c : cases) {
        Value doc = NewXml(c.source, c.ignoreWhite);
        EXPECT_EQ(Str(doc), c.written) << c.source;
        EXPECT_EQ(vm.ToNumber(Member(doc, "status")), c.status) << c.source;
    }
}

TEST_F(XmlTest, TreeEditsKeepLinksAndChildNodesInStep) {
    Value doc = NewXml("<r><a/><b/></r>");
    Value root = Member(doc, "firstChild");
    Value childNodes = Member(root, "childNodes");
    Value c = vm.CallMethod(doc, "createElement", std::vector<Value>{S("c")});
    vm.CallMethod(root, "insertBefore", std::vector<Value>{c, Member(root, "lastChild")});
    EXPECT_EQ(Str(root), "<r><a /><c /><b /></r>");
    EXPECT_EQ(Str(childNodes), "<a />,<c />,<b />");  // the same array, rewritten
    EXPECT_TRUE(Vm::StrictEquals(Member(Member(root, "firstChild"), "nextSibling"), c));
    EXPECT_TRUE(Vm::StrictEquals(Member(c, "parentNode"), root));

    // A node cannot be put under itself; moving a node takes it from its old place.
    vm.CallMethod(c, "appendChild", std::vector<Value>{root});
    EXPECT_EQ(Str(doc), "<r><a /><c /><b /></r>");
    vm.CallMethod(doc, "appendChild", std::vector<Value>{c});
    EXPECT_EQ(Str(doc), "<r><a /><b /></r><c />");

    Value copy = vm.CallMethod(root, "cloneNode", std::vector<Value>{Value::Bool(true)});
    vm.CallMethod(Member(root, "firstChild"), "removeNode", {});
    EXPECT_EQ(Str(root), "<r><b /></r>");
    EXPECT_EQ(Str(copy), "<r><a /><b /></r>");
    EXPECT_TRUE(Member(copy, "parentNode").IsNull());
}

TEST_F(XmlTest, DeepDocumentsParseAndPrintWithoutRecursion) {
    constexpr int kDepth = 9000;
    std::string text;
    for (int i = 0; i < kDepth; ++i) text += "<n>";
    for (int i = 0; i < kDepth; ++i) text += "</n>";
    Value doc = NewXml(text);
    EXPECT_EQ(vm.ToNumber(Member(doc, "status")), 0);
    EXPECT_EQ(Str(doc).size(), text.size() - 2);  // the innermost <n></n> is written <n />

    std::string tooDeepText;
    for (size_t i = 0; i <= kMaxXmlDepth; ++i) tooDeepText += "<n>";
    XmlParseResult tooDeep = ParseXml(tooDeepText, false);
    EXPECT_EQ(tooDeep.status, XmlStatus::OutOfMemory);
}

TEST_F(XmlTest, GarbageNeverHangs) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += static_cast<char>((i * 7919) % 256);
    for (bool ignoreWhite : {false, true}) {
        XmlParseResult r = ParseXml(bytes, ignoreWhite);
        EXPECT_LE(r.nodes.size(), bytes.size());
    }
    EXPECT_EQ(ParseXml("<<<<", false).status, XmlStatus::MalformedElement);
}

TEST_F(XmlTest, IdMapAndNamespaces) {
    Value doc = NewXml("<p:a xmlns:p='urn:p' id='one'><b id='two' xmlns='urn:d'/></p:a>");
    Value idMap = Member(doc, "idMap");
    EXPECT_EQ(Str(Member(Member(idMap, "two"), "nodeName")), "b");
    Value a = Member(doc, "firstChild");
    Value b = Member(a, "firstChild");
    EXPECT_EQ(Str(Member(a, "prefix")), "p");
    EXPECT_EQ(Str(Member(a, "localName")), "a");
    EXPECT_EQ(Str(Member(a, "namespaceURI")), "urn:p");
    EXPECT_EQ(Str(Member(b, "namespaceURI")), "urn:d");
    EXPECT_EQ(Str(vm.CallMethod(b, "getNamespaceForPrefix", std::vector<Value>{S("p")})), "urn:p");
    EXPECT_EQ(Str(vm.CallMethod(b, "getPrefixForNamespace", std::vector<Value>{S("urn:p")})), "p");
    EXPECT_TRUE(vm.CallMethod(a, "getNamespaceForPrefix", std::vector<Value>{S("q")}).IsNull());
}

TEST_F(XmlTest, LoadVarsEscapingAndDecoding) {
    Object* lv = vm.Construct(vm.Get(vm.Global(), "LoadVars").AsObject(), {}).AsObject();
    DecodeFormData(vm, lv, "name=Li%20Lei&score=12%2B3&broken&=skip&empty=");
    EXPECT_EQ(Str(vm.Get(lv, "name")), "Li Lei");
    EXPECT_EQ(Str(vm.Get(lv, "score")), "12+3");
    EXPECT_EQ(Str(vm.Get(lv, "empty")), "");
    EXPECT_FALSE(vm.HasOwn(lv, "broken"));
    Object* out = vm.Construct(vm.Get(vm.Global(), "LoadVars").AsObject(), {}).AsObject();
    vm.Set(out, "b", S("x y&z=_.-"));
    vm.Set(out, "a", Value::Number(1));
    EXPECT_EQ(EncodeFormData(vm, out), "a=1&b=x%20y%26z%3D%5F%2E%2D");  // for-in order: newest first
}

// A host that records transfers instead of making them.
class LoadingHost : public test::RecordingHost {
public:
    uint32_t RequestData(const DataRequest& request) override {
        requests.push_back(request);
        return static_cast<uint32_t>(requests.size());
    }
    std::vector<DataRequest> requests;
};

TEST(XmlLoading, RequestGoesToTheHostAndOnLoadFiresOnce) {
    LoadingHost host;
    Vm vm{host, nullptr, 8};
    Object* xml = vm.Construct(vm.Get(vm.Global(), "XML").AsObject(), {}).AsObject();
    std::vector<std::string> loads;
    vm.Set(xml, "onLoad", Value::Obj(vm.NewNative([&loads](Vm& v, CallContext& c) {
        loads.push_back(v.ToString(c.Arg(0)) + " " + v.ToString(c.thisValue));
        return Value();
    })));
    Value url = Value::String("scores.xml");
    EXPECT_TRUE(vm.ToBool(vm.CallMethod(Value::Obj(xml), "load", std::span<const Value>(&url, 1))));
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].url, "scores.xml");
    EXPECT_FALSE(host.requests[0].post);
    EXPECT_TRUE(loads.empty());  // nothing until the host answers

    vm.DataArrived(1, true, "<s n=\"1\"/>");
    vm.DataArrived(1, true, "<again/>");  // a second answer to the same request is ignored
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0], "true <s n=\"1\" />");
    EXPECT_TRUE(vm.ToBool(vm.Get(xml, "loaded")));
    EXPECT_EQ(vm.ToNumber(vm.CallMethod(Value::Obj(xml), "getBytesTotal", {})), 10);

    // sendAndLoad posts the sender's text; a failure reaches onLoad as false.
    Object* reply = vm.Construct(vm.Get(vm.Global(), "LoadVars").AsObject(), {}).AsObject();
    vm.Set(reply, "onLoad", Value::Obj(vm.NewNative([&loads](Vm& v, CallContext& c) {
        loads.push_back("reply " + v.ToString(c.Arg(0)));
        return Value();
    })));
    Value args[] = {Value::String("post.php"), Value::Obj(reply)};
    vm.CallMethod(Value::Obj(xml), "sendAndLoad", args);
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_TRUE(host.requests[1].post);
    EXPECT_EQ(host.requests[1].body, "<s n=\"1\" />");
    vm.DataArrived(2, false, "");
    EXPECT_EQ(loads.back(), "reply false");
}

}  // namespace
}  // namespace velmora::avm1
