#include "linux/preferences.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "core/attention_file.h"
#include "linux/atomic_file.h"
#include "linux/bounded_file.h"

namespace vantorel {
namespace {

constexpr const char* kFileName = "preferences.json";
constexpr const char* kLockName = ".preferences.json.lock";
constexpr const char* kDesiredKey = "desired";
constexpr const char* kRulesKey = "rules";
// Writers hold the lock for one read and one rename; one that waits longer than this gives up
// rather than stall the program's loop.
constexpr auto kLockPatience = std::chrono::seconds(2);
constexpr auto kLockRetry = std::chrono::milliseconds(5);

std::string reason(int error) { return error != 0 ? std::string(": ") + std::strerror(error) : ""; }

std::optional<DeviceRule> ruleOf(const nlohmann::json& entry, std::string& problem) {
  if (!entry.is_object()) return problem = "is not an object", std::nullopt;
  const auto ids = entry.find("ids");
  const auto kind = entry.find("kind");
  const auto name = entry.find("name");
  const auto parsedIds =
      ids != entry.end() && ids->is_string() ? parseIds(ids->get<std::string>()) : std::nullopt;
  if (!parsedIds) return problem = "\"ids\" is not VID:PID, four hex digits each", std::nullopt;
  const auto parsedKind = kind != entry.end() && kind->is_string()
                              ? ruleKindFromName(kind->get<std::string>())
                              : std::nullopt;
  if (!parsedKind) return problem = "\"kind\" is not \"ignore\", \"boot\" or \"app\"", std::nullopt;
  if (name != entry.end() && !name->is_string()) {
    return problem = "\"name\" is not a string", std::nullopt;
  }
  DeviceRule rule{parsedIds->first, parsedIds->second, std::nullopt, *parsedKind};
  if (name != entry.end()) rule.name = name->get<std::string>();
  return rule;
}

nlohmann::json entryOf(const DeviceRule& rule) {
  nlohmann::json entry{{"ids", idsText(rule.vendor, rule.product)},
                       {"kind", std::string(kindName(rule.kind))}};
  if (rule.name) entry["name"] = *rule.name;
  return entry;
}

// The rules array of `object`, made when missing; nothing when the key holds something else,
// which is the person's to fix rather than ours to overwrite.
nlohmann::json* rulesIn(nlohmann::json& object) {
  auto& rules = object[kRulesKey];
  if (rules.is_null()) rules = nlohmann::json::array();
  return rules.is_array() ? &rules : nullptr;
}

// Holds the writers' lock for its life. A lock file that cannot be made or locked in time
// leaves `error` set.
class WriterLock {
 public:
  explicit WriterLock(const std::string& path)
      : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600)) {
    if (fd_ < 0) {
      error = "cannot open the lock " + path + reason(errno);
      return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) ||
          std::chrono::steady_clock::now() >= deadline) {
        error = "cannot lock " + path + reason(errno);
        return;
      }
      std::this_thread::sleep_for(kLockRetry);
    }
  }
  ~WriterLock() {
    if (fd_ >= 0) close(fd_);  // closing the last descriptor releases the lock
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  std::string error;

 private:
  int fd_;
};

}  // namespace

Preferences parsePreferences(const std::optional<std::string>& text) {
  Preferences preferences;
  const auto object = text ? parseJsonObject(*text) : std::nullopt;
  if (!object) return preferences;
  if (const auto it = object->find(kDesiredKey); it != object->end() && it->is_string()) {
    preferences.desired = desiredFromRawValue(it->get<std::string>());
  }
  if (const auto it = object->find(kC6SerialKey);
      it != object->end() && it->is_string() && !it->get<std::string>().empty()) {
    preferences.c6Serial = it->get<std::string>();
  }
  const auto rules = object->find(kRulesKey);
  if (rules == object->end()) return preferences;
  if (!rules->is_array()) {
    preferences.problems.push_back("\"rules\" is not a list; no rule applies");
    return preferences;
  }
  for (std::size_t i = 0; i < rules->size(); ++i) {
    std::string problem;
    if (const auto rule = ruleOf((*rules)[i], problem)) {
      preferences.rules.push_back(*rule);
    } else {
      preferences.problems.push_back(
          "rule " + std::to_string(i + 1) + " skipped: " + problem + ": " +
          (*rules)[i].dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    }
  }
  return preferences;
}

Bench benchOf(const Bundle& bundle, const Preferences& preferences, const std::string& file) {
  Bench bench;
  bench.rules = preferences.rules;
  const std::string info = infoFilePath(bundle.path);
  if (bundle.c6Serial && !bundle.c6Serial->empty()) {
    bench.c6Serial = bundle.c6Serial, bench.serialSource = SerialSource::bundle;
    bench.serialFile = info;
  } else if (preferences.c6Serial) {
    bench.c6Serial = preferences.c6Serial, bench.serialSource = SerialSource::user;
    bench.serialFile = file;
  } else if (bundle.c6Serial) {
    bench.c6Serial = "", bench.serialSource = SerialSource::bundle, bench.serialFile = info;
  }
  return bench;
}

PreferencesFile::PreferencesFile(std::string folder)
    : folder_(std::move(folder)), path_(joinedPath(folder_, kFileName)) {}

std::optional<std::string> PreferencesFile::text() const {
  return readRegularFile(path_, kMaxSmallFile);
}

std::string PreferencesFile::writtenPath(std::string& error) const {
  struct stat entry {};
  if (lstat(path_.c_str(), &entry) != 0) {
    if (errno != ENOENT) error = "cannot examine " + path_ + reason(errno);
    return error.empty() ? path_ : "";
  }
  if (S_ISREG(entry.st_mode)) return path_;
  if (!S_ISLNK(entry.st_mode)) {
    error = path_ + " is not a regular file; not replacing it";
    return "";
  }
  char resolved[PATH_MAX];
  struct stat target {};
  if (realpath(path_.c_str(), resolved) != nullptr) {
    if (stat(resolved, &target) == 0 && S_ISREG(target.st_mode)) return resolved;
    error = path_ + " links to " + resolved + ", which is not a regular file; not replacing it";
    return "";
  }
  // A link to a file not made yet: the file is made where the link points.
  const int why = errno;
  const ssize_t n = readlink(path_.c_str(), resolved, sizeof resolved - 1);
  if (why == ENOENT && n > 0) {
    const std::string to(resolved, static_cast<std::size_t>(n));
    const std::string made = to.front() == '/' ? to : joinedPath(folder_, to);
    if (lstat(made.c_str(), &target) != 0 && errno == ENOENT) return made;
  }
  error = "cannot follow the link " + path_;
  return "";
}

std::string PreferencesFile::update(const std::function<std::string(nlohmann::json&)>& edit,
                                    IfCorrupt ifCorrupt) const {
  errno = 0;
  if (!makeFolders(folder_)) return "cannot create the folder " + folder_ + reason(errno);
  const WriterLock lock(joinedPath(folder_, kLockName));
  if (!lock.error.empty()) return lock.error;
  std::string error;
  const std::string written = writtenPath(error);
  if (written.empty()) return error;
  const std::optional<std::string> before = text();
  const std::optional<nlohmann::json> parsed = before ? parseJsonObject(*before) : std::nullopt;
  struct stat entry {};
  const bool unread = !before && lstat(written.c_str(), &entry) == 0;  // there, but too large
  if (!parsed && ifCorrupt == IfCorrupt::refuse &&
      (unread || (before && before->find_first_not_of(" \t\r\n") != std::string::npos))) {
    return path_ + " holds no JSON object; fix or remove it first";
  }
  nlohmann::json object = parsed.value_or(nlohmann::json::object());
  const nlohmann::json original = object;
  if (std::string stop = edit(object); !stop.empty()) return stop;
  if (object == original) return "";
  const std::string content =
      object.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  const std::string folder = parentFolder(written);
  errno = 0;
  if (!replaceFileAtomically(folder, written.substr(folder.size() + 1), content)) {
    return "cannot write " + written + reason(errno);
  }
  return "";
}

void PreferencesFile::sweep() const {
  std::string error;
  const std::string written = writtenPath(error);
  if (written.empty()) return;
  const std::string folder = parentFolder(written);
  sweepStaleTemporaries(folder, written.substr(folder.size() + 1));
}

std::string storeDesired(nlohmann::json& object, Desired desired) {
  object[kDesiredKey] = std::string(rawValue(desired));
  return "";
}

std::string storeC6Serial(nlohmann::json& object, const std::optional<std::string>& serial) {
  if (serial) {
    object[kC6SerialKey] = *serial;
  } else {
    object.erase(kC6SerialKey);
  }
  return "";
}

std::string storeRule(nlohmann::json& object, const DeviceRule& rule) {
  nlohmann::json* rules = rulesIn(object);
  if (!rules) return "\"rules\" in the preferences is not a list; fix or remove it first";
  std::string ignored;
  for (auto& entry : *rules) {
    const auto existing = ruleOf(entry, ignored);
    if (existing && sameDevices(*existing, rule)) {
      entry = entryOf(rule);
      return "";
    }
  }
  rules->push_back(entryOf(rule));
  return "";
}

std::string dropRule(nlohmann::json& object, const DeviceRule& rule) {
  nlohmann::json* rules = object.contains(kRulesKey) ? rulesIn(object) : nullptr;
  std::string ignored;
  const auto before = rules ? rules->size() : 0;
  if (rules) {
    nlohmann::json kept = nlohmann::json::array();
    for (auto& entry : *rules) {
      const auto existing = ruleOf(entry, ignored);
      if (!existing || !sameDevices(*existing, rule)) kept.push_back(entry);
    }
    *rules = std::move(kept);
  }
  if (!rules || rules->size() == before) {
    return "no rule about " + idsText(rule.vendor, rule.product) +
           (rule.name ? " named \"" + *rule.name + "\"" : std::string(" without a name"));
  }
  return "";
}

}  // namespace vantorel
