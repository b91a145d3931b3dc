#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/board_model.h"

namespace vantorel {

// What choosing a menu entry does.
struct Choice {
  enum class Kind { pickDesired, quit };
  Kind kind = Kind::quit;
  Desired desired = Desired::c6Boot;  // the state picked; only for pickDesired

  static Choice pick(Desired desired) { return {Kind::pickDesired, desired}; }
  static Choice quit() { return {Kind::quit, Desired::c6Boot}; }
  friend bool operator==(const Choice&, const Choice&) = default;
};

// One entry of the status item's menu, as plain data that a front end draws.
struct MenuEntry {
  enum class Kind {
    info,       // a disabled line of information
    separator,  // a divider; no title
    choice,     // an entry that does `choice` when chosen
  };
  Kind kind = Kind::separator;
  std::string title;
  bool checked = false;  // a wanted state's entry: true on the current one only
  Choice choice{};       // choice entries only

  // True for the entries that pick a wanted state (drawn with a check mark slot).
  bool picksDesired() const {
    return kind == Kind::choice && choice.kind == Choice::Kind::pickDesired;
  }
  friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

// Everything the status item shows, computed as a value: a front end draws it and need only
// redraw what differs from the view it drew last.
struct StatusView {
  std::string title;          // "Want C6 boot | Have none"
  std::string tooltip;        // "Desired: C6 boot. Observed: No matching USB device."
  std::string accessibility;  // what a screen reader says for the item
  bool tinted = false;        // drawn green while a success is being reported
  std::vector<MenuEntry> menu;

  friend bool operator==(const StatusView&, const StatusView&) = default;
};

// The view for the wanted state, the observed one (nothing: USB cannot be watched) and the tint.
// The menu holds eight entries: "Observed: …", a separator, "Want <state>" for each wanted state
// in order with the current one checked, a separator and "Quit".
StatusView statusView(Desired desired, std::optional<Observed> observed, bool tinted);

}  // namespace vantorel
