#include "core/key_guard.h"

namespace vantorel {

void KeyGuard::shown(Instant at, const std::vector<unsigned>& held) {
  shownAt_ = at;
  held_.insert(held.begin(), held.end());
}

bool KeyGuard::press(unsigned key, Instant at) {
  if (!shownAt_ || at - *shownAt_ < kQuiet) {
    held_.insert(key);
    return false;
  }
  return !held_.contains(key);
}

void KeyGuard::release(unsigned key) { held_.erase(key); }

}  // namespace vantorel
