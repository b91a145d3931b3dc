#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "platform/bundle.h"

namespace vantorel {

// The bundle folder above the folder of the running executable (<bundle>/bin/vantorel), with its
// information dictionary in <bundle>/share/vantorel/Info.json, read once when made.
class LinuxBundle final : public Bundle {
 public:
  static LinuxBundle forRunningProgram();
  explicit LinuxBundle(std::string path);

  std::string path() const override { return path_; }
  nlohmann::json infoValue(std::string_view key) const override;

 private:
  std::string path_;
  nlohmann::json info_;  // an object, or null when the file is missing or not an object
};

}  // namespace vantorel
