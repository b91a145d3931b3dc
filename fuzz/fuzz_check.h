#pragma once

#include <glib.h>

#include <cstdio>
#include <cstdlib>
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
