#pragma once

#include <any>
#include <memory>
#include <string>
#include <vector>

namespace vantorel {

// What a menu entry does when chosen.
enum class MenuAction {
  kNone,
  kSelectDesired,  // sent to the entry's target, with the entry as sender
  kTerminate,      // sent to the application (entries with this action have no target)
};

struct MenuItem;

// Receives the actions of the menu entries that name it as their target.
class MenuTarget {
 public:
  virtual ~MenuTarget() = default;
  virtual void performMenuAction(MenuAction action, const MenuItem& sender) = 0;
};

// One entry of a status menu: a plain model that a backend renders.
struct MenuItem {
  bool separator = false;
  std::string title;
  bool enabled = true;
  MenuAction action = MenuAction::kNone;
  std::weak_ptr<MenuTarget> target;  // empty: the action goes to the application
  std::any representedObject;        // empty: none
  bool checked = false;
  std::string keyEquivalent;  // "q" means the platform's primary modifier + Q

  static MenuItem Separator() {
    MenuItem item;
    item.separator = true;
    return item;
  }
};

struct Menu {
  std::vector<MenuItem> items;
};

}  // namespace vantorel
