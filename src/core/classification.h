#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/bench.h"
#include "core/board_model.h"
#include "core/device_rules.h"

namespace vantorel {

inline constexpr std::int64_t kEspressifVendor = 0x303A;
inline constexpr std::int64_t kEspressifC6Product = 0x1001;
inline constexpr std::int64_t kRaspberryPiVendor = 0x2E8A;
inline constexpr std::int64_t kRp2350BootProduct = 0x000F;
inline constexpr std::int64_t kRpApplicationProduct = 0x0009;

// The rule one device matches: the state it would give if it were the only one attached, or
// nothing for a device no rule is about.
std::optional<Observed> classify(const USBDevice& device,
                                 const std::optional<std::string>& c6Serial);

// The one observed board state for the devices attached right now. `c6Serial` is the expected
// serial number of the ESP32-C6 board, if one is configured. Pure; the device order never
// changes the result.
Observed observed(const std::vector<USBDevice>& devices,
                  const std::optional<std::string>& c6Serial);

// What decided one device on a bench: `state` is what it gives on its own (nothing: it is not a
// candidate), `rule` the person's rule that decided it, or null when the built-in rules did.
struct Verdict {
  std::optional<Observed> state;
  const DeviceRule* rule = nullptr;  // points into the bench's rules
};

// The person's rule about the device decides when there is one (`ignore`: not a candidate,
// `boot`: rpBoot, `app`: rpNormal); otherwise classify() with the bench's serial.
Verdict judge(const USBDevice& device, const Bench& bench);

// observed() on a bench: the same reduction over judge(). With no rules it is exactly
// observed(devices, bench.c6Serial).
Observed observed(const std::vector<USBDevice>& devices, const Bench& bench);

}  // namespace vantorel
