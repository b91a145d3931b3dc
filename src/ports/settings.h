#pragma once

#include <optional>

#include "core/bench.h"
#include "core/board_model.h"

namespace vantorel {

// The user's settings kept across launches: the wanted board state, and what they said about
// their bench (the expected ESP32-C6 serial and their device rules).
class Settings {
 public:
  virtual ~Settings() = default;
  // The stored wanted state; nothing when none is stored or the store is unreadable or corrupt.
  virtual std::optional<Desired> desired() const = 0;
  // Stores `desired`, soon rather than now: a burst of choices costs one write, and nothing
  // waits on the disk. Stored again when unchanged, so an outside edit does not outlive a choice.
  // A store that cannot be written keeps the choice for this run only.
  virtual void setDesired(Desired desired) = 0;
  // Writes what is still pending now. Called once the main loop has ended.
  virtual void flush() = 0;
  // The bench as stored now, when it differs from what the last call gave (the first call always
  // gives it); nothing otherwise. Cheap enough to ask every second.
  virtual std::optional<Bench> bench() = 0;
};

}  // namespace vantorel
