#include "linux/expected_c6_serial.h"

#include <nlohmann/json.hpp>

#include "linux/atomic_file.h"
#include "linux/bounded_file.h"

namespace vantorel {
namespace {

// The same file and key the wanted state and the information dictionary use.
constexpr const char* kPreferencesFile = "preferences.json";
constexpr const char* kC6SerialKey = "BoardC6Serial";

}  // namespace

ExpectedC6Serial expectedC6Serial(const Bundle& bundle, const std::string& settingsFolder) {
  if (bundle.c6Serial) {
    return {bundle.c6Serial, ExpectedC6Serial::Source::bundle, infoFilePath(bundle.path)};
  }
  const std::string file = joinedPath(settingsFolder, kPreferencesFile);
  // Anything but a non-empty string means "not set", as a missing or corrupt file does.
  if (const auto preferences = readJsonObject(file)) {
    const auto it = preferences->find(kC6SerialKey);
    if (it != preferences->end() && it->is_string() && !it->get<std::string>().empty()) {
      return {it->get<std::string>(), ExpectedC6Serial::Source::user, file};
    }
  }
  return {};
}

std::string storeUserC6Serial(const std::string& settingsFolder,
                              const std::optional<std::string>& serial) {
  const std::string file = joinedPath(settingsFolder, kPreferencesFile);
  nlohmann::json preferences = readJsonObject(file).value_or(nlohmann::json::object());
  if (serial) {
    preferences[kC6SerialKey] = *serial;
  } else if (preferences.erase(kC6SerialKey) == 0) {
    return "";
  }
  const std::string text =
      preferences.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  if (!makeFolders(settingsFolder) ||
      !replaceFileAtomically(settingsFolder, kPreferencesFile, text)) {
    return "cannot write " + file;
  }
  return "";
}

std::string describe(const ExpectedC6Serial& expected) {
  switch (expected.source) {
    case ExpectedC6Serial::Source::bundle:
      return "Expected C6 serial: " + *expected.value + " (bundle: " + expected.file + ")";
    case ExpectedC6Serial::Source::user:
      return "Expected C6 serial: " + *expected.value + " (user setting: " + expected.file + ")";
    case ExpectedC6Serial::Source::none:
      break;
  }
  return "Expected C6 serial: none (set one with: vantorel serial set SERIAL)";
}

}  // namespace vantorel
