#include "linux/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/attention_file.h"

namespace vantorel {
namespace {

// Closes the descriptor on every path out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes) {
  // Look before opening: opening a device node can have effects of its own (a tape rewinds, a
  // watchdog arms). The descriptor is checked again below, in case the entry was swapped.
  struct stat entry {};
  if (stat(path.c_str(), &entry) != 0 || !S_ISREG(entry.st_mode)) return std::nullopt;
  const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return std::nullopt;
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > maxBytes) return std::nullopt;
  // Read up to one byte past the bound, so a file that grew after fstat is refused too.
  std::string content;
  char buffer[16384];
  for (;;) {
    const ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > maxBytes) return std::nullopt;
  }
  return content;
}

std::optional<nlohmann::json> readJsonObject(const std::string& path) {
  const std::optional<std::string> text = readRegularFile(path, kMaxSmallFile);
  if (!text) return std::nullopt;
  return parseJsonObject(*text);
}

std::string parentFolder(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const auto slash = trimmed.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return trimmed.substr(0, slash);
}

std::string joinedPath(const std::string& folder, const std::string& relative) {
  if (!folder.empty() && folder.back() == '/') return folder + relative;
  return folder + "/" + relative;
}

}  // namespace vantorel
