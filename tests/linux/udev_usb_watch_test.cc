// On real libudev over a simulated tree (umockdev-wrapper: ctest linux.umockdev), the watch should
// keep what a fresh enumeration gives through a plug, a re-enumeration ("change") and an unplug.

#include "linux/udev_usb_watch.h"

#include <gtest/gtest.h>
#include <umockdev.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "core/classification.h"
#include "glib/glib_handles.h"

using namespace vantorel;

TEST(UdevUsbWatchTest, KeepsWhatAFreshEnumerationGives) {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload == nullptr || std::strstr(preload, "umockdev") == nullptr) {
    GTEST_SKIP() << "needs umockdev-wrapper";
  }
  const GObjectPtr<UMockdevTestbed> testbed(umockdev_testbed_new());  // before any monitor
  UMockdevTestbed* const bed = testbed.get();
  const auto plug = [&](const char* port, const char* product, const char* name) {
    g_autofree gchar* path = umockdev_testbed_add_device(
        bed, "usb", port, nullptr, "idVendor", "2e8a", "idProduct", product, "product", name,
        nullptr, "DEVTYPE", "usb_device", nullptr);
    return std::string(path);
  };
  const auto unplug = [&](const std::string& path) {
    umockdev_testbed_uevent(bed, path.c_str(), "remove");
    umockdev_testbed_remove_device(bed, path.c_str());
  };
  for (const char* port : {"o1", "o2", "o3"}) plug(port, "0003", "Other");
  const auto watch = makeUdevUsbWatch();
  int changes = 0;
  ASSERT_TRUE(watch->start([&changes] { ++changes; }));
  const auto listed = [](const std::optional<std::vector<USBDevice>>& devices) {
    std::multiset<std::string> names;
    for (const USBDevice& d : devices.value_or(std::vector<USBDevice>{})) names.insert(d.name());
    return names;
  };
  // The state once `change` changes were reported (for at most five seconds).
  const auto seen = [&](int change) {
    const SourceHandle guard = addTimeout(5000, [&change] { return change = -1, TRUE; });
    while (changes < change) g_main_context_iteration(nullptr, TRUE);
    const auto devices = watch->devices();
    EXPECT_EQ(listed(devices), listed(makeUdevUsbWatch()->devices()));  // a fresh enumeration
    return devices ? observed(*devices, std::nullopt) : Observed::multiple;
  };
  EXPECT_EQ(seen(0), Observed::multiple);  // three other Raspberry Pi devices
  const std::string board = plug("board", "000f", "RP2350 Boot");
  for (const char* port : {"/sys/devices/o1", "/sys/devices/o2", "/sys/devices/o3"}) unplug(port);
  EXPECT_EQ(seen(1), Observed::rpBoot);
  umockdev_testbed_set_attribute(bed, board.c_str(), "idProduct", "0009");
  umockdev_testbed_set_attribute(bed, board.c_str(), "product", "Pico");
  umockdev_testbed_uevent(bed, board.c_str(), "change");
  EXPECT_EQ(seen(2), Observed::rpNormal);
  unplug(board);
  EXPECT_EQ(seen(3), Observed::none);
}
