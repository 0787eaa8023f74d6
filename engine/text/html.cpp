#include "engine/text/html.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "common/text.h"

namespace velmora::text {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

struct Tag {
    std::string name;  // lower case, without '/'
    bool closing = false;
    std::vector<std::pair<std::string, std::string>> attributes;  // names lower case

    const std::string* Attribute(std::string_view key) const {
        for (const auto& [k, v] : attributes)
            if (k == key) return &v;
        return nullptr;
    }
};

// The inside of <...>.
Tag ParseTag(std::string_view s) {
    Tag tag;
    size_t i = 0;
    while (i < s.size() && IsSpace(s[i])) ++i;
    if (i < s.size() && s[i] == '/') {
        tag.closing = true;
        ++i;
    }
    size_t start = i;
    while (i < s.size() && !IsSpace(s[i]) && s[i] != '/') ++i;
    tag.name = Lowered(s.substr(start, i - start));
    while (i < s.size()) {
        while (i < s.size() && (IsSpace(s[i]) || s[i] == '/')) ++i;
        start = i;
        while (i < s.size() && !IsSpace(s[i]) && s[i] != '=') ++i;
        std::string key = Lowered(s.substr(start, i - start));
        while (i < s.size() && IsSpace(s[i])) ++i;
        std::string value;
        if (i < s.size() && s[i] == '=') {
            ++i;
            while (i < s.size() && IsSpace(s[i])) ++i;
            if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
                char quote = s[i++];
                start = i;
                while (i < s.size() && s[i] != quote) ++i;
                value = s.substr(start, i - start);
                if (i < s.size()) ++i;
            } else {
                start = i;
                while (i < s.size() && !IsSpace(s[i])) ++i;
                value = s.substr(start, i - start);
            }
        }
        if (!key.empty()) tag.attributes.emplace_back(std::move(key), DecodeEntities(value));
    }
    return tag;
}

std::optional<double> Number(const std::string& s) {
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str()) return std::nullopt;
    return v;
}

std::optional<uint32_t> Color(const std::string& s) {
    if (s.size() < 2 || s[0] != '#') return std::nullopt;
    return static_cast<uint32_t>(std::strtoul(s.c_str() + 1, nullptr, 16) & 0xFFFFFF);
}

class Parser {
public:
    Parser(const TextFormat& base, const HtmlOptions& options) : m_options(options) { m_stack.push_back({"", base}); }

    FormattedText Run(std::string_view html) {
        size_t i = 0;
        while (i < html.size()) {
            if (html[i] == '<') {
                if (html.compare(i, 4, "<!--") == 0) {
                    size_t end = html.find("-->", i + 4);
                    i = end == std::string_view::npos ? html.size() : end + 3;
                    continue;
                }
                size_t end = html.find('>', i);
                if (end == std::string_view::npos) break;  // an unfinished tag shows nothing
                Handle(ParseTag(html.substr(i + 1, end - i - 1)));
                i = end + 1;
                continue;
            }
            size_t end = html.find('<', i);
            if (end == std::string_view::npos) end = html.size();
            Text(DecodeEntities(html.substr(i, end - i)));
            i = end;
        }
        EndParagraph(false);
        return std::move(m_out);
    }

private:
    const TextFormat& Current() const { return m_stack.back().second; }

    void Text(const std::string& utf8) {
        std::u16string run;
        for (size_t i = 0; i < utf8.size(); ++i) {
            char c = utf8[i];
            if (m_options.condenseWhite && IsSpace(c)) {
                if (!m_lastWasSpace && !AtParagraphStart(run)) run += u' ';
                m_lastWasSpace = true;
                continue;
            }
            if (c == '\r' || c == '\n') {
                if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
                Flush(run);
                Break();
                continue;
            }
            m_lastWasSpace = false;
            size_t len = 1;
            while (i + len < utf8.size() && (static_cast<uint8_t>(utf8[i + len]) & 0xC0) == 0x80) ++len;
            run += Utf8ToUtf16(utf8.substr(i, len));
            i += len - 1;
        }
        Flush(run);
    }

    bool AtParagraphStart(const std::u16string& pending) const {
        return pending.empty() && (m_out.Length() == 0 || m_out.Text().back() == u'\r');
    }

    void Flush(std::u16string& run) {
        if (run.empty()) return;
        if (!m_paragraphFormat) m_paragraphFormat = Current().ParagraphPart();
        m_out.Append(run, Current());
        run.clear();
    }

    // Ends the paragraph being written. Its attributes are those of the last paragraph tag
    // opened before its text, or of its first text.
    void EndParagraph(bool withBreak) {
        const size_t start = m_paragraphStart;
        const TextFormat paragraph = m_paragraphFormat.value_or(Current().ParagraphPart());
        if (withBreak) m_out.Append(u"\r", Current());
        if (m_out.Length() > start) m_out.ApplyFormat(start, m_out.Length(), paragraph);
        m_paragraphStart = m_out.Length();
        m_paragraphFormat.reset();
        m_lastWasSpace = false;
    }

    void Break() { EndParagraph(true); }

    void Handle(const Tag& tag) {
        const std::string& n = tag.name;
        if (tag.closing) {
            if ((n == "p" || n == "li") && m_options.multiline && Open(n)) Break();
            Pop(n);
            return;
        }
        if (n == "br" || n == "sbr") {
            Break();
            return;
        }
        TextFormat f = Current();
        if (n == "p") {
            if (const std::string* a = tag.Attribute("align")) {
                std::string v = Lowered(*a);
                if (v == "left") f.align = TextAlign::Left;
                if (v == "right") f.align = TextAlign::Right;
                if (v == "center") f.align = TextAlign::Center;
                if (v == "justify") f.align = TextAlign::Justify;
            }
        } else if (n == "li") {
            f.bullet = true;
        } else if (n == "b") {
            f.bold = true;
        } else if (n == "i") {
            f.italic = true;
        } else if (n == "u") {
            f.underline = true;
        } else if (n == "a") {
            if (const std::string* a = tag.Attribute("href")) f.url = *a;
            if (const std::string* a = tag.Attribute("target")) f.target = *a;
        } else if (n == "font") {
            if (const std::string* a = tag.Attribute("face")) f.font = *a;
            if (const std::string* a = tag.Attribute("size")) {
                if (auto v = Number(*a)) {
                    bool relative = !a->empty() && ((*a)[0] == '+' || (*a)[0] == '-');
                    f.size = relative ? f.size.value_or(12) + *v : *v;
                }
            }
            if (const std::string* a = tag.Attribute("color")) {
                if (auto v = Color(*a)) f.color = *v;
            }
            if (const std::string* a = tag.Attribute("letterspacing")) {
                if (auto v = Number(*a)) f.letterSpacing = *v;
            }
            if (const std::string* a = tag.Attribute("kerning")) {
                if (auto v = Number(*a)) f.kerning = *v != 0;
            }
        } else if (n == "textformat") {
            auto number = [&](const char* key, std::optional<double>& field) {
                if (const std::string* a = tag.Attribute(key))
                    if (auto v = Number(*a)) field = *v;
            };
            number("leftmargin", f.leftMargin);
            number("rightmargin", f.rightMargin);
            number("indent", f.indent);
            number("blockindent", f.blockIndent);
            number("leading", f.leading);
            if (const std::string* a = tag.Attribute("tabstops")) {
                std::vector<double> stops;
                for (size_t i = 0; i <= a->size();) {
                    size_t comma = a->find(',', i);
                    if (comma == std::string::npos) comma = a->size();
                    if (auto v = Number(a->substr(i, comma - i))) stops.push_back(*v);
                    i = comma + 1;
                }
                f.tabStops = std::move(stops);
            }
        } else if (n != "span") {
            return;  // unknown tags are ignored, their text kept
        }
        if ((n == "p" || n == "li" || n == "textformat") && m_out.Length() == m_paragraphStart)
            m_paragraphFormat = f.ParagraphPart();
        m_stack.emplace_back(n, std::move(f));
    }

    bool Open(const std::string& name) const {
        for (size_t i = m_stack.size(); i-- > 1;)
            if (m_stack[i].first == name) return true;
        return false;
    }

    void Pop(const std::string& name) {
        for (size_t i = m_stack.size(); i-- > 1;) {
            if (m_stack[i].first == name) {
                m_stack.resize(i);
                return;
            }
        }
    }

    const HtmlOptions& m_options;
    std::vector<std::pair<std::string, TextFormat>> m_stack;
    FormattedText m_out;
    size_t m_paragraphStart = 0;
    std::optional<TextFormat> m_paragraphFormat;
    bool m_lastWasSpace = false;
};

std::string NumberText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

void Escape(std::string& out, std::u16string_view text) {
    for (char16_t c : text) {
        switch (c) {
        case u'&': out += "&amp;"; break;
        case u'<': out += "&lt;"; break;
        case u'>': out += "&gt;"; break;
        case u'"': out += "&quot;"; break;
        case u'\'': out += "&apos;"; break;
        default: out += Utf16ToUtf8(std::u16string_view(&c, 1)); break;
        }
    }
}

const char* AlignName(TextAlign a) {
    switch (a) {
    case TextAlign::Right: return "RIGHT";
    case TextAlign::Center: return "CENTER";
    case TextAlign::Justify: return "JUSTIFY";
    case TextAlign::Left: break;
    }
    return "LEFT";
}

std::string ColorText(uint32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", c & 0xFFFFFF);
    return buf;
}

// FONT attributes of `f`; with `outer`, only those that differ from it.
std::string FontAttributes(const TextFormat& f, const TextFormat* outer) {
    std::string out;
    auto differs = [&](auto member) { return !outer || outer->*member != f.*member; };
    if (differs(&TextFormat::font)) out += " FACE=\"" + f.font.value_or("") + "\"";
    if (differs(&TextFormat::size)) out += " SIZE=\"" + NumberText(f.size.value_or(12)) + "\"";
    if (differs(&TextFormat::color)) out += " COLOR=\"" + ColorText(f.color.value_or(0)) + "\"";
    if (differs(&TextFormat::letterSpacing)) out += " LETTERSPACING=\"" + NumberText(f.letterSpacing.value_or(0)) + "\"";
    if (differs(&TextFormat::kerning)) out += std::string(" KERNING=\"") + (f.kerning.value_or(false) ? "1" : "0") + "\"";
    return out;
}

std::string TextFormatAttributes(const TextFormat& f) {
    std::string out;
    auto number = [&](const char* name, const std::optional<double>& v) {
        if (v && *v != 0) out += std::string(" ") + name + "=\"" + NumberText(*v) + "\"";
    };
    number("INDENT", f.indent);
    number("BLOCKINDENT", f.blockIndent);
    number("LEFTMARGIN", f.leftMargin);
    number("RIGHTMARGIN", f.rightMargin);
    number("LEADING", f.leading);
    if (f.tabStops && !f.tabStops->empty()) {
        out += " TABSTOPS=\"";
        for (size_t i = 0; i < f.tabStops->size(); ++i) out += (i ? "," : "") + NumberText((*f.tabStops)[i]);
        out += "\"";
    }
    return out;
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        size_t semi = text.find(';', i);
        if (semi == std::string_view::npos || semi - i > 10) {
            out += '&';
            continue;
        }
        std::string name = Lowered(text.substr(i + 1, semi - i - 1));
        std::string decoded;
        if (name == "amp") decoded = "&";
        else if (name == "lt") decoded = "<";
        else if (name == "gt") decoded = ">";
        else if (name == "quot") decoded = "\"";
        else if (name == "apos") decoded = "'";
        else if (name == "nbsp") decoded = "\xC2\xA0";
        else if (name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x';
            char* end = nullptr;
            const char* digits = name.c_str() + (hex ? 2 : 1);
            unsigned long cp = std::strtoul(digits, &end, hex ? 16 : 10);
            if (end != digits && *end == 0 && cp > 0 && cp <= 0x10FFFF) AppendUtf8(decoded, static_cast<char32_t>(cp));
        }
        if (decoded.empty()) {
            out += '&';
            continue;
        }
        out += decoded;
        i = semi;
    }
    return out;
}

FormattedText ParseHtml(std::string_view html, const TextFormat& base, const HtmlOptions& options) {
    return Parser(base, options).Run(html);
}

std::string WriteHtml(const FormattedText& text, const TextFormat& base) {
    std::string out;
    const std::u16string& s = text.Text();
    size_t start = 0;
    do {
        size_t end = text.ParagraphEnd(start);
        TextFormat first = base;
        first.Merge(text.FormatAt(start, base));
        const std::string block = TextFormatAttributes(first);
        if (!block.empty()) out += "<TEXTFORMAT" + block + ">";
        const bool bullet = first.bullet.value_or(false);
        out += bullet ? "<LI>" : std::string("<P ALIGN=\"") + AlignName(first.align.value_or(TextAlign::Left)) + "\">";
        out += "<FONT" + FontAttributes(first, nullptr) + ">";
        for (const FormattedText::Run& run : text.Runs()) {
            size_t from = std::max(run.begin, start), to = std::min(run.end, end);
            if (from >= to) continue;
            TextFormat f = base;
            f.Merge(run.format);
            std::string inner = FontAttributes(f, &first);
            std::string open, close;
            if (!inner.empty()) {
                open += "<FONT" + inner + ">";
                close = "</FONT>" + close;
            }
            if (!f.url.value_or("").empty()) {
                open += "<A HREF=\"" + *f.url + "\" TARGET=\"" + f.target.value_or("") + "\">";
                close = "</A>" + close;
            }
            for (auto [on, tag] : {std::pair{f.bold.value_or(false), "B"}, {f.italic.value_or(false), "I"},
                                   {f.underline.value_or(false), "U"}}) {
                if (!on) continue;
                open += std::string("<") + tag + ">";
                close = std::string("</") + tag + ">" + close;
            }
            out += open;
            Escape(out, std::u16string_view(s).substr(from, to - from));
            out += close;
        }
        out += "</FONT>";
        out += bullet ? "</LI>" : "</P>";
        if (!block.empty()) out += "</TEXTFORMAT>";
        start = end + 1;
    } while (start < s.size());
    return out;
}

}  // namespace velmora::text
