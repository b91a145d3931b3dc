#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "glib/system_edge.h"

namespace vantorel {

// Writing the files other programs read while they are written (the attention file, the
// autostart entry, preferences.json): each replacement is atomic and durable, no write goes
// through a link or into anything but a regular file unless the caller asks for it, and writers
// that update a file under its lock never interleave their read and their replace.

// Creates `folder` and every missing folder above it, each with mode 0700.
Status makeFolders(const std::string& folder);

// An exclusive lock on the lock file at `path` (created 0600, never through a link, refused
// unless a regular file), held until the object goes: closing the file releases it, also when
// the process dies. Waits up to `patience` for another holder, or as long as it takes when
// nothing is given.
class FileLock {
 public:
  FileLock(const std::string& path, std::optional<std::chrono::milliseconds> patience);
  const Status& status() const { return status_; }

 private:
  UniqueFd fd_;
  Status status_ = Status::done();
};

// Replaces the file at `path` with `text` so that a reader sees the old or the new content, never
// a mix, also across a crash: a temporary ".<name>.XXXXXX" in the same folder, synced, renamed
// over the file, then the folder synced. Temporaries a killed write left are removed first. The
// temporary is made with O_EXCL, so a link planted at its name is never followed; the rename
// replaces the name itself, never what a link there points to. On failure the old file is intact.
Status replaceFileAtomically(const std::string& path, const std::string& text);

// Removes the temporaries of the file at `path` that a killed write left (regular files of ours,
// older than a minute, never through a link), as every replacement does first.
void sweepStaleTemporaries(const std::string& path);

// Where a write to `path` that goes through a symbolic link lands: `path` itself when it is a
// regular file or missing, the link's target when that is a regular file or not made yet (made
// where the link points); an error for anything else.
Status writeThroughLink(const std::string& path, std::string& written);

// Makes `text` the whole content of the regular file at `path`, as replaceFileAtomically() does;
// missing folders are created with mode 0700. A symbolic link or anything but a regular file at
// `path` is refused and left as it is, never followed or written through.
Status writeFileSafely(const std::string& path, const std::string& text);

// What to make of a file: given its current content (nothing when it is missing or cannot be
// read), the new content, or nothing to leave it as it is.
using FileChange = std::function<std::optional<std::string>(const std::optional<std::string>&)>;

// Reads the file at `path` and replaces it as `change` says, as writeFileSafely() does, holding
// the FileLock ".<name>.lock" beside it for as long as it takes to get.
Status updateFileSafely(const std::string& path, const FileChange& change);

// A new identifier for a request or a success written to a file, that no other call, in this
// process or any other, returns: a random (version 4) UUID, from the system's random source.
std::string freshId();

}  // namespace vantorel
