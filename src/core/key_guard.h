#pragma once

#include <optional>
#include <set>
#include <vector>

#include "core/instant.h"

namespace vantorel {

// Which key presses a panel that has just taken the focus may act on. A person typing in another
// window when the panel appears would otherwise answer it with their next Return or Space before
// ever reading it. So no key acts before the panel is on screen or during its first second there,
// and a key held down from before (its auto-repeated presses) acts only after it was let go.
// Keys are hardware key codes, the same for a press and its release whatever the modifiers.
class KeyGuard {
 public:
  static constexpr Duration kQuiet = std::chrono::seconds(1);

  // The panel is on screen from `at`, with `held` down at that moment (where the system tells).
  void shown(Instant at, const std::vector<unsigned>& held = {});
  // Whether a press of `key` at `at` may act.
  bool press(unsigned key, Instant at);
  void release(unsigned key);

 private:
  std::optional<Instant> shownAt_;
  std::set<unsigned> held_;  // pressed before the panel could be read, and not yet let go
};

}  // namespace vantorel
