#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantorel::terminal {

// Output to a descriptor that never blocks the main loop. A reader that stops reading (a full
// pipe, a terminal paused with Ctrl+S) only delays the output: what cannot be written at once
// waits in a bounded queue and is written as the reader drains it. Past the bound the oldest
// output is dropped; a reader that is gone for good (a closed pipe) ends the output.
class Output {
 public:
  static constexpr std::size_t kMaxQueued = 256 * 1024;

  explicit Output(int fd);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void write(std::string_view bytes);
  // Waits at most `milliseconds` for the queue to be written, for the last words at exit.
  void drain(int milliseconds);

  std::size_t queued() const { return queue_.size(); }

 private:
  void flush();
  void watchUntilWritable();

  int fd_;
  bool ownsFd_ = false;
  // True when fd_ may block: writes then go out only in small pieces after a poll says so.
  bool guarded_ = false;
  bool broken_ = false;
  std::string queue_;
  unsigned watch_ = 0;
};

}  // namespace vantorel::terminal
