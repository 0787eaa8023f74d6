// The HTML subset of text fields: <p align>, <br>, <b>, <i>, <u>, <font face size
// color letterspacing kerning>, <a href target>, <li>, <textformat ...>, entities;
// and htmlText written back in the player's form (upper-case tags, one <P> or <LI>
// per paragraph, a full <FONT> per paragraph with nested ones for what changes).
#pragma once

#include <string>
#include <string_view>

#include "engine/text/formatted_text.h"
#include "engine/text/text_format.h"

namespace velmora::text {

struct HtmlOptions {
    bool multiline = true;       // closing </p> and </li> end a paragraph only then
    bool condenseWhite = false;  // runs of white space become one space, line breaks go
};

// UTF-8 HTML -> formatted text, starting from `base` (a complete format).
FormattedText ParseHtml(std::string_view html, const TextFormat& base, const HtmlOptions& options);
// Formatted text -> UTF-8 HTML; `base` fills attributes the text leaves unset.
std::string WriteHtml(const FormattedText& text, const TextFormat& base);

// &amp; &lt; &gt; &quot; &apos; &nbsp; &#n; &#xh; decoded; unknown ones stay as written.
std::string DecodeEntities(std::string_view text);

}  // namespace velmora::text
