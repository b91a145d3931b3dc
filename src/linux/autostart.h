#pragma once

#include <string>

#include "linux/status.h"

namespace vantorel {

// The desktop entry that starts this program at login:
// "$XDG_CONFIG_HOME/autostart/vantorel.desktop" (default "~/.config/autostart/...").
std::string autostartEntryPath();

// Writes the entry, pointing at the running executable's absolute path.
Status enableAutostart();
// Removes the entry; nothing to do when there is none.
Status disableAutostart();
// True when the entry is there (a regular file).
bool autostartEnabled();

}  // namespace vantorel
