#include "monitor/monitor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/harness.h"

namespace vantorel {
namespace {

const nlohmann::json kC6Board = {{"idVendor", 0x303A},
                                 {"idProduct", 0x1001},
                                 {"USB Product Name", "USB JTAG/serial debug unit"},
                                 {"USB Serial Number", "F4:12:FA:00:11:22"}};
const nlohmann::json kRpBootBoard = {{"idVendor", 0x2E8A},
                                     {"idProduct", 0x000F},
                                     {"USB Product Name", "RP2350 Boot"},
                                     {"USB Serial Number", "E6614C311B"}};

// Services that note, in one shared list, the calls whose order start-up guarantees.
struct StartUpLog {
  std::vector<std::string> events;
};

class LoggingStatusBar final : public StatusBar {
 public:
  LoggingStatusBar(StatusBar& inner, StartUpLog& log) : inner_(inner), log_(log) {}
  std::unique_ptr<StatusItem> createItem() override {
    log_.events.push_back("createItem");
    return inner_.createItem();
  }

 private:
  StatusBar& inner_;
  StartUpLog& log_;
};

class LoggingScheduler final : public Scheduler {
 public:
  LoggingScheduler(Scheduler& inner, StartUpLog& log) : inner_(inner), log_(log) {}
  std::unique_ptr<ScheduledJob> repeating(Seconds interval, std::function<void()> tick) override {
    log_.events.push_back("repeating " + std::to_string(interval.count()));
    return inner_.repeating(interval, std::move(tick));
  }
  void after(Seconds delay, std::function<void()> job) override {
    inner_.after(delay, std::move(job));
  }

 private:
  Scheduler& inner_;
  StartUpLog& log_;
};

class LoggingFiles final : public Files {
 public:
  LoggingFiles(const Files& inner, StartUpLog& log) : inner_(inner), log_(log) {}
  bool exists(const std::string& path) const override { return inner_.exists(path); }
  std::vector<std::string> applicationSupportDirectories() const override {
    return inner_.applicationSupportDirectories();
  }
  std::optional<std::string> readSmallFile(const std::string& path) const override {
    log_.events.push_back("read");
    return inner_.readSmallFile(path);
  }

 private:
  const Files& inner_;
  StartUpLog& log_;
};

class LoggingUsb final : public UsbRegistry {
 public:
  LoggingUsb(UsbRegistry& inner, StartUpLog& log) : inner_(inner), log_(log) {}
  std::unique_ptr<UsbNotificationPort> createNotificationPort() override {
    log_.events.push_back("createPort");
    return inner_.createNotificationPort();
  }
  std::optional<std::vector<nlohmann::json>> enumerateDevices() override {
    log_.events.push_back("enumerate");
    return inner_.enumerateDevices();
  }

 private:
  UsbRegistry& inner_;
  StartUpLog& log_;
};

class MonitorTest : public ::testing::Test {
 protected:
  // A success not seen before, as the flashing tool reports it.
  void writeSuccess(const std::shared_ptr<Monitor>& monitor, const std::string& id) {
    h.files.contents[MonitorProbe::attentionPath(monitor)] =
        nlohmann::json{{"active", false}, {"success_id", id}}.dump();
  }

  Harness h;
};

TEST_F(MonitorTest, WithoutAStoredChoiceTheWantedStateIsC6Boot) {
  EXPECT_EQ(MonitorProbe::desired(h.create()), Desired::c6Boot);
}

TEST_F(MonitorTest, StoredRawValueIsTheWantedState) {
  h.preferences.values["desired"] = "RP boot";
  EXPECT_EQ(MonitorProbe::desired(h.create()), Desired::rpBoot);
}

TEST_F(MonitorTest, StoredTextOtherThanARawValueFallsBackToC6BootAndIsLeftAlone) {
  for (const char* stored : {"rp boot", "RP Boot", "RP boot ", "C6normal", "anything", ""}) {
    h.preferences.values["desired"] = stored;
    EXPECT_EQ(MonitorProbe::desired(h.create()), Desired::c6Boot) << '"' << stored << '"';
  }
  EXPECT_TRUE(h.preferences.writes.empty());
}

TEST_F(MonitorTest, ExpectedSerialFromTheInformationDictionaryIdentifiesTheC6) {
  h.bundle.info["BoardC6Serial"] = "f4:12:fa:00:11:22";
  h.usb.devices = {kC6Board};
  const auto monitor = h.launch();
  EXPECT_EQ(MonitorProbe::c6Serial(monitor), "f4:12:fa:00:11:22");
  EXPECT_EQ(MonitorProbe::state(monitor), Observed::c6Unknown);
  EXPECT_EQ(h.item().current.title, "Want C6 boot | Have C6 unknown mode");
}

TEST_F(MonitorTest, MissingOrNonStringSerialLeavesTheC6AnUnknownEsp) {
  for (const nlohmann::json& info :
       {nlohmann::json::object(), nlohmann::json{{"BoardC6Serial", 12345}},
        nlohmann::json{{"BoardC6Serial", nullptr}}, nlohmann::json{{"BoardC6Serial", {"a"}}},
        nlohmann::json(nullptr)}) {
    Harness fresh;
    fresh.bundle.info = info;
    fresh.usb.devices = {kC6Board};
    const auto monitor = fresh.launch();
    EXPECT_EQ(MonitorProbe::c6Serial(monitor), std::nullopt) << info;
    EXPECT_EQ(MonitorProbe::state(monitor), Observed::espUnknown) << info;
  }
}

TEST_F(MonitorTest, EmptySerialStaysEmptyAndMatchesNoBoard) {
  h.bundle.info["BoardC6Serial"] = "";
  h.usb.devices = {{{"idVendor", 0x303A}, {"idProduct", 0x1001}, {"USB Serial Number", ""}}};
  const auto monitor = h.launch();
  EXPECT_EQ(MonitorProbe::c6Serial(monitor), std::optional<std::string>(""));
  EXPECT_EQ(h.item().current.title, "Want C6 boot | Have ESP unknown");
}

TEST_F(MonitorTest, StartUpCreatesTheItemThenTheTimerThenPollsThenWatches) {
  StartUpLog log;
  LoggingStatusBar statusBar(h.statusBar, log);
  LoggingScheduler scheduler(h.scheduler, log);
  LoggingFiles files(h.files, log);
  LoggingUsb usb(h.usb, log);
  const auto monitor = Monitor::create(Services{h.app, h.clock, scheduler, h.preferences,
                                                h.bundle, files, statusBar, h.panels, usb});
  EXPECT_TRUE(log.events.empty());
  monitor->applicationDidFinishLaunching();
  ASSERT_GE(log.events.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(log.events.begin(), log.events.begin() + 5),
            (std::vector<std::string>{"createItem", "repeating 1.000000", "read", "createPort",
                                      "enumerate"}));
}

TEST_F(MonitorTest, PendingSuccessIsRenderedBeforeTheFirstEnumeration) {
  h.usb.devices = {kRpBootBoard};
  writeSuccess(h.create(), "s1");
  const auto monitor = h.launch();
  ASSERT_EQ(h.statusBar.created.size(), 1u);
  ASSERT_GE(h.item().menus.size(), 2u);
  EXPECT_EQ(h.item().menus.front().items.front().title, "Observed: No matching USB device");
  EXPECT_EQ(h.item().menus.back().items.front().title,
            "Observed: RP bootloader USB descriptor \xC2\xB7 identity unverified");
  EXPECT_TRUE(h.item().current.green);
}

TEST_F(MonitorTest, AttentionFileIsPolledOnceAtStartAndThenEverySecond) {
  const auto monitor = h.launch();
  EXPECT_EQ(h.scheduler.repeatingIntervals, std::vector<double>{1.0});
  const std::string path = MonitorProbe::attentionPath(monitor);
  EXPECT_EQ(h.files.reads, std::vector<std::string>{path});
  h.scheduler.advance(0.999);
  EXPECT_EQ(h.files.reads.size(), 1u);
  h.scheduler.advance(3.001);
  EXPECT_EQ(h.files.reads, std::vector<std::string>(5, path));
}

TEST_F(MonitorTest, ReleasedControllerIsNeverCalledBack) {
  auto monitor = h.launch();
  writeSuccess(monitor, "s1");
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
