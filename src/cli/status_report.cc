#include "cli/status_report.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/classification.h"

namespace vantorel {
namespace {

// At least four lower-case hex digits, as USB ids are written ("2e8a", "000f").
std::string hexId(std::int64_t id) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%04llx",
                static_cast<unsigned long long>(static_cast<std::uint64_t>(id)));
  return digits;
}

}  // namespace

std::string statusReport(Desired wanted, const std::vector<USBDevice>& devices,
                         const std::optional<std::string>& c6Serial) {
  using Object = nlohmann::ordered_json;
  const Observed state = observed(devices, c6Serial);
  Object report{{"wanted", rawValue(wanted)},
                {"observed", Object{{"label", shortLabel(state)}, {"description", detail(state)}}},
                {"devices", Object::array()}};
  for (const USBDevice& device : devices) {
    const std::optional<Observed> rule = classify(device, c6Serial);
    if (!rule) continue;
    report["devices"].push_back(Object{{"vendor", hexId(device.vendor())},
                                       {"product", hexId(device.product())},
                                       {"name", device.name()},
                                       {"serial", device.serial()},
                                       {"rule", shortLabel(*rule)}});
  }
  return report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace vantorel
