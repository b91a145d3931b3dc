#include "core/board_model.h"

#include "core/device_rules.h"

namespace vantorel {

std::string_view rawValue(Desired desired) {
  switch (desired) {
    case Desired::c6Boot:
      return "C6 boot";
    case Desired::c6Normal:
      return "C6 normal";
    case Desired::rpBoot:
      return "RP boot";
    case Desired::rpNormal:
      return "RP normal";
  }
  return "C6 boot";
}

std::optional<Desired> desiredFromRawValue(std::string_view raw) {
  for (Desired desired : kAllDesired) {
    if (rawValue(desired) == raw) return desired;
  }
  return std::nullopt;
}

std::string_view shortLabel(Observed observed) {
  switch (observed) {
    case Observed::none:
      return "none";
    case Observed::c6Unknown:
      return "C6 unknown mode";
    case Observed::espUnknown:
      return "ESP unknown";
    case Observed::rpBoot:
      return "RP likely boot";
    case Observed::rpNormal:
      return "RP likely app";
    case Observed::rpUnknown:
      return "RP unknown";
    case Observed::multiple:
      return "multiple";
  }
  return "none";
}

// The separator is the middle dot U+00B7, spelled as UTF-8 bytes so the source encoding can
// never change it.
std::string_view detail(Observed observed) {
  switch (observed) {
    case Observed::none:
      return "No matching USB device";
    case Observed::c6Unknown:
      return "C6 USB present \xC2\xB7 boot/application unknown";
    case Observed::espUnknown:
      return "ESP USB present \xC2\xB7 identity and mode unknown";
    case Observed::rpBoot:
      return "RP bootloader USB descriptor \xC2\xB7 identity unverified";
    case Observed::rpNormal:
      return "RP application USB descriptor \xC2\xB7 identity unverified";
    case Observed::rpUnknown:
      return "Raspberry Pi USB present \xC2\xB7 mode unknown";
    case Observed::multiple:
      return "Multiple matching USB devices \xC2\xB7 check identity";
  }
  return "No matching USB device";
}

namespace {

// Lower-cased ASCII with hyphens read as spaces: the form both sides are compared in.
std::string comparable(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = c == '-' ? ' ' : lowerAscii(c);
  }
  return out;
}

}  // namespace

std::optional<Observed> observedFromName(std::string_view name) {
  const std::string wanted = comparable(name);
  for (const Observed each : kAllObserved) {
    if (comparable(shortLabel(each)) == wanted) return each;
  }
  return std::nullopt;
}

std::string observedNames() {
  std::string out;
  for (const Observed each : kAllObserved) {
    if (!out.empty()) out += ", ";
    out += "\"" + std::string(shortLabel(each)) + "\"";
  }
  return out;
}

}  // namespace vantorel
