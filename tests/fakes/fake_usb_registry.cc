#include "fakes/fake_usb_registry.h"

#include <algorithm>
#include <utility>

namespace vantorel {
namespace {

std::string kindName(UsbNotificationKind kind) {
  return kind == UsbNotificationKind::kArrival ? "arrival" : "removal";
}

}  // namespace

class FakeNotification final : public UsbNotification {
 public:
  FakeNotification(FakeUsbRegistry& registry, UsbNotificationKind kind,
                   std::function<void(UsbNotification&)> callback)
      : registry(registry), kind(kind), callback(std::move(callback)) {
    registry.live_.push_back(this);
  }
  ~FakeNotification() override {
    registry.calls.push_back("release " + kindName(kind));
    std::erase(registry.live_, this);
  }
  bool next() override {
    armed = pending == 0;
    if (armed) return false;
    --pending;
    return true;
  }

  FakeUsbRegistry& registry;
  const UsbNotificationKind kind;
  const std::function<void(UsbNotification&)> callback;
  int pending = 0;
  bool armed = false;
};

class FakeUsbPort final : public UsbNotificationPort {
 public:
  explicit FakeUsbPort(FakeUsbRegistry& registry) : registry_(registry) {}
  ~FakeUsbPort() override { registry_.calls.push_back("destroyPort"); }
  bool hasMainLoopSource() const override { return !registry_.portWithoutSource; }
  void addSourceToMainLoop() override { registry_.calls.push_back("addSource"); }
  std::unique_ptr<UsbNotification> subscribe(
      UsbNotificationKind kind, std::function<void(UsbNotification&)> callback) override {
    registry_.calls.push_back("subscribe " + kindName(kind));
    const bool arrival = kind == UsbNotificationKind::kArrival;
    if (arrival ? registry_.refuseArrival : registry_.refuseRemoval) return nullptr;
    return std::make_unique<FakeNotification>(registry_, kind, std::move(callback));
  }

 private:
  FakeUsbRegistry& registry_;
};

std::unique_ptr<UsbNotificationPort> FakeUsbRegistry::createNotificationPort() {
  calls.push_back("createPort");
  return refusePort ? nullptr : std::make_unique<FakeUsbPort>(*this);
}

std::optional<std::vector<nlohmann::json>> FakeUsbRegistry::enumerateDevices() {
  calls.push_back("enumerate");
  if (failEnumeration) return std::nullopt;
  return devices;
}

void FakeUsbRegistry::plugIn(nlohmann::json properties) {
  devices.push_back(std::move(properties));
  queue(UsbNotificationKind::kArrival);
}

void FakeUsbRegistry::unplug(std::int64_t vendor, std::int64_t product) {
  const auto it = std::find_if(devices.begin(), devices.end(), [&](const nlohmann::json& d) {
    return d.is_object() && d.value("idVendor", nlohmann::json()) == vendor &&
           d.value("idProduct", nlohmann::json()) == product;
  });
  if (it != devices.end()) devices.erase(it);
  queue(UsbNotificationKind::kRemoval);
}

void FakeUsbRegistry::queue(UsbNotificationKind kind) {
  for (FakeNotification* notification : std::vector(live_)) {
    if (notification->kind != kind) continue;
    ++notification->pending;
    if (std::exchange(notification->armed, false)) notification->callback(*notification);
  }
}

bool FakeUsbRegistry::armed(UsbNotificationKind kind) const {
  return std::any_of(live_.begin(), live_.end(),
                     [&](const FakeNotification* n) { return n->kind == kind && n->armed; });
}

int FakeUsbRegistry::enumerations() const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), "enumerate"));
}

}  // namespace vantorel
