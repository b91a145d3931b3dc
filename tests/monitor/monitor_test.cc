// Given the fakes, we should read both settings at construction, start up in the promised order,
// and after termination or release never touch more than the watcher.

#include "monitor/monitor.h"

#include <gtest/gtest.h>

#include <array>

#include "fakes/harness.h"

namespace vantorel {
namespace {

const nlohmann::json kC6Board = {
    {"idVendor", 0x303A}, {"idProduct", 0x1001}, {"USB Serial Number", "F4:12:FA:00:11:22"}};
const nlohmann::json kRpBootBoard = {
    {"idVendor", 0x2E8A}, {"idProduct", 0x000F}, {"USB Product Name", "RP2350 Boot"}};

// Notes, at each read of the attention file, how far start-up had got: status items created,
// timers scheduled and calls made to the USB registry.
class PollSpy final : public Files {
 public:
  explicit PollSpy(Harness& h) : h_(h) {}
  bool exists(const std::string& path) const override { return h_.files.exists(path); }
  std::vector<std::string> applicationSupportDirectories() const override {
    return h_.files.applicationSupportDirectories();
  }
  std::optional<std::string> readSmallFile(const std::string& path) const override {
    progress.push_back(
        {h_.statusBar.created.size(), h_.scheduler.repeatingIntervals.size(), h_.usb.calls.size()});
    return h_.files.readSmallFile(path);
  }

  mutable std::vector<std::array<std::size_t, 3>> progress;

 private:
  Harness& h_;
};

class MonitorTest : public ::testing::Test {
 protected:
  Harness h;
};

TEST(MonitorSettingsTest, BothSettingsAreReadAtConstructionAndFallBackWhenUnusable) {
  struct Row {
    std::optional<std::string> stored;
    nlohmann::json info;
    Desired desired;
    std::optional<std::string> c6Serial;
    Observed state;  // with the C6 board attached
  };
  const std::string serial = "f4:12:fa:00:11:22";  // the attached board's, in other letter case
  const Row rows[] = {
      {std::nullopt, nlohmann::json::object(), Desired::c6Boot, std::nullopt, Observed::espUnknown},
      {"RP boot", {{"BoardC6Serial", serial}}, Desired::rpBoot, serial, Observed::c6Unknown},
      {"rp boot", {{"BoardC6Serial", 12345}}, Desired::c6Boot, std::nullopt, Observed::espUnknown},
      {"RP boot ", {{"BoardC6Serial", ""}}, Desired::c6Boot, "", Observed::espUnknown},
      {"", nlohmann::json(nullptr), Desired::c6Boot, std::nullopt, Observed::espUnknown},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.info.dump());
    Harness h;
    if (row.stored) h.preferences.values["desired"] = *row.stored;
    h.bundle.info = row.info;
    h.usb.devices = {kC6Board};
    const auto monitor = h.launch();
    EXPECT_EQ(MonitorProbe::desired(monitor), row.desired);
    EXPECT_EQ(MonitorProbe::c6Serial(monitor), row.c6Serial);
    EXPECT_EQ(MonitorProbe::state(monitor), row.state);
    EXPECT_TRUE(h.preferences.writes.empty());
  }
}

TEST_F(MonitorTest, StartUpCreatesTheItemAndTheTimerThenPollsOnceBeforeWatching) {
  PollSpy spy(h);
  const auto monitor = Monitor::create(Services{h.app, h.clock, h.scheduler, h.preferences,
                                                h.bundle, spy, h.statusBar, h.panels, h.usb});
  const std::string path = MonitorProbe::attentionPath(monitor);
  h.files.contents[path] = R"({"success_id": "s1"})";
  h.usb.devices = {kRpBootBoard};
  h.app.setDelegate(monitor.get());
  h.app.run();
  using Progress = std::vector<std::array<std::size_t, 3>>;
  EXPECT_EQ(spy.progress, (Progress{{1, 1, 0}}));
  EXPECT_EQ(h.scheduler.repeatingIntervals, std::vector<double>{1.0});
  EXPECT_GT(h.usb.enumerations(), 0);
  // The poll rendered the success before the first enumeration rendered the board.
  ASSERT_GE(h.item().menus.size(), 2u);
  EXPECT_EQ(h.item().menus.front().items.front().title, "Observed: No matching USB device");
  EXPECT_TRUE(h.item().current.green);
  h.scheduler.advance(0.999);
  EXPECT_EQ(h.files.reads, std::vector<std::string>{path});
  h.scheduler.advance(3.001);
  EXPECT_EQ(h.files.reads, std::vector<std::string>(5, path));
}

TEST_F(MonitorTest, ReleasedControllerIsNeverCalledBack) {
  auto monitor = h.launch();
  h.files.contents[MonitorProbe::attentionPath(monitor)] = R"({"success_id": "s1"})";
  h.scheduler.advance(1.0);  // the poll finds the success and schedules the tint's removal
  ASSERT_GE(h.scheduler.pendingJobs(), 2u);
  const std::size_t reads = h.files.reads.size();
  const int enumerations = h.usb.enumerations();
  monitor.reset();
  h.scheduler.advance(10.0);
  h.usb.plugIn(kRpBootBoard);
  EXPECT_EQ(h.files.reads.size(), reads);
  EXPECT_EQ(h.usb.enumerations(), enumerations);
  EXPECT_EQ(h.scheduler.pendingJobs(), 0u);
}

TEST_F(MonitorTest, TerminationReleasesTheWatcherAndNothingElse) {
  const auto monitor = h.launch();
  h.files.contents[MonitorProbe::attentionPath(monitor)] =
      R"({"active": true, "needs_user": true, "request_id": "r1", "action": "Press BOOT"})";
  h.scheduler.advance(1.0);
  ASSERT_EQ(h.panels.visible().size(), 1u);
  const std::size_t renders = h.item().menus.size();
  const std::size_t usbCalls = h.usb.calls.size();
  monitor->applicationWillTerminate();
  EXPECT_EQ(std::vector<std::string>(h.usb.calls.begin() + usbCalls, h.usb.calls.end()),
            (std::vector<std::string>{"release arrival", "release removal", "destroyPort"}));
  EXPECT_EQ(h.item().menus.size(), renders);
  EXPECT_EQ(h.panels.visible().size(), 1u);
  EXPECT_EQ(MonitorProbe::requestID(monitor), "r1");
  const std::size_t reads = h.files.reads.size();
  h.scheduler.advance(2.0);
  EXPECT_EQ(h.files.reads.size(), reads + 2);  // the poll goes on
}

TEST_F(MonitorTest, TerminationAfterAFailedStartReleasesOnlyWhatExists) {
  h.usb.refusePort = true;
  const auto monitor = h.launch();
  const auto calls = h.usb.calls;
  monitor->applicationWillTerminate();
  EXPECT_EQ(h.usb.calls, calls);
}

}  // namespace
}  // namespace vantorel
