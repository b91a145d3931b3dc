#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vantorel {

// Makes `text` the whole content of the regular file at `path`, for files other programs read
// while it is written (the attention file, the autostart entry): atomically, through a temporary
// in the same folder that is synced and renamed over the file, so a reader sees the old content
// or the new, never a part; missing folders are created with mode 0700. A symbolic link or
// anything but a regular file at `path` is refused and left as it is, never followed or written
// through. Returns "" when written, otherwise a message that names the path and the reason.
std::string writeFileSafely(const std::string& path, const std::string& text);

// What to make of a file: given its current content (nothing when it is missing or cannot be
// read), the new content, or nothing to leave it as it is.
using FileChange = std::function<std::optional<std::string>(const std::optional<std::string>&)>;

// Reads the file at `path` and replaces it as `change` says, as writeFileSafely does, holding an
// exclusive lock on the lock file ".<name>.lock" beside it, so that writers that all update
// through here never interleave their read and their replace. Waits for the lock as long as
// another writer holds it. Returns "" when done (also when left as it is), otherwise the error.
std::string updateFileSafely(const std::string& path, const FileChange& change);

}  // namespace vantorel
