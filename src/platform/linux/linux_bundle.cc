#include "platform/linux/linux_bundle.h"

#include <unistd.h>

#include <climits>

#include "platform/linux/posix_files.h"

namespace vantorel {
namespace {

std::string parentFolder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

nlohmann::json readInfo(const std::string& file) {
  // A FIFO or device at the path must never stall start-up.
  const std::optional<std::string> text = readRegularFile(file, PosixFiles::kMaxSmallFile);
  if (!text) return nullptr;
  nlohmann::json parsed = nlohmann::json::parse(*text, nullptr, false);
  if (parsed.is_discarded() || !parsed.is_object()) return nullptr;
  return parsed;
}

}  // namespace

LinuxBundle LinuxBundle::forRunningProgram() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  const std::string executable = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : "";
  // <bundle>/bin/vantorel: the bundle is two levels up.
  return LinuxBundle(executable.empty() ? "." : parentFolder(parentFolder(executable)));
}

LinuxBundle::LinuxBundle(std::string path)
    : path_(std::move(path)), info_(readInfo(path_ + "/share/vantorel/Info.json")) {}

nlohmann::json LinuxBundle::infoValue(std::string_view key) const {
  if (!info_.is_object()) return nullptr;
  const auto it = info_.find(key);
  return it == info_.end() ? nlohmann::json() : *it;
}

}  // namespace vantorel
