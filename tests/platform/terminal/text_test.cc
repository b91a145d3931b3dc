#include "platform/terminal/text.h"

#include <gtest/gtest.h>

namespace vantorel::terminal {
namespace {

// Octal escapes below, since a hexadecimal one would swallow the letters after it.
TEST(PrintableText, ControlsEscapesAndInvalidUtf8BecomeVisibleCharacters) {
  EXPECT_EQ(printable("\x1b]0;pwned\x07 <b>x</b>"), "^[]0;pwned^G <b>x</b>");
  EXPECT_EQ(printable("a\177b\tc\001"), "a^?b c^A");
  EXPECT_EQ(printable("\302\23331m"), "<U+009B>31m");            // C1 control sequence introducer
  EXPECT_EQ(printable("abc\342\200\256txt"), "abc<U+202E>txt");  // right-to-left override
  EXPECT_EQ(printable("é ✓ 日本 😀"), "é ✓ 日本 😀");
  for (const char c : printable(std::string("\0\x1b\x1f\n\r", 5))) EXPECT_GE(c & 0xFF, 0x20);
  EXPECT_EQ(printable("a\nb\r\nc"), "a^Jb^M^Jc");
  EXPECT_EQ(printable("a\nb\r\nc\rd", LineBreaks::kKeep), "a\nb\nc^Md");

  EXPECT_EQ(printable("a\377b"), "a\uFFFDb");
  EXPECT_EQ(printable("\300\257"), "\uFFFD\uFFFD");                      // overlong
  EXPECT_EQ(printable("\355\240\200"), "\uFFFD\uFFFD\uFFFD");            // surrogate
  EXPECT_EQ(printable("\364\220\200\200"), "\uFFFD\uFFFD\uFFFD\uFFFD");  // beyond U+10FFFF
  EXPECT_EQ(printable("x\342\202"), "x\uFFFD");                          // cut short at the end
  EXPECT_EQ(printable("\342\202A"), "\uFFFDA");
}

TEST(TextLayout, WidthsCountColumnsAndWrappingBreaksBetweenWordsFirst) {
  EXPECT_EQ(displayWidth("日本"), 4u);
  EXPECT_EQ(displayWidth("e\u0301"), 1u);
  EXPECT_EQ(displayWidth("┌─✓"), 3u);
  EXPECT_EQ(truncateToWidth("Board action needed", 10), "Board act…");
  EXPECT_EQ(truncateToWidth("Board", 10), "Board");
  EXPECT_EQ(padToWidth("日", 4), "日  ");

  using Lines = std::vector<std::string>;
  EXPECT_EQ(wrapToWidth("Hold BOOT and press RESET", 10),
            (Lines{"Hold BOOT", "and press", "RESET"}));
  EXPECT_EQ(wrapToWidth("one\n\ntwo  three", 20), (Lines{"one", "", "two three"}));
  EXPECT_EQ(wrapToWidth("abcdefghijkl xy", 5), (Lines{"abcde", "fghij", "kl xy"}));
  EXPECT_EQ(wrapToWidth("日本語テキスト", 5), (Lines{"日本", "語テ", "キス", "ト"}));
  EXPECT_EQ(wrapToWidth("", 5), (Lines{""}));
}

}  // namespace
}  // namespace vantorel::terminal
