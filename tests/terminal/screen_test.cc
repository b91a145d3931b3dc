#include "terminal/screen.h"

#include <gtest/gtest.h>

namespace vantorel::terminal {

// Given a screen on a terminal writing into a string, we should see exactly the bytes for each
// change. (Its log form is seen through the terminal UI's tests.)
TEST(Screen, TerminalRewritesTheLiveRegionInPlaceCountingTheRowsOfWrappedLines) {
  std::string out;
  std::size_t columns = 80;
  Screen screen([&](std::string_view bytes) { out.append(bytes); }, true, [&] { return columns; });
  const auto flushed = [&] { return screen.flush(), std::exchange(out, {}); };
  screen.setStatus("Want C6 boot", false);
  EXPECT_EQ(flushed(), "Want C6 boot");
  screen.setStatus("Want C6 boot", true);
  EXPECT_EQ(flushed(), "\r\x1b[J\x1b[32mWant C6 boot\x1b[0m");
  EXPECT_EQ(flushed(), "");
  screen.finish();
  EXPECT_EQ(std::exchange(out, {}), "\n");
  // Drawn anew below what others printed meanwhile (after the process was stopped, say).
  screen.showPanel({"┌─┐", "└─┘"}, "(closed)");
  screen.print({"menu"});
  EXPECT_EQ(flushed(), "menu\n┌─┐\n└─┘\n\x1b[32mWant C6 boot\x1b[0m");
  screen.closePanel();
  EXPECT_EQ(flushed(), "\r\x1b[2A\x1b[J\x1b[32mWant C6 boot\x1b[0m");
  columns = 10;
  screen.showPanel({"\x1b[42m0123456789\x1b[0m", "0123456789ab", "🚀🚀🚀🚀🚀🚀"}, "");
  screen.setStatus("0123456789abcdefghij", false);
  flushed();
  screen.closePanel();
  EXPECT_EQ(flushed().rfind("\r\x1b[6A\x1b[J", 0), 0u) << "1 + 2 + 2 + 2 rows";
}

}  // namespace vantorel::terminal
