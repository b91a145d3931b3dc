#include "platform/terminal/text.h"

#include <cstdint>
#include <cstdio>

namespace vantorel::terminal {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr char32_t kReplacement = 0xFFFD;

struct Decoded {
  char32_t codePoint;  // kInvalid for an ill-formed sequence
  std::size_t length;  // bytes consumed, at least 1
};

// One code point from the front of a non-empty `bytes`. An ill-formed sequence consumes its
// longest well-formed prefix, so that it becomes a single replacement character.
Decoded decode(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  char32_t value;
  std::uint8_t low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return {kInvalid, 1};
  }
  for (std::size_t i = 1; i < length; ++i) {
    const bool inRange =
        i < bytes.size() && byte(i) >= (i == 1 ? low : 0x80) && byte(i) <= (i == 1 ? high : 0xBF);
    if (!inRange) return {kInvalid, i};
    value = (value << 6) | (byte(i) & 0x3F);
  }
  return {value, length};
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Invisible characters that reorder the text around them; shown by name so nothing is hidden.
bool isBidiControl(char32_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

bool inRanges(char32_t c, std::initializer_list<std::pair<char32_t, char32_t>> ranges) {
  for (const auto& [first, last] : ranges) {
    if (c >= first && c <= last) return true;
  }
  return false;
}

std::size_t columns(char32_t c) {
  if (inRanges(c, {{0x0300, 0x036F},
                   {0x1AB0, 0x1AFF},
                   {0x1DC0, 0x1DFF},
                   {0x200B, 0x200D},
                   {0x20D0, 0x20FF},
                   {0xFE00, 0xFE0F},
                   {0xFE20, 0xFE2F},
                   {0xFEFF, 0xFEFF}})) {
    return 0;
  }
  if (inRanges(c, {{0x1100, 0x115F},
                   {0x2E80, 0x303E},
                   {0x3041, 0x33FF},
                   {0x3400, 0x4DBF},
                   {0x4E00, 0x9FFF},
                   {0xA000, 0xA4CF},
                   {0xAC00, 0xD7A3},
                   {0xF900, 0xFAFF},
                   {0xFE30, 0xFE4F},
                   {0xFF00, 0xFF60},
                   {0xFFE0, 0xFFE6},
                   {0x1F300, 0x1F64F},
                   {0x1F900, 0x1F9FF},
                   {0x20000, 0x2FFFD},
                   {0x30000, 0x3FFFD}})) {
    return 2;
  }
  return 1;
}

// Calls `visit(codePoint, bytes)` for each code point of printable (hence valid) text.
template <typename Visit>
void forEachCodePoint(std::string_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const Decoded d = decode(text.substr(i));
    visit(d.codePoint, text.substr(i, d.length));
    i += d.length;
  }
}

}  // namespace

std::string printable(std::string_view text, LineBreaks breaks) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Decoded d = decode(text.substr(i));
    const char32_t c = d.codePoint;
    const bool keep = breaks == LineBreaks::kKeep;
    if (keep && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += '\n';
      i += 2;
      continue;
    }
    if (c == kInvalid) {
      appendUtf8(out, kReplacement);
    } else if (c == '\n' && keep) {
      out += '\n';
    } else if (c == '\t') {
      out += ' ';
    } else if (c < 0x20) {
      out += '^';
      out += static_cast<char>(c + 0x40);
    } else if (c == 0x7F) {
      out += "^?";
    } else if ((c >= 0x80 && c <= 0x9F) || isBidiControl(c)) {
      char name[16];
      std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(c));
      out += name;
    } else {
      out.append(text.substr(i, d.length));
    }
    i += d.length;
  }
  return out;
}

std::size_t displayWidth(std::string_view text) {
  std::size_t width = 0;
  forEachCodePoint(text,
                   [&](char32_t c, std::string_view) { width += c == kInvalid ? 1 : columns(c); });
  return width;
}

std::string truncateToWidth(std::string_view text, std::size_t width) {
  if (displayWidth(text) <= width) return std::string(text);
  if (width == 0) return {};
  std::string out;
  std::size_t used = 0;
  bool full = false;
  forEachCodePoint(text, [&](char32_t c, std::string_view bytes) {
    const std::size_t w = c == kInvalid ? 1 : columns(c);
    if (full || used + w > width - 1) {
      full = true;
      return;
    }
    out.append(bytes);
    used += w;
  });
  return out + "…";
}

std::vector<std::string> wrapToWidth(std::string_view text, std::size_t width) {
  if (width == 0) width = 1;
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    const std::string_view paragraph =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    std::string line;
    std::size_t lineWidth = 0;
    bool paragraphHasLine = false;
    const auto flush = [&] {
      lines.push_back(std::move(line));
      line.clear();
      lineWidth = 0;
      paragraphHasLine = true;
    };
    for (std::size_t pos = 0; pos < paragraph.size();) {
      if (paragraph[pos] == ' ') {
        ++pos;
        continue;
      }
      const std::size_t wordEnd = std::min(paragraph.find(' ', pos), paragraph.size());
      const std::string_view word = paragraph.substr(pos, wordEnd - pos);
      pos = wordEnd;
      const std::size_t wordWidth = displayWidth(word);
      if (lineWidth > 0 && lineWidth + 1 + wordWidth <= width) {
        line += ' ';
        line.append(word);
        lineWidth += 1 + wordWidth;
        continue;
      }
      if (lineWidth > 0) flush();
      // A word wider than a line is cut into line-wide pieces.
      forEachCodePoint(word, [&](char32_t c, std::string_view bytes) {
        const std::size_t w = c == kInvalid ? 1 : columns(c);
        if (lineWidth > 0 && lineWidth + w > width) flush();
        line.append(bytes);
        lineWidth += w;
      });
    }
    if (lineWidth > 0 || !paragraphHasLine) flush();
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

std::string padToWidth(std::string_view text, std::size_t width) {
  std::string out(text);
  const std::size_t used = displayWidth(text);
  if (used < width) out.append(width - used, ' ');
  return out;
}

}  // namespace vantorel::terminal
