#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "glib/glib_handles.h"
#include "glib/system_edge.h"

namespace vantorel::terminal {

// The few terminal and main-loop services the terminal front end needs, each an owned handle.

// True when `fd` is a terminal that this process may read from and reconfigure: it is not a
// background job of it (which the terminal would stop on the first read or change).
bool isForegroundTerminal(int fd);

// The width of the terminal at `fd` in columns; 0 when it is not a terminal or does not say.
std::size_t terminalColumns(int fd);

// Calls `resized` on the main loop each time the terminal's size changes (SIGWINCH), until the
// handle goes.
SourceHandle watchResize(std::function<void()> resized);

// Key-at-a-time input on a terminal: no line editing and no echo, while Ctrl+C and Ctrl+Z still
// raise their signals (Ctrl+\ is off: its signal would skip the restore). The previous settings
// come back when the object is destroyed, and also at process exit if the process ends through
// exit() without unwinding.
class KeyMode {
 public:
  // Nothing when `fd` is not a foreground terminal or cannot be configured.
  static std::unique_ptr<KeyMode> enter(int fd);
  ~KeyMode();
  KeyMode(const KeyMode&) = delete;
  KeyMode& operator=(const KeyMode&) = delete;

 private:
  KeyMode() = default;
};

// Delivers the job-control signals SIGTSTP (Ctrl+Z) and SIGCONT (fg, bg) on the main loop, where
// `received` gets each signal's number. Catching SIGTSTP means the process no longer stops by
// itself: `received` decides when (raise(SIGSTOP)). Destroying the watch puts the previous
// handlers back. One watch at a time; nothing when the handlers cannot be installed.
class JobControlWatch {
 public:
  static std::unique_ptr<JobControlWatch> create(std::function<void(int)> received);
  ~JobControlWatch();
  JobControlWatch(const JobControlWatch&) = delete;
  JobControlWatch& operator=(const JobControlWatch&) = delete;

 private:
  explicit JobControlWatch(std::function<void(int)> received) : received_(std::move(received)) {}
  std::function<void(int)> received_;
  UniqueFd read_;  // the pipe the signal handler writes the signal's number to
  UniqueFd write_;
  bool installed_ = false;
  SourceHandle source_;  // last: removed before the pipe closes
};

}  // namespace vantorel::terminal
