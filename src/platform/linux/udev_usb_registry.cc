#include "platform/linux/udev_usb_registry.h"

namespace vantorel {
namespace {

class NoUsbRegistry final : public UsbRegistry {
 public:
  std::unique_ptr<UsbNotificationPort> createNotificationPort() override { return nullptr; }
  std::optional<std::vector<nlohmann::json>> enumerateDevices() override { return std::nullopt; }
};

}  // namespace

std::unique_ptr<UsbRegistry> makeUsbRegistry() { return std::make_unique<NoUsbRegistry>(); }

}  // namespace vantorel
