#include "linux/glib_main_loop.h"

#include <glib-unix.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>

#include "linux/glib_handles.h"

namespace vantorel {
namespace {

// GLib counts timeouts in milliseconds as a guint. Rounded up, so a job never runs early, and
// clamped, so a negative or huge duration never wraps around.
guint milliseconds(Duration duration) {
  const std::int64_t ms = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
  return static_cast<guint>(std::clamp<std::int64_t>(ms, 0, G_MAXUINT));
}

// A timer or delayed job: its source goes with it.
class GLibTimer final : public Timer {
 public:
  SourceHandle source;
};

}  // namespace

struct GLibMainLoop::State {
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  bool quitting = false;
  std::array<SourceHandle, 3> signals;

  ~State() { g_main_loop_unref(loop); }
};

GLibMainLoop::GLibMainLoop() : state_(std::make_unique<State>()) {
  auto onSignal = [](gpointer self) -> gboolean {
    static_cast<GLibMainLoop*>(self)->quit();
    return G_SOURCE_CONTINUE;
  };
  // SIGHUP: the terminal or session went away; end as orderly as on SIGTERM.
  const std::array<int, 3> numbers = {SIGINT, SIGTERM, SIGHUP};
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    state_->signals[i].reset(g_unix_signal_add(numbers[i], onSignal, this));
  }
}

GLibMainLoop::~GLibMainLoop() = default;

Instant GLibMainLoop::now() const {
  // Both count on CLOCK_MONOTONIC.
  return Instant(std::chrono::microseconds(g_get_monotonic_time()));
}

std::unique_ptr<Timer> GLibMainLoop::every(Duration interval, std::function<void()> tick) {
  auto timer = std::make_unique<GLibTimer>();
  timer->source = addTimeout(milliseconds(interval), [tick = std::move(tick)] {
    tick();
    return G_SOURCE_CONTINUE;
  });
  return timer;
}

std::unique_ptr<Timer> GLibMainLoop::after(Duration delay, std::function<void()> job) {
  auto timer = std::make_unique<GLibTimer>();
  // The source ends after one run: the handle lets go of it first, so neither a later
  // destruction nor the job itself (which may destroy the handle) removes it twice.
  SourceHandle* handle = &timer->source;
  timer->source = addTimeout(milliseconds(delay), [handle, job = std::move(job)] {
    handle->release();
    job();
    return G_SOURCE_REMOVE;
  });
  return timer;
}

void GLibMainLoop::quit() {
  state_->quitting = true;
  g_main_loop_quit(state_->loop);
}

int GLibMainLoop::run() {
  if (!state_->quitting) g_main_loop_run(state_->loop);
  return 0;
}

}  // namespace vantorel
