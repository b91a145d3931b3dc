#pragma once

#include <unistd.h>

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

}  // namespace vantorel
