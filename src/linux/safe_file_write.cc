#include "linux/safe_file_write.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "linux/atomic_file.h"
#include "linux/bounded_file.h"

namespace vantorel {
namespace {

// ": <reason>" for the errno left by the call that failed, or nothing when none was left.
std::string reason(int error) { return error != 0 ? std::string(": ") + std::strerror(error) : ""; }

// An exclusive lock on a regular file, held until destroyed (closing the file releases it).
class FileLock {
 public:
  // Opens or creates `path` without following a link or blocking on a FIFO, then waits for the
  // lock. error() tells what failed, if anything.
  explicit FileLock(const std::string& path)
      : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600)) {
    struct stat info {};
    if (fd_ < 0) {
      error_ = "cannot open the lock file " + path + reason(errno);
    } else if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      error_ = path + " is not a regular file; not locking it";
    } else {
      int result = 0;
      while ((result = flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
      }
      if (result != 0) error_ = "cannot lock " + path + reason(errno);
    }
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  const std::string& error() const { return error_; }

 private:
  int fd_;
  std::string error_;
};

}  // namespace

std::string writeFileSafely(const std::string& path, const std::string& text) {
  const std::size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return "\"" + path + "\" is not a file name";
  const std::string folder = parentFolder(path);
  errno = 0;
  if (!makeFolders(folder)) return "cannot create the folder " + folder + reason(errno);

  struct stat info {};
  if (lstat(path.c_str(), &info) == 0) {
    if (S_ISLNK(info.st_mode)) return path + " is a symbolic link; not writing through it";
    if (!S_ISREG(info.st_mode)) return path + " is not a regular file; not replacing it";
  } else if (errno != ENOENT) {
    return "cannot examine " + path + reason(errno);
  }
  // The temporary is made with O_EXCL, so a link planted at its name is never followed either;
  // the rename replaces the name itself, never what a link there points to.
  errno = 0;
  if (!replaceFileAtomically(folder, name, text)) return "cannot write " + path + reason(errno);
  return "";
}

std::string updateFileSafely(const std::string& path, const FileChange& change) {
  const std::size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return "\"" + path + "\" is not a file name";
  const std::string folder = parentFolder(path);
  errno = 0;
  if (!makeFolders(folder)) return "cannot create the folder " + folder + reason(errno);
  const FileLock lock(joinedPath(folder, "." + name + ".lock"));
  if (!lock.error().empty()) return lock.error();
  const std::optional<std::string> text = change(readRegularFile(path, kMaxSmallFile));
  return text ? writeFileSafely(path, *text) : "";
}

}  // namespace vantorel
