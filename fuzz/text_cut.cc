// A text cut to a byte bound is the whole text when it fits, otherwise its longest prefix within
// the bound that ends on a character boundary, then "…".

#include "core/visible_text.h"
#include "fuzz_check.h"

// The first two bytes are the bound (0 to 8,191: the program cuts at 4,096); the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t bound = (data[0] | data[1] << 8) % 8192;
  const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string cut = vantorel::cutToBytes(text, bound);
  FUZZ_CHECK(text.size() > bound ? cut.ends_with("…") : cut == text);
  if (text.size() <= bound) return 0;
  const auto boundary = [&](std::size_t i) {
    return i == 0 || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
  };
  const std::string_view kept = std::string_view(cut).substr(0, cut.size() - 3);
  FUZZ_CHECK(kept.size() <= bound && text.starts_with(kept) && boundary(kept.size()));
  for (std::size_t i = kept.size() + 1; i <= bound; ++i) FUZZ_CHECK(!boundary(i));
  FUZZ_CHECK(!validUtf8(text) || (validUtf8(cut) && bound - kept.size() < 4));
  return 0;
}
