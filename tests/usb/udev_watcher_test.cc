// Given a simulated device tree behind the real libudev registry, the controller should observe
// boards arriving and leaving, ignore everything else, and refresh once per kind of event in a
// wake-up, however many devices it carried.

#include <gtest/gtest.h>

#include "fakes/harness.h"
#include "platform/linux/udev_usb_registry.h"
#include "usb/usb_testbed.h"

namespace vantorel {
namespace {

const SimulatedUsbDevice kRpBootloader{"2e8a", "000f", "RP2350 Boot", "E0C9125B0D9B"};
const SimulatedUsbDevice kRpApplication{"2e8a", "0009", "Pico", "E0C9125B0D9B"};
const SimulatedUsbDevice kC6{"303a", "1001", "USB JTAG/serial debug unit", "F4:12:FA:00:11:22"};
const SimulatedUsbDevice kOtherC6{"303a", "1001", "USB JTAG/serial debug unit",
                                  "40:4C:CA:00:00:01"};
const SimulatedUsbDevice kKeyboard{"046d", "c52b", "USB Receiver", std::nullopt};

class UdevWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(underUmockdev()) << "run this suite under umockdev-wrapper";
    testbed.emplace();
    h.bundle.info = {{"BoardC6Serial", "f4:12:fa:00:11:22"}};
  }
  void TearDown() override {
    if (monitor) h.app.terminate();
    monitor.reset();
    counting.reset();
    registry.reset();
    runLoopUntilIdle();
    testbed.reset();
  }

  // Starts the controller on the real registry; returns once the start's enumerations are done.
  void launch(bool daemonRunning = false) {
    registry = makeUsbRegistry([daemonRunning] { return daemonRunning; });
    counting.emplace(*registry);
    monitor = Monitor::create(Services{h.app, h.clock, h.scheduler, h.preferences, h.bundle,
                                       h.files, h.statusBar, h.panels, *counting});
    h.app.setDelegate(monitor.get());
    h.app.run();
  }
  // Waits until the watcher has enumerated `count` times in all, then handles what else is ready,
  // so that an extra refresh would show in the count.
  int settleAt(int count) {
    runLoopUntil([&] { return counting->enumerations >= count; });
    runLoopUntilIdle();
    return counting->enumerations;
  }
  std::string have() {
    const std::string& title = h.item().current.title;
    const auto at = title.find(" | Have ");
    return at == std::string::npos ? title : title.substr(at + 8);
  }

  std::optional<UsbTestbed> testbed;
  Harness h;
  std::unique_ptr<UsbRegistry> registry;
  std::optional<CountingUsbRegistry> counting;
  std::shared_ptr<Monitor> monitor;
};

TEST_F(UdevWatcherTest, BoardsPluggedInOneByOneAreObservedAsClassified) {
  launch();
  ASSERT_EQ(counting->enumerations, 3);
  EXPECT_EQ(have(), "none");

  const std::string boot = testbed->addUsbDevice("1-1", kRpBootloader);
  EXPECT_EQ(settleAt(4), 4);
  EXPECT_EQ(have(), "RP likely boot");
  testbed->remove(boot);
  EXPECT_EQ(settleAt(5), 5);
  EXPECT_EQ(have(), "none");

  const std::string app = testbed->addUsbDevice("1-1", kRpApplication);
  EXPECT_EQ(settleAt(6), 6);
  EXPECT_EQ(have(), "RP likely app");
  testbed->remove(app);
  EXPECT_EQ(settleAt(7), 7);

  const std::string c6 = testbed->addUsbDevice("1-2", kC6);
  EXPECT_EQ(settleAt(8), 8);
  EXPECT_EQ(have(), "C6 unknown mode");
  testbed->remove(c6);
  EXPECT_EQ(settleAt(9), 9);

  testbed->addUsbDevice("1-2", kOtherC6);
  EXPECT_EQ(settleAt(10), 10);
  EXPECT_EQ(have(), "ESP unknown");
  testbed->addUsbDevice("1-1", kRpBootloader);
  EXPECT_EQ(settleAt(11), 11);
  EXPECT_EQ(have(), "multiple");
  EXPECT_EQ(MonitorProbe::state(monitor), Observed::multiple);
}

TEST_F(UdevWatcherTest, DevicesAttachedBeforeStartAreObserved) {
  testbed->addUsbDevice("1-3", kKeyboard);
  testbed->addUsbDevice("1-1", kRpApplication);
  launch();
  EXPECT_EQ(have(), "RP likely app");
}

TEST_F(UdevWatcherTest, InterfacesTtysAndUnrelatedDevicesAreIgnored) {
  launch();
  const std::string board = testbed->addUsbDevice("1-1", kRpBootloader);
  ASSERT_EQ(settleAt(4), 4);

  // Same vendor and product on a child interface and on a tty: neither is a whole USB device.
  const std::string interface =
      testbed->add("usb", "1-1:1.0", board.c_str(), {"idVendor", "2e8a", "idProduct", "000f"},
                   {"DEVTYPE", "usb_interface"});
  testbed->add("tty", "ttyACM0", interface.c_str(), {"idVendor", "2e8a", "idProduct", "000f"},
               {"ID_VENDOR_ID", "2e8a"});
  runLoopUntilIdle();
  EXPECT_EQ(counting->enumerations, 4);

  testbed->addUsbDevice("1-3", kKeyboard);
  EXPECT_EQ(settleAt(5), 5);
  EXPECT_EQ(have(), "RP likely boot");
}

TEST_F(UdevWatcherTest, DevicesWithoutNameOrSerialAreKeptWithEmptyTexts) {
  launch();
  const std::string rp = testbed->addUsbDevice("1-1", {"2e8a", "000f", std::nullopt, "E0C9"});
  settleAt(4);
  EXPECT_EQ(have(), "RP unknown");
  testbed->remove(rp);
  settleAt(5);

  testbed->addUsbDevice("1-2", {"303a", "1001", "USB JTAG/serial debug unit", std::nullopt});
  settleAt(6);
  EXPECT_EQ(have(), "ESP unknown");
}

TEST_F(UdevWatcherTest, DevicesWhoseIdsAreNotHexadecimalAreLeftOut) {
  launch();
  testbed->addUsbDevice("1-1", {"2e8ax", "000f", "RP2350 Boot", std::nullopt});
  EXPECT_EQ(settleAt(4), 4);
  EXPECT_EQ(have(), "none");
  testbed->addUsbDevice("1-2", {"0x2e8a", "0009", "Pico", std::nullopt});
  testbed->addUsbDevice("1-3", {"2e8a", "", "Pico", std::nullopt});
  testbed->addUsbDevice("1-4", {"2e8a", "100000000000000000", "Pico", std::nullopt});
  settleAt(5);
  EXPECT_EQ(have(), "none");

  testbed->addUsbDevice("1-5", {"2E8A", "0009", "Pico", std::nullopt});
  settleAt(6);
  EXPECT_EQ(have(), "RP likely app");
}

TEST_F(UdevWatcherTest, BurstOfEventsRefreshesOncePerKind) {
  launch();
  std::vector<std::string> boards;
  for (const char* name : {"1-1", "1-2", "1-3", "1-4", "1-5"}) {
    boards.push_back(testbed->addUsbDevice(name, kRpBootloader));
  }
  EXPECT_EQ(settleAt(4), 4);
  EXPECT_EQ(have(), "multiple");

  // Arrivals and removals in one wake-up: one refresh for each kind.
  testbed->addUsbDevice("2-1", kC6);
  for (std::size_t i = 0; i < boards.size(); ++i) testbed->remove(boards[i]);
  EXPECT_EQ(settleAt(6), 6);
  EXPECT_EQ(have(), "C6 unknown mode");
}

TEST_F(UdevWatcherTest, RemovalAnnouncedBeforeTheFolderGoesIsNotSeenAgain) {
  launch();
  const std::string board = testbed->addUsbDevice("1-1", kRpBootloader);
  settleAt(4);

  testbed->uevent(board, "remove");  // the sysfs folder is still there
  EXPECT_EQ(settleAt(5), 5);
  EXPECT_EQ(have(), "none");

  // Re-plugged at the same place: seen again.
  testbed->uevent(board, "add");
  EXPECT_EQ(settleAt(6), 6);
  EXPECT_EQ(have(), "RP likely boot");
}

TEST_F(UdevWatcherTest, ChangeAndBindEventsAreNotArrivals) {
  launch();
  const std::string board = testbed->addUsbDevice("1-1", kRpBootloader);
  settleAt(4);
  for (const char* action : {"change", "bind", "unbind"}) testbed->uevent(board, action);
  runLoopUntilIdle();
  EXPECT_EQ(counting->enumerations, 4);
}

TEST_F(UdevWatcherTest, DaemonEventSourceDeliversToo) {
  launch(/*daemonRunning=*/true);
  testbed->addUsbDevice("1-1", kRpApplication);
  EXPECT_EQ(settleAt(4), 4);
  EXPECT_EQ(have(), "RP likely app");
}

}  // namespace
}  // namespace vantorel
