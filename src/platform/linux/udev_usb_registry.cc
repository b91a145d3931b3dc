#include "platform/linux/udev_usb_registry.h"

#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "platform/linux/udev_handles.h"
#include "platform/linux/udev_notification_port.h"

namespace vantorel {
namespace {

constexpr const char* kDaemonControlSocket = "/run/udev/control";

// A sysfs id such as "2e8a": hexadecimal digits only, no prefix or sign, fitting 64 bits.
std::optional<std::int64_t> hexId(const char* text) {
  if (text == nullptr || !std::isxdigit(static_cast<unsigned char>(text[0]))) return std::nullopt;
  const char* end = text + std::strlen(text);
  std::int64_t value = 0;
  const auto [stop, error] = std::from_chars(text, end, value, 16);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// The device's properties under the registry's names; a key is absent when the device does not
// report it in a usable form.
nlohmann::json propertiesOf(udev_device* device) {
  nlohmann::json properties = nlohmann::json::object();
  if (const auto vendor = hexId(udev_device_get_sysattr_value(device, "idVendor"))) {
    properties["idVendor"] = *vendor;
  }
  if (const auto product = hexId(udev_device_get_sysattr_value(device, "idProduct"))) {
    properties["idProduct"] = *product;
  }
  if (const char* name = udev_device_get_sysattr_value(device, "product")) {
    properties["USB Product Name"] = name;
  }
  if (const char* serial = udev_device_get_sysattr_value(device, "serial")) {
    properties["USB Serial Number"] = serial;
  }
  return properties;
}

class UdevUsbRegistry final : public UsbRegistry {
 public:
  UdevUsbRegistry(UdevPtr context, std::function<bool()> daemonRunning)
      : context_(std::move(context)), daemonRunning_(std::move(daemonRunning)) {}

  std::unique_ptr<UsbNotificationPort> createNotificationPort() override {
    const UdevEventSource source =
        daemonRunning_() ? UdevEventSource::kDaemon : UdevEventSource::kKernel;
    return UdevNotificationPort::open(context_.get(), source, removals_);
  }

  std::optional<std::vector<nlohmann::json>> enumerateDevices() override {
    UdevEnumeratePtr enumeration(udev_enumerate_new(context_.get()));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), kUsbSubsystem) < 0 ||
        udev_enumerate_add_match_property(enumeration.get(), "DEVTYPE", kUsbDeviceType) < 0 ||
        udev_enumerate_scan_devices(enumeration.get()) < 0) {
      return std::nullopt;
    }
    std::vector<nlohmann::json> devices;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get())) {
      const char* syspath = udev_list_entry_get_name(entry);
      if (syspath == nullptr || removals_->contains(syspath)) continue;
      // A device that went away since the scan cannot be read: null, as the contract says.
      UdevDevicePtr device(udev_device_new_from_syspath(context_.get(), syspath));
      devices.push_back(device ? propertiesOf(device.get()) : nlohmann::json());
    }
    return devices;
  }

 private:
  UdevPtr context_;
  std::function<bool()> daemonRunning_;
  std::shared_ptr<RecentRemovals> removals_ = std::make_shared<RecentRemovals>();
};

// Stands in when libudev cannot be initialised: nothing can be watched or enumerated.
class UnavailableUsbRegistry final : public UsbRegistry {
 public:
  std::unique_ptr<UsbNotificationPort> createNotificationPort() override { return nullptr; }
  std::optional<std::vector<nlohmann::json>> enumerateDevices() override { return std::nullopt; }
};

}  // namespace

bool udevDaemonRunning() { return access(kDaemonControlSocket, F_OK) == 0; }

std::unique_ptr<UsbRegistry> makeUsbRegistry() { return makeUsbRegistry(&udevDaemonRunning); }

std::unique_ptr<UsbRegistry> makeUsbRegistry(std::function<bool()> daemonRunning) {
  UdevPtr context(udev_new());
  if (!context) return std::make_unique<UnavailableUsbRegistry>();
  if (!daemonRunning) daemonRunning = &udevDaemonRunning;
  return std::make_unique<UdevUsbRegistry>(std::move(context), std::move(daemonRunning));
}

}  // namespace vantorel
