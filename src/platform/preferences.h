#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

// The user's per-user preferences, kept across launches. The real one is FilePreferences.
class Preferences {
 public:
  virtual ~Preferences() = default;
  // The string stored under `key`, or nothing when there is none, it is not a string, or the
  // store cannot be read.
  virtual std::optional<std::string> string(std::string_view key) const = 0;
  // Stores `value` under `key`. Returns false when it could not be made durable; the store then
  // still answers with `value` for the rest of the run.
  virtual bool setString(std::string_view key, std::string_view value) = 0;
};

}  // namespace vantorel
