#include "platform/terminal/terminal_ui.h"

#include <algorithm>

#include "platform/menu_dispatch.h"
#include "platform/terminal/panel_text.h"

namespace vantorel::terminal {
namespace {

// Width assumed for panels when the output is not a terminal that says how wide it is.
constexpr std::size_t kUnknownColumns = 80;

}  // namespace

TerminalUi::TerminalUi(Application& app, Screen::Sink sink, bool terminal,
                       std::function<std::size_t()> columns)
    : app_(app), screen_(std::move(sink), terminal, std::move(columns)) {}

void TerminalUi::changed() {
  if (changed_) changed_();
}

void TerminalUi::addStatusItem(int item) {
  statusItem_ = item;
  menu_ = {};
}

void TerminalUi::removeStatusItem(int item) {
  if (item != statusItem_) return;
  statusItem_ = 0;
  menu_ = {};
}

void TerminalUi::setStatus(int item, const std::string& title, bool green) {
  if (item != statusItem_) return;
  screen_.setStatus(title, green);
  changed();
}

void TerminalUi::setMenu(int item, Menu menu) {
  if (item == statusItem_) menu_ = std::move(menu);
}

void TerminalUi::showPanel(int panel, const PanelSpec& layout) {
  const std::size_t columns = screen_.columns();
  const PanelStyle style{panelColumns(layout, columns > 0 ? columns : kUnknownColumns),
                         screen_.terminal()};
  std::erase_if(panels_, [panel](const ShownPanel& shown) { return shown.id == panel; });
  ShownPanel shown{panel, {}, {}};
  if (layout.button) {
    shown.buttonTitle = layout.button->title;
    // A button without an action still counts as pressable; pressing it does nothing.
    shown.press = layout.button->action ? layout.button->action : [] {};
  }
  panels_.push_back(std::move(shown));
  screen_.showBlock(panel, drawPanel(layout, style), panelClosedLine(layout));
  changed();
}

void TerminalUi::closePanel(int panel) {
  const auto removed =
      std::erase_if(panels_, [panel](const ShownPanel& shown) { return shown.id == panel; });
  if (removed == 0) return;
  screen_.removeBlock(panel);
  changed();
}

void TerminalUi::handleInput(std::string_view bytes) {
  for (const KeyCommand& command : decoder_.feed(bytes)) {
    switch (command.kind) {
      case KeyCommand::kPick:
        pick(command.key);
        // Nothing after a quit: the loop is ending.
        if (command.key == 'q') return;
        break;
      case KeyCommand::kEnter:
        pressFrontButton();
        break;
      case KeyCommand::kShowMenu:
        showMenu();
        break;
    }
  }
}

void TerminalUi::pick(char key) {
  const std::optional<std::size_t> index = entryForKey(menu_, key);
  if (!index) return;
  // The choice re-renders and replaces menu_ while it is delivered: hand over a copy.
  const MenuItem chosen = menu_.items[*index];
  dispatchMenuItem(chosen, app_);
}

void TerminalUi::pressFrontButton() {
  if (panels_.empty() || !panels_.back().press) return;
  // The press usually closes the panel, which drops its entry: hand over a copy.
  const std::function<void()> press = panels_.back().press;
  press();
}

void TerminalUi::showMenu() {
  std::string enterHint;
  if (!panels_.empty() && panels_.back().press) enterHint = panels_.back().buttonTitle;
  screen_.print(menuLines(menu_, enterHint));
  changed();
}

}  // namespace vantorel::terminal
