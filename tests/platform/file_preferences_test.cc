// Given a real folder, we should keep "desired" across stores, never damage a file we cannot read,
// and keep a choice for the run when it cannot be made durable.

#include "platform/linux/file_preferences.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/temp_folder.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

class FilePreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = root / "config" / "vantorel";
  }

  fs::path file() const { return folder / "preferences.json"; }
  void writeFile(const std::string& content) {
    fs::create_directories(folder);
    std::ofstream(file(), std::ios::binary) << content;
  }
  std::string readFile() const {
    std::ifstream in(file(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  TempFolder temp{"vantorel-prefs"};
  const fs::path root = temp.path();
  fs::path folder;
};

TEST_F(FilePreferencesTest, MissingFileHasNoValueAndCreatesNothing) {
  FilePreferences preferences(folder.string());
  EXPECT_EQ(preferences.string("desired"), std::nullopt);
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(FilePreferencesTest, StoredStringIsReadBackByTheNextStore) {
  ASSERT_TRUE(FilePreferences(folder.string()).setString("desired", "RP boot"));
  EXPECT_EQ(FilePreferences(folder.string()).string("desired"), "RP boot");
  EXPECT_EQ(nlohmann::json::parse(readFile()), (nlohmann::json{{"desired", "RP boot"}}));
}

TEST_F(FilePreferencesTest, CorruptFileReadsAsEmptyAndStaysUntouchedUntilAChoice) {
  const std::string corrupt = "{\"desired\": \"RP boot\",\n\xFF garbage";
  writeFile(corrupt);
  {
    FilePreferences preferences(folder.string());
    EXPECT_EQ(preferences.string("desired"), std::nullopt);
    EXPECT_EQ(preferences.string("other"), std::nullopt);
  }
  EXPECT_EQ(readFile(), corrupt);
  FilePreferences preferences(folder.string());
  ASSERT_TRUE(preferences.setString("desired", "C6 normal"));
  EXPECT_EQ(nlohmann::json::parse(readFile()), (nlohmann::json{{"desired", "C6 normal"}}));
}

TEST_F(FilePreferencesTest, TopLevelValueOtherThanAnObjectReadsAsEmpty) {
  for (const char* content : {"[\"RP boot\"]", "\"RP boot\"", "null", ""}) {
    writeFile(content);
    EXPECT_EQ(FilePreferences(folder.string()).string("desired"), std::nullopt) << content;
    EXPECT_EQ(readFile(), content);
  }
}

TEST_F(FilePreferencesTest, ValueThatIsNotAStringIsNoValue) {
  writeFile(R"({"desired": 3, "a": null, "b": ["RP boot"], "c": {"d": "e"}, "f": true})");
  FilePreferences preferences(folder.string());
  for (const char* key : {"desired", "a", "b", "c", "f", "missing"}) {
    EXPECT_EQ(preferences.string(key), std::nullopt) << key;
  }
}

TEST_F(FilePreferencesTest, WriteReplacesTheFileWholeAndKeepsOtherKeys) {
  writeFile(R"({"desired": "C6 boot", "window": {"x": 3}, "note": "keep me"})");
  FilePreferences preferences(folder.string());
  ASSERT_TRUE(preferences.setString("desired", "RP normal"));
  EXPECT_EQ(preferences.string("desired"), "RP normal");
  EXPECT_EQ(nlohmann::json::parse(readFile()),
            (nlohmann::json{{"desired", "RP normal"}, {"window", {{"x", 3}}}, {"note", "keep me"}}));
  EXPECT_EQ(entries(), std::vector<std::string>{"preferences.json"});  // no temporary left behind
}

TEST_F(FilePreferencesTest, MissingFoldersAreCreatedOnTheFirstWrite) {
  FilePreferences preferences(folder.string());
  ASSERT_TRUE(preferences.setString("desired", "RP boot"));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(entries(), std::vector<std::string>{"preferences.json"});
}

TEST_F(FilePreferencesTest, FolderThatCannotBeCreatedKeepsTheValueForTheRun) {
  std::ofstream(root / "blocker") << "a regular file";
  const fs::path below = root / "blocker" / "vantorel";
  FilePreferences preferences(below.string());
  EXPECT_FALSE(preferences.setString("desired", "RP boot"));
  EXPECT_EQ(preferences.string("desired"), "RP boot");
  EXPECT_FALSE(preferences.setString("desired", "C6 normal"));
  EXPECT_EQ(preferences.string("desired"), "C6 normal");
  EXPECT_FALSE(fs::exists(below));
}

TEST_F(FilePreferencesTest, TextNeedingEscapesSurvivesTheRoundTrip) {
  const std::string value = "quote\" back\\slash\nnewline \xC2\xB7 dot";
  ASSERT_TRUE(FilePreferences(folder.string()).setString("desired", value));
  EXPECT_EQ(FilePreferences(folder.string()).string("desired"), value);
}

TEST_F(FilePreferencesTest, FifoInPlaceOfTheFileReadsAsNoValueWithoutBlocking) {
  fs::create_directories(folder);
  ASSERT_EQ(mkfifo(file().c_str(), 0600), 0);
  FilePreferences preferences(folder.string());  // would block for good on a blocking open
  EXPECT_EQ(preferences.string("desired"), std::nullopt);
}

}  // namespace
}  // namespace vantorel
