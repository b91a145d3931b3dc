#include "platform/terminal/terminal_ui.h"

#include <gtest/gtest.h>

#include "fakes/fakes.h"
#include "statusmenu/status_menu.h"

namespace vantorel::terminal {
namespace {

// Given a terminal UI over a log, a fake application and one status item, we should see keys
// reach the right menu entry or panel button.
class TerminalUiTest : public ::testing::Test {
 protected:
  TerminalUiTest() { ui.addStatusItem(item); }
  std::string flushed() {
    ui.screen().flush();
    return std::exchange(out, {});
  }

  FakeApplication app;
  std::string out;
  TerminalUi ui{app, [this](std::string_view bytes) { out.append(bytes); }, false,
                [] { return std::size_t{0}; }};
  int item = ui.newId();
  std::shared_ptr<FakeMenuTarget> first = std::make_shared<FakeMenuTarget>();
  std::shared_ptr<FakeMenuTarget> latest = std::make_shared<FakeMenuTarget>();
};

TEST_F(TerminalUiTest, KeysPickFromTheLatestMenuOfTheCurrentItemAndQQuits) {
  const int older = item, newer = ui.newId();
  ui.addStatusItem(newer);
  ui.setMenu(newer, statusMenu(Desired::c6Boot, "stale", first));
  ui.setMenu(newer, statusMenu(Desired::c6Normal, "No matching USB device", latest));
  ui.setMenu(older, statusMenu(Desired::c6Boot, "stale", first));
  ui.setStatus(older, "stale title", false);
  ui.handleInput("x");
  EXPECT_EQ(flushed(),
            "Observed: No matching USB device\n  1    Want C6 boot\n  2  ✓ Want C6 normal\n"
            "  3    Want RP boot\n  4    Want RP normal\n  q    Quit\n");

  // Each choice replaces the menu it came from, as a re-render does.
  latest->onChoice = [&] { ui.setMenu(newer, statusMenu(Desired::rpNormal, "new", latest)); };
  ui.handleInput("3");
  ui.handleInput("4\n");
  ui.handleInput("7");
  EXPECT_TRUE(first->chosen.empty());
  EXPECT_EQ(latest->chosen, (std::vector<std::string>{"Want RP boot", "Want RP normal"}));
  EXPECT_TRUE(app.calls.empty());
  ui.handleInput("q1");
  EXPECT_EQ(app.calls, (std::vector<std::string>{"terminate"}));
  EXPECT_EQ(latest->chosen.size(), 2u) << "nothing after quit";
}

TEST_F(TerminalUiTest, EnterPressesTheFrontPanelsButtonOnly) {
  ui.handleInput("\n");  // no panel: nothing happens
  int pressedBack = 0, pressedFront = 0;
  const int back = ui.newId(), front = ui.newId();
  const auto panel = [](std::string title, std::function<void()> press) {
    PanelSpec layout;
    layout.width = 440;
    layout.title = std::move(title);
    if (press) layout.button = ButtonSpec{"OK", {}, kBezelRounded, std::move(press)};
    return layout;
  };
  ui.showPanel(back, panel("Back", [&] { ++pressedBack; }));
  // The front panel closes itself when pressed, as the attention panel's "OK" does.
  ui.showPanel(front, panel("Board action needed", [&] {
                 ++pressedFront;
                 ui.closePanel(front);
               }));
  ui.handleInput("z");
  EXPECT_NE(flushed().find("  Enter  OK\n"), std::string::npos);
  ui.handleInput("\n");
  EXPECT_EQ(std::pair(pressedFront, pressedBack), std::pair(1, 0));
  EXPECT_NE(flushed().find("(closed: Board action needed)\n"), std::string::npos);
  ui.handleInput("\n");
  EXPECT_EQ(std::pair(pressedFront, pressedBack), std::pair(1, 1));
  ui.closePanel(back);
  ui.showPanel(ui.newId(), panel("Board ready", nullptr));
  ui.handleInput("\n");
  EXPECT_EQ(std::pair(pressedFront, pressedBack), std::pair(1, 1));
}

}  // namespace
}  // namespace vantorel::terminal
