#pragma once

#include <string>

#include "glib/system_edge.h"

namespace vantorel {

// The desktop entry that starts this program at login:
// "$XDG_CONFIG_HOME/autostart/vantorel.desktop" (default "~/.config/autostart/...").
std::string autostartEntryPath();

// Writes the entry, pointing at the running executable's absolute path (or at `executable`).
// An entry that is a symbolic link is written where it leads, in that folder, and stays a link.
// A failure names the path.
Status enableAutostart();
Status enableAutostart(const std::string& executable);
// Removes the entry; nothing to do when there is none.
Status disableAutostart();
// True when the entry (or the file it links to) is one that GLib's desktop entry reader loads and
// a session starts: an application whose Exec (and TryExec) program is there to run, neither
// hidden nor disabled.
bool autostartEnabled();

}  // namespace vantorel
