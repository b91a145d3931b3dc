#include "terminal/menu_keys.h"

#include "terminal/text.h"

namespace vantorel::terminal {
namespace {

constexpr std::size_t kMaxChoiceKeys = 9;

// The key of each entry, 0 for none.
std::vector<char> keysOf(const std::vector<MenuEntry>& menu) {
  std::vector<char> keys(menu.size(), 0);
  std::size_t picks = 0;
  bool quitKeyed = false;
  for (std::size_t i = 0; i < menu.size(); ++i) {
    if (menu[i].kind != MenuEntry::Kind::choice) continue;
    if (menu[i].picksDesired() && picks < kMaxChoiceKeys) {
      keys[i] = static_cast<char>('1' + picks++);
    } else if (menu[i].choice.kind == Choice::Kind::quit && !quitKeyed) {
      keys[i] = 'q';
      quitKeyed = true;
    }
  }
  return keys;
}

}  // namespace

std::optional<Choice> choiceForKey(const std::vector<MenuEntry>& menu, char key) {
  const std::vector<char> keys = keysOf(menu);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] != 0 && keys[i] == key) return menu[i].choice;
  }
  return std::nullopt;
}

std::vector<std::string> menuLines(const std::vector<MenuEntry>& menu, std::string_view enterHint) {
  const std::vector<char> keys = keysOf(menu);
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < menu.size(); ++i) {
    if (menu[i].kind == MenuEntry::Kind::separator) continue;
    const std::string title = printable(menu[i].title);
    if (keys[i] == 0) {
      lines.push_back(title);
      continue;
    }
    std::string line = "  ";
    line += keys[i];
    line += menu[i].checked ? "  ✓ " : "    ";
    lines.push_back(line + title);
  }
  if (!enterHint.empty()) lines.push_back("  Enter  " + printable(enterHint));
  return lines;
}

std::string keysHint(const std::vector<MenuEntry>& menu) {
  std::string picks, quit;
  for (const char key : keysOf(menu)) {
    if (key == 'q') {
      quit = "q quits, ";
    } else if (key != 0) {
      picks = picks.empty() ? std::string(1, key) : picks.substr(0, 1) + "–" + key;
    }
  }
  if (!picks.empty()) picks += " pick, ";
  return "Keys: " + picks + quit + "any other key shows the menu";
}

std::vector<KeyCommand> KeyDecoder::feed(std::string_view bytes) {
  std::vector<KeyCommand> commands;
  const auto other = [&] {
    if (commands.empty() || commands.back().kind != KeyCommand::kShowMenu) {
      commands.push_back({KeyCommand::kShowMenu});
    }
  };
  for (const char c : bytes) {
    switch (state_) {
      case State::kEscape:
        state_ = c == '['   ? State::kControlSequence
                 : c == 'O' ? State::kSingleShift
                            : State::kGround;
        continue;
      case State::kControlSequence:
        // Parameters and intermediates run on; a final byte (or anything else) ends it.
        if (c < 0x20 || c > 0x3F) state_ = State::kGround;
        continue;
      case State::kSingleShift:
        state_ = State::kGround;
        continue;
      case State::kAfterReturn:
        state_ = State::kGround;
        if (c == '\n') continue;
        break;
      case State::kGround:
        break;
    }
    if (c == '\x1b') {
      other();
      state_ = State::kEscape;
    } else if (c == '\r' || c == '\n') {
      commands.push_back({KeyCommand::kEnter});
      if (c == '\r') state_ = State::kAfterReturn;
    } else if ((c >= '1' && c <= '9') || c == 'q' || c == 'Q') {
      commands.push_back({KeyCommand::kPick, c == 'Q' ? 'q' : c});
    } else {
      other();
    }
  }
  return commands;
}

}  // namespace vantorel::terminal
