#include "linux/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace vantorel {
namespace {

// A temporary older than this belongs to a write that was killed; a younger one may be another
// instance's write in progress.
constexpr std::time_t kStaleAfterSeconds = 60;

std::string temporaryPrefix(const std::string& name) { return "." + name + "."; }

// ".<name>." followed by the six letters or digits mkstemp puts in place of XXXXXX.
bool isOurTemporary(const std::string& entry, const std::string& prefix) {
  if (entry.size() != prefix.size() + 6 || entry.compare(0, prefix.size(), prefix) != 0) {
    return false;
  }
  for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
    if (!std::isalnum(static_cast<unsigned char>(entry[i]))) return false;
  }
  return true;
}

// Removes stale temporaries of ours: regular files only, looked at and unlinked relative to the
// folder without following a symbolic link, so nothing outside the folder is ever touched.
void removeStaleTemporaries(int folderFd, const std::string& name) {
  const int listFd = dup(folderFd);
  if (listFd < 0) return;
  DIR* list = fdopendir(listFd);
  if (list == nullptr) {
    close(listFd);
    return;
  }
  const std::string prefix = temporaryPrefix(name);
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = readdir(list)) {
    if (!isOurTemporary(entry->d_name, prefix)) continue;
    struct stat info {};
    if (fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode) || now - info.st_mtime < kStaleAfterSeconds) {
      continue;
    }
    unlinkat(folderFd, entry->d_name, 0);
  }
  closedir(list);
}

bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void sweepStaleTemporaries(const std::string& folder, const std::string& name) {
  const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return;
  removeStaleTemporaries(folderFd, name);
  close(folderFd);
}

bool makeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool replaceFileAtomically(const std::string& folder, const std::string& name,
                           const std::string& text) {
  const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return false;
  removeStaleTemporaries(folderFd, name);

  std::string temporary = folder + "/" + temporaryPrefix(name) + "XXXXXX";
  const std::string file = folder + "/" + name;
  bool replaced = false;
  if (const int fd = mkostemp(temporary.data(), O_CLOEXEC); fd >= 0) {
    const bool written = writeAll(fd, text) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    replaced = written && closed && rename(temporary.c_str(), file.c_str()) == 0;
    if (!replaced) {
      const int error = errno;  // the reason, for the caller
      unlink(temporary.c_str());
      errno = error;
    }
  }
  // The rename itself is durable only once the folder is synced.
  if (replaced) fsync(folderFd);
  close(folderFd);
  return replaced;
}

}  // namespace vantorel
