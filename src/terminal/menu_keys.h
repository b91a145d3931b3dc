#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status_view.h"

namespace vantorel::terminal {

// The status menu as keys: "1" to "9" pick the entries that pick a wanted state, in menu order,
// and "q" the entry that quits.

// What `key` chooses in `menu`, if anything.
std::optional<Choice> choiceForKey(const std::vector<MenuEntry>& menu, char key);

// The menu as printable lines: entries without a key (the information entry) as they are, then
// each keyed entry as "  <key>  ✓ <title>" with the check mark only on checked entries; separators
// are left out. `enterHint`, when not empty, adds a line saying what Enter does.
std::vector<std::string> menuLines(const std::vector<MenuEntry>& menu,
                                   std::string_view enterHint = {});

// The one line that tells which keys work, e.g. "Keys: 1–4 pick, q quits, any other key shows
// the menu".
std::string keysHint(const std::vector<MenuEntry>& menu);

// What the user asked for with one key press.
struct KeyCommand {
  enum Kind {
    kPick,      // `key` is '1'..'9' or 'q'
    kEnter,     // presses the button of the panel on screen
    kShowMenu,  // any other key
  };
  Kind kind;
  char key = 0;
  friend bool operator==(const KeyCommand&, const KeyCommand&) = default;
};

// Turns the bytes read from the keyboard into commands. Escape sequences (arrow and function keys,
// Alt+key) count as one other key even when they arrive split across reads, so the digits inside
// them never pick an entry; "\r\n" is one Enter; a run of other keys in one read shows the menu
// once.
class KeyDecoder {
 public:
  std::vector<KeyCommand> feed(std::string_view bytes);

 private:
  enum class State { kGround, kEscape, kControlSequence, kSingleShift, kAfterReturn };
  State state_ = State::kGround;
};

}  // namespace vantorel::terminal
