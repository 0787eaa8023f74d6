// The public face of OstrelMnu.dll: subclassing and hooking, the drawing surface, the menu
// control, the flat button and the toolbar container, and their property persistence.
#pragma once

#include "menulib/controls.h"
#include "menulib/mem_dc.h"
#include "menulib/memory_property_bag.h"
#include "menulib/persistence.h"
#include "menulib/property_pages.h"
#include "menulib/subclassing.h"
#include "menulib/vs_net_menu.h"
