// Given any bytes, we should read characters as GLib's UTF-8 reader does and show every control,
// so that nothing in a text can act on a terminal or reorder what a person sees.

#include "core/visible_text.h"

#include <gtest/gtest.h>

using namespace vantorel;

TEST(VisibleTextTest, BadBytesAreOneReplacementPerStartAndControlsAreNamed) {
  const std::pair<std::string, std::string> rows[] = {
      // Octal escapes, since a hexadecimal one would swallow the letters after it.
      {"\342\202", "\uFFFD"},                        // cut short by the end: one
      {std::string("\342\202\0x", 4), "\uFFFD^@x"},  // cut short by a NUL: one
      {"\342x\202", "\uFFFDx\uFFFD"},                // broken: one a byte
      {"\300\257 \355\240\200 \364\220\200\200",
       "\uFFFD\uFFFD \uFFFD\uFFFD\uFFFD \uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\370\210\200\200", "\uFFFD"},  // an old five-byte form cut short
      {"a\u070Fb\u200Fc\u2069d\u200Be", "a<U+070F>b<U+200F>c<U+2069>d\u200Be"},
      {"\t\r\n\x1b", "\t^M^J^["},
  };
  for (const auto& [text, shown] : rows) EXPECT_EQ(visibleText(text), shown) << text;
  EXPECT_EQ(visibleText("a\r\nb\nc\r", LineBreaks::kKeep), "a\nb\nc^M");
}
