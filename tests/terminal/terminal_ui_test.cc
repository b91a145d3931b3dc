#include "terminal/terminal_ui.h"

#include <gtest/gtest.h>

#include "terminal/panel_text.h"
#include "terminal/screen.h"

namespace vantorel::terminal {

// Given a terminal UI over a log, we should see keys reach the latest menu's choices or the
// panel's "OK".
class TerminalUiTest : public ::testing::Test {
 protected:
  std::string flushed() { return ui.screen().flush(), std::exchange(out, {}); }

  std::string out;
  std::vector<Choice> chosen;
  TerminalUi ui{[this](std::string_view bytes) { out.append(bytes); }, false,
                [] { return std::size_t{0}; }, [this](Choice c) { chosen.push_back(c); }};
};

TEST_F(TerminalUiTest, KeysPickFromTheLatestMenuAndQQuitsAsTheMenuShows) {
  ui.show(statusView(Desired::c6Boot, Observed::rpBoot, false));
  ui.show(statusView(Desired::c6Normal, Observed::none, false));
  ui.handleInput("3\x1b[1;5A4\n7\x1b");
  ui.handleInput("[15;2~\0331");  // the rest of Shift+F5, then Alt+1
  ui.handleInput("q1");
  EXPECT_EQ(chosen, (std::vector<Choice>{Choice::pick(Desired::rpBoot),
                                         Choice::pick(Desired::rpNormal), Choice::quit()}));
}

TEST_F(TerminalUiTest, LogGetsEachVisibleChangeOnceAndEnterPressesTheAttentionPanelsOkOnce) {
  int pressed = 0;
  ui.handleInput("\r\n");  // no panel: nothing happens
  ui.show(statusView(Desired::c6Boot, Observed::none, false));
  ui.show(statusView(Desired::c6Boot, Observed::none, true));
  ui.prompt("Hold BOOT", [&] { ++pressed; });
  ui.handleInput("z");
  const std::string shown = flushed();
  EXPECT_EQ(shown.find("Keys: 1–4 pick, q quits, any other key shows the menu\n"
                       "Want C6 boot | Have none [green]\n┌─ Board action needed ─"),
            0u);
  EXPECT_TRUE(shown.ends_with("  q    Quit\n  Enter  OK\n")) << shown;
  EXPECT_EQ(flushed(), "");
  ui.handleInput("\r\n\n");
  EXPECT_EQ(pressed, 1);
  ui.show(statusView(Desired::c6Boot, Observed::none, false));
  EXPECT_EQ(flushed(), "(closed: Board action needed)\nWant C6 boot | Have none\n");
  ui.prompt("Hold BOOT", [&] { ++pressed; });
  ui.ready();
  ui.handleInput("\n");
  EXPECT_EQ(pressed, 1) << "the ready panel has no OK";
  EXPECT_NE(flushed().find("(closed: Board action needed)\n┌─ Board ready ─"), std::string::npos);
}

// On a terminal the menu is redrawn from the state of now and goes with the next choice, so no
// check mark on screen is ever out of date; a resize redraws the panel at the new width at once,
// erasing what the terminal re-wrapped of the old one.
TEST(TerminalUiOnATerminal, MenuNeverOutOfDateAndResizeRedrawsAtTheNewWidth) {
  std::string out;
  std::size_t columns = 40;
  TerminalUi ui([&](std::string_view bytes) { out.append(bytes); }, true, [&] { return columns; },
                [](Choice) {});
  const auto flushed = [&] { return ui.screen().flush(), std::exchange(out, {}); };
  ui.show(statusView(Desired::c6Boot, Observed::none, false));
  ui.prompt("Hold BOOT", [] {});
  ui.handleInput("z");
  const std::string first = flushed();
  EXPECT_EQ(first.find("Keys: 1–4 pick, q quits, any other key\nshows the menu\n"), 0u) << first;
  EXPECT_NE(first.find("  1  ✓ Want C6 boot\n"), std::string::npos);
  ui.handleInput("3");
  ui.show(statusView(Desired::rpBoot, Observed::none, false));
  EXPECT_EQ(flushed().find("✓"), std::string::npos) << "the menu outlived the choice";
  ui.handleInput("z");
  ui.show(statusView(Desired::rpNormal, Observed::none, false));
  EXPECT_NE(flushed().find("  3    Want RP boot\n  4  ✓ Want RP normal\n"), std::string::npos);

  ui.handleInput("\r");  // OK closes the menu and the panel
  columns = 80;
  ui.prompt("Hold BOOT", [] {});
  const std::size_t panelRows = attentionPanel("Hold BOOT", 48, true).size();
  flushed();
  columns = 40;
  ui.resized();
  const std::string redrawn = flushed();
  EXPECT_EQ(redrawn.find("\r\x1b[" + std::to_string(2 * panelRows) + "A\x1b[J"), 0u) << redrawn;
  EXPECT_NE(redrawn.find(attentionPanel("Hold BOOT", 40, true)[0]), std::string::npos);
}

// Given the UI's screen on a terminal writing into a string, we should see exactly the bytes for
// each change. (Its log form is seen through the tests above.)
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
