#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantorel {

// `text` whole when it is at most `maxBytes` long; otherwise its longest prefix within
// `maxBytes` that ends on a character boundary, followed by "…". A boundary is any byte but a
// UTF-8 continuation byte, so valid UTF-8 stays valid and no byte past the bound is looked at.
std::string cutToBytes(std::string_view text, std::size_t maxBytes);

}  // namespace vantorel
