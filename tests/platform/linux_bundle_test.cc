// Given a bundle folder on disk, we should answer "BoardC6Serial" only from a readable JSON object,
// and treat everything else as an absent dictionary.

#include "platform/linux/linux_bundle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/temp_folder.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

TEST(LinuxBundleTest, SerialComesOnlyFromAReadableJsonObject) {
  TempFolder temp{"vantorel-bundle"};
  const fs::path info = temp.path() / "share" / "vantorel" / "Info.json";
  const auto serial = [&] { return LinuxBundle(temp.path().string()).infoValue("BoardC6Serial"); };
  EXPECT_TRUE(serial().is_null());  // no file
  fs::create_directories(info);
  EXPECT_TRUE(serial().is_null());  // a folder in place of the file
  fs::remove(info);
  struct Row {
    const char* content;
    nlohmann::json expected;
  };
  const Row rows[] = {
      {"{\"BoardC6Serial\": \"F4\"", nullptr},
      {"", nullptr},
      {"[{\"BoardC6Serial\": \"F4\"}]", nullptr},
      {"\"F4\"", nullptr},
      {R"({"CFBundleName": "Vantorel"})", nullptr},
      {R"({"BoardC6Serial": " f4:12:FA:00:11:22 "})", " f4:12:FA:00:11:22 "},
      {R"({"BoardC6Serial": ""})", ""},
      {R"({"BoardC6Serial": 12345})", 12345},
  };
  for (const Row& row : rows) {
    std::ofstream(info, std::ios::binary) << row.content;
    EXPECT_EQ(serial(), row.expected) << row.content;
  }
}

}  // namespace
}  // namespace vantorel
