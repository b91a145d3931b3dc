// Whatever text the flashing tool asks to show and however wide the terminal, every drawn line
// is valid UTF-8 with no control but the panel's own colour codes, exactly the frame's width.

#include "terminal/panel_text.h"

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

// The first byte is the panel's width, the second picks colours (bit 0); the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t width = data[0];
  const bool ansi = (data[1] & 1) != 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string oneLine = printable(text);
  FUZZ_CHECK(validUtf8(oneLine) && withoutColours(oneLine) == oneLine);
  FUZZ_CHECK(displayWidth(truncateToWidth(oneLine, width)) <= width);
  checkPanel(attentionPanel(text, width, ansi), width);
  checkPanel(readyPanel(width, ansi), width);
  return 0;
}
