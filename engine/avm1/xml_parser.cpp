#include "engine/avm1/xml_parser.h"

#include <algorithm>

#include "common/text.h"

namespace velmora::avm1 {

namespace {

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool StartsWith(std::string_view text, size_t at, std::string_view prefix) {
    return text.substr(at, prefix.size()) == prefix;
}

// "#65" or "#x41" -> the code point; false when it is not a valid reference.
bool CharacterReference(std::string_view body, uint32_t& cp) {
    if (body.size() < 2 || body[0] != '#') return false;
    bool hex = body[1] == 'x' || body[1] == 'X';
    std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t value = 0;
    for (char c : digits) {
        int d = c >= '0' && c <= '9' ? c - '0' : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return false;
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    cp = value;
    return true;
}

class Parser {
public:
    Parser(std::string_view text, bool ignoreWhite) : m_text(text), m_ignoreWhite(ignoreWhite) {}

    XmlParseResult Run() {
        while (m_pos < m_text.size() && Step()) {
        }
        if (m_result.status == XmlStatus::Ok && !m_open.empty()) m_result.status = XmlStatus::StartTagUnmatched;
        return std::move(m_result);
    }

private:
    // One markup item or one run of text; false stops with the status set.
    bool Step() {
        if (m_text[m_pos] != '<') return Text();
        if (StartsWith(m_text, m_pos, "<!--")) return Skip("-->", 4, XmlStatus::CommentUnterminated, nullptr);
        if (StartsWith(m_text, m_pos, "<![CDATA[")) return Cdata();
        if (StartsWith(m_text, m_pos, "<?")) {
            m_result.hasXmlDecl = true;
            return Skip("?>", 2, XmlStatus::DeclarationUnterminated, &m_result.xmlDecl);
        }
        if (StartsWith(m_text, m_pos, "<!")) {
            m_result.hasDocType = true;
            return Skip(">", 2, XmlStatus::DoctypeUnterminated, &m_result.docTypeDecl);
        }
        if (StartsWith(m_text, m_pos, "</")) return EndTag();
        return StartTag();
    }

    bool Fail(XmlStatus status) {
        m_result.status = status;
        return false;
    }

    int Parent() const { return m_open.empty() ? -1 : m_open.back(); }

    bool Add(XmlParsedNode node) {
        if (m_result.nodes.size() >= kMaxXmlNodes) return Fail(XmlStatus::OutOfMemory);
        node.parent = Parent();
        m_result.nodes.push_back(std::move(node));
        return true;
    }

    bool Text() {
        size_t end = std::min(m_text.find('<', m_pos), m_text.size());
        std::string_view raw = m_text.substr(m_pos, end - m_pos);
        m_pos = end;
        if (m_ignoreWhite && std::all_of(raw.begin(), raw.end(), IsXmlSpace)) return true;
        XmlParsedNode node;
        node.text = DecodeXmlEntities(raw);
        return Add(std::move(node));
    }

    // Markup kept whole (declarations) or dropped (comments).
    bool Skip(std::string_view close, size_t openLength, XmlStatus unterminated, std::string* keep) {
        size_t end = m_text.find(close, m_pos + openLength);
        if (end == std::string_view::npos) return Fail(unterminated);
        end += close.size();
        if (keep) *keep = std::string(m_text.substr(m_pos, end - m_pos));
        m_pos = end;
        return true;
    }

    bool Cdata() {
        constexpr std::string_view kOpen = "<![CDATA[";
        size_t end = m_text.find("]]>", m_pos + kOpen.size());
        if (end == std::string_view::npos) return Fail(XmlStatus::CdataUnterminated);
        XmlParsedNode node;
        node.text = std::string(m_text.substr(m_pos + kOpen.size(), end - m_pos - kOpen.size()));
        m_pos = end + 3;
        return Add(std::move(node));
    }

    bool EndTag() {
        size_t end = m_text.find('>', m_pos);
        if (end == std::string_view::npos) return Fail(XmlStatus::MalformedElement);
        std::string_view name = m_text.substr(m_pos + 2, end - m_pos - 2);
        while (!name.empty() && IsXmlSpace(name.back())) name.remove_suffix(1);
        m_pos = end + 1;
        if (m_open.empty()) return Fail(XmlStatus::EndTagUnmatched);
        if (m_result.nodes[static_cast<size_t>(m_open.back())].name != name) return Fail(XmlStatus::StartTagUnmatched);
        m_open.pop_back();
        return true;
    }

    size_t NameEnd(size_t from) const {
        size_t i = from;
        while (i < m_text.size() && !IsXmlSpace(m_text[i]) && m_text[i] != '>' && m_text[i] != '/' && m_text[i] != '=')
            ++i;
        return i;
    }

    void SkipSpace() {
        while (m_pos < m_text.size() && IsXmlSpace(m_text[m_pos])) ++m_pos;
    }

    bool StartTag() {
        size_t nameEnd = NameEnd(m_pos + 1);
        if (nameEnd == m_pos + 1) return Fail(XmlStatus::MalformedElement);
        XmlParsedNode node;
        node.element = true;
        node.name = std::string(m_text.substr(m_pos + 1, nameEnd - m_pos - 1));
        m_pos = nameEnd;
        for (;;) {
            SkipSpace();
            if (m_pos >= m_text.size()) return Fail(XmlStatus::MalformedElement);
            if (m_text[m_pos] == '>' || StartsWith(m_text, m_pos, "/>")) break;
            if (!Attribute(node)) return false;
        }
        bool selfClosed = m_text[m_pos] == '/';
        m_pos += selfClosed ? 2 : 1;
        if (!Add(std::move(node))) return false;
        if (selfClosed) return true;
        if (m_open.size() >= kMaxXmlDepth) return Fail(XmlStatus::OutOfMemory);
        m_open.push_back(static_cast<int>(m_result.nodes.size() - 1));
        return true;
    }

    bool Attribute(XmlParsedNode& node) {
        size_t nameEnd = NameEnd(m_pos);
        if (nameEnd == m_pos) return Fail(XmlStatus::MalformedElement);
        std::string name(m_text.substr(m_pos, nameEnd - m_pos));
        m_pos = nameEnd;
        SkipSpace();
        if (m_pos >= m_text.size() || m_text[m_pos] != '=') return Fail(XmlStatus::MalformedElement);
        ++m_pos;
        SkipSpace();
        if (m_pos >= m_text.size() || (m_text[m_pos] != '"' && m_text[m_pos] != '\'')) {
            return Fail(XmlStatus::MalformedElement);
        }
        size_t close = m_text.find(m_text[m_pos], m_pos + 1);
        if (close == std::string_view::npos) return Fail(XmlStatus::AttributeUnterminated);
        std::string value = DecodeXmlEntities(m_text.substr(m_pos + 1, close - m_pos - 1));
        m_pos = close + 1;
        // A repeated name keeps its first value.
        bool seen = std::any_of(node.attributes.begin(), node.attributes.end(),
                                [&](const auto& a) { return a.first == name; });
        if (!seen) node.attributes.emplace_back(std::move(name), std::move(value));
        return true;
    }

    std::string_view m_text;
    bool m_ignoreWhite;
    size_t m_pos = 0;
    std::vector<int> m_open;  // indices of the elements not closed yet
    XmlParseResult m_result;
};

}  // namespace

XmlParseResult ParseXml(std::string_view text, bool ignoreWhite) { return Parser(text, ignoreWhite).Run(); }

std::string DecodeXmlEntities(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        size_t semi = text[i] == '&' ? text.find(';', i + 1) : std::string_view::npos;
        if (semi == std::string_view::npos || semi - i > 12) {
            out += text[i];
            continue;
        }
        std::string_view body = text.substr(i + 1, semi - i - 1);
        auto named = std::find_if(std::begin(kNamed), std::end(kNamed), [&](const auto& e) { return e.first == body; });
        uint32_t cp = 0;
        if (named != std::end(kNamed)) {
            out += named->second;
        } else if (CharacterReference(body, cp)) {
            AppendUtf8(out, static_cast<char32_t>(cp));
        } else {
            out += text[i];
            continue;
        }
        i = semi;
    }
    return out;
}

std::string EscapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace velmora::avm1
