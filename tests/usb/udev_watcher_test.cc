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
const SimulatedUsbDevice kKeyboard{"046d", "c52b", "USB Receiver", std::nullopt};

class UdevWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(underUmockdev()) << "run this suite under umockdev-wrapper";
    h.bundle.info = {{"BoardC6Serial", "f4:12:fa:00:11:22"}};
  }
  void TearDown() override {
    if (monitor) h.app.terminate();
    monitor.reset();
    registry.reset();
    runLoopUntilIdle();
  }

  // Starts the controller on the real registry; returns once the start's refreshes are done.
  void launch(bool daemonRunning = false) {
    registry = makeUsbRegistry([daemonRunning] { return daemonRunning; });
    monitor = Monitor::create(Services{h.app, h.clock, h.scheduler, h.preferences, h.bundle,
                                       h.files, h.statusBar, h.panels, *registry});
    h.app.setDelegate(monitor.get());
    h.app.run();
  }
  // Each refresh renders once: the scheduler never runs here, so nothing else does.
  std::size_t refreshes() { return h.item().menus.size(); }
  // Waits for the `count`th refresh, then handles what else is ready, so that an extra refresh
  // would show; then expects exactly `count` refreshes and the board observed as `have`.
  void expectHave(std::size_t count, const std::string& have) {
    runLoopUntil([&] { return refreshes() >= count; });
    runLoopUntilIdle();
    EXPECT_EQ(refreshes(), count);
    const std::string& title = h.item().current.title;
    EXPECT_EQ(title.substr(title.find(" | Have ") + 8), have) << title;
  }

  UsbTestbed testbed;  // the first made and the last to go
  Harness h;
  std::unique_ptr<UsbRegistry> registry;
  std::shared_ptr<Monitor> monitor;
};

TEST_F(UdevWatcherTest, BoardsPluggedInOneByOneAreObservedAndEverythingElseIgnored) {
  launch();
  expectHave(3, "none");
  const std::string app = testbed.addUsbDevice("1-1", kRpApplication);
  expectHave(4, "RP likely app");
  testbed.remove(app);
  expectHave(5, "none");
  const std::string c6 = testbed.addUsbDevice("1-2", kC6);
  expectHave(6, "C6 unknown mode");
  testbed.remove(c6);
  expectHave(7, "none");
  const std::string otherC6 =
      testbed.addUsbDevice("1-2", {"303a", "1001", "USB JTAG/serial debug unit", "40:4C:CA:0:0:1"});
  expectHave(8, "ESP unknown");
  const std::string board = testbed.addUsbDevice("1-1", kRpBootloader);
  expectHave(9, "multiple");

  // Same ids on a child interface and on a tty: neither is a whole USB device, nor an arrival.
  const std::vector<std::string> ids = {"idVendor", "2e8a", "idProduct", "000f"};
  const std::string interface =
      testbed.add("usb", "1-1:1.0", board, ids, {"DEVTYPE", "usb_interface"});
  testbed.add("tty", "ttyACM0", interface, ids, {"ID_VENDOR_ID", "2e8a"});
  runLoopUntilIdle();
  EXPECT_EQ(refreshes(), 9u);
  testbed.remove(otherC6);
  expectHave(10, "RP likely boot");
  testbed.addUsbDevice("1-3", kKeyboard);
  expectHave(11, "RP likely boot");
}

TEST_F(UdevWatcherTest, DevicesWithoutTextsAreKeptAndThoseWithIdsThatAreNotHexLeftOut) {
  launch();
  testbed.addUsbDevice("1-1", {"2e8ax", "000f", "RP2350 Boot", std::nullopt});
  expectHave(4, "none");
  testbed.addUsbDevice("1-2", {"0x2e8a", "0009", "Pico", std::nullopt});
  testbed.addUsbDevice("1-3", {"2e8a", "", "Pico", std::nullopt});
  testbed.addUsbDevice("1-4", {"2e8a", "100000000000000000", "Pico", std::nullopt});
  expectHave(5, "none");
  const std::string rp = testbed.addUsbDevice("1-5", {"2E8A", "000F", std::nullopt, "E0C9"});
  expectHave(6, "RP unknown");
  testbed.remove(rp);
  expectHave(7, "none");
  testbed.addUsbDevice("1-6", {"303a", "1001", "USB JTAG/serial debug unit", std::nullopt});
  expectHave(8, "ESP unknown");
}

TEST_F(UdevWatcherTest, BurstOfEventsRefreshesOncePerKind) {
  launch();
  std::vector<std::string> boards;
  for (const char* name : {"1-1", "1-2", "1-3", "1-4", "1-5"}) {
    boards.push_back(testbed.addUsbDevice(name, kRpBootloader));
  }
  expectHave(4, "multiple");
  testbed.addUsbDevice("2-1", kC6);
  for (const std::string& board : boards) testbed.remove(board);
  expectHave(6, "C6 unknown mode");
}

TEST_F(UdevWatcherTest, OnlyAddAndRemoveCountEvenWhileTheFolderStillExists) {
  launch();
  const std::string board = testbed.addUsbDevice("1-1", kRpBootloader);
  expectHave(4, "RP likely boot");
  for (const char* action : {"change", "bind", "unbind"}) testbed.uevent(board, action);
  runLoopUntilIdle();
  EXPECT_EQ(refreshes(), 4u);
  testbed.uevent(board, "remove");  // the sysfs folder is still there
  expectHave(5, "none");
  testbed.uevent(board, "add");  // re-plugged at the same place
  expectHave(6, "RP likely boot");
}

TEST_F(UdevWatcherTest, DevicesAttachedBeforeStartAreObservedAndTheDaemonSourceDelivers) {
  testbed.addUsbDevice("1-3", kKeyboard);
  testbed.addUsbDevice("1-1", kRpApplication);
  launch(/*daemonRunning=*/true);
  expectHave(3, "RP likely app");
  testbed.addUsbDevice("1-2", kRpBootloader);
  expectHave(4, "multiple");
}

}  // namespace
}  // namespace vantorel
