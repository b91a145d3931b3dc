#include "fakes/fake_usb_registry.h"

#include <algorithm>

namespace vantorel {
namespace {

const char* kindName(UsbNotificationKind kind) {
  return kind == UsbNotificationKind::kArrival ? "arrival" : "removal";
}

class FakeNotification final : public UsbNotification {
 public:
  FakeNotification(std::shared_ptr<FakeUsbRegistry::Subscription> subscription,
                   std::vector<std::string>& calls)
      : subscription_(std::move(subscription)), calls_(calls) {
    subscription_->handle = this;
  }
  ~FakeNotification() override {
    subscription_->released = true;
    subscription_->handle = nullptr;
    calls_.push_back(std::string("release ") + kindName(subscription_->kind));
  }
  bool next() override {
    if (subscription_->pending > 0) {
      --subscription_->pending;
      return true;
    }
    subscription_->armed = true;
    return false;
  }

 private:
  std::shared_ptr<FakeUsbRegistry::Subscription> subscription_;
  std::vector<std::string>& calls_;
};

}  // namespace

class FakeUsbPort final : public UsbNotificationPort {
 public:
  explicit FakeUsbPort(FakeUsbRegistry& registry) : registry_(registry) {}
  ~FakeUsbPort() override { registry_.calls.push_back("destroyPort"); }
  bool hasMainLoopSource() const override { return !registry_.portWithoutSource; }
  void addSourceToMainLoop() override { registry_.calls.push_back("addSource"); }
  std::unique_ptr<UsbNotification> subscribe(
      UsbNotificationKind kind, std::function<void(UsbNotification&)> callback) override {
    registry_.calls.push_back(std::string("subscribe ") + kindName(kind));
    const bool refused =
        kind == UsbNotificationKind::kArrival ? registry_.refuseArrival : registry_.refuseRemoval;
    if (refused) return nullptr;
    auto subscription = std::make_shared<FakeUsbRegistry::Subscription>();
    subscription->kind = kind;
    subscription->callback = std::move(callback);
    registry_.subscriptions_.push_back(subscription);
    return std::make_unique<FakeNotification>(subscription, registry_.calls);
  }

 private:
  FakeUsbRegistry& registry_;
};

std::unique_ptr<UsbNotificationPort> FakeUsbRegistry::createNotificationPort() {
  calls.push_back("createPort");
  if (refusePort) return nullptr;
  return std::make_unique<FakeUsbPort>(*this);
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
  // Ids of any other type never match; value() would throw on them.
  const auto hasId = [](const nlohmann::json& d, const char* key, std::int64_t id) {
    const auto it = d.find(key);
    return it != d.end() && it->is_number_integer() && it->get<std::int64_t>() == id;
  };
  const auto it = std::find_if(devices.begin(), devices.end(), [&](const nlohmann::json& d) {
    return d.is_object() && hasId(d, "idVendor", vendor) && hasId(d, "idProduct", product);
  });
  if (it != devices.end()) devices.erase(it);
  queue(UsbNotificationKind::kRemoval);
}

void FakeUsbRegistry::queue(UsbNotificationKind kind) {
  for (const auto& subscription : subscriptions_) {
    if (subscription->kind != kind || subscription->released) continue;
    ++subscription->pending;
    if (subscription->armed && subscription->handle != nullptr) {
      subscription->armed = false;
      subscription->callback(*subscription->handle);
    }
  }
}

bool FakeUsbRegistry::armed(UsbNotificationKind kind) const {
  return std::any_of(subscriptions_.begin(), subscriptions_.end(),
                     [&](const auto& s) { return s->kind == kind && s->armed && !s->released; });
}

int FakeUsbRegistry::enumerations() const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), "enumerate"));
}

}  // namespace vantorel
