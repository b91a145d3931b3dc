#pragma once

#include <memory>
#include <string>

#include "model/desired.h"
#include "model/observed.h"
#include "platform/menu.h"

namespace vantorel {

// What the status item shows for one state of the controller.
struct StatusTexts {
  std::string title;         // "Want <desired> | Have <have label>"
  std::string toolTip;       // "Desired: <desired>. Observed: <observed text>."
  std::string observedText;  // detail of the state, or the watcher error
};

StatusTexts statusTexts(Desired desired, Observed state, bool watcherFailed);

// The status menu: information entry, separator, one choice entry per wanted state (target
// `target`, represented object its raw value, checked when it is `desired`), separator, "Quit".
Menu statusMenu(Desired desired, const std::string& observedText,
                const std::weak_ptr<MenuTarget>& target);

}  // namespace vantorel
