#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

// The desktop entry that starts the program at login: the program at the absolute path
// `executable`, quoted and escaped as desktop entries require, so any path a file system allows
// runs as it is (one holding '%' through /bin/sh, as desktop entry readers look for the program
// before they expand "%%"). Nothing for a path that no entry can hold (empty, relative, or with a
// line break or other control character).
std::optional<std::string> autostartEntry(std::string_view executable);

}  // namespace vantorel
