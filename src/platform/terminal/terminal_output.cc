#include "platform/terminal/terminal_output.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

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
    ownsFd_ = true;
  } else {
    guarded_ = true;
  }
}

Output::~Output() {
  if (watch_ != 0) g_source_remove(watch_);
  if (ownsFd_) close(fd_);
}

void Output::write(std::string_view bytes) {
  if (broken_ || bytes.empty()) return;
  if (queue_.size() + bytes.size() > kMaxQueued) {
    // The reader has been away for long: what it missed is stale anyway.
    queue_.clear();
    bytes = bytes.substr(bytes.size() > kMaxQueued ? bytes.size() - kMaxQueued : 0);
  }
  queue_.append(bytes);
  flush();
}

void Output::flush() {
  while (!queue_.empty()) {
    std::size_t piece = queue_.size();
    if (guarded_) {
      if (!writableNow(fd_)) break;
      piece = std::min(piece, kGuardedPiece);
    }
    const ssize_t written = ::write(fd_, queue_.data(), piece);
    if (written > 0) {
      queue_.erase(0, static_cast<std::size_t>(written));
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      broken_ = true;
      queue_.clear();
    }
  }
  if (!queue_.empty()) watchUntilWritable();
}

void Output::watchUntilWritable() {
  if (watch_ != 0) return;
  watch_ = g_unix_fd_add(
      fd_, static_cast<GIOCondition>(G_IO_OUT | G_IO_ERR | G_IO_HUP),
      [](gint, GIOCondition, gpointer data) -> gboolean {
        auto* self = static_cast<Output*>(data);
        self->watch_ = 0;
        self->flush();  // schedules a new watch while anything is left
        return G_SOURCE_REMOVE;
      },
      this);
}

void Output::drain(int milliseconds) {
  const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(milliseconds) * 1000;
  while (!queue_.empty() && !broken_) {
    const gint64 left = (deadline - g_get_monotonic_time()) / 1000;
    if (left <= 0) break;
    pollfd out{fd_, POLLOUT, 0};
    if (poll(&out, 1, static_cast<int>(left)) <= 0) break;
    if ((out.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) break;
    if (watch_ != 0) {
      g_source_remove(watch_);
      watch_ = 0;
    }
    flush();
  }
}

}  // namespace vantorel::terminal
