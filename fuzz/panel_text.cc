// Whatever text the flashing tool asks to show and however wide the terminal, every drawn line
// is valid UTF-8 with no control but the panel's own colour codes, exactly the frame's width, and
// the panel shows the text (up to its 4,096 bytes and 12 lines) as an independent model built on
// GLib makes it visible.

#include "terminal/panel_text.h"

#include "core/visible_text.h"
#include "fuzz_check.h"
#include "terminal/text.h"

using namespace vantorel::terminal;

// `line` without its SGR sequences (ESC "[" digits and ";" then "m"), which must be its only
// escapes: no other byte below 0x20, no DEL and no C1 control (U+0080 to U+009F) may be left.
static std::string withoutColours(std::string_view line) {
  std::string plain;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\x1b') {
      const std::size_t end = line.find_first_not_of("0123456789;", i + 2);
      FUZZ_CHECK(line.substr(i, 2) == "\x1b[" && end < line.size() && line[end] == 'm');
      i = end;
      continue;
    }
    const auto byte = static_cast<unsigned char>(line[i]);
    const auto next = static_cast<unsigned char>(i + 1 < line.size() ? line[i + 1] : 0);
    FUZZ_CHECK(byte >= 0x20 && byte != 0x7F && (byte != 0xC2 || next >= 0xA0));
    plain += line[i];
  }
  return plain;
}

static void checkPanel(const std::vector<std::string>& lines, std::size_t width) {
  FUZZ_CHECK(lines.size() >= 5 && lines.size() <= 17);  // a panel always fits on a screen
  for (const std::string& line : lines) {
    FUZZ_CHECK(validUtf8(line) &&
               displayWidth(withoutColours(line)) == std::max(width, kMinPanelColumns));
  }
}

static std::string withoutBlanks(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
  return text;
}

// The text rows of an attention panel, inside their frame, joined: the model's text, or a prefix
// of it then "…" when the panel had to leave lines out.
static void checkShown(const std::vector<std::string>& lines, std::string_view text) {
  std::string shown;
  for (std::size_t i = 2; i + 3 < lines.size(); ++i) {
    const std::string row = withoutColours(lines[i]);
    FUZZ_CHECK(row.starts_with("│ ") && row.ends_with(" │"));
    shown += row.substr(4, row.size() - 8);
  }
  shown = withoutBlanks(shown);
  const std::string model =
      withoutBlanks(modelVisible(vantorel::cutToBytes(text, vantorel::kMaxPanelTextBytes), true));
  if (shown.ends_with("…") && !model.starts_with(shown)) shown.resize(shown.size() - 3);
  FUZZ_CHECK(model.starts_with(shown) && (lines.size() == 17 || shown == model));
}

// The first two bytes are the terminal's columns (0 to 4,199; 0: unknown), the third picks colours
// (bit 0) and a panel as wide as the columns' low 9 bits, not fitted to a terminal (bit 1); the
// rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 3) return 0;
  const std::size_t columns = (data[0] | data[1] << 8) % 4200;
  const bool ansi = (data[2] & 1) != 0;
  const std::size_t width = (data[2] & 2) != 0 ? columns % 512 : panelColumns(columns);
  const std::string_view text(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::string oneLine = printable(text);
  FUZZ_CHECK(validUtf8(oneLine) && withoutColours(oneLine) == oneLine);
  FUZZ_CHECK(withoutBlanks(oneLine) == withoutBlanks(modelVisible(text, false)));
  FUZZ_CHECK(displayWidth(truncateToWidth(oneLine, columns)) <= columns);
  const auto panel = attentionPanel(text, width, ansi);
  checkPanel(panel, width);
  checkShown(panel, text);
  checkPanel(readyPanel(width, ansi), width);
  return 0;
}
