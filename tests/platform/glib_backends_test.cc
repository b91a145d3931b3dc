// Given the real GLib main loop, we should run each delayed job once, stop a timer with its handle,
// never run a job whose scheduler is gone, and launch and terminate the application exactly once.

#include <glib.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/linux/glib_application.h"
#include "platform/linux/glib_scheduler.h"

namespace vantorel {
namespace {

constexpr Seconds kShort{0.005};

// Dispatches the default main context until `done` holds or `ms` milliseconds have passed.
void pumpUntil(const std::function<bool()>& done, int ms) {
  const gint64 end = g_get_monotonic_time() + ms * G_TIME_SPAN_MILLISECOND;
  while (!done() && g_get_monotonic_time() < end) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  }
}
void pumpFor(int ms) {
  pumpUntil([] { return false; }, ms);
}

TEST(GLibSchedulerTest, DelayedJobsRunOnceAndTimersStopWithTheirHandle) {
  GLibScheduler scheduler;
  std::vector<int> runs;
  scheduler.after(kShort, [&] {
    runs.push_back(1);
    scheduler.after(kShort, [&] { runs.push_back(2); });  // a job may schedule another
  });
  int ticks = 0;
  auto timer = scheduler.repeating(kShort, [&] { ++ticks; });
  pumpUntil([&] { return ticks >= 3 && runs.size() >= 2; }, 1000);
  ASSERT_GE(ticks, 3);
  timer.reset();
  const int stopped = ticks;
  pumpFor(30);
  EXPECT_EQ(runs, (std::vector<int>{1, 2}));
  EXPECT_EQ(ticks, stopped);
}

TEST(GLibSchedulerTest, JobsPendingWhenTheSchedulerGoesNeverRun) {
  int runs = 0;
  auto scheduler = std::make_unique<GLibScheduler>();
  scheduler->after(kShort, [&] { ++runs; });
  scheduler->after(Seconds{0.0}, [&] { ++runs; });
  scheduler.reset();
  pumpFor(30);
  EXPECT_EQ(runs, 0);
}

class CountingDelegate final : public ApplicationDelegate {
 public:
  int launches = 0;
  int terminations = 0;
  void applicationDidFinishLaunching() override { ++launches; }
  void applicationWillTerminate() override { ++terminations; }
};

TEST(GLibApplicationTest, TerminateShutsDownOnceAndEndsRun) {
  CountingDelegate delegate;
  GLibScheduler scheduler;
  GLibApplication app;
  app.setDelegate(&delegate);
  scheduler.after(kShort, [&] {  // runs after the launch, which the loop dispatches first
    app.terminate();
    app.terminate();
  });
  // Ends a run that would otherwise never return, so that a fault fails instead of hanging.
  scheduler.after(Seconds{5.0}, [&] { app.terminate(); });
  EXPECT_EQ(app.run(), 0);
  EXPECT_EQ(delegate.launches, 1);
  EXPECT_EQ(delegate.terminations, 1);
}

TEST(GLibApplicationTest, TerminateBeforeRunNeverLaunches) {
  CountingDelegate delegate;
  {
    GLibApplication app;
    app.setDelegate(&delegate);
    app.terminate();
    EXPECT_EQ(app.run(), 0);
  }
  pumpFor(20);  // nothing of the application may still be waiting on the loop
  EXPECT_EQ(delegate.launches, 0);
  EXPECT_EQ(delegate.terminations, 1);
}

}  // namespace
}  // namespace vantorel
