#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace vantorel {

// The application bundle: the relocatable folder the program runs from and its information
// dictionary. The real one is LinuxBundle.
class Bundle {
 public:
  virtual ~Bundle() = default;
  // Absolute path of the bundle folder, without a trailing slash.
  virtual std::string path() const = 0;
  // The value under `key` in the information dictionary; null when the key, the dictionary or
  // its file is missing or unreadable.
  virtual nlohmann::json infoValue(std::string_view key) const = 0;
};

}  // namespace vantorel
