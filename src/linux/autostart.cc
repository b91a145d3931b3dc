#include "linux/autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "core/autostart_entry.h"
#include "linux/bounded_file.h"
#include "linux/safe_file_write.h"
#include "linux/xdg.h"

namespace vantorel {

std::string autostartEntryPath() {
  return joinedPath(xdgConfigHome(), "autostart/vantorel.desktop");
}

std::string enableAutostart() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "cannot tell where this program is: " + std::string(std::strerror(errno));
  const std::string executable(buffer, static_cast<std::size_t>(n));
  const auto entry = autostartEntry(executable);
  if (!entry) return "no desktop entry can start the program at " + executable;
  return writeFileSafely(autostartEntryPath(), *entry);
}

std::string disableAutostart() {
  const std::string path = autostartEntryPath();
  // unlink removes a symbolic link itself, never what it points to.
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    return "cannot remove " + path + ": " + std::strerror(errno);
  }
  return "";
}

bool autostartEnabled() {
  struct stat info {};
  return lstat(autostartEntryPath().c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace vantorel
