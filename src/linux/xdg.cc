#include "linux/xdg.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace vantorel {
namespace {

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

// The XDG base directory rules ignore a relative path.
std::string fromEnvironment(const char* variable, const char* fallbackBelowHome) {
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') return value;
  std::string home = homeFolder();
  if (home.size() > 1 && home.back() == '/') home.pop_back();
  return (home == "/" ? "" : home) + "/" + fallbackBelowHome;
}

}  // namespace

std::string xdgConfigHome() { return fromEnvironment("XDG_CONFIG_HOME", ".config"); }
std::string xdgDataHome() { return fromEnvironment("XDG_DATA_HOME", ".local/share"); }

}  // namespace vantorel
