#include "terminal/terminal_output.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "terminal/terminal_io.h"

namespace vantorel::terminal {
namespace {

// Small enough that a writable pipe or terminal always takes it without blocking.
constexpr std::size_t kGuardedPiece = 256;

bool writableNow(int fd) {
  pollfd out{fd, POLLOUT, 0};
  return poll(&out, 1, 0) == 1 && (out.revents & POLLOUT) != 0;
}

}  // namespace

Output::Output(int fd) : fd_(fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    broken_ = true;
    return;
  }
  // Regular files never keep a writer waiting for long. Pipes, terminals and sockets may: they get
  // a descriptor of their own that does not block, opened anew so that the shared one (and the
  // shell's view of it) keeps its flags.
  if (S_ISREG(info.st_mode)) return;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const int own = open(self.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (own >= 0) {
    fd_ = own;
    owned_.reset(own);
  } else {
    guarded_ = true;
  }
}

Output::~Output() { watch_.reset(); }

void Output::write(std::string_view bytes) {
  if (broken_ || bytes.empty()) return;
  queue_.emplace_back(bytes);
  flush();
}

void Output::flush() {
  while (!queue_.empty()) {
    const std::string& head = queue_.front();
    std::size_t piece = head.size() - headWritten_;
    if (guarded_) {
      if (!writableNow(fd_)) break;
      piece = std::min(piece, kGuardedPiece);
    }
    const ssize_t written = ::write(fd_, head.data() + headWritten_, piece);
    if (written > 0) {
      headWritten_ += static_cast<std::size_t>(written);
      if (headWritten_ == head.size()) {
        queue_.pop_front();
        headWritten_ = 0;
      }
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      broken_ = true;
      queue_.clear();
      headWritten_ = 0;
    }
  }
  if (queue_.empty() || watch_) return;
  watch_ = watchFd(fd_, G_IO_OUT, [this]() -> gboolean {
    flush();
    if (!queue_.empty()) return G_SOURCE_CONTINUE;
    watch_.release();  // GLib removes the source on return
    if (drained_) drained_();
    return G_SOURCE_REMOVE;
  });
}

void Output::drain(int milliseconds) {
  const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(milliseconds) * 1000;
  while (!queue_.empty() && !broken_) {
    const gint64 left = (deadline - g_get_monotonic_time()) / 1000;
    if (left <= 0) break;
    pollfd out{fd_, POLLOUT, 0};
    if (poll(&out, 1, static_cast<int>(left)) <= 0) break;
    if ((out.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) break;
    flush();
  }
}

}  // namespace vantorel::terminal
