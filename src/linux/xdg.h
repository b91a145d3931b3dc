#pragma once

#include <string>

namespace vantorel {

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or relative.
std::string xdgConfigHome();
// $XDG_DATA_HOME, or ~/.local/share when it is unset, empty or relative.
std::string xdgDataHome();

}  // namespace vantorel
