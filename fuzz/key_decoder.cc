// Keyboard bytes split into reads anywhere decode as a model that sees the whole input at once:
// a digit inside an escape sequence never picks, "\r\n" is one Enter even when split, other keys
// show the menu once per run in a read, and a read gives at most one command a byte. Each key that
// picks chooses what the menu on screen says it does (for any wanted and observed state), and the
// menu is drawn with one check mark, on the wanted state, and nothing from the hint that a
// terminal would act on.

#include <algorithm>
#include <optional>
#include <vector>

#include "core/status_view.h"
#include "fuzz_check.h"
#include "terminal/menu_keys.h"

using namespace vantorel;
using vantorel::terminal::KeyCommand;

// The command each byte starts; nothing for the rest of a key. ESC starts a key with "[",
// parameter bytes (0x20 to 0x3F) and a final byte; with "O" and one byte; or with any one byte.
static std::vector<std::optional<KeyCommand>> modelKeys(std::string_view in) {
  std::vector<std::optional<KeyCommand>> keys(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    const bool pick = (c >= '1' && c <= '9') || c == 'q' || c == 'Q';
    keys[i] = pick                     ? KeyCommand{KeyCommand::kPick, c == 'Q' ? 'q' : c}
              : c == '\r' || c == '\n' ? KeyCommand{KeyCommand::kEnter}
                                       : KeyCommand{KeyCommand::kShowMenu};
    if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
    if (c != '\x1b' || i + 1 == in.size()) continue;
    std::size_t last = ++i;
    if (in[last] == '[') {
      while (++last < in.size() && in[last] >= 0x20 && in[last] <= 0x3F) continue;
    }
    i = std::min(last + (in[i] == 'O'), in.size() - 1);
  }
  return keys;
}

// What a key picks in a menu of the four wanted states then "Quit": "1" to "4" in order, "q".
static std::optional<Choice> modelChoice(char key) {
  if (key >= '1' && key <= '4')
    return Choice::pick(kAllDesired[static_cast<std::size_t>(key - '1')]);
  if (key == 'q') return Choice::quit();
  return std::nullopt;
}

static std::string withoutSpaces(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\t'; });
  return text;
}

// The menu as drawn: the information line, "  <key>  ✓ Want <state>" (the mark on the wanted one
// only), "  q    Quit", and the hint made visible; no control left.
static void checkMenu(const std::vector<MenuEntry>& menu, Desired wanted, std::string_view hint) {
  const auto lines = terminal::menuLines(menu, hint);
  FUZZ_CHECK(lines.size() == (hint.empty() ? 6u : 7u));
  for (std::size_t i = 0; i < kAllDesired.size(); ++i) {
    const std::string mark = kAllDesired[i] == wanted ? "✓ " : "  ";
    FUZZ_CHECK(lines[i + 1] == "  " + std::string(1, static_cast<char>('1' + i)) + "  " + mark +
                                   "Want " + std::string(rawValue(kAllDesired[i])));
  }
  FUZZ_CHECK(lines[5] == "  q    Quit");
  if (!hint.empty()) {
    FUZZ_CHECK(lines[6].starts_with("  Enter  ") &&
               withoutSpaces(lines[6]) == "Enter" + withoutSpaces(modelVisible(hint, false)));
  }
  for (const std::string& line : lines) {
    FUZZ_CHECK(validUtf8(line) &&
               std::none_of(line.begin(), line.end(), [](char c) { return c >= 0 && c < 0x20; }));
  }
}

// The first byte sets how many bytes each read has (1 to 16, bits 0-3), the wanted state (bits
// 4-5) and the tint (bit 6); the second the observed state (7: USB not watched); the rest is typed,
// and is also the menu's hint.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 2) return 0;
  const Desired wanted = kAllDesired[(data[0] >> 4) & 3];
  const std::optional<Observed> observed =
      data[1] % 8 == 7 ? std::nullopt : std::optional(static_cast<Observed>(data[1] % 8));
  const StatusView view = statusView(wanted, observed, (data[0] & 0x40) != 0);
  const std::string_view typed(reinterpret_cast<const char*>(data) + 2, size - 2);
  checkMenu(view.menu, wanted, typed);
  const auto keys = modelKeys(typed);
  terminal::KeyDecoder decoder;
  for (std::size_t start = 0, i = 0; start < typed.size(); start = i) {
    const std::size_t end = std::min(start + 1 + data[0] % 16, typed.size());
    std::vector<KeyCommand> expected;
    for (; i < end; ++i) {
      const bool again = !expected.empty() && keys[i] == expected.back();
      if (keys[i] && !(again && keys[i]->kind == KeyCommand::kShowMenu))
        expected.push_back(*keys[i]);
    }
    const auto commands = decoder.feed(typed.substr(start, end - start));
    FUZZ_CHECK(commands == expected && commands.size() <= end - start);
    for (const KeyCommand& command : commands) {
      if (command.kind == KeyCommand::kPick) {
        FUZZ_CHECK(terminal::choiceForKey(view.menu, command.key) == modelChoice(command.key));
      }
    }
  }
  return 0;
}
