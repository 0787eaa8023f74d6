#include "tools/swfgen/edit_text_writer.h"

#include "tools/swfgen/bit_writer.h"
#include "tools/swfgen/record_writer.h"

namespace velmora::swfgen {

std::vector<uint8_t> EditTextBody(const swf::EditTextDef& def) {
    BitWriter w;
    WriteRect(w, def.bounds);
    w.Align();
    const bool hasFont = def.fontId.has_value(), hasFontClass = !def.fontClass.empty();
    w.U8(static_cast<uint8_t>((def.initialText ? 0x80 : 0) | (def.wordWrap ? 0x40 : 0) | (def.multiline ? 0x20 : 0) |
                              (def.password ? 0x10 : 0) | (def.readOnly ? 0x08 : 0) | (def.textColor ? 0x04 : 0) |
                              (def.maxLength ? 0x02 : 0) | (hasFont ? 0x01 : 0)));
    w.U8(static_cast<uint8_t>((hasFontClass ? 0x80 : 0) | (def.autoSize ? 0x40 : 0) | (def.layout ? 0x20 : 0) |
                              (def.noSelect ? 0x10 : 0) | (def.border ? 0x08 : 0) | (def.wasStatic ? 0x04 : 0) |
                              (def.html ? 0x02 : 0) | (def.useOutlines ? 0x01 : 0)));
    if (hasFont) w.U16(*def.fontId);
    if (hasFontClass) w.String(def.fontClass);
    if (hasFont || hasFontClass) w.U16(def.fontHeight);
    if (def.textColor) WriteRgba(w, *def.textColor);
    if (def.maxLength) w.U16(*def.maxLength);
    if (def.layout) {
        w.U8(static_cast<uint8_t>(def.layout->align));
        w.U16(def.layout->leftMargin);
        w.U16(def.layout->rightMargin);
        w.U16(def.layout->indent);
        w.S16(def.layout->leading);
    }
    w.String(def.variableName);
    if (def.initialText) w.String(*def.initialText);
    return w.Data();
}

}  // namespace velmora::swfgen
