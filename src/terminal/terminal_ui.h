#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status_view.h"
#include "ports/front_end.h"
#include "terminal/menu_keys.h"
#include "terminal/screen.h"

namespace vantorel::terminal {

// What the terminal front end shows and what each key does, apart from where the keys come from
// and when the screen is written: a line saying which keys work, the status line and menu of the
// latest view, the panel on screen, and the keys that pick menu entries (delivered to
// `onChoice`) or press the panel's "OK". On a terminal the menu stays on screen, always as it is
// now, until a choice or "OK" closes it, so no check mark on screen is ever out of date; a log
// gets it printed each time it is asked for. The terminal front end is this class with the
// keys read from standard input and the screen written to standard output.
class TerminalUi : public FrontEnd {
 public:
  TerminalUi(Screen::Sink sink, bool terminal, std::function<std::size_t()> columns,
             std::function<void(Choice)> onChoice);

  Screen& screen() { return screen_; }
  // Called after every change; the owner writes the screen out from it (now or when idle).
  void onChange(std::function<void()> changed) { changed_ = std::move(changed); }

  void show(const StatusView& view) override;
  void prompt(const std::string& text, std::function<void()> onOk) override;
  void ready() override;
  void closePanel() override;

  // Acts on the bytes read from the keyboard.
  void handleInput(std::string_view bytes);
  // The terminal has a new width: the panel and the status line are drawn again for it.
  void resized();

 private:
  std::size_t panelWidth() const;
  std::vector<std::string> panelLines() const;
  void pressOk();
  void changed();
  void closeMenu();

  Screen screen_;
  std::function<void(Choice)> onChoice_;
  std::function<void()> changed_;
  std::vector<MenuEntry> menu_;
  std::function<void()> onOk_;  // empty: no panel with "OK" is shown
  enum class Panel { none, attention, ready };
  Panel panel_ = Panel::none;
  std::string panelText_;
  bool menuShown_ = false;  // on a terminal: the menu is in the live region
  bool started_ = false;    // the keys have been explained
  KeyDecoder decoder_;
};

}  // namespace vantorel::terminal
