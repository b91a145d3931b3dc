#pragma once

#include <memory>
#include <string>

#include "linux/bundle.h"
#include "ports/main_loop.h"
#include "ports/settings.h"

namespace vantorel {

// "$XDG_CONFIG_HOME/vantorel" (default "~/.config/vantorel").
std::string userSettingsFolder();

// Settings in `folder`/preferences.json (see PreferencesFile), with the serial of `bundle`'s
// dictionary winning when it is set and not empty. The wanted state is read once, when made;
// choices are written coalesced on `loop`. The bench is read afresh whenever the file's bytes
// change; a rule skipped is reported on standard error once per change.
std::unique_ptr<Settings> makeFileSettings(MainLoop& loop, std::string folder, Bundle bundle);

}  // namespace vantorel
