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
// and when the screen is written: the status line and menu of the latest view, the panel on
// screen, and the keys that pick menu entries (delivered to `onChoice`) or press the panel's
// "OK".
class TerminalUi final : public FrontEnd {
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

 private:
  std::size_t panelWidth() const;
  void pressOk();
  void changed();

  Screen screen_;
  std::function<void(Choice)> onChoice_;
  std::function<void()> changed_;
  std::vector<MenuEntry> menu_;
  std::function<void()> onOk_;  // empty: no panel with "OK" is shown
  KeyDecoder decoder_;
};

}  // namespace vantorel::terminal
