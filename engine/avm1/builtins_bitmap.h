// flash.display.BitmapData seen from native code: the pixels behind a script object.
#pragma once

#include <memory>

#include "engine/avm1/vm.h"
#include "engine/raster/bitmap_buffer.h"

namespace velmora::avm1 {

// The pixels of a BitmapData object; null for anything else or a disposed one.
std::shared_ptr<raster::BitmapBuffer> BitmapOf(const Value& v);

}  // namespace velmora::avm1
