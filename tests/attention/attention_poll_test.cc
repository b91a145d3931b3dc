// Given the flashing tool's file as the once-a-second poll sees it, we should prompt, prompt again
// once a minute, close a finished request, report a success with a 3 s tint and, after a request,
// a self-closing "Board ready" panel, and treat anything unreadable as a poll that changes nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>

#include "fakes/harness.h"
#include "fakes/temp_folder.h"
#include "platform/linux/posix_files.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Probe = MonitorProbe;

// Where the poll looks when nothing exists beside the checkout (FakeFiles' support folder).
constexpr const char* kFile = "/home/user/.local/share/Vantorel/board-flash-attention.json";

std::string promptFile(const std::string& requestID, const std::string& action = "Hold BOOT") {
  return nlohmann::json{
      {"active", true}, {"needs_user", true}, {"request_id", requestID}, {"action", action}}
      .dump();
}

std::string successFile(const std::string& successID) {
  return nlohmann::json{{"active", false}, {"success_id", successID}}.dump();
}

class AttentionPollTest : public ::testing::Test {
 protected:
  void write(const std::string& text) { h.files.contents[kFile] = text; }
  void launch() {
    monitor = h.launch();
    launchedAt = h.clock.current;
  }
  // Advances the clock, letting the 1 s poll and any delayed job run on the way.
  void wait(double seconds) { h.scheduler.advance(seconds); }
  // A prompt for R1 at launch, then success S1 one second later.
  void promptThenSucceed() {
    write(promptFile("R1"));
    launch();
    write(successFile("S1"));
    wait(1.0);
  }
  std::size_t panelCount() const { return h.panels.panels.size(); }
  FakePanelRecord& panelAt(std::size_t index) { return *h.panels.panels.at(index); }
  FakePanelRecord& lastPanel() { return *h.panels.panels.back(); }
  std::size_t renders() { return h.item().menus.size(); }
  bool green() { return h.item().current.green; }
  long activations() { return std::count(h.app.calls.begin(), h.app.calls.end(), "activate"); }

  Harness h;
  std::shared_ptr<Monitor> monitor;
  Date launchedAt;
};

TEST_F(AttentionPollTest, FirstPromptShowsTheAttentionPanelCentredAndInFront) {
  write(promptFile("R1", "Hold BOOT and tap RESET"));
  launch();
  ASSERT_EQ(panelCount(), 1u);
  const PanelSpec& layout = lastPanel().layout;
  EXPECT_EQ(
      std::tie(layout.width, layout.height, layout.title, layout.styleMask, layout.level),
      std::make_tuple(440.0, 150.0, "Board action needed"s, kPanelTitled | kPanelClosable, 3));
  ASSERT_EQ(layout.labels.size(), 1u);
  const LabelSpec& label = layout.labels[0];
  EXPECT_EQ(std::tie(label.text, label.frame, label.fontSize, label.wraps),
            std::make_tuple("Hold BOOT and tap RESET"s, Rect{20, 60, 400, 70}, 15.0, true));
  ASSERT_TRUE(layout.button);
  EXPECT_EQ(std::tie(layout.button->title, layout.button->frame, layout.button->bezelStyle),
            std::make_tuple("OK"s, Rect{340, 15, 80, 30}, 1));
  EXPECT_EQ(lastPanel().calls, (std::vector<std::string>{"center", "front"}));
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(activations(), 1);
  EXPECT_EQ(Probe::requestID(monitor), "R1");
}

TEST_F(AttentionPollTest, SameRequestIsPromptedAgainAMinuteAfterTheLastPromptWhateverHappened) {
  write(promptFile("R1"));
  launch();
  wait(59.0);
  EXPECT_EQ(panelCount(), 1u);
  wait(1.0);
  ASSERT_EQ(panelCount(), 2u);
  EXPECT_EQ(panelAt(0).calls.back(), "close");
  EXPECT_TRUE(panelAt(0).destroyed);
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt + Seconds{60.0});

  wait(30.0);
  lastPanel().layout.button->action();
  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_FALSE(Probe::hasPanel(monitor));
  EXPECT_EQ(Probe::requestID(monitor), "R1");
  EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt + Seconds{60.0});
  wait(29.0);
  EXPECT_EQ(panelCount(), 2u);
  wait(1.0);
  EXPECT_EQ(panelCount(), 3u);
  EXPECT_TRUE(lastPanel().onScreen);

  h.scheduler.clear();  // polled by hand below, while the wall clock is set back an hour
  h.clock.current = launchedAt - Seconds{3600.0};
  monitor->checkAttention();
  h.clock.current = launchedAt + Seconds{179.5};
  monitor->checkAttention();
  EXPECT_EQ(panelCount(), 3u);
  h.clock.current = launchedAt + Seconds{180.0};
  monitor->checkAttention();
  EXPECT_EQ(panelCount(), 4u);
}

TEST_F(AttentionPollTest, ChangedOrWithdrawnRequestTakesEffectAtTheNextPoll) {
  write(promptFile("R1", "first"));
  launch();
  write(promptFile("R2", "second"));
  wait(1.0);
  ASSERT_EQ(panelCount(), 2u);
  EXPECT_FALSE(panelAt(0).onScreen);
  EXPECT_EQ(lastPanel().layout.labels.at(0).text, "second");
  EXPECT_EQ(Probe::requestID(monitor), "R2");

  write("{}");
  wait(1.0);
  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_FALSE(Probe::hasPanel(monitor));
  EXPECT_EQ(Probe::requestID(monitor), "");

  write(promptFile("R2", "second"));  // withdrawn, then asked again: no minute to wait
  wait(1.0);
  EXPECT_EQ(panelCount(), 3u);
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt + Seconds{3.0});
}

TEST_F(AttentionPollTest, ReleasedControllerIgnoresItsPendingJobs) {
  promptThenSucceed();
  const std::function<void()> ok = panelAt(0).layout.button->action;
  ASSERT_EQ(h.scheduler.delays, (std::vector<double>{3.0, 3.0}));
  const std::vector<std::string> successPanelCalls = lastPanel().calls;

  monitor.reset();
  wait(5.0);  // the delayed render and the auto-close fall due here
  ok();
  EXPECT_EQ(h.scheduler.pendingJobs(), 0u);
  EXPECT_EQ(lastPanel().calls, successPanelCalls);
  EXPECT_EQ(panelCount(), 2u);
}

TEST_F(AttentionPollTest, SuccessAfterARequestShowsTheReadyPanelAndTintsForThreeSeconds) {
  promptThenSucceed();
  ASSERT_EQ(panelCount(), 2u);
  EXPECT_FALSE(panelAt(0).onScreen);
  const PanelSpec& layout = lastPanel().layout;
  EXPECT_EQ(
      std::tie(layout.width, layout.height, layout.title, layout.styleMask, layout.level,
               layout.background),
      std::make_tuple(440.0, 110.0, "Board ready"s, kPanelTitled, 3, PanelColor::kSystemGreen));
  EXPECT_FALSE(layout.button);
  ASSERT_EQ(layout.labels.size(), 1u);
  const LabelSpec& label = layout.labels[0];
  EXPECT_EQ(std::tie(label.text, label.frame, label.fontSize, label.bold, label.wraps,
                     label.textColor, label.alignment),
            std::make_tuple("Ready"s, Rect{20, 35, 400, 40}, 24.0, true, false, PanelColor::kWhite,
                            TextAlignment::kCenter));
  EXPECT_EQ(lastPanel().calls, (std::vector<std::string>{"center", "front"}));
  EXPECT_EQ(activations(), 2);
  EXPECT_EQ(Probe::successPanelID(monitor), "S1");
  EXPECT_EQ(Probe::requestID(monitor), "");
  EXPECT_EQ(Probe::greenUntil(monitor), launchedAt + Seconds{4.0});
  EXPECT_TRUE(green());

  const std::size_t rendersAtSuccess = renders();
  write("{}");  // no longer asking: the success panel stays
  wait(2.5);
  EXPECT_TRUE(green());
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(renders(), rendersAtSuccess);
  wait(0.5);
  EXPECT_FALSE(green());
  EXPECT_EQ(renders(), rendersAtSuccess + 1);
  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_TRUE(lastPanel().destroyed);
  EXPECT_EQ(Probe::successPanelID(monitor), "");
}

TEST_F(AttentionPollTest, SuccessWithoutARequestOnlyTintsAndS1S2S1EachCount) {
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
  wait(3.0);
  EXPECT_FALSE(green());
  EXPECT_EQ(panelCount(), 0u);
}

TEST_F(AttentionPollTest, SuccessInTheSameFileAsAPromptNeverShowsASuccessPanel) {
  auto both = nlohmann::json::parse(promptFile("R1"));
  both["success_id"] = "S1";
  write(both.dump());
  launch();
  EXPECT_TRUE(green());
  EXPECT_EQ(Probe::lastSuccessID(monitor), "S1");
  ASSERT_EQ(panelCount(), 1u);
  EXPECT_EQ(lastPanel().layout.title, "Board action needed");

  write(successFile("S1"));  // seen already: no success to report
  wait(1.0);
  write("{}");
  wait(5.0);
  EXPECT_EQ(panelCount(), 1u);
  EXPECT_FALSE(lastPanel().onScreen);
}

TEST_F(AttentionPollTest, AutoCloseLeavesANewerSuccessPanelOrPromptAlone) {
  promptThenSucceed();  // S1's panel at +1, its auto-close due at +4
  write(promptFile("R2"));
  wait(1.0);  // R2's prompt at +2
  write(successFile("S2"));
  wait(1.0);  // S2's panel at +3, its auto-close due at +6
  ASSERT_EQ(panelCount(), 4u);
  wait(1.0);  // +4: S1's auto-close finds S2's panel
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_EQ(Probe::successPanelID(monitor), "S2");

  write(promptFile("R3"));
  wait(1.0);  // R3's prompt at +5, within 3 s of S2
  ASSERT_EQ(panelCount(), 5u);
  EXPECT_EQ(Probe::successPanelID(monitor), "");
  wait(3.0);  // +6: S2's auto-close finds R3's prompt
  EXPECT_TRUE(lastPanel().onScreen);
  EXPECT_TRUE(Probe::hasPanel(monitor));
  EXPECT_EQ(Probe::requestID(monitor), "R3");
}

// The same poll against the real file system, with the bundle and the data home in a temporary
// folder.
class AttentionOnDiskTest : public AttentionPollTest {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    h.bundle.bundlePath = (root / "build" / "Vantorel").string();
  }
  // An empty value counts as unset.
  void TearDown() override { setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1); }
  std::shared_ptr<Monitor> createOnDisk() {
    Services s = h.services();
    return Monitor::create(Services{s.app, s.clock, s.scheduler, s.preferences, s.bundle, disk,
                                    s.statusBar, s.panels, s.usb});
  }
  void run() {
    h.app.setDelegate(monitor.get());
    h.app.run();
    launchedAt = h.clock.current;
  }
  // Puts `content` at `file` as a fresh regular file.
  static void put(const fs::path& file, const std::string& content) {
    fs::remove_all(file);
    std::ofstream(file, std::ios::binary) << content;
  }

  const char* const dataHome = std::getenv("XDG_DATA_HOME");
  const std::string savedDataHome = dataHome ? dataHome : "";
  TempFolder temp{"vantorel-attention"};
  const fs::path root = temp.path();
  const fs::path file = root / "work" / "board-flash-attention.json";  // beside the checkout
  PosixFiles disk;
};

TEST_F(AttentionOnDiskTest, DataHomeIsUsedUnlessTheFileBesideTheCheckoutExistsAtConstruction) {
  monitor = createOnDisk();
  EXPECT_EQ(Probe::attentionPath(monitor),
            (root / "data" / "Vantorel" / "board-flash-attention.json").string());
  EXPECT_FALSE(fs::exists(root / "data"));
  EXPECT_FALSE(fs::exists(root / "work"));

  fs::create_directories(file.parent_path());
  put(file, promptFile("R1"));
  run();
  EXPECT_EQ(panelCount(), 0u);  // created too late for this controller
  EXPECT_EQ(Probe::attentionPath(createOnDisk()), file.string());
}

TEST_F(AttentionOnDiskTest, HostileFilesAreEachAPollThatChangesNothing) {
  fs::create_directories(file.parent_path());
  put(file, "\xEF\xBB\xBF" + promptFile("R1"));
  monitor = createOnDisk();
  run();
  ASSERT_EQ(panelCount(), 1u);
  const std::size_t rendersAtLaunch = renders();
  const auto check = [&](const char* what) {
    SCOPED_TRACE(what);
    wait(1.0);
    EXPECT_EQ(panelCount(), 1u);
    EXPECT_TRUE(lastPanel().onScreen);
    EXPECT_EQ(Probe::requestID(monitor), "R1");
    EXPECT_EQ(Probe::lastPrompt(monitor), launchedAt);
    EXPECT_EQ(renders(), rendersAtLaunch);
  };
  fs::remove(file);
  check("missing");
  fs::create_directory(file);
  check("folder");
  fs::remove(file);
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
  alarm(60);  // a poll that blocks on the FIFO ends the run instead of hanging it
  check("FIFO without a writer");
  alarm(0);
  fs::remove(file);
  fs::create_symlink("/dev/zero", file);
  check("link to /dev/zero");
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  struct Row {
    const char* what;
    std::string content;
  };
  for (const Row& row :
       {Row{"2 MiB", R"({"success_id":")" + std::string(2u << 20, 'x') + "\"}"},
        Row{"1 MiB and a byte", "{}" + std::string((1u << 20) - 1, ' ')}, Row{"empty", ""},
        Row{"invalid JSON", "{\"active\":tru"}, Row{"trailing comma", "{\"a\":1,}"},
        Row{"two objects", "{} {}"}, Row{"single quotes", "{'a':1}"}, Row{"array", "[{}]"},
        Row{"number", "42"}, Row{"invalid UTF-8", "{\"success_id\":\"S\xC3\x28\"}"},
        Row{"encoded surrogate", "{\"success_id\":\"\xED\xA0\x80\"}"}, Row{"NUL byte", "{}\0"s},
        Row{"NUL inside", "{\"success_id\":\"S\"}\0x"s},
        Row{"100,000 levels", "{\"x\":" + deep + "}"}}) {
    put(file, row.content);
    check(row.what);
  }

  put(file, promptFile("R1"));  // back again: still prompted only a minute after the last time
  wait(59.0 - (h.clock.current - launchedAt).count());
  EXPECT_EQ(panelCount(), 1u);
  wait(1.0);
  EXPECT_EQ(panelCount(), 2u);
  put(file, "{}" + std::string((1u << 20) - 2, ' '));  // exactly 1 MiB is read
  wait(1.0);
  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_EQ(Probe::requestID(monitor), "");
  put(root / "real.json", promptFile("R2"));  // a link to a regular file is followed
  fs::remove(file);
  fs::create_symlink(root / "real.json", file);
  wait(1.0);
  EXPECT_EQ(Probe::requestID(monitor), "R2");
}

}  // namespace
}  // namespace vantorel
