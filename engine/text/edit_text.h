// The state of one text field: its text with formats, the box, the flags scripts
// and the definition set, scrolling, selection and typing. Text crosses this
// interface as UTF-8 with '\r' ending paragraphs; positions are UTF-16 units.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/core/geometry.h"
#include "engine/swf/edit_text.h"
#include "engine/text/formatted_text.h"
#include "engine/text/layout.h"
#include "engine/text/text_format.h"

namespace velmora::text {

enum class AutoSize : uint8_t { None, Left, Center, Right };

// Keys a focused input field acts on (the host's virtual-key codes).
enum class EditKey : uint8_t { Backspace = 8, Enter = 13, End = 35, Home = 36, Left = 37, Up = 38, Right = 39,
                               Down = 40, Delete = 46 };

class EditText {
public:
    // A field placed from a DefineEditText; `initialText` already in UTF-8.
    EditText(const swf::EditTextDef& def, std::string_view initialText, std::string_view fontName);
    // A field made by createTextField: empty, single line, dynamic, no border.
    explicit EditText(const RectTwips& box);

    // Text. Setting text or htmlText replaces everything in the new-text format;
    // "\r\n" and "\n" become paragraph breaks.
    std::string Text() const;
    void SetText(std::string_view utf8);
    std::string HtmlText() const;
    void SetHtmlText(std::string_view html);
    // text or htmlText depending on the html flag, as variables and initial text see it.
    void SetContent(std::string_view utf8);
    size_t Length() const { return m_text.Length(); }
    const FormattedText& Content() const { return m_text; }
    // Replaces [begin, end) in the format of the character before it (or the new-text format).
    void ReplaceText(size_t begin, size_t end, std::string_view utf8);
    void ReplaceSelection(std::string_view utf8);

    // Formats; begin/end clamp to the text.
    TextFormat GetFormat(size_t begin, size_t end) const;
    void SetFormat(size_t begin, size_t end, const TextFormat& format);
    const TextFormat& NewTextFormat() const { return m_newFormat; }
    void SetNewTextFormat(const TextFormat& format) { m_newFormat.Merge(format); }

    // The box in the field's own twips; autoSize moves and resizes it to the text.
    RectTwips Box();
    void SetBoxSize(double widthPx, double heightPx);

    // Layout, measured with the field's fonts; redone when something changed.
    void SetMeasurer(TextMeasurer* measurer);
    const Layout& CurrentLayout();
    double TextWidth();
    double TextHeight();
    int Scroll() const { return m_scroll; }
    void SetScroll(double line);
    int MaxScroll();
    int BottomScroll();
    double HScroll() const { return m_hscroll; }
    void SetHScroll(double px);
    double MaxHScroll();

    // Selection and caret, in UTF-16 units.
    size_t SelectionBegin() const { return std::min(m_anchor, m_caret); }
    size_t SelectionEnd() const { return std::max(m_anchor, m_caret); }
    size_t Caret() const { return m_caret; }
    void SetSelection(size_t begin, size_t end);
    // Typing into an input field: false when the field is not editable or refused it.
    bool Type(char32_t codePoint);
    bool Key(EditKey key, bool shift);
    // The character index under a point in the field's pixels (caret placement by mouse).
    size_t IndexAt(double x, double y);

    bool html = false, multiline = false, wordWrap = false, password = false, editable = false;
    bool selectable = true, border = false, background = false, embedFonts = false, condenseWhite = false;
    uint32_t borderColor = 0, backgroundColor = 0xFFFFFF;
    AutoSize autoSize = AutoSize::None;
    int maxChars = 0;  // 0: no limit
    std::optional<std::string> restrict;
    std::string variable;
    int tabIndex = -1;
    uint64_t version = 0;  // changes with anything the picture shows

private:
    void Changed();
    // Characters `restrict` allows.
    bool Allowed(char32_t c) const;
    std::u16string Normalised(std::string_view utf8) const;
    void ApplyAutoSize();

    FormattedText m_text;
    TextFormat m_newFormat;
    RectTwips m_box;
    TextMeasurer* m_measurer = nullptr;
    Layout m_layout;
    bool m_layoutValid = false;
    int m_scroll = 1;
    double m_hscroll = 0;
    size_t m_anchor = 0, m_caret = 0;
};

}  // namespace velmora::text
