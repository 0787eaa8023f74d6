// flash.filters seen from native code: the script filter objects turned into the
// renderer's filters and back (MovieClip.filters, BitmapData.applyFilter).
#pragma once

#include <optional>

#include "engine/avm1/vm.h"
#include "engine/core/filter.h"

namespace velmora::avm1 {

// The renderer's form of a filter object; nothing for a non-filter or one the
// renderer does not draw (DisplacementMapFilter).
std::optional<Filter> FilterFromObject(Vm& vm, const Value& v);
// A new script object of the filter's class.
Value ObjectFromFilter(Vm& vm, const Filter& filter);

}  // namespace velmora::avm1
