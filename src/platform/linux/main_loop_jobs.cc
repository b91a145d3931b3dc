#include "platform/linux/main_loop_jobs.h"

namespace vantorel {

MainLoopJobs::~MainLoopJobs() {
  for (Pending& pending : pending_) g_source_remove(pending.source);
}

template <typename AddSource>
void MainLoopJobs::add(std::function<void()> job, AddSource addSource) {
  pending_.push_back({this, std::move(job)});
  Pending* entry = &pending_.back();
  entry->source = addSource(&MainLoopJobs::runPending, entry);
}

gboolean MainLoopJobs::runPending(gpointer data) {
  auto* entry = static_cast<Pending*>(data);
  // The job may destroy the owner: take it out of the list before running it.
  std::function<void()> job = std::move(entry->job);
  MainLoopJobs* owner = entry->owner;
  owner->pending_.remove_if([entry](const Pending& p) { return &p == entry; });
  job();
  return G_SOURCE_REMOVE;
}

void MainLoopJobs::post(std::function<void()> job, int priority) {
  add(std::move(job), [priority](GSourceFunc run, gpointer data) {
    return g_idle_add_full(priority, run, data, nullptr);
  });
}

void MainLoopJobs::postAfter(guint milliseconds, std::function<void()> job) {
  add(std::move(job), [milliseconds](GSourceFunc run, gpointer data) {
    return g_timeout_add(milliseconds, run, data);
  });
}

}  // namespace vantorel
