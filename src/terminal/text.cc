#include "terminal/text.h"

#include <glib.h>

#include <algorithm>

namespace vantorel::terminal {
namespace {

constexpr std::size_t kTabStop = 8;

// Calls `visit(c, bytes)` for each character of `text`.
template <typename Visit>
void forEachChar(std::string_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char d = decodeUtf8(text.substr(i));
    visit(d.c, text.substr(i, d.length));
    i += d.length;
  }
}

}  // namespace

std::size_t charColumns(char32_t c) {
  if (g_unichar_iszerowidth(c)) return 0;
  return g_unichar_iswide(c) ? 2 : 1;
}

std::string printable(std::string_view text, LineBreaks breaks) {
  const std::string visible = visibleText(text, breaks);
  if (visible.find('\t') == std::string::npos) return visible;
  std::string out;
  std::size_t column = 0;  // in the current line, for the tab stops
  forEachChar(visible, [&](char32_t c, std::string_view bytes) {
    if (c == '\t') {
      const std::size_t spaces = kTabStop - column % kTabStop;
      out.append(spaces, ' ');
      column += spaces;
    } else {
      out.append(bytes);
      column = c == '\n' ? 0 : column + charColumns(c);
    }
  });
  return out;
}

std::size_t displayWidth(std::string_view text) {
  std::size_t width = 0;
  forEachChar(text, [&](char32_t c, std::string_view) { width += charColumns(c); });
  return width;
}

std::string truncateToWidth(std::string_view text, std::size_t width) {
  if (displayWidth(text) <= width) return std::string(text);
  if (width == 0) return {};
  std::string out;
  std::size_t used = 0;
  bool full = false;
  forEachChar(text, [&](char32_t c, std::string_view bytes) {
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
      forEachChar(token, [&](char32_t c, std::string_view bytes) {
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
