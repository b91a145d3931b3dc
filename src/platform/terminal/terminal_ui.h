#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/application.h"
#include "platform/menu.h"
#include "platform/panel.h"
#include "platform/terminal/menu_keys.h"
#include "platform/terminal/screen.h"

namespace vantorel::terminal {

// What the terminal front end shows and what each key does, apart from where the keys come from
// and when the screen is written: the status line and menu of the newest status item, the panels
// on screen (the last shown is in front), and the keys that pick menu entries or press the front
// panel's button. Menu choices go to `app`.
class TerminalUi {
 public:
  TerminalUi(Application& app, Screen::Sink sink, bool terminal,
             std::function<std::size_t()> columns);

  Screen& screen() { return screen_; }
  // Called after every change; the owner writes the screen out from it (now or when idle).
  void onChange(std::function<void()> changed) { changed_ = std::move(changed); }

  // A new id for a status item or a panel.
  int newId() { return nextId_++; }

  // The newest status item is the one shown; the others are ignored until it goes.
  void addStatusItem(int item);
  void removeStatusItem(int item);
  void setStatus(int item, const std::string& title, bool green);
  void setMenu(int item, Menu menu);

  // Shows the panel in front; `layout` is drawn now and its button is kept for Enter.
  void showPanel(int panel, const PanelSpec& layout);
  // Takes the panel off the screen; no effect when it is not on it.
  void closePanel(int panel);

  // Acts on the bytes read from the keyboard.
  void handleInput(std::string_view bytes);

 private:
  struct ShownPanel {
    int id;
    std::string buttonTitle;
    std::function<void()> press;  // empty: the panel has no button
  };

  void pick(char key);
  void pressFrontButton();
  void showMenu();
  void changed();

  Application& app_;
  Screen screen_;
  std::function<void()> changed_;
  int nextId_ = 1;
  int statusItem_ = 0;  // 0: none
  Menu menu_;
  std::vector<ShownPanel> panels_;
  KeyDecoder decoder_;
};

}  // namespace vantorel::terminal
