#pragma once

#include <optional>

#include "core/desired.h"

namespace vantorel {

// The user's settings kept across launches: the wanted board state.
class Settings {
 public:
  virtual ~Settings() = default;
  // The stored wanted state; nothing when none is stored or the store is unreadable or corrupt.
  virtual std::optional<Desired> desired() const = 0;
  // Stores `desired`, soon rather than now: a burst of choices costs one write, and nothing
  // waits on the disk. A store that cannot be written keeps the choice for this run only.
  virtual void setDesired(Desired desired) = 0;
  // Writes what is still pending now. Called once the main loop has ended.
  virtual void flush() = 0;
};

}  // namespace vantorel
