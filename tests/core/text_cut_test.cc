// A label's text is cut to a byte bound at the start of the character that crosses it, so a
// cut never splits a character; the fuzz target checks the same on any input.

#include "core/text_cut.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vantorel {
namespace {

TEST(TextCutTest, CutsAtTheCharacterThatCrossesTheBound) {
  const std::tuple<std::string, std::size_t, std::string> cases[] = {
      {"aé", 3, "aé"},            // fits exactly
      {"aé", 2, "a…"},            // the two-byte character crosses the bound
      {"ab€c", 4, "ab…"},         // so does a three-byte one, two bytes before its end
      {"ab€c", 5, "ab€…"},        // a character that ends on the bound stays
      {"\x80\x80\x80", 1, "…"}};  // continuation bytes alone: no boundary but the start
  for (const auto& [text, bound, shown] : cases) EXPECT_EQ(cutToBytes(text, bound), shown) << text;
}

}  // namespace
}  // namespace vantorel
