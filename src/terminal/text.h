#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/visible_text.h"

namespace vantorel::terminal {

// Text made safe to send to a terminal and measured in terminal columns.

using vantorel::LineBreaks;

// `text` as printable UTF-8 that a terminal cannot interpret: visibleText(), with a tab as spaces
// up to the next 8-column stop of its line. The result contains no byte below 0x20 other than the
// line breaks that `breaks` keeps.
std::string printable(std::string_view text, LineBreaks breaks = LineBreaks::kShow);

// Columns one character takes on a terminal: two for wide East Asian characters and emoji, none
// for combining marks and other zero-width characters, one otherwise.
std::size_t charColumns(char32_t c);

// Columns that printable text takes.
std::size_t displayWidth(std::string_view text);

// The longest prefix of `text` that fits in `width` columns, ending in "…" when cut.
std::string truncateToWidth(std::string_view text, std::size_t width);

// Printable text broken into lines of at most `width` columns: at its line breaks, then at the
// spaces between words, and inside a word only when the word alone is wider than a line. Spaces
// stay as written (leading ones and runs too) except where a line is broken. An empty text gives
// one empty line.
std::vector<std::string> wrapToWidth(std::string_view text, std::size_t width);

}  // namespace vantorel::terminal
