// Reading and writing the controls' properties through a property bag, with the names,
// order and defaults of the original controls. Values equal to their default are not written.
#pragma once

#include "menulib/button_model.h"
#include "menulib/menu_props.h"
#include "menulib/property_bag.h"
#include "menulib/toolbar_model.h"

namespace ostrel {

void WriteButtonProps(const ButtonProps& props, PropertyBag& bag);
ButtonProps ReadButtonProps(PropertyBag& bag);

void WriteToolbarProps(const ToolbarProps& props, PropertyBag& bag);
ToolbarProps ReadToolbarProps(PropertyBag& bag);

// The menu control's properties; `defaults` carries the display's colour column and the
// container's font. Icons are written as "Bmp:i", "Mask:i" and "Key:i" after "BmpCount".
void WriteMenuProps(const MenuProps& props, const MenuProps& defaults, PropertyBag& bag);
MenuProps ReadMenuProps(PropertyBag& bag, const MenuProps& defaults);

}  // namespace ostrel
