#include "core/classification.h"

namespace vantorel {

std::optional<Observed> classify(const USBDevice& device,
                                 const std::optional<std::string>& c6Serial) {
  if (device.vendor() == kEspressifVendor && device.product() == kEspressifC6Product) {
    if (c6Serial && !c6Serial->empty() && sameName(device.serial(), *c6Serial)) {
      return Observed::c6Unknown;
    }
    return Observed::espUnknown;
  }
  if (device.vendor() == kRaspberryPiVendor) {
    const std::string& name = device.name();
    if (device.product() == kRp2350BootProduct && sameName(name, "rp2350 boot")) {
      return Observed::rpBoot;
    }
    if (device.product() == kRpApplicationProduct && sameName(name, "pico")) {
      return Observed::rpNormal;
    }
    return Observed::rpUnknown;
  }
  return std::nullopt;
}

Observed observed(const std::vector<USBDevice>& devices,
                  const std::optional<std::string>& c6Serial) {
  return observed(devices, Bench{c6Serial, SerialSource::none, "", {}});
}

Verdict judge(const USBDevice& device, const Bench& bench) {
  const DeviceRule* rule = ruleFor(bench.rules, device.vendor(), device.product(), device.name());
  if (!rule) return {classify(device, bench.c6Serial), nullptr};
  switch (rule->kind) {
    case RuleKind::boot:
      return {Observed::rpBoot, rule};
    case RuleKind::app:
      return {Observed::rpNormal, rule};
    case RuleKind::ignore:
      break;
  }
  return {std::nullopt, rule};
}

Observed observed(const std::vector<USBDevice>& devices, const Bench& bench) {
  std::size_t count = 0;
  Observed only = Observed::none;
  for (const USBDevice& device : devices) {
    if (auto state = judge(device, bench).state) {
      only = *state;
      ++count;
    }
  }
  if (count == 0) return Observed::none;
  if (count == 1) return only;
  return Observed::multiple;
}

}  // namespace vantorel
