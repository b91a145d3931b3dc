// Given a bundle folder on disk, we should answer "BoardC6Serial" only from a readable JSON object,
// and treat everything else as an absent dictionary.

#include "platform/linux/linux_bundle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fakes/temp_folder.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

class LinuxBundleTest : public ::testing::Test {
 protected:
  void writeInfo(const std::string& content) {
    fs::create_directories(bundle / "share" / "vantorel");
    std::ofstream(bundle / "share" / "vantorel" / "Info.json", std::ios::binary) << content;
  }
  nlohmann::json serial() const { return LinuxBundle(bundle.string()).infoValue("BoardC6Serial"); }

  TempFolder temp{"vantorel-bundle"};
  const fs::path bundle = temp.path();
};

TEST_F(LinuxBundleTest, PathIsTheBundleFolder) {
  EXPECT_EQ(LinuxBundle(bundle.string()).path(), bundle.string());
}

TEST_F(LinuxBundleTest, MissingInfoFileMeansNoValue) { EXPECT_TRUE(serial().is_null()); }

TEST_F(LinuxBundleTest, MalformedOrNonObjectInfoMeansNoValue) {
  for (const char* content : {"{\"BoardC6Serial\": \"F4\"", "", "garbage",
                              "[{\"BoardC6Serial\": \"F4\"}]", "\"F4\"", "null"}) {
    writeInfo(content);
    EXPECT_TRUE(serial().is_null()) << content;
  }
}

TEST_F(LinuxBundleTest, InfoFolderInPlaceOfTheFileMeansNoValue) {
  fs::create_directories(bundle / "share" / "vantorel" / "Info.json");
  EXPECT_TRUE(serial().is_null());
}

TEST_F(LinuxBundleTest, SerialIsAnsweredAsWritten) {
  writeInfo(R"({"CFBundleName": "Vantorel", "BoardC6Serial": " f4:12:FA:00:11:22 "})");
  EXPECT_EQ(serial(), " f4:12:FA:00:11:22 ");
}

TEST_F(LinuxBundleTest, DictionaryWithoutTheKeyMeansNoValue) {
  writeInfo(R"({"CFBundleName": "Vantorel"})");
  EXPECT_TRUE(serial().is_null());
  EXPECT_EQ(LinuxBundle(bundle.string()).infoValue("CFBundleName"), "Vantorel");
}

TEST_F(LinuxBundleTest, NonStringValueIsHandedOverAsItIs) {
  writeInfo(R"({"BoardC6Serial": 12345})");
  EXPECT_EQ(serial(), 12345);
  writeInfo(R"({"BoardC6Serial": ""})");
  EXPECT_EQ(serial(), "");
}

}  // namespace
}  // namespace vantorel
