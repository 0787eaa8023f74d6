// Case mapping of single UTF-16 code units as the player's string methods do it.
#pragma once

namespace velmora::avm1 {

char16_t ToLowerUnit(char16_t unit);
char16_t ToUpperUnit(char16_t unit);

}  // namespace velmora::avm1
