#include "linux/autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/autostart_entry.h"
#include "linux/file_read.h"
#include "linux/file_write.h"

namespace vantorel {

std::string autostartEntryPath() {
  return joinedPath(xdgConfigHome(), "autostart/vantorel.desktop");
}

Status enableAutostart() {
  std::string executable;
  if (Status found = executablePath(executable); !found.ok()) return found;
  const auto entry = autostartEntry(executable);
  if (!entry) return Status::failed("no desktop entry can start the program at " + executable);
  return writeFileSafely(autostartEntryPath(), *entry);
}

Status disableAutostart() {
  const std::string path = autostartEntryPath();
  // unlink removes a symbolic link itself, never what it points to.
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    return Status::failedWithErrno("cannot remove " + path);
  }
  return Status::done();
}

bool autostartEnabled() {
  struct stat info {};
  return lstat(autostartEntryPath().c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace vantorel
