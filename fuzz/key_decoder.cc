// Keyboard bytes split into reads anywhere decode as a model that sees the whole input at once:
// a digit inside an escape sequence never picks, "\r\n" is one Enter even when split, other keys
// show the menu once per run in a read, and a read gives at most one command a byte.

#include <optional>
#include <vector>

#include "fuzz_check.h"
#include "terminal/menu_keys.h"

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

// The first byte sets how many bytes each read has (1 to 16); the rest is typed.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view typed(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto keys = modelKeys(typed);
  vantorel::terminal::KeyDecoder decoder;
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
  }
  return 0;
}
