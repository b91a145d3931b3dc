#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantorel {

// The few file-system services the attention hand-shake needs. The real one is PosixFiles.
class Files {
 public:
  virtual ~Files() = default;
  // True when any entry (file, folder, ...) exists at `path`, following symbolic links: a link to
  // nothing does not count.
  virtual bool exists(const std::string& path) const = 0;
  // The user's Application Support folders, most preferred first.
  virtual std::vector<std::string> applicationSupportDirectories() const = 0;
  // The whole content of the regular file at `path`, or nothing when it is missing, not a regular
  // file, too large or unreadable. Never blocks.
  virtual std::optional<std::string> readSmallFile(const std::string& path) const = 0;
};

}  // namespace vantorel
