#include "platform/terminal/panel_text.h"

#include <gtest/gtest.h>

#include "platform/terminal/text.h"

namespace vantorel::terminal {
namespace {

PanelSpec attentionSpec(std::string text) {
  PanelSpec layout;
  layout.width = 440;
  layout.title = "Board action needed";
  layout.labels.push_back({std::move(text), {20, 60, 400, 70}, 15, false, true});
  layout.button = ButtonSpec{"OK", {340, 15, 80, 30}, kBezelRounded, [] {}};
  return layout;
}

TEST(PanelText, AttentionPanelIsAFrameWithTitleTextAndButtonNoWiderThanTheTerminal) {
  const std::vector<std::string> lines = drawPanel(attentionSpec("Hold BOOT and press RESET"), {});
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("┌─ Board action needed ─", 0), 0u);
  EXPECT_EQ(lines[2], padToWidth("│ Hold BOOT and press RESET", 46) + " │");
  EXPECT_EQ(lines[4], "│" + std::string(24, ' ') + "[ OK ]  (press Enter) │");
  EXPECT_EQ(lines[5].rfind("└──", 0), 0u);
  for (const std::string& line : lines) EXPECT_EQ(displayWidth(line), 48u) << line;
  EXPECT_EQ(panelColumns(attentionSpec("x"), 200), 48u);
  EXPECT_EQ(panelColumns(attentionSpec("x"), 30), 30u);
  EXPECT_EQ(panelColumns(attentionSpec("x"), 10), kMinPanelColumns);
}

TEST(PanelText, LongOrHostileActionTextStaysInsideTheFrameAndHarmless) {
  const std::string text = "\x1b]0;pwned\x07 <b>x</b> " + std::string(120, 'w') +
                           " then a sentence long enough to need several lines\nsecond";
  const std::vector<std::string> lines = drawPanel(attentionSpec(text), {40, false});
  std::string all;
  for (const std::string& line : lines) {
    EXPECT_EQ(displayWidth(line), 40u) << line;
    all += line + "\n";
  }
  EXPECT_EQ(all.find('\x1b'), std::string::npos) << all;
  EXPECT_NE(all.find("│ ^[]0;pwned^G <b>x</b>"), std::string::npos) << all;
  EXPECT_NE(all.find("│ second "), std::string::npos) << all;
  EXPECT_EQ(lines.size(), 12u) << all;
  // A huge text is cut, so the panel still fits on a screen.
  const std::vector<std::string> huge = drawPanel(attentionSpec(std::string(1 << 20, 'x')), {});
  ASSERT_EQ(huge.size(), 17u);
  EXPECT_EQ(huge[13], "│ " + std::string(43, 'x') + "… │");
}

TEST(PanelText, SuccessPanelIsGreenWithBoldWhiteReadyCentred) {
  PanelSpec layout;
  layout.width = 440;
  layout.title = "Board ready";
  layout.background = PanelColor::kSystemGreen;
  layout.labels.push_back(
      {"Ready", {20, 35, 400, 40}, 24, true, false, PanelColor::kWhite, TextAlignment::kCenter});
  const std::vector<std::string> plain = drawPanel(layout, {});
  EXPECT_EQ(plain[0].rfind("┌─ Board ready ─", 0), 0u);
  EXPECT_EQ(plain[2], "│" + std::string(20, ' ') + "Ready" + std::string(20, ' ') + " │");

  const std::vector<std::string> ansi = drawPanel(layout, {48, true});
  for (const std::string& line : ansi) {
    EXPECT_EQ(line.rfind("\x1b[42m", 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 4), "\x1b[0m") << line;
  }
  EXPECT_NE(ansi[2].find("\x1b[1m\x1b[97mReady\x1b[22m\x1b[39m"), std::string::npos);
}

}  // namespace
}  // namespace vantorel::terminal
