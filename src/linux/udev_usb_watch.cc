#include "linux/udev_usb_watch.h"

#include <glib-unix.h>
#include <libudev.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "glib/glib_handles.h"
#include "linux/usb_event_drain.h"

namespace vantorel {
namespace {

// Owning handles for libudev objects: each drops its reference when it goes out of scope.
template <auto Release>
struct UdevRelease {
  template <typename T>
  void operator()(T* handle) const {
    (void)Release(handle);
  }
};
using UdevPtr = std::unique_ptr<udev, UdevRelease<udev_unref>>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevRelease<udev_device_unref>>;
using UdevEnumeratePtr = std::unique_ptr<udev_enumerate, UdevRelease<udev_enumerate_unref>>;
using UdevMonitorPtr = std::unique_ptr<udev_monitor, UdevRelease<udev_monitor_unref>>;

// The watched class of devices: whole USB devices, not their interfaces or endpoints.
constexpr const char* kUsbSubsystem = "usb";
constexpr const char* kUsbDeviceType = "usb_device";
// Room for a burst of events on a busy bus; refused without privileges, which only costs room.
constexpr int kReceiveBufferBytes = 1 << 20;
constexpr const char* kDaemonControlSocket = "/run/udev/control";

bool udevDaemonRunning() { return access(kDaemonControlSocket, F_OK) == 0; }

// A sysfs id such as "2e8a": one to four hexadecimal digits, nothing else.
std::optional<std::int64_t> hexId(const char* text) {
  if (text == nullptr) return std::nullopt;
  const std::string_view digits = text;
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : digits) {
    const int digit = g_ascii_xdigit_value(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

std::string textOrEmpty(const char* text) { return text != nullptr ? text : ""; }

// The device as the classification sees it; nothing when its ids are missing or not ids.
std::optional<USBDevice> usbDeviceOf(udev_device* device) {
  const auto vendor = hexId(udev_device_get_sysattr_value(device, "idVendor"));
  const auto product = hexId(udev_device_get_sysattr_value(device, "idProduct"));
  if (!vendor || !product) return std::nullopt;
  return USBDevice(*vendor, *product, textOrEmpty(udev_device_get_sysattr_value(device, "product")),
                   textOrEmpty(udev_device_get_sysattr_value(device, "serial")));
}

class UdevUsbWatch final : public UsbWatch {
 public:
  UdevUsbWatch(UdevPtr context, std::function<bool()> daemonRunning)
      : context_(std::move(context)), daemonRunning_(std::move(daemonRunning)) {}

  bool start(std::function<void()> onChange) override {
    watch_.reset();
    drain_.reset();
    monitor_ = openMonitor();
    if (!monitor_) return false;
    drain_ = std::make_unique<UsbEventDrain>([this] { return readEvent(); },
                                             [this] { return enumerate(); }, std::move(onChange));
    watch_.reset(g_unix_fd_add(udev_monitor_get_fd(monitor_.get()),
                               static_cast<GIOCondition>(G_IO_IN | G_IO_ERR | G_IO_HUP),
                               &UdevUsbWatch::onReadable, this));
    return true;
  }

  // While watching, the set the events keep (enumerated only when it cannot be trusted);
  // otherwise a fresh enumeration.
  std::optional<std::vector<USBDevice>> devices() override {
    if (drain_) return drain_->devices();
    auto found = enumerate();
    if (!found) return std::nullopt;
    std::vector<USBDevice> devices;
    for (auto& [syspath, device] : *found) devices.push_back(std::move(device));
    return devices;
  }

 private:
  // Every attached whole USB device whose ids can be read, whatever its vendor: the device
  // rules may name any of them.
  std::optional<UsbDeviceSet> enumerate() {
    if (!context_) return std::nullopt;
    UdevEnumeratePtr enumeration(udev_enumerate_new(context_.get()));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), kUsbSubsystem) < 0 ||
        udev_enumerate_add_match_property(enumeration.get(), "DEVTYPE", kUsbDeviceType) < 0 ||
        udev_enumerate_scan_devices(enumeration.get()) < 0) {
      return std::nullopt;
    }
    UsbDeviceSet devices;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get())) {
      const char* syspath = udev_list_entry_get_name(entry);
      if (syspath == nullptr) continue;
      // A device that went away since the scan cannot be read, and is left out.
      const UdevDevicePtr device(udev_device_new_from_syspath(context_.get(), syspath));
      if (!device) continue;
      if (auto usb = usbDeviceOf(device.get())) devices.insert_or_assign(syspath, std::move(*usb));
    }
    return devices;
  }

  // A monitor on the daemon's events, or on the kernel's where no daemon runs (there a daemon
  // monitor opens but never delivers). Nothing when it cannot receive.
  UdevMonitorPtr openMonitor() {
    if (!context_) return nullptr;
    const char* source = daemonRunning_() ? "udev" : "kernel";
    UdevMonitorPtr monitor(udev_monitor_new_from_netlink(context_.get(), source));
    if (!monitor) return nullptr;
    (void)udev_monitor_set_receive_buffer_size(monitor.get(), kReceiveBufferBytes);
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), kUsbSubsystem,
                                                        kUsbDeviceType) < 0 ||
        udev_monitor_enable_receiving(monitor.get()) < 0 ||
        udev_monitor_get_fd(monitor.get()) < 0) {
      return nullptr;
    }
    return monitor;
  }

  UsbEventRead readEvent() {
    errno = 0;
    const UdevDevicePtr device(udev_monitor_receive_device(monitor_.get()));
    if (!device) return errno;
    const char* subsystem = udev_device_get_subsystem(device.get());
    const char* type = udev_device_get_devtype(device.get());
    UsbEvent event{textOrEmpty(udev_device_get_action(device.get())),
                   textOrEmpty(udev_device_get_syspath(device.get())),
                   subsystem != nullptr && type != nullptr &&
                       std::strcmp(subsystem, kUsbSubsystem) == 0 &&
                       std::strcmp(type, kUsbDeviceType) == 0,
                   std::nullopt};
    // The attributes as sysfs holds them now: a later event about the device follows anyway.
    if (event.watched && (event.action == "add" || event.action == "change")) {
      event.device = usbDeviceOf(device.get());
    }
    return event;
  }

  static gboolean onReadable(gint, GIOCondition condition, gpointer data) {
    auto* self = static_cast<UdevUsbWatch*>(data);
    // A socket that hung up is gone for good; watching it further would only spin the loop.
    const bool gone = (condition & (G_IO_HUP | G_IO_NVAL)) != 0;
    if (gone) self->watch_.release();
    // Last: the change callback may destroy this watch.
    self->drain_->wake();
    return gone ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
  }

  UdevPtr context_;  // null when libudev could not be initialised
  std::function<bool()> daemonRunning_;
  UdevMonitorPtr monitor_;
  std::unique_ptr<UsbEventDrain> drain_;
  SourceHandle watch_;  // last: removed before anything it calls into
};

}  // namespace

std::unique_ptr<UsbWatch> makeUdevUsbWatch(std::function<bool()> daemonRunning) {
  if (!daemonRunning) daemonRunning = &udevDaemonRunning;
  return std::make_unique<UdevUsbWatch>(UdevPtr(udev_new()), std::move(daemonRunning));
}

}  // namespace vantorel
