#include "terminal/panel_text.h"

#include <gtest/gtest.h>

#include "terminal/text.h"

namespace vantorel::terminal {

// Given any action text and any terminal width, the attention panel should fit the terminal
// (under 24 columns too), keep every line its width, pass no control through and stay small.
// Its looks, and the ready panel's, are checked on a real terminal by tests/e2e/terminal_test.py.
TEST(PanelText, AnyActionTextStaysInsideAFrameThatFitsHarmlessAndSmall) {
  const std::pair<std::size_t, std::size_t> widths[] = {{0, 48}, {200, 48}, {30, 30}, {3, 8}};
  for (const auto& [columns, width] : widths) EXPECT_EQ(panelColumns(columns), width) << columns;
  std::string rockets, marks;
  for (int i = 0; i < 30; ++i) rockets += "🚀";
  for (int i = 0; i < 130000; ++i) marks += "\u0301";
  const std::string hostile = "\x1b]0;pwned\x07 <b>x</b> " + std::string(120, 'w') + "\nsecond";
  const std::string huge(1 << 20, 'x');
  const std::pair<std::string, std::size_t> cases[] = {{rockets, 48}, {hostile, 40}, {hostile, 20},
                                                       {hostile, 8},  {marks, 48},   {huge, 48}};
  for (const auto& [text, width] : cases) {
    std::string all;
    for (const std::string& line : attentionPanel(text, width, false)) {
      EXPECT_EQ(displayWidth(line), width) << line;
      all += line + "\n";
    }
    EXPECT_EQ(all.find('\x1b'), std::string::npos) << all;
    EXPECT_LE(all.size(), 6000u);
  }
  ASSERT_EQ(attentionPanel(huge, 48, false).size(), 17u);
  EXPECT_EQ(attentionPanel(huge, 48, false)[13], "│ " + std::string(43, 'x') + "… │");
}

}  // namespace vantorel::terminal
