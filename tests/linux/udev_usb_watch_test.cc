// On real libudev over a simulated device tree, the list the watch keeps from the monitor's
// events should be the list a fresh enumeration gives, through plugs, unplugs and a board that
// re-enumerates under another name. Runs under umockdev-wrapper (ctest linux.umockdev); skipped
// without it.

#include "linux/udev_usb_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/classification.h"
#include "usb_testbed.h"

using namespace vantorel;

namespace {

std::vector<std::string> listed(const std::optional<std::vector<USBDevice>>& devices) {
  std::vector<std::string> lines;
  for (const USBDevice& d : devices.value_or(std::vector<USBDevice>{})) {
    lines.push_back(std::to_string(d.vendor()) + ":" + std::to_string(d.product()) + " " +
                    d.name() + " " + d.serial());
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

TEST(UdevUsbWatchTest, KeepsWhatAFreshEnumerationGives) {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload == nullptr || std::strstr(preload, "umockdev") == nullptr) {
    GTEST_SKIP() << "needs umockdev-wrapper";
  }
  UsbTestbed testbed;  // before any monitor
  for (int i = 0; i < 20; ++i) {
    addUsbDevice(testbed, "o" + std::to_string(i), {"046d", "c52b", "Receiver", std::to_string(i)});
  }
  const auto fresh = [] { return listed(makeUdevUsbWatch()->devices()); };
  const auto watch = makeUdevUsbWatch();
  int changes = 0;
  ASSERT_TRUE(watch->start([&changes] { ++changes; }));
  EXPECT_EQ(listed(watch->devices()).size(), 20u);
  const auto waitForChange = [&changes] {
    const int before = changes;
    runLoopUntil([&] { return changes > before; });
  };

  const std::string board =
      addUsbDevice(testbed, "board", {"2e8a", "000f", "RP2350 Boot", "E0C9125B"});
  waitForChange();
  EXPECT_EQ(observed(*watch->devices(), std::nullopt), Observed::rpBoot);
  // Re-enumerated as the application: same port, new ids and name, one "change".
  umockdev_testbed_set_attribute(testbed.get(), board.c_str(), "idProduct", "0009");
  umockdev_testbed_set_attribute(testbed.get(), board.c_str(), "product", "Pico");
  umockdev_testbed_uevent(testbed.get(), board.c_str(), "change");
  waitForChange();
  EXPECT_EQ(observed(*watch->devices(), std::nullopt), Observed::rpNormal);

  // Batches of plugs and unplugs, each within what a simulated event socket holds (11).
  std::vector<std::string> plugged;
  for (int batch = 0; batch < 4; ++batch) {
    for (int i = 0; i < 4; ++i) {
      plugged.push_back(addUsbDevice(testbed, "s" + std::to_string(batch * 4 + i),
                                     {"303a", "1001", "", "F4:12:" + std::to_string(i)}));
    }
    for (int i = 0; i < 3; ++i) {
      removeUsbDevice(testbed, plugged.front());
      plugged.erase(plugged.begin());
    }
    waitForChange();
  }
  removeUsbDevice(testbed, board);
  waitForChange();
  EXPECT_EQ(listed(watch->devices()), fresh());
  EXPECT_EQ(listed(watch->devices()).size(), 24u);
}
