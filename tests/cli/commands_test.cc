// Given the commands' context with fake ports, an attention file held in memory and streams,
// we should write what each command promises, withdraw only our own request, print a fresh id
// only once it is in the file, and end with the status a script relies on.

#include "cli/commands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/attention_request.h"
#include "fakes/fake_ports.h"

using namespace vantorel;
using namespace std::chrono_literals;

namespace {

const USBDevice kRpBoot{0x2e8a, 0x000f, "RP2350 Boot", "E6"};

class CommandsTest : public ::testing::Test {
 protected:
  void plugDuringLoop() {  // while the command runs the loop, the board comes
    during = [this] { usb.attached = std::vector{kRpBoot}, usb.change(); };
  }

  FakeMainLoop loop;
  FakeUsbWatch usb;
  FakeSettings settings;
  std::optional<std::string> file;       // the attention file (nothing: missing)
  std::vector<std::string> writes;       // every content written, in order
  std::string failure;                   // what the next update fails with, if not ""
  std::function<void()> during = [] {};  // the loop's run; returning is the loop's end
  int runs = 0, ids = 0;
  std::ostringstream out, err;
  decltype(CommandContext::updateAttention) update = [this](const auto& change) {
    if (!failure.empty()) return Status::failed(failure);
    if (auto next = change(file)) writes.push_back(*(file = next));
    return Status::done();
  };
  decltype(CommandContext::freshId) freshId = [this] { return "id" + std::to_string(++ids); };
  decltype(CommandContext::runLoop) runLoop = [this] { ++runs, during(); };
  CommandContext context{loop, usb, settings, Bench{}, runLoop, update, freshId, out, err};
};

// Without `until` the prompt is written; with it the request is kept once the board comes, at
// once and never prompted when it is there already. A fresh id is printed, a given one not.
TEST_F(CommandsTest, AskPromptsOrKeepsTheRequestAndPrintsOnlyAFreshId) {
  using Id = std::optional<std::string>;
  const std::tuple<Id, std::optional<Observed>, bool, std::vector<std::string>> cases[] = {
      {std::nullopt, std::nullopt, false, {promptRequestText("id1", "Hold")}},
      {"r", Observed::rpBoot, false, {promptRequestText("r", "Hold"), requestKeptText("r")}},
      {std::nullopt, Observed::rpBoot, true, {requestKeptText("id1")}},
  };
  plugDuringLoop();
  for (const auto& [id, until, there, written] : cases) {
    ids = runs = 0, writes.clear(), out.str("");
    usb.attached = there ? std::vector{kRpBoot} : std::vector<USBDevice>{};
    EXPECT_EQ(ask(context, {"Hold", id, until, {}}), kExitDone);
    EXPECT_EQ(writes, written);
    EXPECT_EQ(runs, until && !there ? 1 : 0);
    EXPECT_EQ(out.str(), id ? "" : "id1\n");
  }
}

TEST_F(CommandsTest, EmptyTextOrIdOrAFailedWriteEndsWithStatus2) {
  failure = "cannot write /x";
  for (const int status :
       {ask(context, {"x", {}, {}, {}}), done(context, std::nullopt), clear(context)})
    EXPECT_EQ(status, kExitUsageOrIo);
  EXPECT_EQ(err.str(),
            "vantorel: cannot write /x\nvantorel: cannot write /x\nvantorel: cannot write /x\n");
  EXPECT_EQ(out.str(), "") << "an id printed that is in no file";
  failure.clear(), err.str("");
  for (const int status :
       {ask(context, {"", {}, {}, {}}), ask(context, {"x", "", {}, {}}), done(context, "")})
    EXPECT_EQ(status, kExitUsageOrIo);
  EXPECT_TRUE(writes.empty());
  EXPECT_NE(err.str(), "");
}

// A give-up (timeout, USB that cannot be watched; a signal: e2e.commands.signal_clears)
// withdraws the request while the file still names it, and leaves another script's request alone.
TEST_F(CommandsTest, AGiveUpWithdrawsOnlyItsOwnRequest) {
  const std::string other = promptRequestText("other", "Theirs");
  const std::tuple<std::function<void()>, bool, int, std::string> cases[] = {
      {[this] { loop.advance(1h); }, true, kExitNotMet,
       "vantorel: timed out waiting for RP likely boot (have none)\n"},
      {[] {}, false, kExitUsageOrIo, "vantorel: USB cannot be watched\n"},
  };
  for (const auto& [run, watchable, status, message] : cases) {
    for (const bool replaced : {false, true}) {
      SCOPED_TRACE(message + (replaced ? " (replaced)" : ""));
      file.reset(), err.str(""), usb.startWorks = watchable;
      during = [&, run = run] {
        run();
        if (replaced) file = other;
      };
      EXPECT_EQ(ask(context, {"Mine", "mine", Observed::rpBoot, 10s}), status);
      EXPECT_EQ(err.str(), message);
      EXPECT_EQ(file, watchable && replaced ? other : nothingPendingText());
    }
  }
}

TEST_F(CommandsTest, DoneAnswersTheKeptRequestAndClearWithdrawsAll) {
  file = requestKeptText("r");
  EXPECT_EQ(done(context, std::nullopt), kExitDone);
  EXPECT_EQ(file, successReportText("id1", "r"));
  EXPECT_EQ(done(context, "s2"), kExitDone);  // the request is answered: not carried again
  EXPECT_EQ(file, successReportText("s2"));
  file = promptRequestText("r", "x");
  EXPECT_EQ(done(context, "s3"), kExitDone);  // only a kept request is carried
  EXPECT_EQ(file, successReportText("s3"));
  EXPECT_EQ(clear(context), kExitDone);
  EXPECT_EQ(file, nothingPendingText());
  EXPECT_EQ(out.str(), "id1\n");
}

TEST_F(CommandsTest, WaitPrintsTheStateReachedOrSaysWhatItSaw) {
  usb.attached = std::vector{USBDevice{0x2e8a, 0x000c, "Debug Probe (CMSIS-DAP)", ""}};
  plugDuringLoop();
  EXPECT_EQ(wait(context, Observed::rpBoot, 5s), kExitDone);
  during = [this] { loop.advance(1h); };
  EXPECT_EQ(wait(context, Observed::none, 5s), kExitNotMet);
  EXPECT_EQ(err.str(), "vantorel: timed out waiting for none (have RP likely boot)\n");
  EXPECT_EQ(out.str(), "RP likely boot\n");
}

TEST_F(CommandsTest, StatusListsWhatDecidedEachDeviceNamesTheCandidatesAndTheSerial) {
  settings.stored = Desired::rpBoot;
  // A descriptor's controls are shown in the text and escaped by JSON, a bidi override too.
  const USBDevice probe{0x2e8a, 0x000c, "Debug\u202e Probe\x1b", ""};
  usb.attached = std::vector{kRpBoot, probe, USBDevice{0x046d, 0xc31c, "Keyboard", ""}};
  context.bench = {.c6Serial = "F4:12:FA:00:11:22",
                   .serialSource = SerialSource::user,
                   .serialFile = "/p.json",
                   .rules = {{0x2e8a, 0x000c, {}, RuleKind::ignore}}};
  EXPECT_EQ(status(context, false), kExitDone);
  EXPECT_EQ(status(context, true), kExitDone);
  EXPECT_EQ(
      out.str(),
      "Want RP boot | Have RP likely boot\n"
      "  2e8a:000f RP2350 Boot (serial E6): RP likely boot, by the built-in rules\n"
      "  2e8a:000c Debug<U+202E> Probe^[: left out, by your rule `2e8a:000c ignore`\n"
      "Expected C6 serial: F4:12:FA:00:11:22 (user setting: /p.json)\n"
      R"j({"wanted":"RP boot","observed":{"label":"RP likely boot","description":)j"
      R"j("RP bootloader USB descriptor · identity unverified"},"devices":[{"vendor":"2e8a",)j"
      R"j("product":"000f","name":"RP2350 Boot","serial":"E6","rule":"RP likely boot",)j"
      R"j("decided_by":"built-in"},{"vendor":"2e8a","product":"000c","name":"Debug)j"
      "\u202e"
      R"j( Probe\u001b","serial":"","rule":"left out","decided_by":"2e8a:000c ignore"}],)j"
      R"j("c6_serial":{"value":"F4:12:FA:00:11:22","source":"user","file":"/p.json"}})j"
      "\n");
  // Without the rule: "multiple", each candidate named with the command that leaves it out.
  context.bench.rules.clear(), out.str("");
  EXPECT_EQ(status(context, false), kExitDone);
  EXPECT_NE(out.str().find("\"multiple\" because of:\n  2e8a:000f RP2350 Boot (serial E6) counts "
                           "as a board: `vantorel rule add 2e8a:000f ignore` leaves it out\n"),
            std::string::npos);
  usb.attached.reset();
  EXPECT_EQ(status(context, false), kExitUsageOrIo);
  EXPECT_EQ(err.str(), "vantorel: USB devices cannot be enumerated\n");
}

}  // namespace
