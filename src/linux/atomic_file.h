#pragma once

#include <string>

namespace vantorel {

// Creates `folder` and every missing folder above it, each with mode 0700. True when `folder`
// is a folder now.
bool makeFolders(const std::string& folder);

// Replaces `folder`/`name` with `text` so that a reader sees the old or the new content, never a
// mix, also across a crash: a temporary ".<name>.XXXXXX" in the same folder, synced, renamed over
// the file, then the folder synced. Temporaries of ours that a killed write left behind are
// removed first. False when the file could not be replaced; the old one is then intact.
// Removes the temporaries of `name` that a killed write left in `folder` (regular files of ours,
// older than a minute, never through a link), as every replacement does first.
void sweepStaleTemporaries(const std::string& folder, const std::string& name);

bool replaceFileAtomically(const std::string& folder, const std::string& name,
                           const std::string& text);

}  // namespace vantorel
