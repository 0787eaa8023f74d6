// The player's XML reader and writer rules, apart from script objects: a flat list
// of nodes in document order (no recursion, so deep nesting costs no stack), the
// status codes XML.status reports, and the escaping toString uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::avm1 {

// XML.status after parsing.
enum class XmlStatus : int {
    Ok = 0,
    CdataUnterminated = -2,
    DeclarationUnterminated = -3,
    DoctypeUnterminated = -4,
    CommentUnterminated = -5,
    MalformedElement = -6,
    OutOfMemory = -7,
    AttributeUnterminated = -8,
    StartTagUnmatched = -9,
    EndTagUnmatched = -10,
};

struct XmlParsedNode {
    int parent = -1;  // index into the list; -1: the document
    bool element = false;
    std::string name;  // elements
    std::string text;  // text and CDATA
    std::vector<std::pair<std::string, std::string>> attributes;  // document order
};

struct XmlParseResult {
    std::vector<XmlParsedNode> nodes;
    XmlStatus status = XmlStatus::Ok;
    std::string xmlDecl;      // "<?xml ... ?>" as written, when present
    std::string docTypeDecl;  // "<!DOCTYPE ...>" as written, when present
    bool hasXmlDecl = false, hasDocType = false;
};

// Bounded: at most kMaxXmlNodes nodes (then OutOfMemory) and kMaxXmlDepth open elements.
inline constexpr size_t kMaxXmlNodes = 1'000'000;
inline constexpr size_t kMaxXmlDepth = 10'000;

// What was read before an error stays in the result, as the player keeps it.
XmlParseResult ParseXml(std::string_view text, bool ignoreWhite);

// &amp; &lt; &gt; &quot; &apos; and character references; anything else stays as written.
std::string DecodeXmlEntities(std::string_view text);
// Text and attribute values as toString writes them.
std::string EscapeXml(std::string_view text);

}  // namespace velmora::avm1
