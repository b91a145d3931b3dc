// Given a new success id in the attention file, we should tint the status item for 3 s and, only
// after an outstanding request, show the self-closing "Board ready" panel without ever closing a
// newer panel.

#include <gtest/gtest.h>

#include "attention/attention_fixture.h"

namespace vantorel {
namespace {

class SuccessReportTest : public HandshakeFixture {
 protected:
  // A prompt for R1 at launch, then success S1 one second later.
  void promptThenSucceed() {
    write(promptFile("R1"));
    launch();
    write(successFile("S1"));
    wait(1.0);
  }
};

TEST_F(SuccessReportTest, SuccessAfterARequestReplacesThePromptWithTheSuccessPanel) {
  promptThenSucceed();

  ASSERT_EQ(panelCount(), 2u);
  EXPECT_FALSE(panelAt(0).onScreen);
  EXPECT_TRUE(panelAt(0).destroyed);
  const PanelSpec& spec = lastPanel().spec;
  EXPECT_EQ(spec.width, 440);
  EXPECT_EQ(spec.height, 110);
  EXPECT_EQ(spec.title, "Board ready");
  EXPECT_EQ(spec.styleMask, kPanelTitled);
  EXPECT_EQ(spec.level, 3);
  EXPECT_EQ(spec.background, PanelColor::kSystemGreen);
  EXPECT_FALSE(spec.button);
  ASSERT_EQ(spec.labels.size(), 1u);
  EXPECT_EQ(spec.labels[0].text, "Ready");
  EXPECT_EQ(spec.labels[0].frame, (Rect{20, 35, 400, 40}));
  EXPECT_EQ(spec.labels[0].fontSize, 24);
  EXPECT_TRUE(spec.labels[0].bold);
  EXPECT_FALSE(spec.labels[0].wraps);
  EXPECT_EQ(spec.labels[0].textColor, PanelColor::kWhite);
  EXPECT_EQ(spec.labels[0].alignment, TextAlignment::kCenter);
  EXPECT_EQ(lastPanel().calls, (std::vector<std::string>{"center", "front"}));
  EXPECT_EQ(std::count(h.app.calls.begin(), h.app.calls.end(), "activate"), 2);
  EXPECT_EQ(Probe::successPanelID(monitor), "S1");
  EXPECT_EQ(Probe::lastSuccessID(monitor), "S1");
  EXPECT_EQ(Probe::requestID(monitor), "");
  EXPECT_EQ(Probe::greenUntil(monitor), launchedAt + Seconds{4.0});
  EXPECT_TRUE(green());
}

TEST_F(SuccessReportTest, TintEndsAndThePanelClosesThreeSecondsLater) {
  promptThenSucceed();
  const std::size_t rendersAtSuccess = renders();
  wait(2.5);
  EXPECT_TRUE(green());
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(renders(), rendersAtSuccess);

  wait(0.5);
  EXPECT_FALSE(green());
  EXPECT_EQ(renders(), rendersAtSuccess + 1);
  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_TRUE(lastPanel().destroyed);
  EXPECT_FALSE(Probe::hasPanel(monitor));
  EXPECT_EQ(Probe::successPanelID(monitor), "");
}

TEST_F(SuccessReportTest, SuccessWithoutARequestOnlyTints) {
  launch();
  write(successFile("S1"));
  wait(1.0);
  EXPECT_TRUE(green());
  EXPECT_EQ(panelCount(), 0u);
  EXPECT_EQ(Probe::lastSuccessID(monitor), "S1");

  wait(3.0);
  EXPECT_FALSE(green());
  EXPECT_EQ(panelCount(), 0u);
}

TEST_F(SuccessReportTest, SuccessInTheSameFileAsAPromptNeverShowsASuccessPanel) {
  auto both = nlohmann::json::parse(promptFile("R1"));
  both["success_id"] = "S1";
  write(both.dump());
  launch();
  EXPECT_TRUE(green());
  EXPECT_EQ(Probe::lastSuccessID(monitor), "S1");
  ASSERT_EQ(panelCount(), 1u);
  EXPECT_TRUE(isAttentionPanel(lastPanel()));

  write(successFile("S1"));
  wait(1.0);
  write("{}");
  wait(5.0);
  EXPECT_EQ(panelCount(), 1u);
  EXPECT_FALSE(lastPanel().onScreen);
}

TEST_F(SuccessReportTest, RepeatedSuccessIdChangesNothing) {
  promptThenSucceed();
  const std::size_t rendersAtSuccess = renders();
  wait(10.0);
  EXPECT_EQ(renders(), rendersAtSuccess + 1);  // only the end of the tint
  EXPECT_EQ(panelCount(), 2u);
}

TEST_F(SuccessReportTest, SuccessesS1S2S1EachCountAsNew) {
  launch();
  for (const char* id : {"S1", "S2", "S1"}) {
    SCOPED_TRACE(id);
    write(successFile(id));
    wait(1.0);
    EXPECT_EQ(Probe::lastSuccessID(monitor), id);
    EXPECT_EQ(Probe::greenUntil(monitor), h.clock.current + Seconds{3.0});
    EXPECT_TRUE(green());
  }
  EXPECT_EQ(h.scheduler.delays.size(), 3u);
}

TEST_F(SuccessReportTest, NotAskingFileLeavesTheSuccessPanelAlone) {
  promptThenSucceed();
  write("{}");
  wait(2.0);
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_TRUE(Probe::hasPanel(monitor));

  wait(1.0);
  EXPECT_FALSE(lastPanel().onScreen);
}

TEST_F(SuccessReportTest, PromptWithinThreeSecondsKeepsTheAttentionPanelWhenTheOldAutoCloseFires) {
  promptThenSucceed();
  write(promptFile("R2", "again"));
  wait(1.0);
  ASSERT_EQ(panelCount(), 3u);
  EXPECT_EQ(Probe::successPanelID(monitor), "");

  wait(5.0);
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(lastPanel().calls, (std::vector<std::string>{"center", "front"}));
  EXPECT_TRUE(Probe::hasPanel(monitor));
  EXPECT_EQ(Probe::requestID(monitor), "R2");
}

TEST_F(SuccessReportTest, SecondSuccessWithinThreeSecondsOutlivesTheFirstAutoClose) {
  promptThenSucceed();  // S1's panel at +1
  write(promptFile("R2"));
  wait(1.0);  // prompt at +2
  write(successFile("S2"));
  wait(1.0);  // S2's panel at +3
  ASSERT_EQ(panelCount(), 4u);

  wait(1.0);  // +4: S1's auto-close finds S2 and does nothing
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(Probe::successPanelID(monitor), "S2");
  wait(2.0);  // +6: S2's own auto-close
  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_EQ(Probe::successPanelID(monitor), "");
}

TEST_F(SuccessReportTest, SuccessAfterADismissedPromptStillShowsTheSuccessPanel) {
  write(promptFile("R1"));
  launch();
  lastPanel().spec.button->action();
  write(successFile("S1"));
  wait(1.0);
  ASSERT_EQ(panelCount(), 2u);
  EXPECT_EQ(lastPanel().spec.title, "Board ready");
  EXPECT_TRUE(lastPanel().onScreen);
}

}  // namespace
}  // namespace vantorel
