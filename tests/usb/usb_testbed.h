#pragma once

// A simulated device tree (umockdev) with USB devices, and bounded runs of the GLib main loop.
// The process must run under umockdev-wrapper; create the testbed before any udev monitor.

#include <glib.h>
#include <umockdev.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantorel {

// True when the umockdev preload library redirects this process's sysfs and netlink sockets.
inline bool underUmockdev() {
  const char* preload = std::getenv("LD_PRELOAD");
  return preload != nullptr && std::strstr(preload, "umockdev") != nullptr;
}

// What one simulated USB device reports in sysfs. An absent text has no attribute at all.
struct SimulatedUsbDevice {
  std::string idVendor;
  std::string idProduct;
  std::optional<std::string> product;
  std::optional<std::string> serial;
};

class UsbTestbed {
 public:
  UsbTestbed() : testbed_(umockdev_testbed_new()) {}
  ~UsbTestbed() { g_object_unref(testbed_); }
  UsbTestbed(const UsbTestbed&) = delete;
  UsbTestbed& operator=(const UsbTestbed&) = delete;

  // Adds a whole USB device (DEVTYPE usb_device) and sends its "add" event. Returns its syspath.
  std::string addUsbDevice(const std::string& name, const SimulatedUsbDevice& device) {
    std::vector<std::string> attributes = {"idVendor", device.idVendor, "idProduct",
                                           device.idProduct};
    if (device.product) attributes.insert(attributes.end(), {"product", *device.product});
    if (device.serial) attributes.insert(attributes.end(), {"serial", *device.serial});
    return add("usb", name, "", attributes, {"DEVTYPE", "usb_device"});
  }

  // Adds any device under `parent` ("": at the top) and sends its "add" event.
  std::string add(const char* subsystem, const std::string& name, const std::string& parent,
                  std::vector<std::string> attributes, std::vector<std::string> properties) {
    const auto terminated = [](std::vector<std::string>& texts) {
      std::vector<gchar*> result;
      for (std::string& text : texts) result.push_back(text.data());
      result.push_back(nullptr);
      return result;
    };
    gchar* path = umockdev_testbed_add_devicev(
        testbed_, subsystem, name.c_str(), parent.empty() ? nullptr : parent.c_str(),
        terminated(attributes).data(), terminated(properties).data());
    std::string syspath = path != nullptr ? path : "";
    g_free(path);
    return syspath;
  }

  // Announces the removal first, then removes the sysfs folder, as the kernel does.
  void remove(const std::string& syspath) {
    uevent(syspath, "remove");
    umockdev_testbed_remove_device(testbed_, syspath.c_str());
  }

  void uevent(const std::string& syspath, const char* action) {
    umockdev_testbed_uevent(testbed_, syspath.c_str(), action);
  }

 private:
  UMockdevTestbed* testbed_;
};

// Runs the default main context until `done` holds, blocking between events, for at most
// `seconds`. Returns whether `done` holds.
inline bool runLoopUntil(const std::function<bool()>& done, double seconds = 5.0) {
  bool expired = false;
  const guint guard = g_timeout_add(
      static_cast<guint>(seconds * 1000),
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &expired);
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  if (!expired) g_source_remove(guard);
  return done();
}

// Handles everything that is ready now, without waiting for more.
inline void runLoopUntilIdle() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

}  // namespace vantorel
