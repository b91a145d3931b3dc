#pragma once

#include <glib.h>

#include <functional>
#include <memory>

#include "platform/linux/main_loop_jobs.h"
#include "platform/scheduler.h"

namespace vantorel {

// Timers and delayed jobs as GLib timeout sources on the default main context. Every source is
// removed when its owner goes: the handle for a repeating timer, the scheduler for pending jobs.
class GLibScheduler final : public Scheduler {
 public:
  GLibScheduler() = default;
  GLibScheduler(const GLibScheduler&) = delete;
  GLibScheduler& operator=(const GLibScheduler&) = delete;

  std::unique_ptr<ScheduledJob> repeating(Seconds interval, std::function<void()> tick) override;
  void after(Seconds delay, std::function<void()> job) override;

 private:
  MainLoopJobs delayed_;
};

}  // namespace vantorel
