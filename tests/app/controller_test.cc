// Given fake ports, we should enumerate once per change, store every choice, apply a changed bench
// within a tick, end the tint and ready panel on time and never call a released controller back.

#include "app/controller.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"

using namespace vantorel;

using namespace std::chrono_literals;
using Devices = std::vector<USBDevice>;
const USBDevice kC6(0x303A, 0x1001, "", "ab");  // the expected board: its serial is "AB"
// A request beside the success of the tool's last job, and the success of the next.
const std::string kPrompt =
    R"({"active":true,"needs_user":true,"request_id":"R1","action":"Hold","success_id":"S1"})";
const std::string kSuccess = R"({"success_id":"S2"})";

class ControllerTest : public ::testing::Test {
 protected:
  std::shared_ptr<Controller> launch() {
    if (!settings.changed) settings.changed = Bench{"AB", SerialSource::user, "", {}};
    auto controller = Controller::create(Ports{loop, frontEnd, usb, settings, attention});
    controller->start();
    return controller;
  }
  // The last view drawn, by its title and tint (the view's texts: status_view_test.cc).
  std::string shown() const {
    return frontEnd.views.back().title + (frontEnd.views.back().tinted ? " (green)" : "");
  }

  FakeMainLoop loop;
  FakeFrontEnd frontEnd;
  FakeUsbWatch usb;
  FakeSettings settings;
  FakeAttentionSource attention;
};

TEST_F(ControllerTest, EachChangeEnumeratesOnceABenchClassifiesAgainAndPanelsAndTintKeepTime) {
  settings.stored = Desired::rpBoot;
  usb.attached = std::nullopt;
  attention.bytes = kPrompt;
  loop.early = 1s;  // one-shot timers fire a second early: the tint waits out the rest
  const auto controller = launch();
  EXPECT_EQ(std::make_tuple(usb.enumerations, frontEnd.views.size()), std::make_tuple(1, 1u));
  EXPECT_EQ(shown(), "Want RP boot | Have watch error (green)");
  frontEnd.pressOk();
  frontEnd.pressOk();  // twice, before the panel went
  usb.attached = Devices{kC6};
  usb.change();
  EXPECT_EQ(shown(), "Want RP boot | Have C6 unknown mode (green)");
  usb.attached = Devices{{0x2E8A, 0x000F, "RP2350 Boot", ""}, {0x2E8A, 0x000C, "Probe", ""}};
  usb.change();
  loop.advance(2999ms);  // polls of an unchanged bench draw nothing
  EXPECT_EQ(std::make_tuple(usb.enumerations, frontEnd.views.size()), std::make_tuple(3, 3u));
  EXPECT_EQ(shown(), "Want RP boot | Have multiple (green)");
  loop.advance(1ms);
  EXPECT_EQ(shown(), "Want RP boot | Have multiple");
  settings.changed =
      Bench{std::nullopt, SerialSource::none, "", {{0x2E8A, 0x000C, {}, RuleKind::ignore}}};
  loop.advance(1s);
  EXPECT_EQ(shown(), "Want RP boot | Have RP likely boot");
  usb.attached = std::nullopt;
  usb.change();
  EXPECT_EQ(shown(), "Want RP boot | Have watch error");
  EXPECT_EQ(std::make_tuple(usb.enumerations, frontEnd.views.size()), std::make_tuple(4, 6u));
  loop.advance(56s);  // prompted again, 60 s after the first
  attention.bytes = kSuccess;
  loop.advance(1s);
  frontEnd.pressOk();  // on the prompt that the ready panel replaced
  loop.advance(1999ms);
  EXPECT_EQ(frontEnd.panels,
            (std::vector<std::string>{"prompt: Hold", "close", "prompt: Hold", "ready"}));
  loop.advance(1001ms);
  EXPECT_EQ(frontEnd.panels.back(), "close");
}

TEST_F(ControllerTest, FailedStartNeverEnumeratesChoicesAreStoredAndReleasedIsNeverCalledBack) {
  usb.startWorks = false;
  attention.bytes = kPrompt;
  auto controller = launch();
  controller->choose(Choice::pick(Desired::rpBoot));
  controller->choose(Choice::pick(Desired::rpBoot));  // stored again: an outside edit is undone
  settings.changed = Bench{};
  attention.bytes = kSuccess;
  loop.advance(1s);  // a new bench, but no devices to classify on it; a tint and a ready
  EXPECT_EQ(settings.writes, (std::vector<Desired>{Desired::rpBoot, Desired::rpBoot}));
  EXPECT_EQ(frontEnd.views.size(), 4u);
  EXPECT_EQ(shown(), "Want RP boot | Have watch error (green)");
  controller->choose(Choice::quit());
  const auto seen = std::make_tuple(frontEnd.views, frontEnd.panels, attention.reads);
  EXPECT_EQ(std::make_tuple(loop.quits, frontEnd.panels.back()), std::make_tuple(1, "ready"));
  controller.reset();  // with the tint's end and the ready panel's expiry pending
  EXPECT_EQ(loop.pending(), 0u);
  usb.change();
  frontEnd.oks.front()();
  loop.advance(10s);
  EXPECT_EQ(std::make_tuple(frontEnd.views, frontEnd.panels, attention.reads), seen);
  EXPECT_EQ(usb.enumerations, 0);
}
