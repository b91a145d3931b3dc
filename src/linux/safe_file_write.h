#pragma once

#include <string>

namespace vantorel {

// Makes `text` the whole content of the regular file at `path`, for files other programs read
// while it is written (the attention file, the autostart entry): atomically, through a temporary
// in the same folder that is synced and renamed over the file, so a reader sees the old content
// or the new, never a part; missing folders are created with mode 0700. A symbolic link or
// anything but a regular file at `path` is refused and left as it is, never followed or written
// through. Returns "" when written, otherwise a message that names the path and the reason.
std::string writeFileSafely(const std::string& path, const std::string& text);

}  // namespace vantorel
