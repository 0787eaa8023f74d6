#include "engine/text/edit_text.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "engine/text/html.h"

namespace velmora::text {

namespace {

constexpr double kTwips = 20;

std::u16string One(char32_t c) {
    std::string utf8;
    AppendUtf8(utf8, c);
    return Utf8ToUtf16(utf8);
}

}  // namespace

EditText::EditText(const swf::EditTextDef& def, std::string_view initialText, std::string_view fontName)
    : m_newFormat(DefaultTextFormat()), m_box(def.bounds) {
    if (!fontName.empty()) m_newFormat.font = std::string(fontName);
    if (def.fontHeight) m_newFormat.size = def.fontHeight / kTwips;
    if (def.textColor)
        m_newFormat.color = (uint32_t{def.textColor->r} << 16) | (uint32_t{def.textColor->g} << 8) | def.textColor->b;
    if (def.layout) {
        m_newFormat.align = static_cast<TextAlign>(def.layout->align);
        m_newFormat.leftMargin = def.layout->leftMargin / kTwips;
        m_newFormat.rightMargin = def.layout->rightMargin / kTwips;
        m_newFormat.indent = def.layout->indent / kTwips;
        m_newFormat.leading = def.layout->leading / kTwips;
    }
    html = def.html;
    multiline = def.multiline;
    wordWrap = def.wordWrap;
    password = def.password;
    editable = !def.readOnly;
    selectable = !def.noSelect;
    border = background = def.border;
    embedFonts = def.useOutlines;
    autoSize = def.autoSize ? AutoSize::Left : AutoSize::None;
    maxChars = def.maxLength.value_or(0);
    variable = def.variableName;
    SetContent(initialText);
}

EditText::EditText(const RectTwips& box) : m_newFormat(DefaultTextFormat()), m_box(box) {}

void EditText::Changed() {
    m_layoutValid = false;
    ++version;
}

std::string EditText::Text() const { return Utf16ToUtf8(m_text.Text()); }

std::u16string EditText::Normalised(std::string_view utf8) const {
    std::u16string s = Utf8ToUtf16(utf8), out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') continue;
        out += s[i] == u'\n' ? u'\r' : s[i];
    }
    return out;
}

void EditText::SetText(std::string_view utf8) {
    m_text.Clear();
    m_text.Append(Normalised(utf8), m_newFormat);
    m_anchor = m_caret = std::min(m_caret, m_text.Length());
    m_scroll = 1;
    Changed();
}

std::string EditText::HtmlText() const {
    if (!html) return Text();
    return WriteHtml(m_text, m_newFormat);
}

void EditText::SetHtmlText(std::string_view markup) {
    if (!html) {
        SetText(markup);
        return;
    }
    m_text = ParseHtml(markup, m_newFormat, {multiline, condenseWhite});
    m_anchor = m_caret = std::min(m_caret, m_text.Length());
    m_scroll = 1;
    Changed();
}

void EditText::SetContent(std::string_view utf8) {
    if (html) {
        SetHtmlText(utf8);
    } else {
        SetText(utf8);
    }
}

void EditText::ReplaceText(size_t begin, size_t end, std::string_view utf8) {
    begin = std::min(begin, m_text.Length());
    end = std::clamp(end, begin, m_text.Length());
    const TextFormat& f = begin > 0 ? m_text.FormatAt(begin - 1, m_newFormat) : m_text.FormatAt(0, m_newFormat);
    TextFormat format = f;
    std::u16string inserted = Normalised(utf8);
    m_text.Replace(begin, end, inserted, format);
    m_anchor = m_caret = begin + inserted.size();
    Changed();
}

void EditText::ReplaceSelection(std::string_view utf8) { ReplaceText(SelectionBegin(), SelectionEnd(), utf8); }

TextFormat EditText::GetFormat(size_t begin, size_t end) const {
    if (m_text.Length() == 0) return TextFormat{};
    end = std::min(end, m_text.Length());
    begin = std::min(begin, end);
    return m_text.FormatOf(begin, end);
}

void EditText::SetFormat(size_t begin, size_t end, const TextFormat& format) {
    m_text.ApplyFormat(begin, end, format);
    Changed();
}

RectTwips EditText::Box() {
    ApplyAutoSize();
    return m_box;
}

void EditText::SetBoxSize(double widthPx, double heightPx) {
    m_box.xMax = m_box.xMin + static_cast<int32_t>(std::lround(std::max(0.0, widthPx) * kTwips));
    m_box.yMax = m_box.yMin + static_cast<int32_t>(std::lround(std::max(0.0, heightPx) * kTwips));
    Changed();
}

void EditText::SetMeasurer(TextMeasurer* measurer) {
    m_measurer = measurer;
    Changed();
}

const Layout& EditText::CurrentLayout() {
    if (m_layoutValid) return m_layout;
    m_layoutValid = true;
    if (!m_measurer) {
        m_layout = {};
        return m_layout;
    }
    LayoutOptions options;
    options.boxWidth = (m_box.xMax - m_box.xMin) / kTwips;
    options.wordWrap = wordWrap;
    options.password = password;
    options.embeddedFonts = embedFonts;
    m_layout = LayOut(m_text, m_newFormat, options, *m_measurer);
    ApplyAutoSize();
    return m_layout;
}

void EditText::ApplyAutoSize() {
    if (autoSize == AutoSize::None || !m_measurer) return;
    const Layout& layout = CurrentLayout();
    const auto height = static_cast<int32_t>(std::lround((layout.textHeight + 2 * kGutter) * kTwips));
    m_box.yMax = m_box.yMin + height;
    if (wordWrap) return;
    const auto width = static_cast<int32_t>(std::lround((layout.textWidth + 2 * kGutter) * kTwips));
    const int32_t old = m_box.xMax - m_box.xMin;
    if (autoSize == AutoSize::Center) m_box.xMin += (old - width) / 2;
    if (autoSize == AutoSize::Right) m_box.xMin += old - width;
    m_box.xMax = m_box.xMin + width;
}

double EditText::TextWidth() { return CurrentLayout().textWidth; }
double EditText::TextHeight() { return CurrentLayout().textHeight; }

int EditText::MaxScroll() {
    const Layout& layout = CurrentLayout();
    const double height = (m_box.yMax - m_box.yMin) / kTwips;
    if (layout.lines.empty()) return 1;
    // The highest first line from which the rest of the text still fits.
    size_t first = layout.lines.size() - 1;
    while (first > 0 && first - 1 + VisibleLines(layout, first - 1, height) >= layout.lines.size()) --first;
    return static_cast<int>(first) + 1;
}

void EditText::SetScroll(double line) {
    if (std::isnan(line)) line = 1;
    m_scroll = static_cast<int>(std::clamp(line, 1.0, static_cast<double>(MaxScroll())));
    ++version;
}

int EditText::BottomScroll() {
    const Layout& layout = CurrentLayout();
    const double height = (m_box.yMax - m_box.yMin) / kTwips;
    const size_t first = static_cast<size_t>(m_scroll - 1);
    return m_scroll + static_cast<int>(VisibleLines(layout, first, height)) - 1;
}

double EditText::MaxHScroll() {
    if (wordWrap) return 0;
    const double room = (m_box.xMax - m_box.xMin) / kTwips - 2 * kGutter;
    return std::max(0.0, std::floor(TextWidth() - room));
}

void EditText::SetHScroll(double px) {
    if (std::isnan(px)) px = 0;
    m_hscroll = std::clamp(std::trunc(px), 0.0, MaxHScroll());
    ++version;
}

void EditText::SetSelection(size_t begin, size_t end) {
    m_anchor = std::min(begin, m_text.Length());
    m_caret = std::min(end, m_text.Length());
    ++version;
}

bool EditText::Allowed(char32_t c) const {
    if (!restrict) return true;
    if (restrict->empty()) return false;
    std::u32string r = Utf8ToUtf32(*restrict);
    // "^" switches between allowed and refused ranges; a leading one starts with all allowed.
    bool including = true, allowed = r[0] == U'^';
    for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] == U'^') {
            including = !including;
            continue;
        }
        char32_t lo = r[i];
        if (lo == U'\\' && i + 1 < r.size()) lo = r[++i];
        char32_t hi = lo;
        if (i + 2 < r.size() && r[i + 1] == U'-') {
            hi = r[i + 2];
            if (hi == U'\\' && i + 3 < r.size()) hi = r[++i + 2];
            i += 2;
        }
        if (c >= lo && c <= hi) allowed = including;
    }
    return allowed;
}

bool EditText::Type(char32_t c) {
    if (!editable) return false;
    if (c == U'\r' || c == U'\n') {
        if (!multiline) return false;
        c = U'\r';
    } else if (c < 0x20 || !Allowed(c)) {
        return false;
    }
    const size_t begin = SelectionBegin(), end = SelectionEnd();
    if (maxChars > 0 && m_text.Length() - (end - begin) >= static_cast<size_t>(maxChars)) return false;
    const TextFormat format = begin > 0 ? m_text.FormatAt(begin - 1, m_newFormat) : m_newFormat;
    std::u16string s = One(c);
    m_text.Replace(begin, end, s, format);
    m_anchor = m_caret = begin + s.size();
    Changed();
    return true;
}

bool EditText::Key(EditKey key, bool shift) {
    const size_t length = m_text.Length();
    const size_t begin = SelectionBegin(), end = SelectionEnd();
    auto move = [&](size_t to) {
        m_caret = std::min(to, length);
        if (!shift) m_anchor = m_caret;
        ++version;
        return true;
    };
    switch (key) {
    case EditKey::Backspace:
    case EditKey::Delete: {
        if (!editable) return false;
        size_t from = begin, to = end;
        if (from == to) {
            if (key == EditKey::Backspace && from > 0) --from;
            if (key == EditKey::Delete && to < length) ++to;
        }
        if (from == to) return false;
        m_text.Replace(from, to, u"", m_newFormat);
        m_anchor = m_caret = from;
        Changed();
        return true;
    }
    case EditKey::Enter: return Type(U'\r');
    case EditKey::Left: return move(!shift && begin != end ? begin : m_caret > 0 ? m_caret - 1 : 0);
    case EditKey::Right: return move(!shift && begin != end ? end : m_caret + 1);
    case EditKey::Home:
    case EditKey::Up: return move(m_text.ParagraphStart(m_caret));
    case EditKey::End:
    case EditKey::Down: return move(m_text.ParagraphEnd(m_caret));
    }
    return false;
}

size_t EditText::IndexAt(double x, double y) {
    const Layout& layout = CurrentLayout();
    if (layout.lines.empty() || !m_measurer) return 0;
    double top = kGutter - layout.lines[static_cast<size_t>(m_scroll - 1) % layout.lines.size()].y;
    const LayoutLine* line = &layout.lines.back();
    for (const LayoutLine& l : layout.lines) {
        if (y < top + l.y + l.Height()) {
            line = &l;
            break;
        }
    }
    double at = line->x - m_hscroll;
    const std::u16string& s = m_text.Text();
    for (size_t i = line->begin; i < line->end; ++i) {
        TextFormat f = m_newFormat;
        f.Merge(m_text.FormatAt(i, m_newFormat));
        const double w = m_measurer->Advance(password ? U'*' : s[i], f, embedFonts) + f.letterSpacing.value_or(0);
        if (x < at + w / 2) return i;
        at += w;
    }
    return line->end;
}

}  // namespace velmora::text
