#include "cli/board_wait.h"

#include "core/classification.h"

namespace vantorel {

void BoardWait::start(std::optional<Duration> timeout) {
  if (!usb_.start([this] { look(); })) {
    finish(Outcome::unwatchable);
    return;
  }
  if (timeout) timeout_ = loop_.after(*timeout, [this] { finish(Outcome::timedOut); });
  look();
}

void BoardWait::look() {
  if (outcome_ != Outcome::waiting) return;
  // An enumeration that fails says nothing of the boards; the next change looks again.
  const auto devices = usb_.devices();
  if (!devices) return;
  lastSeen_ = observed(*devices, bench_);
  if (*lastSeen_ == target_) finish(Outcome::reached);
}

void BoardWait::finish(Outcome outcome) {
  if (outcome_ != Outcome::waiting) return;
  outcome_ = outcome;
  timeout_.reset();
  loop_.quit();
}

}  // namespace vantorel
