#include "linux/usb_event_drain.h"

#include <cerrno>
#include <map>

namespace vantorel {

void UsbEventDrain::wake() {
  bool changed = false;
  std::map<std::string, bool> lastWasRemoval;
  for (int received = 0; received < kMaxEventsPerWakeUp; ++received) {
    const UsbEventRead read = read_();
    if (const int* error = std::get_if<int>(&read)) {
      if (*error == EAGAIN || *error == EWOULDBLOCK) break;
      if (*error == EINTR) continue;
      // Dropped events (ENOBUFS after an overflow) or an unreadable message: what they said is
      // unknown, so the batch counts as a change. After an overflow later events still queue.
      changed = true;
      if (*error == ENOBUFS) continue;
      break;
    }
    const UsbEvent& event = std::get<UsbEvent>(read);
    if (!event.watched || (event.action != "add" && event.action != "remove")) continue;
    changed = true;
    lastWasRemoval[event.syspath] = event.action == "remove";
  }
  if (!changed) return;
  removed_.clear();
  for (const auto& [syspath, removal] : lastWasRemoval) {
    if (removal) removed_.insert(syspath);
  }
  onChange_();
}

}  // namespace vantorel
