// Given a simulated device tree behind the real libudev watch, we should report one change per
// wake-up that saw whole USB devices arrive or leave, and enumerate exactly the attached ones.

#include "linux/udev_usb_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "usb/usb_testbed.h"

using namespace vantorel;

const SimulatedUsbDevice kRpBoot{"2e8a", "000f", "RP2350 Boot", "E0C9125B0D9B"};
const SimulatedUsbDevice kRpApp{"2e8a", "0009", "Pico", "E0C9125B0D9B"};
const SimulatedUsbDevice kC6{"303a", "1001", "USB JTAG/serial debug unit", "F4:12:FA:00:11:22"};

using Seen = std::tuple<long, long, std::string, std::string>;
Seen seen(const SimulatedUsbDevice& d) {
  return {std::stol(d.idVendor, nullptr, 16), std::stol(d.idProduct, nullptr, 16), d.name,
          d.serial};
}

class UdevUsbWatchTest : public ::testing::Test {
 protected:
  void start(bool daemonRunning) {
    watch = makeUdevUsbWatch([daemonRunning] { return daemonRunning; });
    ASSERT_TRUE(watch->start([this] { ++changes; }));
  }
  // Waits for the `count`th change; then there must be no more, and exactly `expected` attached.
  void expectSeen(int count, std::vector<Seen> expected) {
    runLoopUntil([&] { return changes >= count; });
    EXPECT_EQ(changes, count);
    std::vector<Seen> attached;
    for (const USBDevice& d : watch->devices().value_or(std::vector<USBDevice>{})) {
      attached.emplace_back(d.vendor(), d.product(), d.name(), d.serial());
    }
    std::sort(attached.begin(), attached.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(attached, expected);
  }

  UsbTestbed testbed;  // the first made and the last to go
  std::unique_ptr<UsbWatch> watch;
  int changes = 0;
};

TEST_F(UdevUsbWatchTest, EachDeviceComesAndGoesAndNothingButWholeDevicesCounts) {
  start(/*daemonRunning=*/false);
  for (const SimulatedUsbDevice& device : {kRpBoot, kRpApp, kC6}) {
    const std::string path = addUsbDevice(testbed, "1-1", device);
    expectSeen(changes + 1, {seen(device)});
    removeUsbDevice(testbed, path);
    expectSeen(changes + 1, {});
  }
  const std::string board = addUsbDevice(testbed, "1-2", kRpBoot);
  // The same ids on an interface and on a tty: neither is a whole USB device.
  g_autofree gchar* interface = umockdev_testbed_add_device(
      testbed.get(), "usb", "1-2:1.0", board.c_str(), "idVendor", "2e8a", "idProduct", "000f",
      nullptr, "DEVTYPE", "usb_interface", nullptr);
  g_free(umockdev_testbed_add_device(testbed.get(), "tty", "ttyACM0", interface, "idVendor", "2e8a",
                                     nullptr, "ID_VENDOR_ID", "2e8a", nullptr));
  expectSeen(7, {seen(kRpBoot)});
  for (const char* action : {"change", "bind", "unbind"}) {
    umockdev_testbed_uevent(testbed.get(), board.c_str(), action);
  }
  expectSeen(7, {seen(kRpBoot)});
  umockdev_testbed_uevent(testbed.get(), board.c_str(), "remove");  // the folder stays
  expectSeen(8, {});
  umockdev_testbed_uevent(testbed.get(), board.c_str(), "add");  // plugged in again there
  expectSeen(9, {seen(kRpBoot)});
}

TEST_F(UdevUsbWatchTest, BurstIsOneChangeAndIdsThatAreNotShortHexLeaveTheDeviceOut) {
  addUsbDevice(testbed, "1-1", kRpApp);
  start(/*daemonRunning=*/true);
  expectSeen(0, {seen(kRpApp)});
  int port = 0;
  for (const char* id : {"000fx", "0x0f", "", "0000f", "-00f", "+00f", " 00f"}) {
    addUsbDevice(testbed, "2-" + std::to_string(++port), {"2e8a", id, "Boot", ""});
  }
  const std::string board = addUsbDevice(testbed, "1-2", {"2E8A", "F", "", ""});
  expectSeen(1, {seen(kRpApp), {0x2e8a, 0xf, "", ""}});
  addUsbDevice(testbed, "1-3", kC6);
  removeUsbDevice(testbed, board);
  expectSeen(2, {seen(kRpApp), seen(kC6)});
}
