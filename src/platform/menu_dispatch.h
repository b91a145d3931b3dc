#pragma once

#include "platform/application.h"
#include "platform/menu.h"

namespace vantorel {

// Delivers a chosen entry's action: to its target when it has one, otherwise to the application.
// Separators and disabled entries do nothing. Backends call this when the user picks an entry.
void dispatchMenuItem(const MenuItem& item, Application& app);

}  // namespace vantorel
