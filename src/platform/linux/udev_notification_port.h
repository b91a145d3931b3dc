#pragma once

#include <glib.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/udev_handles.h"
#include "platform/usb_registry.h"

namespace vantorel {

// The watched class of devices: whole USB devices, not their interfaces or endpoints.
inline constexpr const char* kUsbSubsystem = "usb";
inline constexpr const char* kUsbDeviceType = "usb_device";

// Syspaths of the devices whose last event in the latest batch was a removal. The event can come
// while the device's sysfs folder still exists, so enumerations leave these devices out until the
// next batch replaces the set.
using RecentRemovals = std::set<std::string>;

enum class UdevEventSource {
  kDaemon,  // events after the device manager daemon has processed them
  kKernel,  // events straight from the kernel, for systems without the daemon
};

// Arrival and removal notifications from a udev monitor whose socket is watched on the GLib main
// loop. Each wake-up drains every pending event and delivers at most one notification of each
// kind; lost events (an overflowed socket) deliver both, so the watcher enumerates afresh.
class UdevNotificationPort final : public UsbNotificationPort {
 public:
  // nullptr when no monitor can be opened on `source`. A monitor that cannot receive gives a
  // port without a main-loop source.
  static std::unique_ptr<UdevNotificationPort> open(udev* context, UdevEventSource source,
                                                    std::shared_ptr<RecentRemovals> removals);
  ~UdevNotificationPort() override;
  UdevNotificationPort(const UdevNotificationPort&) = delete;
  UdevNotificationPort& operator=(const UdevNotificationPort&) = delete;

  bool hasMainLoopSource() const override { return receiving_; }
  void addSourceToMainLoop() override;
  std::unique_ptr<UsbNotification> subscribe(
      UsbNotificationKind kind, std::function<void(UsbNotification&)> callback) override;

  struct Subscription;

 private:
  struct Batch;

  UdevNotificationPort(udev* context, UdevMonitorPtr monitor, bool receiving,
                       std::shared_ptr<RecentRemovals> removals);
  static gboolean onReadable(gint fd, GIOCondition condition, gpointer port);
  Batch drain();
  // Queues the batch's objects and calls every armed subscription that got some. Returns false
  // when a callback destroyed this port.
  bool deliver(Batch& batch);

  UdevPtr context_;
  UdevMonitorPtr monitor_;
  bool receiving_;
  std::shared_ptr<RecentRemovals> removals_;
  std::vector<std::shared_ptr<Subscription>> subscriptions_;
  guint watch_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vantorel
