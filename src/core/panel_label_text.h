#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantorel {

// What the desktop panel's wrapping label is given for an action text. The label shows about four
// lines of it; laying out more costs time on the main loop and shows nothing. A toolkit that wraps
// a long unbroken word at any character measures the word again at each place it tries, which
// grows much faster than the word: 4 KiB without a space took seconds.

// The most characters the label is given (about twice what its lines hold at the narrowest
// letters), before "…" says the text goes on.
inline constexpr std::size_t kMaxLabelCharacters = 1024;
// Within a run of characters without a space, tab, line break or zero-width space, a zero-width
// space goes in before a character that starts a new cluster once the run is this long (longer
// than words are, so words are only ever broken where the toolkit would break them) ...
inline constexpr std::size_t kLabelBreakAfter = 24;
// ... and before any character once it is this long (only a pile of combining marks gets there).
inline constexpr std::size_t kMaxUnbrokenRun = 48;

// The zero-width space (U+200B): a line may break there, and it shows nothing.
inline constexpr std::string_view kZeroWidthSpace = "\u200B";

// `actionText` made visible as visibleText() does (line breaks kept), cut to `maxCharacters`
// characters and "…" when longer, with zero-width spaces put into long unbroken runs so that a
// wrapping label lays them out in time linear in the text (a tooltip that shows more of the text
// needs them as much).
std::string panelLabelText(std::string_view actionText,
                           std::size_t maxCharacters = kMaxLabelCharacters);

// True when `c` belongs with the character before it in what a reader sees as one letter
// (combining marks, vowel signs and viramas of the Indic scripts, joiners, variation selectors,
// emoji modifiers, tags): a line is never broken just before it.
bool extendsCluster(char32_t c);

}  // namespace vantorel
