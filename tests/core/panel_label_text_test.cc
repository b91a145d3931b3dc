// Given an action text, we should give the desktop label a text in which every control shows,
// nothing reorders what is shown, and no run goes long without a place to break the line.

#include "core/panel_label_text.h"

#include <gtest/gtest.h>

using namespace vantorel;

static std::string repeat(std::string_view piece, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += piece;
  return out;
}

const std::string Z(kZeroWidthSpace);

TEST(PanelLabelTextTest, ControlsShowLongRunsGetPlacesToBreakAndAnyTextIsCut) {
  const std::string acute = "e\u0301", words = repeat("ab ", 400);  // 1,200 characters
  const std::size_t max = kMaxLabelCharacters;
  const std::pair<std::string, std::string> rows[] = {
      {"Press BOOT, then RESET", "Press BOOT, then RESET"},
      {"Tap \u202eTESER\u202c then \u2066BOOT\u2069",
       "Tap <U+202E>TESER<U+202C> then <U+2066>BOOT<U+2069>"},
      {"a\x01\x1b[2J\r\nb\tc\rd\x7f\xc2\x9b\xff", "a^A^[[2J\nb\tc^Md^?<U+009B>\uFFFD"},
      {std::string(30, 'a'), std::string(24, 'a') + Z + "aaaaaa"},
      {repeat("\x01", 15), repeat("^A", 12) + Z + "^A^A^A"},
      // A mark stays on its letter, a joined emoji and a conjunct stay whole.
      {repeat(acute, 15), repeat(acute, 12) + Z + repeat(acute, 3)},
      {std::string(23, 'a') + "\U0001F469\u200D\U0001F4BB",
       std::string(23, 'a') + "\U0001F469\u200D\U0001F4BB"},
      {std::string(22, 'a') + "क्षa", std::string(22, 'a') + "क्ष" + Z + "a"},
      // Only a pile of marks on one letter is broken anyway.
      {"a" + repeat("\u0301", 60), "a" + repeat("\u0301", 47) + Z + repeat("\u0301", 13)},
      // The label is given at most its characters; each control shows as two: a megabyte of
      // them gives it 512.
      {words, words.substr(0, max) + "…"},
      {words.substr(0, max), words.substr(0, max)},
      {std::string(1 << 20, '\x01'),
       repeat("^A", 12) + repeat(Z + repeat("^A", 12), 41) + Z + repeat("^A", 8) + "…"},
  };
  for (const auto& [text, label] : rows)
    EXPECT_EQ(panelLabelText(text), label) << text.substr(0, 80);
}
