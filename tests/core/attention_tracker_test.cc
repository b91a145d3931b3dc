// Given each poll of the attention file, the OK and the ready panel's expiry, we should prompt as
// the hand-shake says, and report a new success with a tint and, after a request, a ready panel;
// and let no key act on a panel in its first second, nor a key held from before until let go.

#include "core/attention_tracker.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace vantorel;

// The steps as "tint, prompt do R1, ready S1, close" (how long a tint lasts: controller_test.cc);
// a ready panel is named after `success`.
static std::string named(const std::vector<AttentionStep>& steps, const std::string& success) {
  static const char* const kNames[] = {"tint", "prompt", "ready", "close"};
  std::string out;
  for (const AttentionStep& step : steps) {
    const std::string& text = step.kind == AttentionStep::Kind::ready ? success : step.action;
    out += (out.empty() ? "" : ", ") + std::string(kNames[static_cast<int>(step.kind)]) +
           (text.empty() ? "" : " " + text);
  }
  return out;
}

// A file: "R1+S1" asks for request R1, action "do R1", and reports success S1; "A1" is request R1
// going on without the user; "K1" is the marker of this program's commands keeping request R1;
// "{}" asks nothing; "missing" is no valid file.
static std::optional<AttentionFile> fileOf(const std::string& input) {
  if (input == "missing") return std::nullopt;
  AttentionFile file;
  file.active = input[0] == 'R' || input[0] == 'A';
  file.needsUser = input[0] == 'R';
  if (file.active) file.requestID = "R" + input.substr(1, 1);
  if (file.needsUser) file.action = "do " + *file.requestID;
  if (input[0] == 'K') file.keptRequest = "R" + input.substr(1, 1);
  if (const auto at = input.find('S'); at != std::string::npos)
    file.successID = input.substr(at, 2);
  return file;
}

// Each scenario is a list of "<seconds> <event> > <expected steps>", separated by ";". An event is
// a file, "OK" on the latest prompt, "expire:<success id>" of its ready panel or "tinted?"
// (answered "green" or "plain").
TEST(AttentionTrackerTest, Scenarios) {
  const char* const scenarios[] = {
      // A standing request is prompted again exactly 60 s after the last prompt, OK or not.
      "0 R1 > prompt do R1; 59.9 R1 >; 60 R1 > prompt do R1; 61 OK > close; 62 OK >; 119.9 R1 >;"
      "120 R1 > prompt do R1",
      // A changed id is prompted at once; a withdrawn request closes its prompt if still shown.
      "0 R1 > prompt do R1; 1 R2 > prompt do R2; 2 {} > close; 3 {} >; 4 R2 > prompt do R2;"
      "5 OK > close; 6 {} >",
      // A poll without a valid file changes nothing.
      "0 R1 > prompt do R1; 1 missing >; 2 R1 >; 3 S1 > tint, ready S1; 4 missing >; 5 S1 >",
      // A success after a request, dismissed or not, tints for 3 s and shows the ready panel
      // until its expiry.
      "0 R1 > prompt do R1; 0.5 OK > close; 1 S1 > tint, ready S1; 2 {} >; 2.5 OK >;"
      "3.9 tinted? > green; 4 tinted? > plain; 4 expire:S1 > close; 5 expire:S1 >; 6 {} >",
      // Each new success id tints again, with no panel without a request.
      "0 tinted? > plain; 0 S1 > tint; 1 S2 > tint; 2 S1 > tint; 3 S1 >; 4.9 tinted? > green;"
      "5 tinted? > plain",
      // A tool going on without the user ends the request: a success in that file answers it
      // once, a later one only tints.
      "0 R1 > prompt do R1; 1 A1 > close; 5 S2 > tint",
      "0 R1 > prompt do R1; 1 A1+S1 > tint, ready S1; 5 S2 > tint",
      // A success in the same file as a prompt only tints.
      "0 R1+S1 > tint, prompt do R1; 1 S1 > close; 2 {} >",
      // A request kept by this program's own command closes the prompt and stands: its
      // success shows the ready panel once, also when the prompt was never seen, and a renewed
      // request is prompted at once; a success beside the marker is that request's success.
      "0 R1 > prompt do R1; 1 K1 > close; 2 K1 >; 3 S1 > tint, ready S1; 7 S2 > tint",
      "0 K1 >; 1 S1 > tint, ready S1",
      "0 K1+S1 > tint, ready S1; 1 K1+S1 >; 5 S2 > tint",
      "0 R1 > prompt do R1; 1 K1 > close; 2 R1 > prompt do R1; 3 K2 > close; 4 S1 > tint, ready S1",
      // A prompt that replaced the ready panel is closed when withdrawn.
      "0 R1 > prompt do R1; 1 S1 > tint, ready S1; 2 R2 > prompt do R2; 3 {} > close",
      // An expiry leaves a newer ready panel or prompt alone; an OK on a replaced prompt does
      // nothing.
      "0 R1 > prompt do R1; 1 S1 > tint, ready S1; 2 R2 > prompt do R2; 3 S2 > tint, ready S2;"
      "4 expire:S1 >; 4.5 OK >; 5 R3 > prompt do R3; 6 expire:S2 >; 7 {} > close",
  };
  for (const std::string scenario : scenarios) {
    AttentionTracker tracker;
    std::uint64_t prompt = 0;
    std::map<std::string, std::uint64_t> ready;  // each ready panel by the success it showed
    std::istringstream events(scenario);
    for (std::string event; std::getline(events, event, ';');) {
      SCOPED_TRACE(scenario + "\n at:" + event);
      std::istringstream fields(event);
      double seconds = 0;
      std::string input, arrow, expected, seen;
      fields >> seconds >> input >> arrow >> std::ws;
      std::getline(fields, expected);
      const Instant now{
          std::chrono::duration_cast<Duration>(std::chrono::duration<double>(seconds))};
      if (input == "tinted?") {
        seen = tracker.tinted(now) ? "green" : "plain";
      } else if (input == "OK") {
        seen = named(tracker.dismissed(prompt), "");
      } else if (input.starts_with("expire:")) {
        seen = named(tracker.readyExpired(ready[input.substr(7)]), "");
      } else {
        const std::optional<AttentionFile> file = fileOf(input);
        const std::vector<AttentionStep> steps = tracker.poll(file, now);
        for (const AttentionStep& step : steps) {
          if (step.kind == AttentionStep::Kind::prompt) prompt = step.panel;
          if (step.kind == AttentionStep::Kind::ready) ready[file->successID] = step.panel;
        }
        seen = named(steps, file ? file->successID : "");
      }
      EXPECT_EQ(seen, expected);
    }
  }
}

// Given a panel shown at t = 0 ms with Return (R) already down, each step is a press (+), a
// release (-) or the panel being shown (*), and whether a press may act.
TEST(KeyGuardTest, NoKeyActsInTheFirstSecondNorAKeyHeldFromBeforeUntilItIsLetGo) {
  constexpr unsigned R = 36, S = 65, A = 38;  // Return, Space, A
  const std::tuple<char, unsigned, int, bool> steps[] = {
      {'+', S, -5, false},    // before the panel is on screen
      {'*', 0, 0, false},     //
      {'+', S, 30, false},    // its auto-repeat, in the first second
      {'+', A, 999, false},   // a fresh key, still in the first second
      {'+', A, 1500, false},  // ... its repeat after it
      {'+', S, 1500, false},  // a repeat of the key held from before the panel
      {'-', S, 1600, false},  //
      {'+', S, 1700, true},   // pressed anew after the first second
      {'+', R, 1800, false},  // down when the panel was shown
      {'-', R, 1900, false},  //
      {'+', R, 2000, true},   //
  };
  KeyGuard guard;
  for (const auto& [what, key, ms, acts] : steps) {
    const Instant at = Instant{} + std::chrono::milliseconds(ms);
    if (what == '*') guard.shown(at, {R});
    if (what == '-') guard.release(key);
    if (what == '+') {
      EXPECT_EQ(guard.press(key, at), acts) << "at " << ms;
    }
  }
}
