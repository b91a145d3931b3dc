#pragma once

#include <array>
#include <string_view>

namespace vantorel {

// The board state inferred from the attached USB devices.
enum class Observed { none, c6Unknown, espUnknown, rpBoot, rpNormal, rpUnknown, multiple };

// Every observed state, in the order they are listed to the user.
inline constexpr std::array<Observed, 7> kAllObserved = {
    Observed::none,     Observed::c6Unknown, Observed::espUnknown, Observed::rpBoot,
    Observed::rpNormal, Observed::rpUnknown, Observed::multiple};

// The short label shown in the status title.
std::string_view shortLabel(Observed observed);
// The long description shown in the tooltip and the menu.
std::string_view detail(Observed observed);

}  // namespace vantorel
