// The USB watcher: arrival and removal notifications, each followed by a fresh enumeration.

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/classification.h"
#include "monitor/monitor.h"

namespace vantorel {
namespace {

// An id as the registry reports it: a number with an integral value that fits 64 bits.
std::optional<std::int64_t> integralId(const nlohmann::json& properties, const char* key) {
  const auto it = properties.find(key);
  if (it == properties.end()) return std::nullopt;
  if (it->is_number_integer()) {
    if (it->is_number_unsigned() &&
        it->get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) {
      return std::nullopt;
    }
    return it->get<std::int64_t>();
  }
  if (it->is_number_float()) {
    const double value = it->get<double>();
    // 2^63 itself does not fit; every smaller integral double does.
    if (!std::isfinite(value) || std::trunc(value) != value || value < -9.223372036854775808e18 ||
        value >= 9.223372036854775808e18) {
      return std::nullopt;
    }
    return static_cast<std::int64_t>(value);
  }
  return std::nullopt;
}

std::string stringProperty(const nlohmann::json& properties, const char* key) {
  const auto it = properties.find(key);
  if (it == properties.end() || !it->is_string()) return "";
  return it->get<std::string>();
}

std::vector<USBDevice> devicesFrom(const std::vector<nlohmann::json>& entries) {
  std::vector<USBDevice> devices;
  for (const nlohmann::json& properties : entries) {
    if (!properties.is_object()) continue;
    const auto vendor = integralId(properties, "idVendor");
    if (!vendor) continue;
    const auto product = integralId(properties, "idProduct");
    if (!product) continue;
    devices.emplace_back(*vendor, *product, stringProperty(properties, "USB Product Name"),
                         stringProperty(properties, "USB Serial Number"));
  }
  return devices;
}

}  // namespace

void Monitor::startWatcher() {
  port = services_.usb.createNotificationPort();
  if (!port || !port->hasMainLoopSource()) {
    state = Observed::multiple;
    watcherUnavailable = true;
    rebuild(true);
    return;
  }
  port->addSourceToMainLoop();
  // The controller outlives the port and its notifications, so a plain pointer is safe here.
  auto callback = [this](UsbNotification& fired) { notificationFired(fired); };
  matched = port->subscribe(UsbNotificationKind::kArrival, callback);
  terminated = port->subscribe(UsbNotificationKind::kRemoval, callback);
  if (!matched || !terminated) {
    watcherUnavailable = true;
    rebuild(true);
    return;
  }
  // Draining each notification by hand arms it; each drain refreshes once.
  notificationFired(*matched);
  notificationFired(*terminated);
  refresh();
}

void Monitor::notificationFired(UsbNotification& notification) {
  while (notification.next()) {
  }
  refresh();
}

void Monitor::refresh() {
  const std::optional<std::vector<nlohmann::json>> entries = services_.usb.enumerateDevices();
  if (!entries) {
    watcherUnavailable = true;
    rebuild(true);
    return;
  }
  state = observed(devicesFrom(*entries), c6Serial);
  watcherUnavailable = false;
  rebuild(false);
}

void Monitor::stopWatcher() {
  matched.reset();
  terminated.reset();
  port.reset();
}

}  // namespace vantorel
