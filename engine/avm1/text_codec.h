// Strings of SWF 5 and earlier are bytes in the author's ANSI code page; the VM
// keeps UTF-8 inside and converts at the edge through this interface, so the
// GBK tables stay with the host.
#pragma once

#include <string>
#include <string_view>

#include "common/text.h"

namespace velmora::avm1 {

class TextCodec {
public:
    virtual ~TextCodec() = default;
    virtual std::string AnsiToUtf8(std::string_view bytes) const = 0;
    virtual std::string Utf8ToAnsi(std::string_view utf8) const = 0;
};

// Bytes 0x80-0xFF as U+0080-U+00FF; the fallback when the host gives no code page.
class Latin1Codec : public TextCodec {
public:
    std::string AnsiToUtf8(std::string_view bytes) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;
};

// UTF-8 <-> UTF-16 code units (string methods index by code unit, as the player does).
std::u16string Utf8ToUtf16(std::string_view utf8);
using velmora::Utf16ToUtf8;  // lone surrogates become U+FFFD

}  // namespace velmora::avm1
