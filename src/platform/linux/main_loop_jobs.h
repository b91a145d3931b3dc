#pragma once

#include <glib.h>

#include <functional>
#include <list>

namespace vantorel {

// One-shot jobs on the main loop: at its next idle moment, so that work triggered from inside a
// toolkit signal runs after the signal has been delivered, or after a delay. Every pending job is
// removed from the loop when its owner goes.
class MainLoopJobs {
 public:
  MainLoopJobs() = default;
  ~MainLoopJobs();
  MainLoopJobs(const MainLoopJobs&) = delete;
  MainLoopJobs& operator=(const MainLoopJobs&) = delete;

  // Runs `job` once, at `priority` (G_PRIORITY_DEFAULT_IDLE, G_PRIORITY_LOW, ...).
  void post(std::function<void()> job, int priority = G_PRIORITY_DEFAULT_IDLE);
  // Runs `job` once, no earlier than `milliseconds` from now.
  void postAfter(guint milliseconds, std::function<void()> job);

 private:
  // Adds `job` with `addSource(callback, data)`, which returns the new source's id.
  template <typename AddSource>
  void add(std::function<void()> job, AddSource addSource);
  static gboolean runPending(gpointer data);

  struct Pending {
    MainLoopJobs* owner;
    std::function<void()> job;
    guint source = 0;
  };
  std::list<Pending> pending_;
};

}  // namespace vantorel
