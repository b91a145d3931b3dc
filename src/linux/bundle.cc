#include "linux/bundle.h"

#include <sys/stat.h>
#include <unistd.h>

#include "linux/file_read.h"
#include "linux/preferences.h"

namespace vantorel {
namespace {

constexpr const char* kInfoFile = "share/vantorel/Info.json";
constexpr const char* kBesideBundle = "work/board-flash-attention.json";
constexpr const char* kInDataFolder = "Vantorel/board-flash-attention.json";

// True when anything exists at `path`, following symbolic links: a dangling link does not count.
bool exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

Bundle Bundle::ofRunningProgram() {
  std::string executable;
  if (!executablePath(executable).ok()) return at(".");
  // <bundle>/bin/vantorel: the bundle is two levels up.
  return at(parentFolder(parentFolder(executable)));
}

Bundle Bundle::at(std::string path) {
  Bundle bundle{std::move(path), std::nullopt};
  // A missing or unreadable dictionary, or a value that is not a string, all mean "absent".
  if (const auto info = readJsonObject(infoFilePath(bundle.path))) {
    if (const auto it = info->find(kC6SerialKey); it != info->end() && it->is_string()) {
      bundle.c6Serial = it->get<std::string>();
    }
  }
  return bundle;
}

std::string infoFilePath(const std::string& bundlePath) {
  return joinedPath(bundlePath, kInfoFile);
}

std::optional<std::string> attentionFileBesideBundle(const std::string& bundlePath) {
  const std::string checkout = parentFolder(parentFolder(bundlePath));
  if (checkout == "/") return std::nullopt;
  return joinedPath(checkout, kBesideBundle);
}

std::string attentionFilePath(const std::string& bundlePath) {
  if (const auto besideBundle = attentionFileBesideBundle(bundlePath)) {
    if (exists(*besideBundle)) return *besideBundle;
  }
  // Without a data folder there is no file to poll: an empty path never opens, where a relative
  // one would read whatever the working folder holds.
  const std::string dataFolder = xdgDataHome();
  if (dataFolder.empty()) return "";
  return joinedPath(dataFolder, kInDataFolder);
}

}  // namespace vantorel
