#include "core/classification.h"

#include <algorithm>

namespace vantorel {
namespace {

// ASCII lower-casing: the names compared against are ASCII, and bytes outside ASCII are left as
// they are, so UTF-8 text never matches by accident.
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(const std::string& text) {
  std::string out = text;
  std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
  return out;
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return lowerAscii(x) == lowerAscii(y);
         });
}

}  // namespace

std::optional<Observed> classify(const USBDevice& device,
                                 const std::optional<std::string>& c6Serial) {
  if (device.vendor() == kEspressifVendor && device.product() == kEspressifC6Product) {
    if (c6Serial && !c6Serial->empty() && equalIgnoringCase(device.serial(), *c6Serial)) {
      return Observed::c6Unknown;
    }
    return Observed::espUnknown;
  }
  if (device.vendor() == kRaspberryPiVendor) {
    const std::string name = lowered(device.name());
    if (device.product() == kRp2350BootProduct && name == "rp2350 boot") return Observed::rpBoot;
    if (device.product() == kRpApplicationProduct && name == "pico") return Observed::rpNormal;
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
