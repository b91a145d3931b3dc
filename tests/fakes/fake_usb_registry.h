#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/usb_registry.h"

namespace vantorel {

class FakeNotification;

// A USB registry held in memory. Each step of setting up the watcher can be refused, and a
// notification is delivered only while armed: after its pending objects were drained to the end.
class FakeUsbRegistry final : public UsbRegistry {
 public:
  // Failure switches.
  bool refusePort = false;
  bool portWithoutSource = false;
  bool refuseArrival = false;
  bool refuseRemoval = false;
  bool failEnumeration = false;

  // Attached devices as property maps (null: properties cannot be read).
  std::vector<nlohmann::json> devices;

  // What the watcher asked for, in order: "createPort", "addSource", "subscribe arrival",
  // "subscribe removal", "enumerate", "release arrival", "release removal", "destroyPort".
  std::vector<std::string> calls;

  // Attaches a device and fires the arrival notification if it is armed.
  void plugIn(nlohmann::json properties);
  // Detaches the first device with this vendor and product and fires the removal notification.
  void unplug(std::int64_t vendor, std::int64_t product);

  bool armed(UsbNotificationKind kind) const;
  int enumerations() const;

  std::unique_ptr<UsbNotificationPort> createNotificationPort() override;
  std::optional<std::vector<nlohmann::json>> enumerateDevices() override;

 private:
  void queue(UsbNotificationKind kind);
  std::vector<FakeNotification*> live_;  // registrations not yet released
  friend class FakeNotification;
  friend class FakeUsbPort;
};

}  // namespace vantorel
