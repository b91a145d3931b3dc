#pragma once

#include <string_view>

namespace vantorel {

// The board state inferred from the attached USB devices.
enum class Observed { none, c6Unknown, espUnknown, rpBoot, rpNormal, rpUnknown, multiple };

// The short label shown in the status title.
std::string_view shortLabel(Observed observed);
// The long description shown in the tooltip and the menu.
std::string_view detail(Observed observed);

}  // namespace vantorel
