#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "core/board_model.h"

namespace vantorel {

// One event from the USB monitor.
struct UsbEvent {
  std::string action;  // "add", "remove", "bind", "change", "unbind", "move", ...
  std::string syspath;
  bool watched = false;  // a whole USB device, not an interface or anything else
  // The device as its attributes read when the event was taken from the monitor; nothing when
  // its ids could not be read (or the event is not "add" or "change").
  std::optional<USBDevice> device;
};

// One read from the monitor: the next event, or the errno of a read that gave none (EAGAIN once
// every pending event has been read, ENOBUFS after the socket overflowed and events were lost).
using UsbEventRead = std::variant<UsbEvent, int>;

// The attached devices whose ids can be read, by syspath, as a full enumeration finds them.
using UsbDeviceSet = std::map<std::string, USBDevice>;

// Keeps the set of attached devices from the monitor's events, so that a change costs what the
// events carried and not an enumeration of the whole bus: an "add" or "change" carries the
// device and its attributes, a "remove" names it. The set is enumerated afresh only when it
// cannot be trusted: before the first look, after the monitor lost events (ENOBUFS or an
// unreadable message), and after an event that cannot be used as it is (an "add" or "change"
// whose ids cannot be read, a "move", an action it does not know).
//
// Each wake-up drains every pending event (at most kMaxEventsPerWakeUp, so a flood cannot hold
// the main loop; the rest comes at the next wake-up) and calls `onChange` once when the batch
// held an arrival, removal or change of a watched device, or made the set untrustworthy.
// "bind" and "unbind" alone are no change.
class UsbEventDrain {
 public:
  static constexpr int kMaxEventsPerWakeUp = 4096;

  UsbEventDrain(std::function<UsbEventRead()> read,
                std::function<std::optional<UsbDeviceSet>()> enumerate,
                std::function<void()> onChange)
      : read_(std::move(read)), enumerate_(std::move(enumerate)), onChange_(std::move(onChange)) {}

  // Reads what is pending. `onChange` is the last thing it calls, so the callback may destroy
  // this drain.
  void wake();

  // The attached devices: the kept set, enumerated afresh first when it cannot be trusted.
  // Nothing when that enumeration fails (the next call tries again).
  std::optional<std::vector<USBDevice>> devices();

 private:
  std::function<UsbEventRead()> read_;
  std::function<std::optional<UsbDeviceSet>()> enumerate_;
  std::function<void()> onChange_;
  UsbDeviceSet kept_;
  bool trusted_ = false;
  bool lost_ = false;  // events were lost since the last enumeration
  // Devices whose last event in the latest batch with a change was a removal. A removal can be
  // announced while the device's sysfs folder still exists (a simulated tree shows it), so an
  // enumeration leaves them out; but not after lost events, which may have brought them back.
  std::set<std::string> removed_;
};

}  // namespace vantorel
