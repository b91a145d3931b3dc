#pragma once

#include <functional>
#include <string>

#include "core/status_view.h"

namespace vantorel {

// Where the user meets the program: the status item and the one floating panel. The real ones
// are the desktop (an indicator and GTK windows) and the terminal. A front end delivers the
// user's menu choices through the callback it was made with.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Draws the status item as `view` says; only what changed since the last view need change.
  virtual void show(const StatusView& view) = 0;
  // Shows "Board action needed" with `text` and an "OK" button, replacing any panel. `onOk` runs
  // on the main loop when the user presses OK or dismisses the panel.
  virtual void prompt(const std::string& text, std::function<void()> onOk) = 0;
  // Shows the green "Board ready" panel, replacing any panel. The user cannot close it.
  virtual void ready() = 0;
  // Takes the panel off the screen; nothing when none is shown.
  virtual void closePanel() = 0;
};

}  // namespace vantorel
