#include "core/visible_text.h"

#include <cstdio>

namespace vantorel {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

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

}  // namespace

Utf8Char decodeUtf8(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {lead, 1};
  // Lead bytes of the old five- and six-byte forms still say how long their sequence is, so a
  // cut-short one is read whole, as for the others; complete, they are out of range.
  std::size_t length = 0;
  char32_t c = 0, least = 0;
  if (lead < 0xC0) return {kReplacement, 1};
  if (lead < 0xE0) {
    length = 2, c = lead & 0x1F, least = 0x80;
  } else if (lead < 0xF0) {
    length = 3, c = lead & 0x0F, least = 0x800;
  } else if (lead < 0xF8) {
    length = 4, c = lead & 0x07, least = 0x10000;
  } else if (lead < 0xFC) {
    length = 5, c = lead & 0x03, least = 0x200000;
  } else if (lead < 0xFE) {
    length = 6, c = lead & 0x01, least = 0x4000000;
  } else {
    return {kReplacement, 1};
  }
  if (length > text.size()) {  // cut short by the end of the text: one U+FFFD for what it has
    for (std::size_t i = 1; i < text.size(); ++i) {
      if (!isContinuation(static_cast<unsigned char>(text[i]))) return {kReplacement, 1};
    }
    return {kReplacement, text.size()};
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    // Cut short by a NUL, as by the end of a C string: one U+FFFD for what it has.
    if (!isContinuation(byte)) return {kReplacement, byte == 0 ? i : 1};
    c = (c << 6) | (byte & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {kReplacement, 1};
  return {c, length};
}

bool isBidiControl(char32_t c) {
  return c == 0x061C || c == 0x070F || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x110BD || c == 0x110CD ||
         (c >= 0x13430 && c <= 0x1343F);
}

std::string visibleText(std::string_view text, LineBreaks breaks) {
  const bool keep = breaks == LineBreaks::kKeep;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char d = decodeUtf8(text.substr(i));
    const std::string_view bytes = text.substr(i, d.length);
    i += d.length;
    const char32_t c = d.c;
    if (keep && c == '\r' && i < text.size() && text[i] == '\n') continue;
    if ((keep && c == '\n') || c == '\t') {
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      out += '^';
      out += c == 0x7F ? '?' : static_cast<char>(c + 0x40);
    } else if ((c >= 0x80 && c <= 0x9F) || isBidiControl(c)) {
      char name[16];
      const int length = std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(c));
      out.append(name, static_cast<std::size_t>(length));
    } else if (c == kReplacement) {
      appendUtf8(out, c);
    } else {
      out.append(bytes);
    }
  }
  return out;
}

std::string cutToBytes(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  // The character that holds byte `maxBytes` is the first one left out.
  std::size_t end = maxBytes;
  while (end > 0 && isContinuation(static_cast<unsigned char>(text[end]))) --end;
  return std::string(text.substr(0, end)) + "…";
}

}  // namespace vantorel
