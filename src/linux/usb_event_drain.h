#pragma once

#include <functional>
#include <set>
#include <string>
#include <variant>

namespace vantorel {

// One event from the USB monitor.
struct UsbEvent {
  std::string action;  // "add", "remove", "bind", "change", "unbind", ...
  std::string syspath;
  bool watched = false;  // a whole USB device, not an interface or anything else
};

// One read from the monitor: the next event, or the errno of a read that gave none (EAGAIN once
// every pending event has been read, ENOBUFS after the socket overflowed and events were lost).
using UsbEventRead = std::variant<UsbEvent, int>;

// Turns the monitor's events into change notifications. Each wake-up drains every pending event
// (at most kMaxEventsPerWakeUp, so a flood cannot hold the main loop; the rest comes at the next
// wake-up) and calls `onChange` once when the batch held an arrival or a removal of a watched
// device, or lost events. "bind", "change" and "unbind" alone are no change.
class UsbEventDrain {
 public:
  static constexpr int kMaxEventsPerWakeUp = 4096;

  UsbEventDrain(std::function<UsbEventRead()> read, std::function<void()> onChange)
      : read_(std::move(read)), onChange_(std::move(onChange)) {}

  // Reads what is pending. `onChange` is the last thing it calls, so the callback may destroy
  // this drain.
  void wake();

  // True when the device's last event in the latest batch with a change was a removal. Such a
  // removal can be announced while the device's sysfs folder still exists, so enumerations
  // leave these devices out.
  bool recentlyRemoved(const std::string& syspath) const { return removed_.contains(syspath); }

 private:
  std::function<UsbEventRead()> read_;
  std::function<void()> onChange_;
  std::set<std::string> removed_;
};

}  // namespace vantorel
