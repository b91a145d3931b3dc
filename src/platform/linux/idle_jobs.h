#pragma once

#include <glib.h>

#include <functional>
#include <list>

namespace vantorel {

// Jobs deferred to the main loop's next idle moment, so that work triggered from inside a toolkit
// signal runs after the signal has been delivered. Every pending job is removed from the loop
// when its owner goes.
class IdleJobs {
 public:
  IdleJobs() = default;
  ~IdleJobs();
  IdleJobs(const IdleJobs&) = delete;
  IdleJobs& operator=(const IdleJobs&) = delete;

  // Runs `job` once, at `priority` (G_PRIORITY_DEFAULT_IDLE, G_PRIORITY_LOW, ...).
  void post(std::function<void()> job, int priority = G_PRIORITY_DEFAULT_IDLE);

 private:
  struct Pending {
    IdleJobs* owner;
    std::function<void()> job;
    guint source = 0;
  };
  std::list<Pending> pending_;
};

}  // namespace vantorel
