#include "platform/linux/idle_jobs.h"

namespace vantorel {

IdleJobs::~IdleJobs() {
  for (Pending& pending : pending_) g_source_remove(pending.source);
}

void IdleJobs::post(std::function<void()> job, int priority) {
  pending_.push_back({this, std::move(job)});
  Pending* entry = &pending_.back();
  entry->source = g_idle_add_full(
      priority,
      [](gpointer data) -> gboolean {
        auto* entry = static_cast<Pending*>(data);
        // The job may destroy the owner: take it out of the list before running it.
        std::function<void()> job = std::move(entry->job);
        IdleJobs* owner = entry->owner;
        owner->pending_.remove_if([entry](const Pending& p) { return &p == entry; });
        job();
        return G_SOURCE_REMOVE;
      },
      entry, nullptr);
}

}  // namespace vantorel
