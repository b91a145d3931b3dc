#include "linux/preferences.h"

#include <sys/stat.h>

#include <chrono>

#include "core/attention_file.h"
#include "linux/file_read.h"
#include "linux/file_write.h"

namespace vantorel {
namespace {

constexpr const char* kFileName = "preferences.json";
constexpr const char* kLockName = ".preferences.json.lock";
constexpr const char* kDesiredKey = "desired";
constexpr const char* kRulesKey = "rules";
// Writers hold the lock for one read and one rename; one that waits longer than this gives up
// rather than stall the program's loop.
constexpr auto kLockPatience = std::chrono::milliseconds(2000);

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

std::optional<std::string> PreferencesFile::text() const { return readRegularFile(path_); }

Status PreferencesFile::update(const std::function<Status(nlohmann::json&)>& edit,
                               IfCorrupt ifCorrupt) const {
  if (Status made = makeFolders(folder_); !made.ok()) return made;
  const FileLock lock(joinedPath(folder_, kLockName), kLockPatience);
  if (!lock.status().ok()) return lock.status();
  std::string written;
  if (Status target = writeThroughLink(path_, written); !target.ok()) return target;
  const std::optional<std::string> before = text();
  const std::optional<nlohmann::json> parsed = before ? parseJsonObject(*before) : std::nullopt;
  struct stat entry {};
  const bool unread = !before && lstat(written.c_str(), &entry) == 0;  // there, but too large
  if (!parsed && ifCorrupt == IfCorrupt::refuse &&
      (unread || (before && before->find_first_not_of(" \t\r\n") != std::string::npos))) {
    return Status::failed(path_ + " holds no JSON object; fix or remove it first");
  }
  nlohmann::json object = parsed.value_or(nlohmann::json::object());
  const nlohmann::json original = object;
  if (Status stop = edit(object); !stop.ok()) return stop;
  if (object == original) return Status::done();
  return replaceFileAtomically(
      written, object.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
}

void PreferencesFile::sweep() const {
  std::string written;
  if (writeThroughLink(path_, written).ok()) sweepStaleTemporaries(written);
}

Status storeDesired(nlohmann::json& object, Desired desired) {
  object[kDesiredKey] = std::string(rawValue(desired));
  return Status::done();
}

Status storeC6Serial(nlohmann::json& object, const std::optional<std::string>& serial) {
  if (serial) {
    object[kC6SerialKey] = *serial;
  } else {
    object.erase(kC6SerialKey);
  }
  return Status::done();
}

Status storeRule(nlohmann::json& object, const DeviceRule& rule) {
  nlohmann::json* rules = rulesIn(object);
  if (!rules)
    return Status::failed("\"rules\" in the preferences is not a list; fix or remove it first");
  std::string ignored;
  for (auto& entry : *rules) {
    const auto existing = ruleOf(entry, ignored);
    if (existing && sameDevices(*existing, rule)) {
      entry = entryOf(rule);
      return Status::done();
    }
  }
  rules->push_back(entryOf(rule));
  return Status::done();
}

Status dropRule(nlohmann::json& object, const DeviceRule& rule) {
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
    return Status::failed(
        "no rule about " + idsText(rule.vendor, rule.product) +
        (rule.name ? " named \"" + *rule.name + "\"" : std::string(" without a name")));
  }
  return Status::done();
}

}  // namespace vantorel
