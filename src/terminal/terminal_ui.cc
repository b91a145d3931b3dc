#include "terminal/terminal_ui.h"

#include "terminal/panel_text.h"

namespace vantorel::terminal {

TerminalUi::TerminalUi(Screen::Sink sink, bool terminal, std::function<std::size_t()> columns,
                       std::function<void(Choice)> onChoice)
    : screen_(std::move(sink), terminal, std::move(columns)), onChoice_(std::move(onChoice)) {}

void TerminalUi::changed() {
  if (changed_) changed_();
}

std::size_t TerminalUi::panelWidth() const { return panelColumns(screen_.columns()); }

void TerminalUi::show(const StatusView& view) {
  menu_ = view.menu;
  screen_.setStatus(view.title, view.tinted);
  changed();
}

void TerminalUi::prompt(const std::string& text, std::function<void()> onOk) {
  screen_.showPanel(attentionPanel(text, panelWidth(), screen_.terminal()),
                    panelClosedLine(kAttentionTitle));
  // An "OK" without an action still counts as pressable; pressing it only closes the panel.
  onOk_ = std::move(onOk);
  if (!onOk_) onOk_ = [] {};
  changed();
}

void TerminalUi::ready() {
  screen_.showPanel(readyPanel(panelWidth(), screen_.terminal()), panelClosedLine(kReadyTitle));
  onOk_ = nullptr;
  changed();
}

void TerminalUi::closePanel() {
  onOk_ = nullptr;
  screen_.closePanel();
  changed();
}

void TerminalUi::handleInput(std::string_view bytes) {
  for (const KeyCommand& command : decoder_.feed(bytes)) {
    switch (command.kind) {
      case KeyCommand::kPick:
        // The choice re-renders and replaces menu_ while it is delivered: it is a copy.
        if (const std::optional<Choice> choice = choiceForKey(menu_, command.key)) {
          onChoice_(*choice);
          // Nothing after a quit: the loop is ending.
          if (choice->kind == Choice::Kind::quit) return;
        }
        break;
      case KeyCommand::kEnter:
        pressOk();
        break;
      case KeyCommand::kShowMenu:
        screen_.print(menuLines(menu_, onOk_ ? "OK" : ""));
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
