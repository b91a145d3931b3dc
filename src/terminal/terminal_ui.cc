#include "terminal/terminal_ui.h"

#include "terminal/panel_text.h"
#include "terminal/text.h"

namespace vantorel::terminal {

TerminalUi::TerminalUi(Screen::Sink sink, bool terminal, std::function<std::size_t()> columns,
                       std::function<void(Choice)> onChoice)
    : screen_(std::move(sink), terminal, std::move(columns)), onChoice_(std::move(onChoice)) {}

void TerminalUi::changed() {
  // The menu on screen is drawn from the state of now, check marks and "Enter" included.
  if (menuShown_) screen_.setMenu(menuLines(menu_, onOk_ ? "OK" : ""));
  if (changed_) changed_();
}

std::size_t TerminalUi::panelWidth() const { return panelColumns(screen_.columns()); }

std::vector<std::string> TerminalUi::panelLines() const {
  return panel_ == Panel::attention ? attentionPanel(panelText_, panelWidth(), screen_.terminal())
                                    : readyPanel(panelWidth(), screen_.terminal());
}

void TerminalUi::show(const StatusView& view) {
  menu_ = view.menu;
  if (!started_) {
    started_ = true;
    // Broken at spaces on a terminal too narrow for it, so that no word is cut in two.
    const std::string hint = keysHint(menu_);
    const std::size_t columns = screen_.terminal() ? screen_.columns() : 0;
    screen_.print(columns > 0 ? wrapToWidth(hint, columns) : std::vector{hint});
  }
  screen_.setStatus(view.title, view.tinted);
  changed();
}

void TerminalUi::prompt(const std::string& text, std::function<void()> onOk) {
  panel_ = Panel::attention;
  panelText_ = text;
  screen_.showPanel(panelLines(), panelClosedLine(kAttentionTitle));
  // An "OK" without an action still counts as pressable; pressing it only closes the panel.
  onOk_ = std::move(onOk);
  if (!onOk_) onOk_ = [] {};
  changed();
}

void TerminalUi::ready() {
  panel_ = Panel::ready;
  panelText_.clear();
  screen_.showPanel(panelLines(), panelClosedLine(kReadyTitle));
  onOk_ = nullptr;
  changed();
}

void TerminalUi::closePanel() {
  onOk_ = nullptr;
  panel_ = Panel::none;
  screen_.closePanel();
  changed();
}

void TerminalUi::resized() {
  if (panel_ != Panel::none) screen_.redrawPanel(panelLines());
  screen_.resized();
  changed();
}

void TerminalUi::closeMenu() {
  if (!menuShown_) return;
  menuShown_ = false;
  screen_.setMenu({});
  changed();
}

void TerminalUi::handleInput(std::string_view bytes) {
  for (const KeyCommand& command : decoder_.feed(bytes)) {
    switch (command.kind) {
      case KeyCommand::kPick:
        // The choice re-renders and replaces menu_ while it is delivered: it is a copy.
        if (const std::optional<Choice> choice = choiceForKey(menu_, command.key)) {
          closeMenu();
          onChoice_(*choice);
          // Nothing after a quit: the loop is ending.
          if (choice->kind == Choice::Kind::quit) return;
        }
        break;
      case KeyCommand::kEnter:
        if (onOk_) closeMenu();
        pressOk();
        break;
      case KeyCommand::kShowMenu:
        if (screen_.terminal()) {
          menuShown_ = true;
        } else {
          screen_.print(menuLines(menu_, onOk_ ? "OK" : ""));
        }
        changed();
        break;
    }
  }
}

// "OK" takes the panel off the screen, then tells its owner.
void TerminalUi::pressOk() {
  if (!onOk_) return;
  const std::function<void()> onOk = std::move(onOk_);
  closePanel();
  onOk();
}

}  // namespace vantorel::terminal
