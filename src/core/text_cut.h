#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantorel {

// The most of a text that a panel (desktop or terminal) shows: a panel shows a few hundred
// characters, and laying out a whole megabyte would stall the main loop for seconds on every
// prompt.
inline constexpr std::size_t kMaxPanelTextBytes = 4096;

// `text` whole when it is at most `maxBytes` long; otherwise its longest prefix within
// `maxBytes` that ends on a character boundary, followed by "…". A boundary is any byte but a
// UTF-8 continuation byte, so valid UTF-8 stays valid and no byte past the bound is looked at.
std::string cutToBytes(std::string_view text, std::size_t maxBytes);

}  // namespace vantorel
