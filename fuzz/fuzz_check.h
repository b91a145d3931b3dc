#pragma once

#include <fribidi.h>
#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// Stops the run naming the broken property; libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition) \
  ((condition) ? void() : (std::fprintf(stderr, "broken: %s\n", #condition), std::abort()))

// GLib refuses a NUL byte, which is valid UTF-8 (JSON's "\u0000"): the text between them counts.
inline bool validUtf8(std::string_view text) {
  for (std::size_t nul; (nul = text.find('\0')) != std::string_view::npos;) {
    if (!g_utf8_validate(text.data(), static_cast<gssize>(nul), nullptr)) return false;
    text.remove_prefix(nul + 1);
  }
  return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr);
}

// A character that would reorder the text around it: a format character whose bidirectional
// class is an embedding, override or isolate, or strongly directional (the marks). Told by GLib
// and FriBidi, not by the program's own table. FriBidi 1.0.8 predates the prepended
// concatenation marks U+0890 and U+0891 (numeric, not strong) and gives them the Arabic default.
inline bool reorders(gunichar c) {
  if (c == 0x0890 || c == 0x0891) return false;
  const FriBidiCharType type = fribidi_get_bidi_type(c);
  return g_unichar_type(c) == G_UNICODE_FORMAT &&
         (FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type) || FRIBIDI_IS_STRONG(type));
}

// An independent model of the program's visible text, built on GLib's UTF-8 reader and
// character classes: controls in caret notation or by name, every invalid byte as U+FFFD (a
// sequence cut short by the end as one), tabs kept, line breaks ("\n", "\r\n") kept when `keep`.
inline std::string modelVisible(std::string_view text, bool keep) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const char* at = text.data() + i;
    const gssize left = static_cast<gssize>(text.size() - i);
    gunichar c = at[0] == '\0' ? 0 : g_utf8_get_char_validated(at, left);
    std::size_t length = 1;
    if (c == static_cast<gunichar>(-2)) {  // cut short: the bytes it has
      while (static_cast<gssize>(length) < left && (at[length] & 0xC0) == 0x80) ++length;
      c = 0xFFFD;
    } else if (c == static_cast<gunichar>(-1)) {
      c = 0xFFFD;
    } else if (c != 0) {
      length = static_cast<std::size_t>(g_utf8_next_char(at) - at);
    }
    i += length;
    if (keep && c == '\r' && i < text.size() && text[i] == '\n') continue;
    if (c == '\t' || (keep && c == '\n')) {
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      out += '^';
      out += static_cast<char>(c ^ 0x40);
    } else if (g_unichar_iscntrl(c) || reorders(c)) {
      gchar* name = g_strdup_printf("<U+%04X>", c);
      out += name;
      g_free(name);
    } else {
      gchar bytes[6];
      out.append(bytes, static_cast<std::size_t>(g_unichar_to_utf8(c, bytes)));
    }
  }
  return out;
}
