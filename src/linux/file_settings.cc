#include "linux/file_settings.h"

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>

#include "linux/atomic_file.h"
#include "linux/bounded_file.h"
#include "linux/xdg.h"

namespace vantorel {
namespace {

constexpr const char* kFileName = "preferences.json";
constexpr const char* kDesiredKey = "desired";
// How long a choice waits before it is written: a burst of choices within it costs one write.
constexpr Duration kWriteDelay = std::chrono::milliseconds(300);

std::optional<Desired> desiredIn(const std::optional<nlohmann::json>& object) {
  if (!object) return std::nullopt;
  const auto it = object->find(kDesiredKey);
  if (it == object->end() || !it->is_string()) return std::nullopt;
  return desiredFromRawValue(it->get<std::string>());
}

// The file is read once, when made. A missing, unreadable or corrupt file reads as no value and
// is left untouched until a choice is written.
class FileSettings final : public Settings {
 public:
  FileSettings(MainLoop& loop, std::string folder)
      : loop_(loop),
        folder_(std::move(folder)),
        file_(joinedPath(folder_, kFileName)),
        chosen_(desiredIn(readJsonObject(file_))),
        onDisk_(chosen_) {}

  std::optional<Desired> desired() const override { return chosen_; }

  void setDesired(Desired desired) override {
    chosen_ = desired;
    if (chosen_ == onDisk_) {
      pendingWrite_.reset();
    } else if (!pendingWrite_) {
      pendingWrite_ = loop_.after(kWriteDelay, [this] { write(); });
    }
  }

  void flush() override {
    if (pendingWrite_) write();
  }

 private:
  void write() {
    pendingWrite_.reset();
    if (!chosen_) return;
    const std::string raw(rawValue(*chosen_));
    // Other keys come from the file as it is now, so nothing another writer stored is lost.
    nlohmann::json merged = readJsonObject(file_).value_or(nlohmann::json::object());
    if (!merged.contains(kDesiredKey) || merged[kDesiredKey] != raw) {
      merged[kDesiredKey] = raw;
      const std::string text =
          merged.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
      // A folder that cannot be written keeps the choice for this run only.
      if (!makeFolders(folder_) || !replaceFileAtomically(folder_, kFileName, text)) return;
    }
    onDisk_ = chosen_;
  }

  MainLoop& loop_;
  const std::string folder_;
  const std::string file_;
  std::optional<Desired> chosen_;
  std::optional<Desired> onDisk_;  // what the file holds, as far as this store knows
  std::unique_ptr<Timer> pendingWrite_;
};

}  // namespace

std::string userSettingsFolder() { return joinedPath(xdgConfigHome(), "vantorel"); }

std::unique_ptr<Settings> makeFileSettings(MainLoop& loop, std::string folder) {
  return std::make_unique<FileSettings>(loop, std::move(folder));
}

}  // namespace vantorel
