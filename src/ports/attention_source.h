#pragma once

#include <optional>
#include <string>

namespace vantorel {

// Where the flashing tool's attention file is read from.
class AttentionSource {
 public:
  virtual ~AttentionSource() = default;
  // The file's bytes, or nothing when it is missing, not a regular file, too large or
  // unreadable. Never blocks.
  virtual std::optional<std::string> read() = 0;
};

}  // namespace vantorel
