#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "core/board_model.h"

namespace vantorel {

// The USB devices attached to the machine and their comings and goings. The real one is
// libudev's.
class UsbWatch {
 public:
  virtual ~UsbWatch() = default;
  // Starts watching: from now on `onChange` runs on the main loop once per wake-up that saw
  // devices arrive, leave or change (or lost events), however many it saw. False when nothing
  // can be watched.
  virtual bool start(std::function<void()> onChange) = 0;
  // The devices attached now, or nothing when they cannot be enumerated.
  virtual std::optional<std::vector<USBDevice>> devices() = 0;
};

}  // namespace vantorel
