#pragma once

#include <memory>
#include <string>

#include "ports/main_loop.h"
#include "ports/settings.h"

namespace vantorel {

// "$XDG_CONFIG_HOME/vantorel" (default "~/.config/vantorel").
std::string userSettingsFolder();

// Settings in `folder`/preferences.json, a JSON object whose "desired" holds the wanted state's
// raw value. Other keys are kept. Writes are atomic and coalesced on `loop`.
std::unique_ptr<Settings> makeFileSettings(MainLoop& loop, std::string folder);

}  // namespace vantorel
