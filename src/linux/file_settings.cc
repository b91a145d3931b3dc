#include "linux/file_settings.h"

#include <chrono>
#include <cstdio>
#include <optional>

#include "linux/file_read.h"
#include "linux/preferences.h"

namespace vantorel {
namespace {

// How long a choice waits before it is written: a burst of choices within it costs one write.
constexpr Duration kWriteDelay = std::chrono::milliseconds(300);

// The file is read once for the wanted state, when made, and its temporaries of killed writes
// are swept then. A missing, unreadable or corrupt file reads as no value and is left untouched
// until a choice is written.
class FileSettings final : public Settings {
 public:
  FileSettings(MainLoop& loop, std::string folder, Bundle bundle)
      : loop_(loop), file_(std::move(folder)), bundle_(std::move(bundle)) {
    file_.sweep();
    seenText_ = file_.text();
    const Preferences preferences = parsePreferences(seenText_);
    chosen_ = preferences.desired;
    report(preferences);
    bench_ = benchOf(bundle_, preferences, file_.path());
  }

  std::optional<Desired> desired() const override { return chosen_; }

  void setDesired(Desired desired) override {
    chosen_ = desired;
    if (!pendingWrite_) pendingWrite_ = loop_.after(kWriteDelay, [this] { write(); });
  }

  void flush() override {
    if (pendingWrite_) write();
  }

  std::optional<Bench> bench() override {
    if (!handedOut_) {
      handedOut_ = true;
      return bench_;
    }
    std::optional<std::string> text = file_.text();
    if (text == seenText_) return std::nullopt;
    seenText_ = std::move(text);
    const Preferences preferences = parsePreferences(seenText_);
    report(preferences);
    Bench now = benchOf(bundle_, preferences, file_.path());
    if (now == bench_) return std::nullopt;
    return bench_ = std::move(now);
  }

 private:
  void write() {
    pendingWrite_.reset();
    if (!chosen_) return;
    // A file that cannot be written keeps the choice for this run only.
    const Desired chosen = *chosen_;
    const Status written =
        file_.update([chosen](nlohmann::json& object) { return storeDesired(object, chosen); },
                     PreferencesFile::IfCorrupt::replace);
    if (!written.ok()) std::fprintf(stderr, "vantorel: %s\n", written.message().c_str());
  }

  void report(const Preferences& preferences) const {
    for (const std::string& problem : preferences.problems) {
      std::fprintf(stderr, "vantorel: %s: %s\n", file_.path().c_str(), problem.c_str());
    }
  }

  MainLoop& loop_;
  const PreferencesFile file_;
  const Bundle bundle_;
  std::optional<Desired> chosen_;
  std::unique_ptr<Timer> pendingWrite_;
  std::optional<std::string> seenText_;  // the bytes the bench was last read from
  Bench bench_;
  bool handedOut_ = false;
};

}  // namespace

std::string userSettingsFolder() { return joinedPath(xdgConfigHome(), "vantorel"); }

std::unique_ptr<Settings> makeFileSettings(MainLoop& loop, std::string folder, Bundle bundle) {
  return std::make_unique<FileSettings>(loop, std::move(folder), std::move(bundle));
}

}  // namespace vantorel
