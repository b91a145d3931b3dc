#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/desired.h"
#include "core/usb_device.h"

namespace vantorel {

// The boards as one JSON object for scripts, its keys always present and in this order:
//   {"wanted": "RP boot",
//    "observed": {"label": "RP likely boot", "description": "RP bootloader USB descriptor · ..."},
//    "devices": [{"vendor": "2e8a", "product": "000f", "name": "RP2350 Boot", "serial": "",
//                 "rule": "RP likely boot"}]}
// "devices" lists the attached devices some rule is about, in the order given, each with its ids
// as (at least) four lower-case hex digits and the label of the rule it matched on its own.
// `c6Serial` is the expected ESP32-C6 serial, as the classification takes it.
std::string statusReport(Desired wanted, const std::vector<USBDevice>& devices,
                         const std::optional<std::string>& c6Serial);

}  // namespace vantorel
