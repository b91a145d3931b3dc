// Given preferences.json on a real disk, we should lose no update, write through a link, refuse
// other non-regular files, skip invalid rules one by one and keep what an edit is not about.

#include "linux/preferences.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "linux/file_read.h"
#include "linux/temp_folder.h"

using namespace vantorel;
namespace fs = std::filesystem;

class PreferencesTest : public ::testing::Test {
 protected:
  std::string add(const DeviceRule& rule) {
    return file.update([&rule](nlohmann::json& object) { return storeRule(object, rule); })
        .message();
  }

  TempFolder temp;
  const std::string folder = temp.path / "config";
  const PreferencesFile file{folder};
};

// Several commands at once, each updating preferences.json and, as the attention file's writers
// do, a plain file through updateFileSafely(): both under a lock, so no update is lost.
TEST_F(PreferencesTest, WritersInSeveralProcessesLoseNoUpdate) {
  ASSERT_TRUE(file.update([](nlohmann::json& o) { return storeDesired(o, Desired::rpBoot); }).ok());
  const std::string counter = temp.path / "counter";
  const FileChange increment = [](const std::optional<std::string>& now) {
    return std::to_string(std::stoi(now.value_or("0")) + 1);
  };
  std::vector<pid_t> writers(4);
  for (int w = 0; w < 4; ++w) {
    if ((writers[w] = fork()) != 0) continue;
    bool ok = true;
    for (int i = 0; i < 25; ++i) ok = ok && updateFileSafely(counter, increment).ok();
    for (int i = 0; i < 25; ++i) ok = ok && add({0x1000 + w, i, {}, RuleKind::ignore}).empty();
    _exit(ok ? 0 : 1);
  }
  for (int status = 0; const pid_t pid : writers)
    EXPECT_TRUE(waitpid(pid, &status, 0) == pid && status == 0);
  const Preferences read = file.read();
  EXPECT_EQ(
      std::make_tuple(read.rules.size(), read.desired, readRegularFile(counter)),
      std::make_tuple(100u, std::optional(Desired::rpBoot), std::optional<std::string>("100")));
}

TEST_F(PreferencesTest, ALinkIsWrittenThroughAndAnythingElseNotRegularIsRefused) {
  for (const char* made : {"config", "dotfiles"}) fs::create_directories(temp.path / made);
  fs::create_symlink("../dotfiles/vantorel.json", file.path());  // not there yet
  ASSERT_EQ(add({0x2E8A, 0x000C, {}, RuleKind::ignore}), "");
  ASSERT_TRUE(file.update([](nlohmann::json& o) { return storeC6Serial(o, "AA"); }).ok());
  EXPECT_TRUE(fs::is_symlink(file.path()));
  EXPECT_EQ(*readJsonObject(temp.path / "dotfiles/vantorel.json"),
            (nlohmann::json{{"BoardC6Serial", "AA"},
                            {"rules", {{{"ids", "2e8a:000c"}, {"kind", "ignore"}}}}}));

  fs::remove(file.path());
  fs::create_symlink(temp.path / "dotfiles", file.path());  // to a folder
  EXPECT_NE(add({1, 1, {}, RuleKind::ignore}).find("is not a regular file"), std::string::npos);
  EXPECT_TRUE(fs::is_symlink(file.path()));
}

TEST_F(PreferencesTest, InvalidRulesAreSkippedOneByOneAndEditsKeepTheRest) {
  fs::create_directories(folder);
  std::ofstream(file.path()) << R"({"desired": "C6 normal", "BoardC6Serial": "", "window": 3,
    "rules": [{"ids": "2e8a:000c", "kind": "ignore"}, {"ids": "2e8a:c", "kind": "boot"},
              {"ids": "2e8a:0005", "kind": "apps"}, 7, {"ids": "2e8a:0005", "kind": "app",
              "name": 5}, {"ids": "2E8A:000F", "kind": "app", "name": "Pico 2"}]})";
  const DeviceRule probe{0x2E8A, 0x000C, {}, RuleKind::ignore};
  const Preferences read = file.read();
  EXPECT_EQ(read.rules, (DeviceRules{probe, {0x2E8A, 0x000F, "Pico 2", RuleKind::app}}));
  EXPECT_EQ(std::make_tuple(read.c6Serial, read.problems.size()),
            std::make_tuple(std::nullopt, 4u));
  EXPECT_EQ(
      read.problems.at(0),
      R"(rule 2 skipped: "ids" is not VID:PID, four hex digits each: {"ids":"2e8a:c","kind":"boot"})");

  // The same devices (the name in any case) replace; the invalid entries stay for the person.
  ASSERT_EQ(add({0x2E8A, 0x000F, "PICO 2", RuleKind::boot}), "");
  const auto drop = [&probe](nlohmann::json& o) { return dropRule(o, probe); };
  ASSERT_TRUE(file.update(drop).ok());
  EXPECT_EQ(file.update(drop).message(), "no rule about 2e8a:000c without a name");
  const Preferences after = file.read();
  EXPECT_EQ(std::make_tuple(after.rules, after.problems.size(), after.desired,
                            readJsonObject(file.path())->at("window")),
            std::make_tuple(DeviceRules{{0x2E8A, 0x000F, "PICO 2", RuleKind::boot}}, 4u,
                            std::optional(Desired::c6Normal), nlohmann::json(3)));

  std::ofstream(file.path()) << R"({"desired": "RP boot",})";  // a slip of the hand: kept
  EXPECT_EQ(add(probe), file.path() + " holds no JSON object; fix or remove it first");
  std::ofstream(file.path()) << R"({"rules": {"x": 1}})";  // the person's to fix, not ours
  EXPECT_NE(add(probe), "");
}

TEST_F(PreferencesTest, TheBundlesSerialWinsOnlyWhenSetAndNotEmpty) {
  using enum SerialSource;
  // The bundle's serial and the person's; the serial in effect and where it comes from.
  using S = std::optional<std::string>;
  const std::tuple<S, S, S, SerialSource> rows[] = {{"F4", "AA", "F4", bundle},
                                                    {"", "AA", "AA", user},
                                                    {"", {}, "", bundle},
                                                    {{}, "AA", "AA", user},
                                                    {{}, {}, {}, none}};
  for (const auto& [fromBundle, fromUser, serial, source] : rows) {
    const Bench bench = benchOf(Bundle{"/b", fromBundle}, Preferences{{}, fromUser, {}, {}}, "p");
    EXPECT_EQ(std::make_tuple(bench.c6Serial, bench.serialSource), std::make_tuple(serial, source));
  }
  EXPECT_EQ(describeSerial(benchOf(Bundle{"/b", ""}, {}, "p")),
            "Expected C6 serial: (none) (bundle: /b/share/vantorel/Info.json)");
}
