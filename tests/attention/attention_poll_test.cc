// Given the flashing tool's file as the poll sees it, we should prompt, prompt again once a minute
// and close a finished request, and change nothing while the file cannot be read.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "attention/attention_fixture.h"

namespace vantorel {
namespace {

class AttentionPollTest : public HandshakeFixture {};

TEST_F(AttentionPollTest, FirstPromptShowsTheAttentionPanelCentredAndInFront) {
  write(promptFile("R1", "Hold BOOT and tap RESET"));
  launch();

  ASSERT_EQ(panelCount(), 1u);
  const PanelSpec& spec = lastPanel().spec;
  EXPECT_EQ(spec.width, 440);
  EXPECT_EQ(spec.height, 150);
  EXPECT_EQ(spec.title, "Board action needed");
  EXPECT_EQ(spec.styleMask, kPanelTitled | kPanelClosable);
  EXPECT_EQ(spec.level, 3);
  EXPECT_FALSE(spec.releasedWhenClosed);
  EXPECT_EQ(spec.background, PanelColor::kDefault);
  ASSERT_EQ(spec.labels.size(), 1u);
  EXPECT_EQ(spec.labels[0].text, "Hold BOOT and tap RESET");
  EXPECT_EQ(spec.labels[0].frame, (Rect{20, 60, 400, 70}));
  EXPECT_EQ(spec.labels[0].fontSize, 15);
  EXPECT_FALSE(spec.labels[0].bold);
  EXPECT_TRUE(spec.labels[0].wraps);
  ASSERT_TRUE(spec.button);
  EXPECT_EQ(spec.button->title, "OK");
  EXPECT_EQ(spec.button->frame, (Rect{340, 15, 80, 30}));
  EXPECT_EQ(spec.button->bezelStyle, 1);
  EXPECT_EQ(lastPanel().calls, (std::vector<std::string>{"center", "front"}));
  EXPECT_EQ(std::count(h.app.calls.begin(), h.app.calls.end(), "activate"), 1);
  EXPECT_EQ(Probe::requestID(monitor), "R1");
  EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt);
  EXPECT_TRUE(Probe::hasPanel(monitor));
}

TEST_F(AttentionPollTest, SameRequestIsPromptedAgainAtExactlyOneMinute) {
  write(promptFile("R1"));
  launch();
  wait(59.0);
  EXPECT_EQ(panelCount(), 1u);

  wait(1.0);
  ASSERT_EQ(panelCount(), 2u);
  EXPECT_EQ(h.panels.panels[0]->calls.back(), "close");
  EXPECT_TRUE(h.panels.panels[0]->destroyed);
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt + Seconds{60.0});
}

TEST_F(AttentionPollTest, OkClosesThePanelAndTheRequestReturnsAMinuteAfterThePrompt) {
  write(promptFile("R1"));
  launch();
  wait(30.0);
  ASSERT_TRUE(lastPanel().spec.button);
  lastPanel().spec.button->action();

  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_FALSE(Probe::hasPanel(monitor));
  EXPECT_EQ(Probe::requestID(monitor), "R1");
  EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt);
  wait(29.0);
  EXPECT_EQ(panelCount(), 1u);
  wait(1.0);
  EXPECT_EQ(panelCount(), 2u);
  EXPECT_TRUE(lastPanel().onScreen);
}

TEST_F(AttentionPollTest, ChangedRequestIdIsPromptedAtOnce) {
  write(promptFile("R1", "first"));
  launch();
  write(promptFile("R2", "second"));
  wait(1.0);

  ASSERT_EQ(panelCount(), 2u);
  EXPECT_FALSE(h.panels.panels[0]->onScreen);
  EXPECT_EQ(lastPanel().spec.labels[0].text, "second");
  EXPECT_EQ(Probe::requestID(monitor), "R2");
}

TEST_F(AttentionPollTest, EmptyObjectClosesThePromptAndClearsTheRequest) {
  write(promptFile("R1"));
  launch();
  write("{}");
  wait(1.0);

  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_FALSE(Probe::hasPanel(monitor));
  EXPECT_EQ(Probe::requestID(monitor), "");
}

TEST_F(AttentionPollTest, KeysOfTheWrongTypeEndTheRequest) {
  launch();
  for (const char* change : {R"({"active":"true"})", R"({"needs_user":0})", R"({"request_id":42})",
                             R"({"action":""})"}) {
    SCOPED_TRACE(change);
    write(promptFile("R1"));
    monitor->checkAttention();
    ASSERT_TRUE(lastPanel().onScreen);
    auto object = nlohmann::json::parse(promptFile("R1"));
    object.update(nlohmann::json::parse(change));
    write(object.dump());
    monitor->checkAttention();
    EXPECT_FALSE(lastPanel().onScreen);
    EXPECT_EQ(Probe::requestID(monitor), "");
  }
}

TEST_F(AttentionPollTest, ActiveGivenAsOneStillPrompts) {
  write(R"({"active":1,"needs_user":true,"request_id":"R1","action":"go"})");
  launch();
  EXPECT_EQ(panelCount(), 1u);
  EXPECT_EQ(Probe::requestID(monitor), "R1");
}

TEST_F(AttentionPollTest, WithdrawnRequestAskedAgainIsPromptedAtOnce) {
  write(promptFile("R1"));
  launch();
  write("{}");
  wait(1.0);
  write(promptFile("R1"));
  wait(1.0);

  EXPECT_EQ(panelCount(), 2u);
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt + Seconds{2.0});
}

TEST_F(AttentionPollTest, MissingOrInvalidFileChangesNothing) {
  write(promptFile("R1"));
  launch();
  const std::size_t rendersAtLaunch = renders();
  h.files.contents.erase(kFile);
  wait(1.0);
  for (const char* text : {"", "[]", "42", "{\"active\":", "null"}) {
    write(text);
    wait(1.0);
  }

  EXPECT_EQ(panelCount(), 1u);
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(Probe::requestID(monitor), "R1");
  EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt);
  EXPECT_EQ(renders(), rendersAtLaunch);
}

TEST_F(AttentionPollTest, ReturningFileWithTheSameRequestWaitsForTheMinute) {
  write(promptFile("R1"));
  launch();
  h.files.contents.erase(kFile);
  wait(10.0);
  write(promptFile("R1"));
  wait(49.0);
  EXPECT_EQ(panelCount(), 1u);
  wait(1.0);
  EXPECT_EQ(panelCount(), 2u);
}

TEST_F(AttentionPollTest, ClockSetBackDelaysTheRepromptUntilAMinuteAfterTheRecordedPrompt) {
  write(promptFile("R1"));
  launch();
  h.scheduler.clear();  // polled by hand below, at chosen wall-clock times
  h.clock.current = launchedAt - Seconds{3600.0};
  monitor->checkAttention();
  h.clock.current = launchedAt + Seconds{59.5};
  monitor->checkAttention();
  EXPECT_EQ(panelCount(), 1u);

  h.clock.current = launchedAt + Seconds{60.0};
  monitor->checkAttention();
  EXPECT_EQ(panelCount(), 2u);
}

TEST_F(AttentionPollTest, StartupWithAPendingSuccessRendersBeforeTheFirstRefresh) {
  write(successFile("S1"));
  h.usb.devices.push_back({{"idVendor", 0x2E8A},
                           {"idProduct", 0x000F},
                           {"USB Product Name", "RP2350 Boot"},
                           {"USB Serial Number", ""}});
  launch();

  ASSERT_GE(renders(), 2u);
  EXPECT_EQ(h.item().menus.front().items.at(0).title, "Observed: No matching USB device");
  EXPECT_NE(h.item().menus.back().items.at(0).title, "Observed: No matching USB device");
  EXPECT_TRUE(h.item().current.green);
  EXPECT_EQ(panelCount(), 0u);
  EXPECT_EQ(Probe::lastSuccessID(monitor), "S1");
}

TEST_F(AttentionPollTest, ReleasedControllerIgnoresItsPendingJobs) {
  write(promptFile("R1"));
  launch();
  write(successFile("S1"));
  wait(1.0);
  ASSERT_EQ(h.scheduler.delays, (std::vector<double>{3.0, 3.0}));
  const std::vector<std::string> successPanelCalls = lastPanel().calls;

  monitor.reset();
  wait(5.0);  // the delayed render and the auto-close fall due here

  EXPECT_EQ(h.scheduler.pendingJobs(), 0u);
  EXPECT_EQ(lastPanel().calls, successPanelCalls);
  EXPECT_EQ(panelCount(), 2u);
}

TEST_F(AttentionPollTest, OkPressedAfterTheControllerIsGoneDoesNothing) {
  write(promptFile("R1"));
  launch();
  const std::function<void()> ok = lastPanel().spec.button->action;
  monitor.reset();
  ok();
  EXPECT_EQ(panelCount(), 1u);
}

}  // namespace
}  // namespace vantorel
