#include "terminal/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwchar>
#include <tuple>

namespace vantorel::terminal {

// Octal escapes below, since a hexadecimal one would swallow the letters after it.
TEST(PrintableText, ControlsAndInvalidUtf8BecomeVisibleAndTabsReachTheNextStop) {
  EXPECT_EQ(
      printable("\x1b]0;pwned\x07 <b> \177\001 \302\23331m \342\200\256 é✓日本😀 \377 \342\202"),
      "^[]0;pwned^G <b> ^?^A <U+009B>31m <U+202E> é✓日本😀 \uFFFD \uFFFD");
  EXPECT_EQ(printable(std::string("\0\n\r", 3)), "^@^J^M");
  EXPECT_EQ(printable("ab\tc\t\td 日本\t\033x"), "ab      c               d 日本  ^[x");
  EXPECT_EQ(printable("a\nb\r\nc\rd\te", LineBreaks::kKeep), "a\nb\nc^Md    e");
}

TEST(TextWidth, EveryCharacterTakesTheColumnsTheCLibrarySays) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  const std::u32string_view chars =
      U"Aé\u231A\u23E9\U0001F680\U0001FA70\U0001F600\u0483\u05B0"
      U"\u05C1\u064B\u0670\u0941\u094D\u09CD\u0301\u200B\u1160\u4E00\uAC00\u3042\uFF21\u2713\u2500";
  for (const char32_t c : chars) EXPECT_EQ(int(charColumns(c)), wcwidth(wchar_t(c))) << int(c);
  std::setlocale(LC_CTYPE, "C");
}

TEST(TextLayout, WrapsAtSpacesKeepingThemAndCutsOnlyWordsWiderThanALine) {
  const std::tuple<std::string, std::size_t, std::vector<std::string>> cases[] = {
      {"Hold BOOT and press RESET", 10, {"Hold BOOT", "and press", "RESET"}},
      {"one\n\ntwo  three", 20, {"one", "", "two  three"}},
      {"abcdefghijkl xy", 5, {"abcde", "fghij", "kl xy"}},
      {"日本語テキスト", 5, {"日本", "語テ", "キス", "ト"}},
      {"", 5, {""}},
      {"  Step 1:  hold BOOT    then   RESET", 22, {"  Step 1:  hold BOOT", "then   RESET"}}};
  for (const auto& [text, width, lines] : cases) EXPECT_EQ(wrapToWidth(text, width), lines) << text;
  EXPECT_EQ(truncateToWidth("Board action needed", 10), "Board act…");
}

}  // namespace vantorel::terminal
