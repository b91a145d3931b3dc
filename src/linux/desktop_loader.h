#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/status_view.h"
#include "ports/front_end.h"

namespace vantorel {

// The desktop front end from the bundle's module (lib/vantorel/vantorel-gtk.so), or nullptr when
// there is no display (DISPLAY and WAYLAND_DISPLAY unset), the module cannot be loaded, or it
// cannot open the display. A reason is printed on standard error when a display was set but
// could not be used. The module stays loaded for the life of the process.
std::unique_ptr<FrontEnd> loadDesktopFrontEnd(const std::string& bundlePath,
                                              std::function<void(Choice)> onChoice);

}  // namespace vantorel
