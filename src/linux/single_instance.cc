#include "linux/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "linux/file_read.h"

namespace vantorel {
namespace {

constexpr const char* kLockName = "instance.lock";

std::string lockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return joinedPath(runtime, "vantorel");
  return "/tmp/vantorel-" + std::to_string(getuid());
}

// Opens (creating when `create`) the lock file at `path` in a folder that must be a private
// folder of this user: a folder another user could write in (a planted /tmp/vantorel-<uid>)
// would let them hold the lock or point it elsewhere. -1 with `error` set on failure.
int openLockFile(const std::string& path, bool create, std::string& error) {
  const std::string folder = parentFolder(path);
  if (create && mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    error = "cannot create " + folder + ": " + std::strerror(errno);
    return -1;
  }
  const UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat info {};
  if (!dir || fstat(dir.get(), &info) != 0) {
    error = "cannot open " + folder + ": " + std::strerror(errno);
    return -1;
  }
  if (info.st_uid != getuid() || (info.st_mode & 022) != 0) {
    error = folder + " is not a private folder of this user";
    return -1;
  }
  const int flags = O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | (create ? O_CREAT : 0);
  const int fd = openat(dir.get(), path.substr(folder.size() + 1).c_str(), flags, 0600);
  if (fd < 0) error = "cannot open " + path + ": " + std::strerror(errno);
  return fd;
}

// The process id written in the lock file, once its holder has written it.
std::optional<long> writtenPid(int fd) {
  char text[32] = {};
  const ssize_t length = pread(fd, text, sizeof text - 1, 0);
  if (length <= 0) return std::nullopt;
  char* end = nullptr;
  const long pid = std::strtol(text, &end, 10);
  if (end == text || *end != '\n' || pid <= 0) return std::nullopt;
  return pid;
}

// The holder's process id while another process holds the lock on `fd`. The holder writes its id
// right after taking the lock: a reader that comes in between waits for it, up to a second.
std::optional<long> holderOf(int fd) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
      flock(fd, LOCK_UN);
      return std::nullopt;
    }
    if (errno != EWOULDBLOCK) return std::nullopt;
    if (const std::optional<long> pid = writtenPid(fd)) return pid;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return std::nullopt;
}

}  // namespace

std::string instanceLockPath() { return joinedPath(lockFolder(), kLockName); }

InstanceClaim claimInstance(const std::string& path) {
  InstanceClaim claim;
  UniqueFd file(openLockFile(path, true, claim.error));
  if (!file) return claim;
  if (flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) claim.runningPid = holderOf(file.get());
    if (claim.runningPid) return claim;
    // Gone between the two calls, or it never wrote its id: try once more.
    if (flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
      claim.error = path + " is locked by a process that gives no id";
      return claim;
    }
  }
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(file.get(), 0) != 0 ||
      pwrite(file.get(), pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
    claim.error = "cannot write " + path + ": " + std::strerror(errno);
    return claim;  // the lock goes with the descriptor
  }
  claim.lock = std::make_unique<InstanceLock>(std::move(file));
  return claim;
}

std::optional<long> runningInstancePid(const std::string& path) {
  std::string error;
  const UniqueFd file(openLockFile(path, false, error));
  if (!file) return std::nullopt;
  return holderOf(file.get());
}

}  // namespace vantorel
