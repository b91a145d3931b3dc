#include "core/attention_tracker.h"

#include <gtest/gtest.h>

using namespace vantorel;

using std::chrono::milliseconds;
constexpr unsigned kReturn = 36, kSpace = 65;

// Given a panel shown at t = 0 (ms) with Return already down, each step is a press (+), a release
// (-) or the panel being shown (*), and says whether a press may act.
TEST(KeyGuardTest, NoKeyActsInTheFirstSecondNorAKeyHeldFromBeforeUntilItIsLetGo) {
  struct Step {
    char what;
    unsigned key;
    int at;
    bool acts;
  };
  const std::vector<Step> steps = {
      {'+', kSpace, -5, false},     // before the panel is on screen
      {'*', 0, 0, false},           //
      {'+', kSpace, 30, false},     // its auto-repeat, in the first second
      {'+', kReturn, 999, false},   // a fresh key, still in the first second
      {'+', kReturn, 1500, false},  // ... its repeat after it
      {'+', kSpace, 1500, false},   // a repeat of the key held from before the panel
      {'-', kSpace, 1600, false},   //
      {'+', kSpace, 1700, true},    // pressed anew after the first second
      {'+', kReturn, 1800, false},  // still held since the first second
      {'-', kReturn, 1900, false},  //
      {'+', kReturn, 2000, true},   //
  };
  KeyGuard guard;
  const Instant zero{};
  for (const Step& step : steps) {
    const Instant at = zero + milliseconds(step.at);
    if (step.what == '*') guard.shown(at, {kReturn});
    if (step.what == '-') guard.release(step.key);
    if (step.what == '+') {
      EXPECT_EQ(guard.press(step.key, at), step.acts) << "at " << step.at;
    }
  }
}
