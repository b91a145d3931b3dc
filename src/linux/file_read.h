#pragma once

#include <cstddef>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "glib/system_edge.h"
#include "ports/attention_source.h"

namespace vantorel {

// Reading the small files the program is given, and where they are: every read is bounded and
// never blocks, so nothing placed at a path can stall the main loop or eat memory.

// The bound for every small file the program reads: far more than any of them needs.
inline constexpr std::size_t kMaxSmallFile = std::size_t{1} << 20;

// The whole content of the regular file at `path` if it is no larger than `maxBytes`; nothing
// for anything else. Never opens a FIFO or device and never blocks.
std::optional<std::string> readRegularFile(const std::string& path,
                                           std::size_t maxBytes = kMaxSmallFile);

// The JSON object in the regular file at `path` (at most kMaxSmallFile bytes, UTF-8 with or
// without a byte-order mark); nothing when the file is missing, unreadable, not JSON or not an
// object. The content is read as parseJsonObject() (core/attention_file.h) reads text.
std::optional<nlohmann::json> readJsonObject(const std::string& path);

// The attention file at `path`, read as readRegularFile() does. An empty path never reads.
std::unique_ptr<AttentionSource> makeAttentionFileSource(std::string path);

// The folder above `path`, as removing its last component does: "/a/b" -> "/a", "/a/" -> "/",
// "a" -> ".".
std::string parentFolder(const std::string& path);

// `relative` inside `folder`, with exactly one slash between them.
std::string joinedPath(const std::string& folder, const std::string& relative);

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or relative.
std::string xdgConfigHome();
// $XDG_DATA_HOME, or ~/.local/share when it is unset, empty or relative.
std::string xdgDataHome();

// Sets `path` to the absolute path of the running executable, or fails saying why not.
Status executablePath(std::string& path);

}  // namespace vantorel
