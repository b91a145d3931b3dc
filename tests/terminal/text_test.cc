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
  for (const char32_t c :
       {U'A',          U'é',      U'\u231A', U'\u23E9', U'\U0001F680', U'\U0001FA70',
        U'\U0001F600', U'\u0483', U'\u05B0', U'\u05C1', U'\u064B',     U'\u0670',
        U'\u0941',     U'\u094D', U'\u09CD', U'\u0301', U'\u200B',     U'\u1160',
        U'\u4E00',     U'\uAC00', U'\u3042', U'\uFF21', U'\u2713',     U'\u2500'}) {
    EXPECT_EQ(static_cast<int>(charColumns(c)), wcwidth(static_cast<wchar_t>(c))) << int(c);
  }
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
