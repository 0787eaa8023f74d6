// DefineEditText: the definition of a text field (box, flags, font, layout, variable
// name and initial text). Strings are kept as the movie stores them (ANSI before SWF 6).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engine/core/geometry.h"
#include "engine/swf/tags.h"

namespace velmora::swf {

enum class EditTextAlign : uint8_t { Left, Right, Center, Justify };

struct EditTextDef {
    RectTwips bounds;
    bool wordWrap = false, multiline = false, password = false, readOnly = false;
    bool autoSize = false, noSelect = false, border = false, wasStatic = false;
    bool html = false, useOutlines = false;
    std::optional<uint16_t> fontId;
    std::string fontClass;
    uint16_t fontHeight = 0;  // twips; 0 when no font is given
    std::optional<Rgba> textColor;
    std::optional<uint16_t> maxLength;
    struct Layout {
        EditTextAlign align = EditTextAlign::Left;
        uint16_t leftMargin = 0, rightMargin = 0, indent = 0;  // twips
        int16_t leading = 0;
    };
    std::optional<Layout> layout;
    std::string variableName;
    std::optional<std::string> initialText;
};

// The tag body after the character id. nullopt when the record does not fit its bytes.
std::optional<EditTextDef> ReadDefineEditText(std::span<const uint8_t> body);

}  // namespace velmora::swf
