#include "terminal/text.h"

#include <glib.h>

#include <algorithm>
#include <cstdio>

namespace vantorel::terminal {
namespace {

constexpr gunichar kReplacement = 0xFFFD;
constexpr std::size_t kTabStop = 8;

struct Decoded {
  gunichar c;
  std::size_t length;  // bytes taken, at least 1
};

// The character at the front of a non-empty `text`. A byte that starts no valid character is
// U+FFFD; so is a sequence cut short, with the continuation bytes it has.
Decoded decode(std::string_view text) {
  if (text[0] == '\0') return {0, 1};  // GLib reads it as the end of the text
  const gunichar c = g_utf8_get_char_validated(text.data(), static_cast<gssize>(text.size()));
  if (c == static_cast<gunichar>(-2)) {
    std::size_t length = 1;
    while (length < text.size() && (static_cast<guchar>(text[length]) & 0xC0) == 0x80) ++length;
    return {kReplacement, length};
  }
  if (c == static_cast<gunichar>(-1)) return {kReplacement, 1};
  return {c, static_cast<std::size_t>(g_utf8_skip[static_cast<guchar>(text[0])])};
}

// Calls `visit(c, bytes)` for each character of `text`.
template <typename Visit>
void forEachChar(std::string_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const Decoded d = decode(text.substr(i));
    visit(d.c, text.substr(i, d.length));
    i += d.length;
  }
}

// Invisible characters that reorder the text around them; shown by name so nothing is hidden.
bool isBidiControl(gunichar c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::size_t charColumns(char32_t c) {
  if (g_unichar_iszerowidth(c)) return 0;
  return g_unichar_iswide(c) ? 2 : 1;
}

std::string printable(std::string_view text, LineBreaks breaks) {
  const bool keep = breaks == LineBreaks::kKeep;
  std::string out;
  out.reserve(text.size());
  std::size_t column = 0;  // in the current line, for the tab stops
  for (std::size_t i = 0; i < text.size();) {
    const Decoded d = decode(text.substr(i));
    const std::string_view bytes = text.substr(i, d.length);
    i += d.length;
    const gunichar c = d.c;
    if (keep && c == '\r' && i < text.size() && text[i] == '\n') continue;
    if (keep && c == '\n') {
      out += '\n';
      column = 0;
    } else if (c == '\t') {
      const std::size_t spaces = kTabStop - column % kTabStop;
      out.append(spaces, ' ');
      column += spaces;
    } else if (c < 0x20 || c == 0x7F) {
      out += '^';
      out += c == 0x7F ? '?' : static_cast<char>(c + 0x40);
      column += 2;
    } else if (g_unichar_iscntrl(c) || isBidiControl(c)) {
      char name[16];
      const int length = std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(c));
      out.append(name, static_cast<std::size_t>(length));
      column += static_cast<std::size_t>(length);
    } else {
      if (c == kReplacement) {
        char encoded[6];
        out.append(encoded, static_cast<std::size_t>(g_unichar_to_utf8(c, encoded)));
      } else {
        out.append(bytes);
      }
      column += charColumns(c);
    }
  }
  return out;
}

std::size_t displayWidth(std::string_view text) {
  std::size_t width = 0;
  forEachChar(text, [&](gunichar c, std::string_view) { width += charColumns(c); });
  return width;
}

std::string truncateToWidth(std::string_view text, std::size_t width) {
  if (displayWidth(text) <= width) return std::string(text);
  if (width == 0) return {};
  std::string out;
  std::size_t used = 0;
  bool full = false;
  forEachChar(text, [&](gunichar c, std::string_view bytes) {
    full = full || used + charColumns(c) > width - 1;
    if (full) return;
    out.append(bytes);
    used += charColumns(c);
  });
  return out + "…";
}

std::vector<std::string> wrapToWidth(std::string_view text, std::size_t width) {
  width = std::max<std::size_t>(width, 1);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view paragraph = text.substr(start, end - start);
    std::string line;
    std::size_t used = 0;
    bool broken = false;  // the paragraph has given a line already
    const auto breakLine = [&] {
      lines.push_back(std::move(line));
      line.clear();
      used = 0;
      broken = true;
    };
    for (std::size_t pos = 0; pos < paragraph.size();) {
      const bool spaces = paragraph[pos] == ' ';
      const std::size_t tokenEnd =
          std::min(spaces ? paragraph.find_first_not_of(' ', pos) : paragraph.find(' ', pos),
                   paragraph.size());
      const std::string_view token = paragraph.substr(pos, tokenEnd - pos);
      pos = tokenEnd;
      const std::size_t tokenWidth = displayWidth(token);
      if (used + tokenWidth <= width) {
        line.append(token);
        used += tokenWidth;
        continue;
      }
      // The line breaks here; the spaces at a break are the break itself.
      line.erase(line.find_last_not_of(' ') + 1);
      if (!line.empty()) breakLine();
      line.clear();
      used = 0;
      if (spaces) continue;
      // A word wider than a line is cut into line-wide pieces.
      forEachChar(token, [&](gunichar c, std::string_view bytes) {
        if (used > 0 && used + charColumns(c) > width) breakLine();
        line.append(bytes);
        used += charColumns(c);
      });
    }
    if (!line.empty() || !broken) breakLine();
    if (end == text.size()) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace vantorel::terminal
