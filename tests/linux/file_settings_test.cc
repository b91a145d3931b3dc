// Given a real folder and a hand-stepped loop, we should keep "desired" across launches, write a
// burst of choices once and an unchanged one never, and clear the temporaries of killed writes
// without following a link. (A corrupt or unwritable file: see tests/e2e/terminal_test.py.)

#include "linux/file_settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <set>

#include "fakes/fake_main_loop.h"
#include "linux/bounded_file.h"
#include "linux/temp_folder.h"

using namespace vantorel;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

class FileSettingsTest : public ::testing::Test {
 protected:
  std::unique_ptr<Settings> open() { return makeFileSettings(loop, folder); }
  std::string content() const { return readRegularFile(file, kMaxSmallFile).value_or("(none)"); }
  std::set<std::string> entries() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  }

  FakeMainLoop loop;
  TempFolder temp;
  const std::string folder = temp.path / "config/vantorel", file = folder + "/preferences.json";
};

TEST_F(FileSettingsTest, BurstIsOneWriteUnchangedValueNoneAndFlushWritesAtOnce) {
  const auto settings = open(), other = open();  // both made before the file exists
  EXPECT_EQ(settings->desired(), std::nullopt);
  for (int i = 0; i < 2000; ++i) {  // over 250 ms: one write, 300 ms after the first choice
    settings->setDesired(kAllDesired[i % 4]);
    loop.advance(125us);
  }
  EXPECT_EQ(loop.pending(), 1u);
  EXPECT_FALSE(fs::exists(folder));  // nothing waited on the disk
  loop.advance(50ms);
  EXPECT_EQ(open()->desired(), Desired::rpNormal);
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);

  // Another program's write, which a rewrite would undo.
  std::ofstream(file) << R"({"desired":"C6 normal","window":3})";
  for (const Desired d : {Desired::rpNormal, Desired::c6Boot, Desired::rpNormal}) {
    settings->setDesired(d);  // back to what this store wrote: nothing to write
  }
  other->setDesired(Desired::c6Normal);  // new to that store, but already on disk
  settings->flush(), other->flush(), loop.advance(1s);
  EXPECT_EQ(content(), R"({"desired":"C6 normal","window":3})");

  settings->setDesired(Desired::c6Boot);
  settings->flush();  // writes at once, keeping the keys of others
  EXPECT_EQ(nlohmann::json::parse(content()),
            (nlohmann::json{{"desired", "C6 boot"}, {"window", 3}}));
  EXPECT_EQ(entries(), std::set<std::string>{"preferences.json"});
}

TEST_F(FileSettingsTest, StaleTemporariesOfOursAreRemovedButNeverThroughALink) {
  fs::create_directories(folder);
  const std::string prefix = folder + "/.preferences.json.", target = temp.path / "target";
  std::ofstream(target) << "not ours";
  fs::create_symlink(target, prefix + "Link99");
  for (const char* suffix : {"Kill3d", "Fresh1", "long777"}) std::ofstream(prefix + suffix) << "{";
  const timespec epoch[2] = {};
  for (const std::string& old :
       {prefix + "Kill3d", prefix + "long777", prefix + "Link99", target}) {
    utimensat(AT_FDCWD, old.c_str(), epoch, AT_SYMLINK_NOFOLLOW);  // Fresh1: a write at work
  }
  const auto settings = open();
  settings->setDesired(Desired::rpBoot);
  settings->flush();
  EXPECT_EQ(entries(),
            (std::set<std::string>{".preferences.json.Fresh1", ".preferences.json.Link99",
                                   ".preferences.json.long777", "preferences.json"}));
  EXPECT_TRUE(fs::exists(target));
}
