#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace vantorel {

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
