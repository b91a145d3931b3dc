// Given a real folder, we should keep "desired" across stores, never damage a file we cannot read,
// and keep a choice for the run when it cannot be made durable.

#include "platform/linux/file_preferences.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "fakes/temp_folder.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

class FilePreferencesTest : public ::testing::Test {
 protected:
  void writeFile(const std::string& content) {
    fs::create_directories(folder);
    std::ofstream(file, std::ios::binary) << content;
  }
  std::string readFile() const {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
  }
  // Entries in the folder: a temporary left behind would show here.
  long entries() const {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
  }

  TempFolder temp{"vantorel-prefs"};
  const fs::path folder = temp.path() / "config" / "vantorel";
  const fs::path file = folder / "preferences.json";
};

TEST_F(FilePreferencesTest, MissingFileHasNoValueUntilTheFirstWriteCreatesIt) {
  FilePreferences preferences(folder.string());
  EXPECT_EQ(preferences.string("desired"), std::nullopt);
  EXPECT_FALSE(fs::exists(folder));
  const std::string value = "RP boot \" \\ \n \xC2\xB7";
  ASSERT_TRUE(preferences.setString("desired", value));
  EXPECT_TRUE(fs::is_regular_file(file));
  EXPECT_EQ(entries(), 1);
  EXPECT_EQ(FilePreferences(folder.string()).string("desired"), value);
}

TEST_F(FilePreferencesTest, UnreadableFileReadsAsEmptyAndStaysUntouchedUntilAChoice) {
  for (const char* content :
       {"{\"desired\": \"RP boot\",\n\xFF garbage", "[\"RP boot\"]", "\"RP boot\"", "null", ""}) {
    writeFile(content);
    EXPECT_EQ(FilePreferences(folder.string()).string("desired"), std::nullopt) << content;
    EXPECT_EQ(readFile(), content);
  }
  ASSERT_TRUE(FilePreferences(folder.string()).setString("desired", "C6 normal"));
  EXPECT_EQ(nlohmann::json::parse(readFile()), (nlohmann::json{{"desired", "C6 normal"}}));
}

TEST_F(FilePreferencesTest, WriteReplacesTheFileAtomicallyAndKeepsOtherKeys) {
  writeFile(R"({"desired": 3, "window": {"x": 3}, "note": "keep me"})");
  FilePreferences preferences(folder.string());
  EXPECT_EQ(preferences.string("desired"), std::nullopt);  // not a string
  EXPECT_EQ(preferences.string("window"), std::nullopt);
  ASSERT_TRUE(preferences.setString("desired", "RP normal"));
  EXPECT_EQ(preferences.string("desired"), "RP normal");
  EXPECT_EQ(
      nlohmann::json::parse(readFile()),
      (nlohmann::json{{"desired", "RP normal"}, {"window", {{"x", 3}}}, {"note", "keep me"}}));
  EXPECT_EQ(entries(), 1);
}

TEST_F(FilePreferencesTest, FolderThatCannotBeCreatedKeepsTheValueForTheRun) {
  std::ofstream(temp.path() / "blocker") << "a regular file";
  const fs::path below = temp.path() / "blocker" / "vantorel";
  FilePreferences preferences(below.string());
  EXPECT_FALSE(preferences.setString("desired", "RP boot"));
  EXPECT_EQ(preferences.string("desired"), "RP boot");
  EXPECT_FALSE(preferences.setString("desired", "C6 normal"));
  EXPECT_EQ(preferences.string("desired"), "C6 normal");
  EXPECT_FALSE(fs::exists(below));
}

TEST_F(FilePreferencesTest, FifoInPlaceOfTheFileReadsAsNoValueWithoutBlocking) {
  fs::create_directories(folder);
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
  EXPECT_EQ(FilePreferences(folder.string()).string("desired"), std::nullopt);
}

}  // namespace
}  // namespace vantorel
