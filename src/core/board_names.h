#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/observed.h"

namespace vantorel {

// The state a command line names: its short label as shown ("RP likely boot"), in any letter
// case, with hyphens in place of any of the spaces ("rp-likely-boot"). Nothing for anything
// else, including surrounding spaces.
std::optional<Observed> observedFromName(std::string_view name);

// Every short label, quoted and comma separated, for a message listing the valid names.
std::string observedNames();

}  // namespace vantorel
