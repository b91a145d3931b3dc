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
  std::string take() { return std::exchange(out, {}); }

  std::string out;
  std::size_t columns = 80;
};

TEST_F(ScreenTest, LogGetsOneStatusLinePerVisibleChange) {
  Screen screen = make(false);
  screen.setStatus("Want C6 boot | Have none", false);
  screen.flush();
  EXPECT_EQ(take(), "Want C6 boot | Have none\n");
  screen.setStatus("Want C6 boot | Have none", false);
  screen.flush();
  EXPECT_EQ(take(), "");
  screen.setStatus("Want C6 boot | Have none", true);
  screen.flush();
  EXPECT_EQ(take(), "Want C6 boot | Have none [green]\n");
  // A new title and the end of the tint in one render give one line.
  screen.setStatus("Want RP boot | Have none", true);
  screen.setStatus("Want RP boot | Have none", false);
  screen.flush();
  EXPECT_EQ(take(), "Want RP boot | Have none\n");
  screen.setStatus("Want \x1b[31m", false);
  screen.flush();
  EXPECT_EQ(take(), "Want ^[[31m\n");
}

TEST_F(ScreenTest, LogGetsPanelsOnceAndALineWhenClosedInOrder) {
  Screen screen = make(false);
  screen.setStatus("A", false);
  screen.showBlock(7, {"+--+", "|x |", "+--+"}, "(closed: x)");
  screen.showBlock(7, {"+--+", "|x |", "+--+"}, "(closed: x)");
  screen.setStatus("B", true);
  screen.removeBlock(7);
  screen.removeBlock(7);
  screen.print({"menu"});
  screen.flush();
  EXPECT_EQ(take(), "A\n+--+\n|x |\n+--+\nB [green]\n(closed: x)\nmenu\n");
}

TEST_F(ScreenTest, TerminalRewritesTheStatusLineInPlaceGreenWhileTinted) {
  Screen screen = make(true);
  screen.setStatus("Want C6 boot | Have none", false);
  screen.flush();
  EXPECT_EQ(take(), "Want C6 boot | Have none");
  screen.flush();
  EXPECT_EQ(take(), "");
  screen.setStatus("Want C6 boot | Have none", true);
  screen.flush();
  EXPECT_EQ(take(), "\r\x1b[J\x1b[32mWant C6 boot | Have none\x1b[0m");
  screen.finish();
  EXPECT_EQ(take(), "\n");
  // Drawn anew below what others printed meanwhile (after the process was stopped, say).
  screen.flush();
  EXPECT_EQ(take(), "\x1b[32mWant C6 boot | Have none\x1b[0m");
}

TEST_F(ScreenTest, TerminalErasesAClosedPanelAndPrintsAboveIt) {
  Screen screen = make(true);
  screen.setStatus("S", false);
  screen.showBlock(1, {"┌─┐", "└─┘"}, "(closed)");
  screen.flush();
  EXPECT_EQ(take(), "┌─┐\n└─┘\nS");
  screen.print({"menu"});
  screen.flush();
  EXPECT_EQ(take(), "\r\x1b[2A\x1b[Jmenu\n┌─┐\n└─┘\nS");
  screen.removeBlock(1);
  screen.flush();
  EXPECT_EQ(take(), "\r\x1b[2A\x1b[JS");
}

TEST_F(ScreenTest, TerminalCountsTheRowsOfWrappedLines) {
  columns = 10;
  Screen screen = make(true);
  screen.showBlock(1, {"\x1b[42m0123456789\x1b[0m", "0123456789ab"}, "");
  screen.setStatus("0123456789abcdefghij", false);
  screen.flush();
  take();
  screen.setStatus("x", false);
  screen.flush();
  EXPECT_EQ(take().rfind("\r\x1b[4A\x1b[J", 0), 0u) << "1 + 2 + 2 rows on screen";
}

}  // namespace
}  // namespace vantorel::terminal
