#include "terminal/panel_text.h"

#include <gtest/gtest.h>

#include "terminal/text.h"

namespace vantorel::terminal {

TEST(PanelText, AttentionPanelIsAFrameWithTitleTextAndButtonNoWiderThanTheTerminal) {
  const std::vector<std::string> lines = attentionPanel("Hold BOOT and press RESET", 48, false);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("┌─ Board action needed ─", 0), 0u);
  EXPECT_EQ(lines[2], padToWidth("│ Hold BOOT and press RESET", 46) + " │");
  EXPECT_EQ(lines[4], "│" + std::string(24, ' ') + "[ OK ]  (press Enter) │");
  EXPECT_EQ(lines[5].rfind("└──", 0), 0u);
  const std::pair<std::size_t, std::size_t> widths[] = {{0, 48}, {200, 48}, {30, 30}, {3, 8}};
  for (const auto& [columns, width] : widths) EXPECT_EQ(panelColumns(columns), width) << columns;
}

TEST(PanelText, AnyActionTextStaysInsideTheFrameHarmlessAndSmall) {
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

TEST(PanelText, ReadyPanelIsGreenWithBoldWhiteReadyCentred) {
  const std::vector<std::string> lines = readyPanel(48, true);
  ASSERT_EQ(lines.size(), 5u);
  for (const std::string& line : lines) {
    EXPECT_TRUE(line.starts_with("\x1b[42m") && line.ends_with("\x1b[0m")) << line;
  }
  EXPECT_EQ(lines[2], "\x1b[42m│" + std::string(20, ' ') + "\x1b[1m\x1b[97mReady\x1b[22m\x1b[39m" +
                          std::string(20, ' ') + " │\x1b[0m");
}

}  // namespace vantorel::terminal
