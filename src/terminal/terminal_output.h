#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "glib/glib_handles.h"
#include "glib/system_edge.h"

namespace vantorel::terminal {

// Output to a descriptor that never blocks the main loop. A reader that stops reading (a full
// pipe, a terminal paused with Ctrl+S) only delays the output: what cannot be written at once
// waits in a queue and is written as the reader drains it. A reader that is gone for good (a
// closed pipe) ends the output.
//
// Each write is a whole: a redraw is never cut, so the terminal never gets the tail of one
// without its head, nor half an escape sequence. Nothing is dropped: the caller bounds the queue
// by writing only when it is not busy() (the screen bounds what waits meanwhile), apart from the
// last words when the program stops or ends.
class Output {
 public:
  explicit Output(int fd);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Queues `bytes` and writes what the reader takes now.
  void write(std::string_view bytes);
  // Waits at most `milliseconds` for the queue to be written, for the last words at exit.
  void drain(int milliseconds);

  // True while anything waits for the reader.
  bool busy() const { return !queue_.empty(); }
  // Called on the main loop when a queue that had to wait for the reader has been written.
  void onDrained(std::function<void()> drained) { drained_ = std::move(drained); }

 private:
  void flush();

  int fd_;
  UniqueFd owned_;  // fd_ when it is a descriptor of our own
  // True when fd_ may block: writes then go out only in small pieces after a poll says so.
  bool guarded_ = false;
  bool broken_ = false;
  std::deque<std::string> queue_;
  std::size_t headWritten_ = 0;  // bytes of queue_.front() already written
  std::function<void()> drained_;
  SourceHandle watch_;  // while the queue waits for the reader
};

}  // namespace vantorel::terminal
