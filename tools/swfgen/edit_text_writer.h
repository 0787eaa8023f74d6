// DefineEditText bodies (after the character id): the mirror of swf::ReadDefineEditText.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/swf/edit_text.h"

namespace velmora::swfgen {

std::vector<uint8_t> EditTextBody(const swf::EditTextDef& def);

}  // namespace velmora::swfgen
