#pragma once

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

namespace vantorel {

enum class UsbNotificationKind { kArrival, kRemoval };

// One armed notification: the objects that arrived or left since it was last drained. Draining it
// to the end arms the next delivery. Destroying it releases the registration.
class UsbNotification {
 public:
  virtual ~UsbNotification() = default;
  // Takes the next pending object; false once there is none left.
  virtual bool next() = 0;
};

// Where notifications are delivered from. Destroying it removes its main-loop source.
class UsbNotificationPort {
 public:
  virtual ~UsbNotificationPort() = default;
  virtual bool hasMainLoopSource() const = 0;
  // Delivers this port's notifications on the main loop from now on.
  virtual void addSourceToMainLoop() = 0;
  // Registers `callback` for `kind`. Returns nullptr when the registration is refused. The
  // callback runs on the main loop with the notification that fired, only while it is armed.
  virtual std::unique_ptr<UsbNotification> subscribe(
      UsbNotificationKind kind, std::function<void(UsbNotification&)> callback) = 0;
};

// The registry of attached USB devices. The real one is UdevUsbRegistry.
class UsbRegistry {
 public:
  virtual ~UsbRegistry() = default;
  // nullptr when no port can be created.
  virtual std::unique_ptr<UsbNotificationPort> createNotificationPort() = 0;
  // The properties of every attached USB device, in registry order: an object with "idVendor",
  // "idProduct" (numbers), "USB Product Name" and "USB Serial Number" (strings) where known, or
  // null for a device whose properties cannot be read. Nothing when the enumeration fails.
  virtual std::optional<std::vector<nlohmann::json>> enumerateDevices() = 0;
};

}  // namespace vantorel
