#include "linux/file_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <thread>

#include "linux/file_read.h"

namespace vantorel {
namespace {

// A temporary older than this belongs to a write that was killed; a younger one may be another
// instance's write in progress.
constexpr std::time_t kStaleAfterSeconds = 60;
// How often a lock with a patience looks again.
constexpr auto kLockRetry = std::chrono::milliseconds(5);

std::string temporaryPrefix(const std::string& name) { return "." + name + "."; }

// The last component of `path`: the name of the file in its folder.
std::string nameIn(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

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
  UniqueFd listFd(dup(folderFd));
  if (!listFd) return;
  struct CloseDir {
    void operator()(DIR* list) const { closedir(list); }
  };
  const std::unique_ptr<DIR, CloseDir> list(fdopendir(listFd.get()));
  if (list == nullptr) return;
  listFd.release();  // the DIR owns it now
  const std::string prefix = temporaryPrefix(name);
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = readdir(list.get())) {
    if (!isOurTemporary(entry->d_name, prefix)) continue;
    struct stat info {};
    if (fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode) || now - info.st_mtime < kStaleAfterSeconds) {
      continue;
    }
    unlinkat(folderFd, entry->d_name, 0);
  }
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

// Refuses a path whose last component names no file.
Status checkFileName(const std::string& path) {
  const std::string name = nameIn(path);
  if (name.empty() || name == "." || name == "..") {
    return Status::failed("\"" + path + "\" is not a file name");
  }
  return Status::done();
}

}  // namespace

Status makeFolders(const std::string& folder) {
  errno = 0;
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      return Status::failedWithErrno("cannot create the folder " + folder);
    }
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return Status::done();
  return Status::failedWithErrno("cannot create the folder " + folder);
}

FileLock::FileLock(const std::string& path, std::optional<std::chrono::milliseconds> patience)
    : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600)) {
  struct stat info {};
  if (!fd_) {
    status_ = Status::failedWithErrno("cannot open the lock file " + path);
    return;
  }
  if (fstat(fd_.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    status_ = Status::failed(path + " is not a regular file; not locking it");
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + patience.value_or(kLockRetry);
  const int how = patience ? LOCK_EX | LOCK_NB : LOCK_EX;
  while (flock(fd_.get(), how) != 0) {
    const bool again = errno == EINTR || (patience && errno == EWOULDBLOCK &&
                                          std::chrono::steady_clock::now() < deadline);
    if (!again) {
      status_ = Status::failedWithErrno("cannot lock " + path);
      return;
    }
    if (errno != EINTR) std::this_thread::sleep_for(kLockRetry);
  }
}

Status replaceFileAtomically(const std::string& path, const std::string& text) {
  const std::string folder = parentFolder(path);
  const std::string name = nameIn(path);
  const UniqueFd folderFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folderFd) return Status::failedWithErrno("cannot write " + path);
  removeStaleTemporaries(folderFd.get(), name);

  std::string temporary = joinedPath(folder, temporaryPrefix(name) + "XXXXXX");
  UniqueFd file(mkostemp(temporary.data(), O_CLOEXEC));
  if (!file) return Status::failedWithErrno("cannot write " + path);
  errno = 0;
  if (!writeAll(file.get(), text) || fsync(file.get()) != 0 || !file.reset() ||
      rename(temporary.c_str(), (folder + "/" + name).c_str()) != 0) {
    Status failure = Status::failedWithErrno("cannot write " + path);
    unlink(temporary.c_str());
    return failure;
  }
  // The rename itself is durable only once the folder is synced.
  fsync(folderFd.get());
  return Status::done();
}

void sweepStaleTemporaries(const std::string& path) {
  const UniqueFd folderFd(open(parentFolder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderFd) removeStaleTemporaries(folderFd.get(), nameIn(path));
}

Status writeThroughLink(const std::string& path, std::string& written) {
  struct stat entry {};
  if (lstat(path.c_str(), &entry) != 0) {
    if (errno != ENOENT) return Status::failedWithErrno("cannot examine " + path);
    written = path;
    return Status::done();
  }
  if (S_ISREG(entry.st_mode)) {
    written = path;
    return Status::done();
  }
  if (!S_ISLNK(entry.st_mode)) {
    return Status::failed(path + " is not a regular file; not replacing it");
  }
  char resolved[PATH_MAX];
  struct stat target {};
  if (realpath(path.c_str(), resolved) != nullptr) {
    if (stat(resolved, &target) == 0 && S_ISREG(target.st_mode)) {
      written = resolved;
      return Status::done();
    }
    return Status::failed(path + " links to " + resolved +
                          ", which is not a regular file; not replacing it");
  }
  // A link to a file not made yet: the file is made where the link points.
  const int why = errno;
  const ssize_t n = readlink(path.c_str(), resolved, sizeof resolved - 1);
  if (why == ENOENT && n > 0) {
    const std::string to(resolved, static_cast<std::size_t>(n));
    const std::string made = to.front() == '/' ? to : joinedPath(parentFolder(path), to);
    if (lstat(made.c_str(), &target) != 0 && errno == ENOENT) {
      written = made;
      return Status::done();
    }
  }
  return Status::failed("cannot follow the link " + path);
}

Status writeFileSafely(const std::string& path, const std::string& text) {
  if (Status named = checkFileName(path); !named.ok()) return named;
  if (Status folder = makeFolders(parentFolder(path)); !folder.ok()) return folder;
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0) {
    if (S_ISLNK(info.st_mode)) {
      return Status::failed(path + " is a symbolic link; not writing through it");
    }
    if (!S_ISREG(info.st_mode)) {
      return Status::failed(path + " is not a regular file; not replacing it");
    }
  } else if (errno != ENOENT) {
    return Status::failedWithErrno("cannot examine " + path);
  }
  return replaceFileAtomically(path, text);
}

Status updateFileSafely(const std::string& path, const FileChange& change) {
  if (Status named = checkFileName(path); !named.ok()) return named;
  const std::string folder = parentFolder(path);
  if (Status made = makeFolders(folder); !made.ok()) return made;
  const FileLock lock(joinedPath(folder, "." + nameIn(path) + ".lock"), std::nullopt);
  if (!lock.status().ok()) return lock.status();
  const std::optional<std::string> text = change(readRegularFile(path));
  return text ? writeFileSafely(path, *text) : Status::done();
}

std::string freshId() {
  const std::unique_ptr<gchar, decltype(&g_free)> uuid(g_uuid_string_random(), &g_free);
  return uuid.get();
}

}  // namespace vantorel
