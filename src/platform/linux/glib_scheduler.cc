#include "platform/linux/glib_scheduler.h"

#include <cmath>

namespace vantorel {
namespace {

guint milliseconds(Seconds interval) {
  const double ms = std::round(interval.count() * 1000.0);
  return ms <= 0 ? 0 : static_cast<guint>(ms);
}

class GLibTimer final : public ScheduledJob {
 public:
  GLibTimer(Seconds interval, std::function<void()> tick) : tick_(std::move(tick)) {
    source_ = g_timeout_add(
        milliseconds(interval),
        [](gpointer self) -> gboolean {
          static_cast<GLibTimer*>(self)->tick_();
          return G_SOURCE_CONTINUE;
        },
        this);
  }
  ~GLibTimer() override { g_source_remove(source_); }
  GLibTimer(const GLibTimer&) = delete;
  GLibTimer& operator=(const GLibTimer&) = delete;

 private:
  std::function<void()> tick_;
  guint source_;
};

}  // namespace

std::unique_ptr<ScheduledJob> GLibScheduler::repeating(Seconds interval,
                                                       std::function<void()> tick) {
  return std::make_unique<GLibTimer>(interval, std::move(tick));
}

void GLibScheduler::after(Seconds delay, std::function<void()> job) {
  delayed_.postAfter(milliseconds(delay), std::move(job));
}

}  // namespace vantorel
