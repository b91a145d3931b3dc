#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "core/bench.h"
#include "core/board_model.h"
#include "core/device_rules.h"
#include "linux/bundle.h"
#include "linux/file_write.h"

namespace vantorel {

// The key of the expected ESP32-C6 serial, in the preferences and in the bundle's dictionary.
inline constexpr const char* kC6SerialKey = "BoardC6Serial";

// What preferences.json holds: {"desired": "RP boot", "BoardC6Serial": "F4:12:FA:00:11:22",
// "rules": [{"ids": "2e8a:000c", "kind": "ignore"},
//           {"ids": "2e8a:0005", "kind": "app", "name": "Board in FS mode"}]}
struct Preferences {
  std::optional<Desired> desired;
  std::optional<std::string> c6Serial;  // only a non-empty string
  DeviceRules rules;
  std::vector<std::string> problems;  // one line per value skipped, for people
};

// Reads the file's text; a missing, unreadable or corrupt file holds nothing. Each rule that is
// not an object with valid "ids" and "kind" (and, if present, a string "name") is skipped with
// one line in `problems`; the others apply.
Preferences parsePreferences(const std::optional<std::string>& text);

// The bench the preferences and the bundle make together: the bundle's serial wins when it is
// set and not empty; otherwise the person's own applies; an empty bundle serial alone stays
// empty, so no C6 matches.
Bench benchOf(const Bundle& bundle, const Preferences& preferences, const std::string& file);

// The one reader and writer of `folder`/preferences.json. Every writer (the program and every
// command) takes the same lock, a file beside it, and reads, merges and replaces the file under
// it, so no writer's update is lost. A symbolic link there is written through: its target is
// replaced atomically in the target's own folder; anything else that is not a regular file is
// refused.
class PreferencesFile {
 public:
  explicit PreferencesFile(std::string folder);

  const std::string& path() const { return path_; }
  // The file's bytes now; nothing when it is missing or unreadable.
  std::optional<std::string> text() const;
  Preferences read() const { return parsePreferences(text()); }

  // What an update does with a file that holds something other than a JSON object: a command
  // refuses, rather than lose what a person wrote there by hand; the program's menu choice
  // replaces it, as a choice over a corrupt file always did.
  enum class IfCorrupt { refuse, replace };

  // Under the lock, gives `edit` the file's object as it is now (a missing or empty file reads as
  // an empty object) and writes it back when `edit` changed it. `edit` fails to stop the update.
  Status update(const std::function<Status(nlohmann::json&)>& edit,
                IfCorrupt ifCorrupt = IfCorrupt::refuse) const;

  // Removes the temporaries a killed writer left. Called at start-up.
  void sweep() const;

 private:
  std::string folder_;
  std::string path_;
};

// Edits for PreferencesFile::update, each keeping every other key and every rule it is not about.
Status storeDesired(nlohmann::json& object, Desired desired);
Status storeC6Serial(nlohmann::json& object, const std::optional<std::string>& serial);
Status storeRule(nlohmann::json& object, const DeviceRule& rule);
// dropRule fails when there is no rule about the same devices.
Status dropRule(nlohmann::json& object, const DeviceRule& rule);

}  // namespace vantorel
