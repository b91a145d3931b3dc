#include "linux/glib_main_loop.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>

#include "glib/glib_handles.h"
#include "glib/system_edge.h"

namespace vantorel {
namespace {

// GLib counts timeouts in milliseconds as a guint. Rounded up, so a job never runs early, and
// clamped, so a negative or huge duration never wraps around.
guint milliseconds(Duration duration) {
  const std::int64_t ms = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
  return static_cast<guint>(std::clamp<std::int64_t>(ms, 0, G_MAXUINT));
}

// SIGHUP: the terminal or session went away; end as orderly as on SIGTERM.
constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};

// The write end of the pipe through which the signal handler wakes the loop; -1 when none.
volatile std::sig_atomic_t signalPipe = -1;

void onEndingSignal(int) {
  const int saved = errno;
  if (const int fd = signalPipe; fd >= 0) (void)!write(fd, "", 1);
  errno = saved;
}

// A timer or delayed job: its source goes with it.
class GLibTimer final : public Timer {
 public:
  SourceHandle source;
};

}  // namespace

// The ending signals reach the loop through a pipe that their handler writes to, rather than
// through GLib's own signal sources: those start a helper thread, and a process with a second
// thread takes milliseconds longer to exit on a busy machine (`vantorel wait` exits on arrival).
struct GLibMainLoop::State {
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  bool quitting = false;
  UniqueFd readEnd;
  UniqueFd writeEnd;
  SourceHandle signalWatch;

  ~State() {
    signalWatch.reset();
    if (writeEnd) {
      for (const int number : kEndingSignals) std::signal(number, SIG_DFL);
      signalPipe = -1;
    }
    g_main_loop_unref(loop);
  }
};

GLibMainLoop::GLibMainLoop() : state_(std::make_unique<State>()) {
  int ends[2] = {-1, -1};
  // Without the pipe the signals keep their default action: they end the program at once.
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  state_->readEnd.reset(ends[0]);
  state_->writeEnd.reset(ends[1]);
  signalPipe = ends[1];
  state_->signalWatch = watchFd(ends[0], G_IO_IN, [this, fd = ends[0]] {
    char drained[16];
    while (read(fd, drained, sizeof drained) > 0) {
    }
    quit();
    return G_SOURCE_CONTINUE;
  });
  struct sigaction action = {};
  action.sa_handler = &onEndingSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int number : kEndingSignals) sigaction(number, &action, nullptr);
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

void GLibMainLoop::run() {
  if (!state_->quitting) g_main_loop_run(state_->loop);
}

}  // namespace vantorel
