#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantorel {

// Text made safe to show a person: nothing in it can act on a terminal or reorder what is shown.

// One character at the front of a text, as UTF-8 reads it.
struct Utf8Char {
  char32_t c;          // U+FFFD for bytes that start no valid character
  std::size_t length;  // bytes taken, at least 1
};

// The character at the front of a non-empty `text`. A byte that starts no valid character
// (overlong, a surrogate, past U+10FFFF, a stray continuation byte) is U+FFFD taking one byte; a
// sequence cut short by the end of the text or by a NUL byte is one U+FFFD taking the bytes it
// has. NUL is U+0000. (GLib's UTF-8 reader reads the same.)
Utf8Char decodeUtf8(std::string_view text);

enum class LineBreaks {
  kShow,  // a line break is shown as "^J", so the text stays on one line
  kKeep,  // "\n" and "\r\n" stay line breaks ("\n")
};

// The invisible characters that reorder the text around them: embeddings, overrides, isolates,
// the directional marks, and the few other format characters that are strongly directional.
// Shown by name, so a text cannot show a person something other than what it holds.
bool isBidiControl(char32_t c);

// `text` as valid UTF-8 in which every control is visible: C0 controls in caret notation (ESC as
// "^[", BEL as "^G", NUL as "^@"), DEL as "^?", C1 controls and the bidirectional controls by
// name ("<U+009B>", "<U+202E>"), every byte that is not valid UTF-8 as U+FFFD. Tabs are kept, and
// line breaks as `breaks` says; no other byte below 0x20 is left.
std::string visibleText(std::string_view text, LineBreaks breaks = LineBreaks::kShow);

// The most of a text that a panel (desktop or terminal) shows: a panel shows a few hundred
// characters, and laying out a whole megabyte would stall the main loop for seconds on every
// prompt.
inline constexpr std::size_t kMaxPanelTextBytes = 4096;

// `text` whole when it is at most `maxBytes` long; otherwise its longest prefix within
// `maxBytes` that ends on a character boundary, followed by "…". A boundary is any byte but a
// UTF-8 continuation byte, so valid UTF-8 stays valid and no byte past the bound is looked at.
std::string cutToBytes(std::string_view text, std::size_t maxBytes);

}  // namespace vantorel
