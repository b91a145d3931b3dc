// Any file reads as a JSON object exactly when an independent reading (json_model.h) finds one,
// and what the settings and the bundle take from it agrees with that reading: a wanted state only
// from a "desired" string that is one of the four raw values, a serial only from a
// "BoardC6Serial" string, and from a "rules" list each entry either a rule or one problem. A
// menu choice written back keeps every other key as it was, and a command's update refuses a file
// that holds no object (only white space reads as empty) without touching a byte of it.

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fakes/fake_ports.h"
#include "fuzz_check.h"
#include "json_model.h"
#include "linux/bundle.h"
#include "linux/file_read.h"
#include "linux/file_settings.h"
#include "linux/preferences.h"

// A bundle whose Info.json links to the settings file beside it, so one write feeds every reader;
// in memory where possible (a disk file system writes a truncated file back on close).
struct Folder {
  Folder() : path(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") {
    path += "/vantorel-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(path.data()) != nullptr);
    std::filesystem::create_directories(path + "/share/vantorel");
    std::filesystem::create_symlink("../../preferences.json", path + "/share/vantorel/Info.json");
  }
  ~Folder() { std::filesystem::remove_all(path); }
  std::string path;
};

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static const Folder folder;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string file = folder.path + "/preferences.json";
  std::ofstream(file, std::ios::binary).write(text.data(), static_cast<std::streamsize>(size));
  const auto object = vantorel::readJsonObject(file);
  const auto model = JsonModel::object(text);
  FUZZ_CHECK(object.has_value() == model.has_value() && (!object || object->is_object()));
  const auto stringAt = [&](const char* key) -> std::optional<std::string> {
    if (!model || !model->contains(key)) return std::nullopt;
    return model->at(key);
  };
  vantorel::FakeMainLoop loop;
  const auto desired =
      vantorel::makeFileSettings(loop, folder.path, vantorel::Bundle{folder.path, {}})->desired();
  const auto raw = stringAt("desired");
  FUZZ_CHECK(desired ? raw == vantorel::rawValue(*desired)
                     : !raw || !vantorel::desiredFromRawValue(*raw));
  const auto serial = vantorel::Bundle::at(folder.path).c6Serial;
  FUZZ_CHECK(serial == stringAt("BoardC6Serial") && (!serial || validUtf8(*serial)));
  const auto preferences = vantorel::parsePreferences(std::string(text));
  if (object && object->contains("rules") && object->at("rules").is_array()) {
    FUZZ_CHECK(preferences.rules.size() + preferences.problems.size() ==
               object->at("rules").size());
  } else {
    FUZZ_CHECK(preferences.rules.empty());
  }
  const vantorel::PreferencesFile preferencesFile(folder.path);
  const auto wantC6Normal = [](nlohmann::json& o) {
    return vantorel::storeDesired(o, vantorel::Desired::c6Normal);
  };
  if (!object && text.find_first_not_of(" \t\r\n") != std::string_view::npos) {
    FUZZ_CHECK(!preferencesFile.update(wantC6Normal).ok());
    FUZZ_CHECK(preferencesFile.text() == std::string(text));
    return 0;
  }
  FUZZ_CHECK(preferencesFile.update(wantC6Normal).ok());
  auto written = vantorel::readJsonObject(file);
  FUZZ_CHECK(written && written->value("desired", "") == "C6 normal");
  written->erase("desired");
  auto before = object.value_or(nlohmann::json::object());
  before.erase("desired");
  FUZZ_CHECK(*written == before);
  return 0;
}
