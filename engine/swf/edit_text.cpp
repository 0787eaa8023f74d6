#include "engine/swf/edit_text.h"

#include "engine/swf/bit_reader.h"
#include "engine/swf/records.h"

namespace velmora::swf {

std::optional<EditTextDef> ReadDefineEditText(std::span<const uint8_t> body) {
    BitReader r(body);
    EditTextDef def;
    def.bounds = ReadRect(r);
    r.Align();
    const uint8_t first = r.U8(), second = r.U8();
    const bool hasText = first & 0x80, hasColor = first & 0x04, hasMaxLength = first & 0x02, hasFont = first & 0x01;
    def.wordWrap = first & 0x40;
    def.multiline = first & 0x20;
    def.password = first & 0x10;
    def.readOnly = first & 0x08;
    const bool hasFontClass = second & 0x80, hasLayout = second & 0x20;
    def.autoSize = second & 0x40;
    def.noSelect = second & 0x10;
    def.border = second & 0x08;
    def.wasStatic = second & 0x04;
    def.html = second & 0x02;
    def.useOutlines = second & 0x01;
    if (hasFont) def.fontId = r.U16();
    if (hasFontClass) def.fontClass = r.String();
    if (hasFont || hasFontClass) def.fontHeight = r.U16();
    if (hasColor) def.textColor = ReadRgba(r);
    if (hasMaxLength) def.maxLength = r.U16();
    if (hasLayout) {
        EditTextDef::Layout layout;
        const uint8_t align = r.U8();
        layout.align = align <= 3 ? static_cast<EditTextAlign>(align) : EditTextAlign::Left;
        layout.leftMargin = r.U16();
        layout.rightMargin = r.U16();
        layout.indent = r.U16();
        layout.leading = r.S16();
        def.layout = layout;
    }
    def.variableName = r.String();
    if (hasText) def.initialText = r.String();
    if (!r.Ok()) return std::nullopt;
    return def;
}

}  // namespace velmora::swf
