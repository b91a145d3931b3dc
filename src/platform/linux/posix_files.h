#pragma once

#include <cstddef>

#include "platform/files.h"

namespace vantorel {

// Files through POSIX calls. The attention file is read only when it is a regular file no larger
// than kMaxSmallFile, opened non-blocking so that a FIFO or device at the path never stalls the
// main loop.
// The whole content of the regular file at `path` if it is no larger than `maxBytes`; nothing for
// anything else. Opens non-blocking and never opens a non-regular entry, so it never stalls.
std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes);

class PosixFiles final : public Files {
 public:
  static constexpr std::size_t kMaxSmallFile = 1 << 20;

  bool exists(const std::string& path) const override;
  // $XDG_DATA_HOME (default ~/.local/share).
  std::vector<std::string> applicationSupportDirectories() const override;
  std::optional<std::string> readSmallFile(const std::string& path) const override;
};

}  // namespace vantorel
