#pragma once

// What every backend uses where it meets the C library: a file descriptor that is owned, and the
// outcome of an operation put into words. Neither needs GLib, so the commands use them too.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace vantorel {

// One file descriptor, owned: closed when the handle goes or is reset, unless released first.
// Movable, not copyable; -1 means "none".
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }

  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Gives the descriptor up without closing it.
  int release() { return std::exchange(fd_, -1); }
  // Closes the owned descriptor (if any) and takes `fd` instead. False when closing it failed,
  // which for a written file can be the first word of a lost write.
  bool reset(int fd = -1) {
    const int old = std::exchange(fd_, fd);
    return old < 0 || close(old) == 0;
  }

 private:
  int fd_ = -1;
};

// The outcome of an operation at the backends' edge: done, or a message for people that names
// what failed and why ("cannot write /x/y: Permission denied"). The errno of a failed C call is
// put into words where the call failed (failedWithErrno), never handed on to another function.
class [[nodiscard]] Status {
 public:
  static Status done() { return Status(); }
  static Status failed(std::string message) {
    return Status(message.empty() ? std::string("failed") : std::move(message));
  }
  // "`what`: <the text of the current errno>", or just `what` when errno is 0. Called right
  // after the C call that failed, by the function that made it.
  static Status failedWithErrno(const std::string& what) {
    const int error = errno;
    return failed(error != 0 ? what + ": " + std::strerror(error) : what);
  }

  bool ok() const { return message_.empty(); }
  // "" when done.
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message) : message_(std::move(message)) {}
  std::string message_;
};

}  // namespace vantorel
