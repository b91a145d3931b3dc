#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "core/device_rules.h"
#include "linux/bundle.h"
#include "linux/preferences.h"
#include "ports/usb_watch.h"

namespace vantorel {

// What the commands about the person's bench (rules, the expected serial) run on. Each writes
// preferences.json through PreferencesFile, so the running program picks the change up within a
// second and nothing else stored there is lost.
struct BenchContext {
  const PreferencesFile& file;
  const Bundle& bundle;
  UsbWatch& usb;
  std::ostream& out;
  std::ostream& err;
};

// Adds `rule`, replacing one about the same devices, and prints it.
int addRule(BenchContext& context, const DeviceRule& rule);
// Removes the rule about the same devices as `rule` (its kind is not looked at); exit 1 when
// there is none.
int removeDeviceRule(BenchContext& context, const DeviceRule& rule);
// Prints the rules in effect, one per line as typed after `vantorel rule add`, or as a JSON
// array of {"ids", "kind"[, "name"]}. Rules skipped as invalid are named on `err`.
int listRules(BenchContext& context, bool json);

// Stores `serial` as the person's expected C6 serial (nothing: removes it) and prints the serial
// in effect. The eight-byte EUI-64 form of a MAC is refused with the six-byte form USB reports;
// a serial no ESP32-C6 could report is stored with a warning.
int setSerial(BenchContext& context, const std::optional<std::string>& serial);
// Stores the serial of the one ESP32-C6 attached now; with none or several it changes nothing,
// lists what it saw and exits 1.
int setSerialFromAttached(BenchContext& context);

}  // namespace vantorel
