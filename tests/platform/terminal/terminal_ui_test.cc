#include "platform/terminal/terminal_ui.h"

#include <gtest/gtest.h>

#include <any>

#include "fakes/fakes.h"
#include "statusmenu/status_menu.h"

namespace vantorel::terminal {
namespace {

// Records the wanted states it is sent; may re-render the menu while the choice is delivered,
// as the controller does.
class RecordingTarget final : public MenuTarget {
 public:
  void performMenuAction(MenuAction, const MenuItem& sender) override {
    chosen.push_back(std::any_cast<std::string>(sender.representedObject));
    if (onChoice) onChoice();
  }
  std::vector<std::string> chosen;
  std::function<void()> onChoice;
};

// Given a terminal UI over a log, a fake application and one status item, we should see keys
// reach the right menu entry or panel button.
class TerminalUiTest : public ::testing::Test {
 protected:
  TerminalUiTest() { ui.addStatusItem(item); }

  void flush() { ui.screen().flush(); }
  PanelSpec panel(std::string title, std::function<void()> press) {
    PanelSpec spec;
    spec.width = 440;
    spec.title = std::move(title);
    if (press) spec.button = ButtonSpec{"OK", {}, kBezelRounded, std::move(press)};
    return spec;
  }

  FakeApplication app;
  std::string out;
  TerminalUi ui{app, [this](std::string_view bytes) { out.append(bytes); }, false,
                [] { return std::size_t{0}; }};
  int item = ui.newId();
  std::shared_ptr<RecordingTarget> first = std::make_shared<RecordingTarget>();
  std::shared_ptr<RecordingTarget> latest = std::make_shared<RecordingTarget>();
};

TEST_F(TerminalUiTest, KeysPickFromTheLatestMenuAndQQuits) {
  ui.setMenu(item, statusMenu(Desired::c6Boot, "No matching USB device", first));
  ui.setMenu(item, statusMenu(Desired::c6Boot, "No matching USB device", latest));
  // Each choice replaces the menu it came from, as a re-render does.
  latest->onChoice = [&] { ui.setMenu(item, statusMenu(Desired::rpNormal, "replaced", latest)); };
  ui.handleInput("3");
  ui.handleInput("4\n");
  ui.handleInput("7");
  EXPECT_TRUE(first->chosen.empty());
  EXPECT_EQ(latest->chosen, (std::vector<std::string>{"RP boot", "RP normal"}));
  EXPECT_TRUE(app.calls.empty());
  ui.handleInput("q1");
  EXPECT_EQ(app.calls, (std::vector<std::string>{"terminate"}));
  EXPECT_EQ(latest->chosen.size(), 2u) << "nothing after quit";
}

TEST_F(TerminalUiTest, OtherKeysPrintTheMenuOfTheCurrentItemOnly) {
  const int older = item;
  const int newer = ui.newId();
  ui.addStatusItem(newer);
  ui.setMenu(older, statusMenu(Desired::c6Boot, "stale", first));
  ui.setStatus(older, "stale title", false);
  ui.setMenu(newer, statusMenu(Desired::c6Normal, "No matching USB device", latest));
  ui.handleInput("x");
  flush();
  EXPECT_EQ(out,
            "Observed: No matching USB device\n  1    Want C6 boot\n  2  ✓ Want C6 normal\n"
            "  3    Want RP boot\n  4    Want RP normal\n  q    Quit\n");
}

TEST_F(TerminalUiTest, EnterPressesTheFrontPanelsButtonOnly) {
  ui.handleInput("\n");  // no panel: nothing happens
  int pressedBack = 0, pressedFront = 0;
  const int back = ui.newId(), front = ui.newId();
  ui.showPanel(back, panel("Back", [&] { ++pressedBack; }));
  // The front panel closes itself when pressed, as the attention panel's "OK" does.
  ui.showPanel(front, panel("Board action needed", [&] {
                 ++pressedFront;
                 ui.closePanel(front);
               }));
  ui.handleInput("z");
  flush();
  EXPECT_NE(out.find("  Enter  OK\n"), std::string::npos) << out;
  ui.handleInput("\n");
  EXPECT_EQ(pressedFront, 1);
  EXPECT_EQ(pressedBack, 0);
  ui.handleInput("\n");
  EXPECT_EQ(pressedBack, 1);
  ui.closePanel(back);
  const int noButton = ui.newId();
  ui.showPanel(noButton, panel("Board ready", nullptr));
  ui.handleInput("\n");
  EXPECT_EQ(pressedBack, 1);
  flush();
  EXPECT_NE(out.find("(closed: Board action needed)\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace vantorel::terminal
