#include "linux/usb_event_drain.h"

#include <cerrno>

namespace vantorel {

void UsbEventDrain::wake() {
  bool changed = false;
  std::set<std::string> removed;
  // Devices an "add" or "change" named but whose ids could not be read. One that a later
  // removal in the same batch takes away again (a quick plug and unplug) needs no enumeration.
  std::set<std::string> unreadable;
  for (int received = 0; received < kMaxEventsPerWakeUp; ++received) {
    const UsbEventRead read = read_();
    if (const int* error = std::get_if<int>(&read)) {
      if (*error == EAGAIN || *error == EWOULDBLOCK) break;
      if (*error == EINTR) continue;
      // Dropped events (ENOBUFS after an overflow) or an unreadable message: what they said is
      // unknown, so the set is enumerated afresh. After an overflow later events still queue.
      changed = true;
      trusted_ = false;
      lost_ = true;
      if (*error == ENOBUFS) continue;
      break;
    }
    const UsbEvent& event = std::get<UsbEvent>(read);
    if (!event.watched || event.action == "bind" || event.action == "unbind") continue;
    changed = true;
    if (event.action == "remove") {
      kept_.erase(event.syspath);
      removed.insert(event.syspath);
      unreadable.erase(event.syspath);
      continue;
    }
    if (event.action != "add" && event.action != "change") {
      trusted_ = false;  // a "move" (the device's old path is not named) or an unknown action
      continue;
    }
    removed.erase(event.syspath);
    if (event.device) {
      kept_.insert_or_assign(event.syspath, *event.device);
      unreadable.erase(event.syspath);
    } else {
      kept_.erase(event.syspath);
      unreadable.insert(event.syspath);
    }
  }
  if (!changed) return;
  if (!unreadable.empty()) trusted_ = false;
  removed_ = std::move(removed);
  onChange_();
}

std::optional<std::vector<USBDevice>> UsbEventDrain::devices() {
  if (!trusted_) {
    std::optional<UsbDeviceSet> fresh = enumerate_();
    if (!fresh) return std::nullopt;
    if (!lost_) {
      for (const std::string& syspath : removed_) fresh->erase(syspath);
    }
    kept_ = std::move(*fresh);
    trusted_ = true;
    lost_ = false;
  }
  std::vector<USBDevice> devices;
  devices.reserve(kept_.size());
  for (const auto& [syspath, device] : kept_) devices.push_back(device);
  return devices;
}

}  // namespace vantorel
