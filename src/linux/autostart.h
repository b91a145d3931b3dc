#pragma once

#include <string>

namespace vantorel {

// The desktop entry that starts this program at login:
// "$XDG_CONFIG_HOME/autostart/vantorel.desktop" (default "~/.config/autostart/...").
std::string autostartEntryPath();

// Writes the entry, pointing at the running executable's absolute path. "" when done, otherwise
// what went wrong, naming the path.
std::string enableAutostart();
// Removes the entry; nothing to do when there is none. "" when done, otherwise what went wrong.
std::string disableAutostart();
// True when the entry is there (a regular file).
bool autostartEnabled();

}  // namespace vantorel
