#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::terminal {

// Text made safe to send to a terminal and measured in terminal columns.

enum class LineBreaks {
  kShow,  // a line break is shown as "^J", so the text stays on one line
  kKeep,  // "\n" and "\r\n" stay line breaks
};

// `text` as printable UTF-8 that a terminal cannot interpret: C0 controls in caret notation (ESC
// as "^[", BEL as "^G"), DEL as "^?", C1 controls and the invisible bidirectional controls as
// "<U+009B>", a tab as one space, and every byte that is not valid UTF-8 as U+FFFD. The result
// contains no byte below 0x20 other than the line breaks that `breaks` keeps.
std::string printable(std::string_view text, LineBreaks breaks = LineBreaks::kShow);

// Columns that printable text takes: wide East Asian characters and emoji count two, combining
// marks none.
std::size_t displayWidth(std::string_view text);

// The longest prefix of `text` that fits in `width` columns, ending in "…" when cut.
std::string truncateToWidth(std::string_view text, std::size_t width);

// Printable text broken into lines of at most `width` columns: at its line breaks, then between
// words, and inside a word only when the word alone is wider than a line. Runs of spaces between
// words become one space. An empty text gives one empty line.
std::vector<std::string> wrapToWidth(std::string_view text, std::size_t width);

// `text` followed by spaces up to `width` columns (nothing added when it is already as wide).
std::string padToWidth(std::string_view text, std::size_t width);

}  // namespace vantorel::terminal
