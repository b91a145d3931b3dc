#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/device_rules.h"

namespace vantorel {

// Where the expected ESP32-C6 serial in effect came from.
enum class SerialSource { none, bundle, user };

// What the person said about their bench: the ESP32-C6 serial they expect, with its origin, and
// their device rules. With neither, the classification is the built-in one alone.
struct Bench {
  std::optional<std::string> c6Serial;  // as the classification takes it
  SerialSource serialSource = SerialSource::none;
  std::string serialFile;  // where `c6Serial` was read; empty with SerialSource::none
  DeviceRules rules;
  bool operator==(const Bench&) const = default;
};

// "bundle", "user" or "none".
std::string_view sourceName(SerialSource source);

// One line for people: "Expected C6 serial: F4:12 (user setting: /home/u/.config/...)"; an
// empty serial reads "(none)".
std::string describeSerial(const Bench& bench);

// The six bytes USB reports ("40:4C:CA:41:A9:EC") when `serial` is the eight-byte EUI-64 a MAC
// is turned into (xx:xx:xx:ff:fe:xx:xx:xx, colons or hyphens, any letter case); nothing else.
std::optional<std::string> macOfEui64(std::string_view serial);

// True when an ESP32-C6's built-in USB could report `serial`: six two-digit hex bytes joined by
// colons, as the chip reports its MAC.
bool c6CouldReport(std::string_view serial);

}  // namespace vantorel
