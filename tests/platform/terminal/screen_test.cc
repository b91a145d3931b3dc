#include "platform/terminal/screen.h"

#include <gtest/gtest.h>

namespace vantorel::terminal {
namespace {

// Given a screen writing into a string, we should see exactly the bytes for each change.
class ScreenTest : public ::testing::Test {
 protected:
  Screen make(bool terminal) {
    return Screen([this](std::string_view bytes) { out.append(bytes); }, terminal,
                  [this] { return columns; });
  }
  std::string show(Screen& screen, const std::string& title, bool green) {
    screen.setStatus(title, green);
    screen.flush();
    return std::exchange(out, {});
  }

  std::string out;
  std::size_t columns = 80;
};

TEST_F(ScreenTest, LogGetsOneStatusLinePerVisibleChangeAndEachPanelOnce) {
  Screen screen = make(false);
  EXPECT_EQ(show(screen, "Want C6 boot | Have none", false), "Want C6 boot | Have none\n");
  EXPECT_EQ(show(screen, "Want C6 boot | Have none", false), "");
  EXPECT_EQ(show(screen, "Want C6 boot | Have none", true), "Want C6 boot | Have none [green]\n");
  // A new title and the end of the tint in one render give one line.
  screen.setStatus("Want RP boot | Have none", true);
  EXPECT_EQ(show(screen, "Want RP boot | Have none", false), "Want RP boot | Have none\n");
  EXPECT_EQ(show(screen, "Want \x1b[31m", false), "Want ^[[31m\n");

  screen.setStatus("A", false);
  screen.showBlock(7, {"+--+", "|x |", "+--+"}, "(closed: x)");
  screen.showBlock(7, {"+--+", "|x |", "+--+"}, "(closed: x)");
  screen.setStatus("B", true);
  screen.removeBlock(7);
  screen.removeBlock(7);
  screen.print({"menu"});
  EXPECT_EQ(show(screen, "B", true), "A\n+--+\n|x |\n+--+\nB [green]\n(closed: x)\nmenu\n");
}

TEST_F(ScreenTest, TerminalRewritesTheStatusLineInPlaceGreenWhileTinted) {
  Screen screen = make(true);
  EXPECT_EQ(show(screen, "Want C6 boot | Have none", false), "Want C6 boot | Have none");
  EXPECT_EQ(show(screen, "Want C6 boot | Have none", false), "");
  EXPECT_EQ(show(screen, "Want C6 boot | Have none", true),
            "\r\x1b[J\x1b[32mWant C6 boot | Have none\x1b[0m");
  screen.finish();
  EXPECT_EQ(std::exchange(out, {}), "\n");
  // Drawn anew below what others printed meanwhile (after the process was stopped, say).
  EXPECT_EQ(show(screen, "Want C6 boot | Have none", true),
            "\x1b[32mWant C6 boot | Have none\x1b[0m");
}

TEST_F(ScreenTest, TerminalErasesAClosedPanelAndCountsTheRowsOfWrappedLines) {
  Screen screen = make(true);
  screen.showBlock(1, {"┌─┐", "└─┘"}, "(closed)");
  EXPECT_EQ(show(screen, "S", false), "┌─┐\n└─┘\nS");
  screen.print({"menu"});
  EXPECT_EQ(show(screen, "S", false), "\r\x1b[2A\x1b[Jmenu\n┌─┐\n└─┘\nS");
  screen.removeBlock(1);
  EXPECT_EQ(show(screen, "S", false), "\r\x1b[2A\x1b[JS");

  columns = 10;
  screen.showBlock(2, {"\x1b[42m0123456789\x1b[0m", "0123456789ab"}, "");
  show(screen, "0123456789abcdefghij", false);
  EXPECT_EQ(show(screen, "x", false).rfind("\r\x1b[4A\x1b[J", 0), 0u) << "1 + 2 + 2 rows on screen";
}

}  // namespace
}  // namespace vantorel::terminal
