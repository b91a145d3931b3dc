#pragma once

#include <functional>
#include <string>

#include "core/status_view.h"
#include "ports/front_end.h"

namespace vantorel {

// The contract between the program and its desktop front-end module, a shared object loaded only
// when there is a display. Both sides are built from this tree by the same compiler.
struct DesktopRequest {
  std::string bundlePath;                // the bundle folder, for its icons
  std::function<void(Choice)> onChoice;  // menu choices, delivered on the main loop
};

// The module's one exported symbol: makes the front end, or returns nullptr (with the reason in
// `whyNot`) when no display can be opened. The caller owns the result.
using DesktopEntryPoint = FrontEnd* (*)(const DesktopRequest& request, std::string& whyNot);
inline constexpr const char* kDesktopEntryPointName = "vantorel_desktop_front_end";

}  // namespace vantorel
