// Given the real GLib main loop, we should tick a timer until its handle goes, run a delayed job
// once, remove each source exactly once, and end run() on quit() or a signal.

#include "linux/glib_main_loop.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

using namespace vantorel;
using namespace std::chrono_literals;

TEST(GLibMainLoopTest, TimersRunUntilTheirHandleGoesAndDelayedJobsOnce) {
  // Removing a source twice is a critical warning: make it fail the test.
  g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_FATAL_MASK | G_LOG_LEVEL_CRITICAL));
  GLibMainLoop loop;
  int ticks = 0;
  std::string jobs;
  std::unique_ptr<Timer> timer = loop.every(2ms, [&] {
    if (++ticks == 3) timer.reset();
  });
  loop.after(1ms, [&] { jobs += "dropped at once, so never run"; });
  std::unique_ptr<Timer> second;
  const auto first = loop.after(1ms, [&] {
    jobs += "1";
    second = loop.after(-5ms, [&] { jobs += "2"; });
  });
  const auto end = loop.after(50ms, [&] { loop.quit(); });
  EXPECT_EQ(loop.run(), 0);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(jobs, "12");
}

TEST(GLibMainLoopTest, SignalsEndRunAndQuitBeforeRunReturnsAtOnce) {
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
    GLibMainLoop loop;
    const auto send = loop.after(0ms, [number] { kill(getpid(), number); });
    EXPECT_EQ(loop.run(), 0);
  }
  GLibMainLoop loop;
  bool late = false;
  const auto guard = loop.after(2s, [&] { late = true, loop.quit(); });
  loop.quit();
  EXPECT_EQ(loop.run(), 0);
  EXPECT_FALSE(late);
}
