#pragma once

#include <functional>
#include <memory>

#include "platform/clock.h"

namespace vantorel {

// A job on the main loop; destroying the handle removes the job from the loop.
class ScheduledJob {
 public:
  virtual ~ScheduledJob() = default;
};

// Timers and one-shot delayed jobs on the one main loop. Abstract so tests can run jobs by hand;
// the real one is GLibScheduler.
class Scheduler {
 public:
  virtual ~Scheduler() = default;
  // Calls `tick` every `interval` until the returned handle is destroyed.
  virtual std::unique_ptr<ScheduledJob> repeating(Seconds interval, std::function<void()> tick) = 0;
  // Runs `job` once, no earlier than `delay` from now. The scheduler owns the job until it has run
  // (or the scheduler goes away); the job must hold what it needs weakly.
  virtual void after(Seconds delay, std::function<void()> job) = 0;
};

}  // namespace vantorel
