#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "platform/preferences.h"

namespace vantorel {

// Preferences as a JSON object in <folder>/preferences.json. The file is read once, when the
// store is made; a missing, unreadable or corrupt file reads as empty and is left untouched until
// the first setString, which rewrites it atomically (temporary file, fsync, rename).
class FilePreferences final : public Preferences {
 public:
  // The user's store: $XDG_CONFIG_HOME/vantorel/preferences.json.
  static FilePreferences forUser();
  explicit FilePreferences(std::string folder);

  std::optional<std::string> string(std::string_view key) const override;
  bool setString(std::string_view key, std::string_view value) override;

  const std::string& filePath() const { return file_; }

 private:
  std::string folder_;
  std::string file_;
  nlohmann::json values_;  // always an object
};

}  // namespace vantorel
