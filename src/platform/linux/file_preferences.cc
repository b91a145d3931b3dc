#include "platform/linux/file_preferences.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/posix_files.h"
#include "platform/linux/xdg.h"

namespace vantorel {
namespace {

constexpr const char* kFileName = "preferences.json";

nlohmann::json readObject(const std::string& file) {
  // A FIFO or device at the path must never stall start-up.
  const std::optional<std::string> text = readRegularFile(file, PosixFiles::kMaxSmallFile);
  if (!text) return nlohmann::json::object();
  nlohmann::json parsed = nlohmann::json::parse(*text, nullptr, false);
  if (parsed.is_discarded() || !parsed.is_object()) return nlohmann::json::object();
  return parsed;
}

// mkdir -p with mode 0700 for the folders it creates.
bool makeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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

// Replaces `file` with `text` so that a reader sees either the old or the new content, never a
// mix, also across a crash.
bool writeAtomically(const std::string& folder, const std::string& file, const std::string& text) {
  std::string temporary = folder + "/.preferences.json.XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  const bool written = writeAll(fd, text) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temporary.c_str(), file.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace

FilePreferences FilePreferences::forUser() {
  return FilePreferences(xdgConfigHome() + "/vantorel");
}

FilePreferences::FilePreferences(std::string folder)
    : folder_(std::move(folder)), file_(folder_ + "/" + kFileName), values_(readObject(file_)) {}

std::optional<std::string> FilePreferences::string(std::string_view key) const {
  const auto it = values_.find(key);
  if (it == values_.end() || !it->is_string()) return std::nullopt;
  return it->get<std::string>();
}

bool FilePreferences::setString(std::string_view key, std::string_view value) {
  values_[std::string(key)] = std::string(value);
  // Other keys are taken from the file as it is now, so nothing another writer stored is lost.
  nlohmann::json merged = readObject(file_);
  merged[std::string(key)] = std::string(value);
  const std::string text =
      merged.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  return makeFolders(folder_) && writeAtomically(folder_, file_, text);
}

}  // namespace vantorel
