#include "terminal/panel_text.h"

#include <gtest/gtest.h>

namespace vantorel::terminal {

// The attention panel fits the terminal (under 24 columns too), wide characters included, and
// stays small whatever the text; fuzz/panel_text.cc checks every line's width and that no control
// passes, and tests/e2e/terminal_test.py that none reaches a real terminal.
TEST(PanelText, FitsTheTerminalAndStaysSmall) {
  const std::pair<std::size_t, std::size_t> widths[] = {{0, 48}, {200, 48}, {30, 30}, {3, 8}};
  for (const auto& [columns, width] : widths) EXPECT_EQ(panelColumns(columns), width) << columns;
  std::string marks, rockets;
  for (int i = 0; i < 130000; ++i) marks += "\u0301", rockets += i < 30 ? "🚀" : "";
  EXPECT_EQ(attentionPanel(rockets, 48, false)[2], "│ " + rockets.substr(0, 22 * 4) + " │");
  const std::string huge(1 << 20, 'x');
  for (const std::string& text : {marks, huge}) {
    std::size_t size = 0;
    for (const std::string& line : attentionPanel(text, 48, false)) size += line.size() + 1;
    EXPECT_LE(size, 6000u);
  }
  ASSERT_EQ(attentionPanel(huge, 48, false).size(), 17u);
  EXPECT_EQ(attentionPanel(huge, 48, false)[13], "│ " + std::string(43, 'x') + "… │");
}

}  // namespace vantorel::terminal
