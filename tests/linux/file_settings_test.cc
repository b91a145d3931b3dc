// Given a real folder and a hand-stepped loop, we should coalesce choices, hand out a changed bench
// only, and at start-up sweep stale temporaries and write nothing until a choice.

#include "linux/file_settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <set>

#include "fakes/fake_ports.h"
#include "linux/file_read.h"
#include "linux/temp_folder.h"

using namespace vantorel;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

class FileSettingsTest : public ::testing::Test {
 protected:
  std::unique_ptr<Settings> open() { return makeFileSettings(loop, folder, Bundle{"/b", {}}); }
  std::string content() const { return readRegularFile(file).value_or("(none)"); }

  FakeMainLoop loop;
  TempFolder temp;
  const std::string folder = temp.path / "config/vantorel", file = folder + "/preferences.json";
};

TEST_F(FileSettingsTest, BurstIsOneWriteAndAChoiceUndoesAnOutsideEdit) {
  const auto settings = open();
  for (int i = 0; i < 2000; ++i) settings->setDesired(kAllDesired[i % 4]), loop.advance(125us);
  // That took 250 ms: one write, 300 ms after the first choice.
  EXPECT_FALSE(fs::exists(folder));  // nothing waited on the disk
  loop.advance(50ms);
  EXPECT_EQ(open()->desired(), Desired::rpNormal);
  std::ofstream(file) << R"({"desired":"C6 normal","window":3})";  // an outside edit
  settings->setDesired(Desired::rpNormal);                         // the choice already checked
  loop.advance(1s);
  EXPECT_EQ(content(), "{\n  \"desired\": \"RP normal\",\n  \"window\": 3\n}\n");
}

TEST_F(FileSettingsTest, BenchIsHandedOutAgainOnlyWhenTheFileChangedIt) {
  const auto settings = open();
  EXPECT_EQ(settings->bench(), Bench{});  // the first look, with no file
  EXPECT_EQ(settings->bench(), std::nullopt);
  fs::create_directories(folder);
  std::ofstream(file) << R"({"desired":"RP boot"})";
  EXPECT_EQ(settings->bench(), std::nullopt);  // the file changed, the bench did not
  std::ofstream(file) << R"({"BoardC6Serial":"AA","rules":[{"ids":"2e8a:000c","kind":"ignore"}]})";
  const Bench bench{"AA", SerialSource::user, file, {{0x2E8A, 0x000C, {}, RuleKind::ignore}}};
  EXPECT_EQ(settings->bench(), bench);
  EXPECT_EQ(settings->bench(), std::nullopt);
}

TEST_F(FileSettingsTest, StartUpSweepsOldTemporariesAndLeavesACorruptFileToAChoice) {
  fs::create_directories(folder);
  const std::string prefix = folder + "/.preferences.json.";
  std::ofstream(file) << R"({"desired": "RP boot",)";  // corrupt: left as it is until a choice
  for (const char* suffix : {"Kill3d", "Fresh1"}) std::ofstream(prefix + suffix) << "{";
  const timespec epoch[2] = {};
  utimensat(AT_FDCWD, (prefix + "Kill3d").c_str(), epoch, 0);  // Fresh1: a write at work
  const auto settings = open();
  EXPECT_EQ(settings->desired(), std::nullopt);
  loop.advance(1s);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{".preferences.json.Fresh1", "preferences.json"}));
  EXPECT_EQ(content(), R"({"desired": "RP boot",)");
  settings->setDesired(Desired::c6Normal);
  settings->flush();
  EXPECT_EQ(open()->desired(), Desired::c6Normal);
}
