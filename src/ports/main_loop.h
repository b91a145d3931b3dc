#pragma once

#include <functional>
#include <memory>

#include "core/attention_tracker.h"

namespace vantorel {

// A timer or delayed job on the main loop. Destroying the handle removes it from the loop.
class Timer {
 public:
  virtual ~Timer() = default;
};

// The one main loop everything runs on, with its monotonic clock. Abstract so tests can step
// time by hand; the real one is the GLib main loop.
class MainLoop {
 public:
  virtual ~MainLoop() = default;
  virtual Instant now() const = 0;
  // Calls `tick` every `interval` while the handle lives.
  virtual std::unique_ptr<Timer> every(Duration interval, std::function<void()> tick) = 0;
  // Calls `job` once, no earlier than `delay` from now, unless the handle goes first.
  virtual std::unique_ptr<Timer> after(Duration delay, std::function<void()> job) = 0;
  // Ends the loop once the current event has been handled.
  virtual void quit() = 0;
};

}  // namespace vantorel
