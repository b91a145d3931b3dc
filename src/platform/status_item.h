#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/menu.h"

namespace vantorel {

// The visible part of a status item: its text and how it is drawn.
class StatusButton {
 public:
  virtual ~StatusButton() = default;
  virtual void setTitle(const std::string& title) = 0;
  // True: drawn in the system green; false: the default rendering.
  virtual void setGreenTint(bool green) = 0;
  virtual void setToolTip(const std::string& toolTip) = 0;
  virtual std::string toolTip() const = 0;
  virtual void setAccessibilityLabel(const std::string& label) = 0;
};

// One item in the desktop's status area. The real ones are the indicator and the terminal line.
class StatusItem {
 public:
  virtual ~StatusItem() = default;
  // The item's button, or nullptr when it has none.
  virtual StatusButton* button() = 0;
  // Replaces the item's menu.
  virtual void setMenu(Menu menu) = 0;
};

// The desktop's status area, which hands out status items.
class StatusBar {
 public:
  virtual ~StatusBar() = default;
  virtual std::unique_ptr<StatusItem> createItem() = 0;
};

}  // namespace vantorel
