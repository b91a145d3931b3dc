#pragma once

// A simulated device tree (umockdev) and bounded runs of the GLib main loop. The process runs
// under umockdev-wrapper, and makes the testbed before any udev monitor.

#include <umockdev.h>

#include <functional>
#include <string>
#include <vector>

#include "linux/glib_handles.h"

namespace vantorel {

struct UsbTestbed : GObjectPtr<UMockdevTestbed> {
  UsbTestbed() { reset(umockdev_testbed_new()); }
};

// What a simulated USB device reports in sysfs; an empty name or serial is no attribute at all.
struct SimulatedUsbDevice {
  std::string idVendor, idProduct, name, serial;
};

// Adds a whole USB device and announces it with "add". Returns its syspath.
inline std::string addUsbDevice(UsbTestbed& testbed, const std::string& port,
                                const SimulatedUsbDevice& d) {
  std::vector<const char*> attributes = {"idVendor", d.idVendor.c_str(), "idProduct",
                                         d.idProduct.c_str()};
  if (!d.name.empty()) attributes.insert(attributes.end(), {"product", d.name.c_str()});
  if (!d.serial.empty()) attributes.insert(attributes.end(), {"serial", d.serial.c_str()});
  attributes.push_back(nullptr);
  const char* properties[] = {"DEVTYPE", "usb_device", nullptr};
  g_autofree gchar* path = umockdev_testbed_add_devicev(testbed.get(), "usb", port.c_str(), nullptr,
                                                        const_cast<gchar**>(attributes.data()),
                                                        const_cast<gchar**>(properties));
  return path;
}

// Announces the removal first, then removes the sysfs folder, as the kernel does.
inline void removeUsbDevice(UsbTestbed& testbed, const std::string& syspath) {
  umockdev_testbed_uevent(testbed.get(), syspath.c_str(), "remove");
  umockdev_testbed_remove_device(testbed.get(), syspath.c_str());
}

// Runs the default main context until `done` holds (for at most five seconds), then handles what
// else is ready.
inline void runLoopUntil(const std::function<bool()>& done) {
  bool expired = false;
  const SourceHandle guard = addTimeout(5000, [&expired] { return expired = true; });
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

}  // namespace vantorel
