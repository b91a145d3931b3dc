#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace vantorel {

// The bound for every small file the program reads: far more than any of them needs.
inline constexpr std::size_t kMaxSmallFile = std::size_t{1} << 20;

// The whole content of the regular file at `path` if it is no larger than `maxBytes`; nothing
// for anything else. Never opens a FIFO or device and never blocks, so nothing at the path can
// stall the main loop or eat memory.
std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes);

// The JSON object in the regular file at `path` (at most kMaxSmallFile bytes, UTF-8 with or
// without a byte-order mark); nothing when the file is missing, unreadable, not JSON or not an
// object.
// The content is read as parseJsonObject() (core/attention_file.h) reads text.
std::optional<nlohmann::json> readJsonObject(const std::string& path);

// The folder above `path`, as removing its last component does: "/a/b" -> "/a", "/a/" -> "/",
// "a" -> ".".
std::string parentFolder(const std::string& path);

// `relative` inside `folder`, with exactly one slash between them.
std::string joinedPath(const std::string& folder, const std::string& relative);

}  // namespace vantorel
