// What a text field draws, as a shape in its own twips: background, border and
// (once fonts are there) the glyphs of its visible lines, clipped to the box.
#pragma once

#include "engine/core/shape.h"
#include "engine/text/edit_text.h"

namespace velmora::movie {

Shape TextFieldShape(text::EditText& field);

}  // namespace velmora::movie
