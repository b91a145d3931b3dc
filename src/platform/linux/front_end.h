#pragma once

#include <memory>

#include "platform/application.h"
#include "platform/panel.h"
#include "platform/status_item.h"

namespace vantorel {

// The user-facing half of a platform: where the status item lives and how panels are drawn.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  virtual StatusBar& statusBar() = 0;
  virtual PanelFactory& panels() = 0;
};

// The desktop front end: an indicator on the StatusNotifierItem protocol and GTK windows.
// Returns nullptr when no display can be opened. Menu choices go to `app`.
std::unique_ptr<FrontEnd> makeDesktopFrontEnd(Application& app);

// The terminal front end: the status title as a line, the menu as keys, panels as framed text.
std::unique_ptr<FrontEnd> makeTerminalFrontEnd(Application& app);

}  // namespace vantorel
