#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vantorel {

// The board state the user wants attached. Its raw value is both the display text and the
// persisted form.
enum class Desired { c6Boot, c6Normal, rpBoot, rpNormal };

inline constexpr std::array<Desired, 4> kAllDesired = {Desired::c6Boot, Desired::c6Normal,
                                                       Desired::rpBoot, Desired::rpNormal};

std::string_view rawValue(Desired desired);

// The case whose raw value equals `raw` exactly (case-sensitive, whole string), or nothing.
std::optional<Desired> desiredFromRawValue(std::string_view raw);

// The board state inferred from the attached USB devices.
enum class Observed { none, c6Unknown, espUnknown, rpBoot, rpNormal, rpUnknown, multiple };

// Every observed state, in the order they are listed to the user.
inline constexpr std::array<Observed, 7> kAllObserved = {
    Observed::none,     Observed::c6Unknown, Observed::espUnknown, Observed::rpBoot,
    Observed::rpNormal, Observed::rpUnknown, Observed::multiple};

// The short label shown in the status title.
std::string_view shortLabel(Observed observed);
// The long description shown in the tooltip and the menu.
std::string_view detail(Observed observed);

// The state a command line names: its short label as shown ("RP likely boot"), in any letter
// case, with hyphens in place of any of the spaces ("rp-likely-boot"). Nothing for anything
// else, including surrounding spaces.
std::optional<Observed> observedFromName(std::string_view name);

// Every short label, quoted and comma separated, for a message listing the valid names.
std::string observedNames();

// One attached USB device as read from the registry. Ids are kept as the full integers read,
// never narrowed to 16 bits.
class USBDevice {
 public:
  USBDevice(std::int64_t vendor, std::int64_t product, std::string name, std::string serial)
      : vendor_(vendor), product_(product), name_(std::move(name)), serial_(std::move(serial)) {}

  std::int64_t vendor() const { return vendor_; }
  std::int64_t product() const { return product_; }
  const std::string& name() const { return name_; }      // empty when the device reports none
  const std::string& serial() const { return serial_; }  // empty when the device reports none

 private:
  std::int64_t vendor_;
  std::int64_t product_;
  std::string name_;
  std::string serial_;
};

}  // namespace vantorel
