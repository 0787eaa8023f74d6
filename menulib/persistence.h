// Reading and writing the controls' properties through a property bag, with the names,
// order and defaults of the original controls. Values equal to their default are not written.
#pragma once

#include "menulib/button_model.h"
#include "menulib/property_bag.h"
#include "menulib/toolbar_model.h"

namespace ostrel {

void WriteButtonProps(const ButtonProps& props, PropertyBag& bag);
ButtonProps ReadButtonProps(PropertyBag& bag);

void WriteToolbarProps(const ToolbarProps& props, PropertyBag& bag);
ToolbarProps ReadToolbarProps(PropertyBag& bag);

}  // namespace ostrel
