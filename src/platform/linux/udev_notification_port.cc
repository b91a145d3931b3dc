#include "platform/linux/udev_notification_port.h"

#include <glib-unix.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <map>

namespace vantorel {
namespace {

// Bounds one wake-up, so a flood of events cannot hold the main loop; the socket stays readable
// and the rest comes at the next wake-up.
constexpr int kMaxEventsPerWakeUp = 4096;
// Room for a burst of events on a busy bus; refused without privileges, which only costs room.
constexpr int kReceiveBufferBytes = 1 << 20;

bool isWatchedDevice(udev_device* device) {
  const char* subsystem = udev_device_get_subsystem(device);
  const char* type = udev_device_get_devtype(device);
  return subsystem != nullptr && type != nullptr && std::strcmp(subsystem, kUsbSubsystem) == 0 &&
         std::strcmp(type, kUsbDeviceType) == 0;
}

}  // namespace

struct UdevNotificationPort::Subscription {
  UsbNotificationKind kind;
  std::function<void(UsbNotification&)> callback;
  std::deque<std::string> pending;  // syspaths; empty text for events that were lost
  bool armed = false;
  bool released = false;
  UsbNotification* handle = nullptr;
};

struct UdevNotificationPort::Batch {
  std::vector<std::string> arrived;
  std::vector<std::string> removed;
  std::map<std::string, bool> lastWasRemoval;
  bool lost = false;
};

namespace {

class UdevNotification final : public UsbNotification {
 public:
  explicit UdevNotification(std::shared_ptr<UdevNotificationPort::Subscription> subscription)
      : subscription_(std::move(subscription)) {
    subscription_->handle = this;
  }
  ~UdevNotification() override {
    subscription_->released = true;
    subscription_->handle = nullptr;
    subscription_->pending.clear();
  }
  UdevNotification(const UdevNotification&) = delete;
  UdevNotification& operator=(const UdevNotification&) = delete;

  bool next() override {
    if (!subscription_->pending.empty()) {
      subscription_->pending.pop_front();
      return true;
    }
    subscription_->armed = true;
    return false;
  }

 private:
  std::shared_ptr<UdevNotificationPort::Subscription> subscription_;
};

}  // namespace

std::unique_ptr<UdevNotificationPort> UdevNotificationPort::open(
    udev* context, UdevEventSource source, std::shared_ptr<RecentRemovals> removals) {
  const char* name = source == UdevEventSource::kDaemon ? "udev" : "kernel";
  UdevMonitorPtr monitor(udev_monitor_new_from_netlink(context, name));
  if (!monitor) return nullptr;
  (void)udev_monitor_set_receive_buffer_size(monitor.get(), kReceiveBufferBytes);
  const bool receiving = udev_monitor_filter_add_match_subsystem_devtype(
                             monitor.get(), kUsbSubsystem, kUsbDeviceType) >= 0 &&
                         udev_monitor_enable_receiving(monitor.get()) >= 0 &&
                         udev_monitor_get_fd(monitor.get()) >= 0;
  return std::unique_ptr<UdevNotificationPort>(
      new UdevNotificationPort(context, std::move(monitor), receiving, std::move(removals)));
}

UdevNotificationPort::UdevNotificationPort(udev* context, UdevMonitorPtr monitor, bool receiving,
                                           std::shared_ptr<RecentRemovals> removals)
    : context_(sharedUdev(context)),
      monitor_(std::move(monitor)),
      receiving_(receiving),
      removals_(std::move(removals)) {}

UdevNotificationPort::~UdevNotificationPort() {
  if (watch_ != 0) g_source_remove(watch_);
}

void UdevNotificationPort::addSourceToMainLoop() {
  if (!receiving_ || watch_ != 0) return;
  watch_ =
      g_unix_fd_add(udev_monitor_get_fd(monitor_.get()),
                    static_cast<GIOCondition>(G_IO_IN | G_IO_ERR | G_IO_HUP), &onReadable, this);
}

std::unique_ptr<UsbNotification> UdevNotificationPort::subscribe(
    UsbNotificationKind kind, std::function<void(UsbNotification&)> callback) {
  auto subscription = std::make_shared<Subscription>();
  subscription->kind = kind;
  subscription->callback = std::move(callback);
  subscriptions_.push_back(subscription);
  return std::make_unique<UdevNotification>(std::move(subscription));
}

gboolean UdevNotificationPort::onReadable(gint, GIOCondition condition, gpointer data) {
  auto* port = static_cast<UdevNotificationPort*>(data);
  Batch batch = port->drain();
  if (!port->deliver(batch)) return G_SOURCE_REMOVE;
  if ((condition & (G_IO_HUP | G_IO_NVAL)) != 0) {
    // The socket is gone for good; watching it further would only spin the loop.
    port->watch_ = 0;
    return G_SOURCE_REMOVE;
  }
  return G_SOURCE_CONTINUE;
}

UdevNotificationPort::Batch UdevNotificationPort::drain() {
  Batch batch;
  for (int received = 0; received < kMaxEventsPerWakeUp; ++received) {
    errno = 0;
    UdevDevicePtr device(udev_monitor_receive_device(monitor_.get()));
    if (!device) {
      const int error = errno;
      if (error == EAGAIN || error == EWOULDBLOCK) break;
      if (error == EINTR) continue;
      // Dropped events (ENOBUFS after an overflow) or an unreadable message: what they said is
      // unknown, so the batch stands for an arrival and a removal. Later events may still queue.
      batch.lost = true;
      if (error == ENOBUFS) continue;
      break;
    }
    const char* action = udev_device_get_action(device.get());
    const char* syspath = udev_device_get_syspath(device.get());
    if (action == nullptr || syspath == nullptr || !isWatchedDevice(device.get())) continue;
    if (std::strcmp(action, "add") == 0) {
      batch.arrived.emplace_back(syspath);
      batch.lastWasRemoval[syspath] = false;
    } else if (std::strcmp(action, "remove") == 0) {
      batch.removed.emplace_back(syspath);
      batch.lastWasRemoval[syspath] = true;
    }
  }
  if (batch.lost) {
    batch.arrived.emplace_back();
    batch.removed.emplace_back();
  }
  return batch;
}

bool UdevNotificationPort::deliver(Batch& batch) {
  RecentRemovals removals;
  for (const auto& [syspath, removed] : batch.lastWasRemoval) {
    if (removed) removals.insert(syspath);
  }
  *removals_ = std::move(removals);

  std::erase_if(subscriptions_, [](const auto& s) { return s->released; });
  const std::vector<std::shared_ptr<Subscription>> subscriptions = subscriptions_;
  const std::weak_ptr<bool> alive = alive_;
  for (const auto& subscription : subscriptions) {
    const std::vector<std::string>& objects =
        subscription->kind == UsbNotificationKind::kArrival ? batch.arrived : batch.removed;
    if (objects.empty() || subscription->released) continue;
    subscription->pending.insert(subscription->pending.end(), objects.begin(), objects.end());
    if (!subscription->armed || subscription->handle == nullptr) continue;
    subscription->armed = false;
    subscription->callback(*subscription->handle);
    if (alive.expired()) return false;
  }
  return true;
}

}  // namespace vantorel
