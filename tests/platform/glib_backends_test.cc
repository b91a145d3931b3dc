// Given the real GLib main loop, we should run each delayed job once, stop a timer with its handle,
// never run a job whose scheduler is gone, and launch and terminate the application exactly once.

#include <glib.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/linux/glib_application.h"
#include "platform/linux/glib_scheduler.h"

namespace vantorel {
namespace {

constexpr Seconds kShort{0.005};

// Dispatches the default main context until `done` holds or `limitMs` has passed.
template <typename Predicate>
void pumpUntil(Predicate done, guint limitMs) {
  bool expired = false;
  const guint limit = g_timeout_add(
      limitMs,
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &expired);
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  if (!expired) g_source_remove(limit);
}

void pumpFor(guint ms) {
  pumpUntil([] { return false; }, ms);
}

class GLibSchedulerTest : public ::testing::Test {
 protected:
  GLibScheduler scheduler;
};

TEST_F(GLibSchedulerTest, DelayedJobRunsOnce) {
  int runs = 0;
  scheduler.after(kShort, [&] { ++runs; });
  pumpUntil([&] { return runs > 0; }, 1000);
  pumpFor(30);
  EXPECT_EQ(runs, 1);
}

TEST_F(GLibSchedulerTest, DelayedJobMayScheduleAnother) {
  std::vector<int> order;
  scheduler.after(kShort, [&] {
    order.push_back(1);
    scheduler.after(kShort, [&] { order.push_back(2); });
  });
  pumpUntil([&] { return order.size() == 2; }, 1000);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST_F(GLibSchedulerTest, TimerTicksUntilItsHandleIsDestroyed) {
  int ticks = 0;
  auto timer = scheduler.repeating(kShort, [&] { ++ticks; });
  pumpUntil([&] { return ticks >= 3; }, 1000);
  ASSERT_GE(ticks, 3);
  timer.reset();
  const int stopped = ticks;
  pumpFor(30);
  EXPECT_EQ(ticks, stopped);
}

TEST(GLibSchedulerLifetimeTest, JobsPendingWhenTheSchedulerGoesNeverRun) {
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
  std::function<void()> onLaunch;
  int launches = 0;
  int terminations = 0;
  void applicationDidFinishLaunching() override {
    ++launches;
    if (onLaunch) onLaunch();
  }
  void applicationWillTerminate() override { ++terminations; }
};

TEST(GLibApplicationTest, TerminateEndsRunAfterOneShutDown) {
  CountingDelegate delegate;
  GLibScheduler scheduler;
  GLibApplication app;
  app.setDelegate(&delegate);
  delegate.onLaunch = [&] {
    scheduler.after(kShort, [&] {
      app.terminate();
      app.terminate();
    });
  };
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
