#include "linux/file_read.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/attention_file.h"
#include "glib/system_edge.h"

namespace vantorel {
namespace {

class AttentionFileSource final : public AttentionSource {
 public:
  explicit AttentionFileSource(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> read() override {
    return path_.empty() ? std::nullopt : readRegularFile(path_);
  }

 private:
  const std::string path_;
};

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

std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes) {
  // Look before opening: opening a device node can have effects of its own (a tape rewinds, a
  // watchdog arms). The descriptor is checked again below, in case the entry was swapped.
  struct stat entry {};
  if (stat(path.c_str(), &entry) != 0 || !S_ISREG(entry.st_mode)) return std::nullopt;
  const UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
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
  const std::optional<std::string> text = readRegularFile(path);
  if (!text) return std::nullopt;
  return parseJsonObject(*text);
}

std::unique_ptr<AttentionSource> makeAttentionFileSource(std::string path) {
  return std::make_unique<AttentionFileSource>(std::move(path));
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

std::string xdgConfigHome() { return fromEnvironment("XDG_CONFIG_HOME", ".config"); }
std::string xdgDataHome() { return fromEnvironment("XDG_DATA_HOME", ".local/share"); }

Status executablePath(std::string& path) {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return Status::failedWithErrno("cannot tell where this program is");
  path.assign(buffer, static_cast<std::size_t>(n));
  return Status::done();
}

}  // namespace vantorel
