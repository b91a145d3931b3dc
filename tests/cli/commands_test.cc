// Given fake ports, we should write the request, wait on USB changes alone (never a timer that
// polls), withdraw the request however the wait ends, and exit 0, 1 or 2 as documented.
// What a file or a terminal ends up showing is the end-to-end test's (tests/e2e/commands_test.py).

#include "cli/commands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/attention_request.h"
#include "fakes/fake_main_loop.h"
#include "fakes/fake_ports.h"

namespace vantorel {
namespace {

using std::chrono::seconds;
const USBDevice kRpBoot(0x2E8A, 0x000F, "RP2350 Boot", "");
const USBDevice kEsp(0x303A, 0x1001, "USB JTAG", "");

// One command's run: `whileRunning` is what happens while the loop runs; when it does nothing,
// a signal ended the loop.
struct Session {
  FakeMainLoop loop;
  FakeUsbWatch usb;
  FakeSettings settings;
  std::function<void()> whileRunning = [] {};
  std::string writeError;
  std::vector<std::string> written;
  std::ostringstream out, err;
  int runs = 0, ids = 0;
  CommandContext context{loop,
                         usb,
                         settings,
                         std::nullopt,
                         [this] { ++runs, whileRunning(); },
                         [this](const std::string& text) { return write(text); },
                         [this] { return "id-" + std::to_string(++ids); },
                         out,
                         err};

  std::string write(const std::string& text) {
    if (writeError.empty()) written.push_back(text);
    return writeError;
  }
  void attach(std::vector<USBDevice> devices) {
    usb.attached = std::move(devices);
    usb.change();
  }
};

TEST(CommandsTest, AskUntilClosesThePromptHoweverTheWaitEnds) {
  struct Row {
    const char* how;
    std::function<void(Session&)> whileRunning;
    int status;
    std::string err;
  } rows[] = {
      {"reached", [](Session& s) { s.attach({kEsp}), s.attach({kRpBoot}); }, 0, ""},
      {"timed out",
       [](Session& s) { s.loop.advance(seconds(9)), s.attach({kEsp}), s.loop.advance(seconds(1)); },
       1, "vantorel: timed out waiting for RP likely boot (have ESP unknown)\n"},
      {"signal", [](Session&) {}, 1,
       "vantorel: interrupted waiting for RP likely boot (have none)\n"},
  };
  for (const Row& row : rows) {
    Session run;
    run.whileRunning = [&] { row.whileRunning(run); };
    EXPECT_EQ(ask(run.context, {"Hold BOOT", std::nullopt, Observed::rpBoot, seconds(10)}),
              row.status)
        << row.how;
    // Reached: the request stands without the prompt, for "done"; otherwise it is withdrawn.
    const std::string after = row.status == 0 ? requestSatisfiedText("id-1") : nothingPendingText();
    EXPECT_EQ(run.written, (std::vector{promptRequestText("id-1", "Hold BOOT"), after}));
    EXPECT_EQ(run.out.str(), "id-1\n");
    EXPECT_EQ(run.err.str(), row.err);
    EXPECT_EQ(run.loop.pending(), 0u) << row.how;
  }
}

TEST(CommandsTest, WaitIsWokenByTheWatchAloneAndEndsAtOnceWhenAlreadyThere) {
  Session run;
  run.whileRunning = [&] {
    EXPECT_EQ(run.loop.pending(), 0u);  // no polling timer
    run.attach({kRpBoot});
  };
  EXPECT_EQ(wait(run.context, Observed::rpBoot, std::nullopt), 0);
  EXPECT_EQ(run.out.str(), "RP likely boot\n");
  EXPECT_EQ(run.usb.enumerations, 2);
  EXPECT_EQ(run.loop.quits, 1);

  EXPECT_EQ(wait(run.context, Observed::rpBoot, seconds(1)), 0);
  EXPECT_EQ(run.runs, 1);
}

TEST(CommandsTest, WhatCannotBeWrittenOrWatchedExitsTwoWithoutWaiting) {
  Session run;
  run.writeError = "cannot write /f: Permission denied";
  EXPECT_EQ(ask(run.context, {"x", std::nullopt, Observed::rpBoot, std::nullopt}), 2);
  EXPECT_EQ(done(run.context, std::nullopt), 2);
  EXPECT_EQ(run.err.str(),
            "vantorel: cannot write /f: Permission denied\n"
            "vantorel: cannot write /f: Permission denied\n");
  EXPECT_EQ(run.out.str(), "");  // no id for a request that was never made
  run.usb.startWorks = false;
  EXPECT_EQ(wait(run.context, Observed::none, std::nullopt), 2);
  EXPECT_EQ(run.runs + run.usb.enumerations, 0);
}

}  // namespace
}  // namespace vantorel
