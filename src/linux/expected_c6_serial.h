#pragma once

#include <optional>
#include <string>

#include "linux/bundle.h"

namespace vantorel {

// The ESP32-C6 serial the program expects, and where it came from. The bundle's information
// dictionary wins, so a build with the serial baked in behaves the same for every user; without
// it, the user's own setting applies: "BoardC6Serial" in the preferences file of the settings
// folder, so a user of an installed program sets it without root.
struct ExpectedC6Serial {
  enum class Source { none, bundle, user };
  std::optional<std::string> value;
  Source source = Source::none;
  std::string file;  // where `value` was read from; empty with Source::none
};

ExpectedC6Serial expectedC6Serial(const Bundle& bundle, const std::string& settingsFolder);

// Stores `serial` as the user's setting in `settingsFolder`, or removes it when there is none,
// keeping the preferences file's other keys; the write is atomic. "" when done, else the error.
std::string storeUserC6Serial(const std::string& settingsFolder,
                              const std::optional<std::string>& serial);

// One line for people: "Expected C6 serial: F4:12 (user setting: /home/u/.config/...)".
std::string describe(const ExpectedC6Serial& expected);

}  // namespace vantorel
