#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/bench.h"
#include "core/board_model.h"

namespace vantorel {

// The boards as one JSON object for scripts, its keys always present and in this order:
//   {"wanted": "RP boot",
//    "observed": {"label": "RP likely boot", "description": "RP bootloader USB descriptor · ..."},
//    "devices": [{"vendor": "2e8a", "product": "000f", "name": "RP2350 Boot", "serial": "",
//                 "rule": "RP likely boot", "decided_by": "built-in"}],
//    "c6_serial": {"value": "F4:12:FA:00:11:22", "source": "user", "file": "/home/..."}}
// "devices" lists the attached devices some rule is about, in the order given, each with its ids
// as (at least) four lower-case hex digits; "rule" is the label it gives on its own, or "left
// out" for a device the person's rule leaves out; "decided_by" is "built-in" or the person's
// rule as typed after `vantorel rule add`. "c6_serial" is the serial in effect ("value" null
// when there is none) and where it came from ("bundle", "user" or "none"; "file" "" for none).
std::string statusReport(Desired wanted, const std::vector<USBDevice>& devices, const Bench& bench);

// The same for people: the status item's title; each device some rule is about and what decided
// it; for "multiple" and "RP unknown" the devices that made it so, each with the command that
// would change it; and the expected serial with its origin.
std::string statusText(Desired wanted, const std::vector<USBDevice>& devices, const Bench& bench);

}  // namespace vantorel
