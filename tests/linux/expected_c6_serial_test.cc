// Given an information dictionary and a user's preferences, the bundle's serial should win, the
// user's apply without it, and setting or clearing it keep the file's other keys; an installed
// program should never look for the attention file at the file-system root.

#include "linux/expected_c6_serial.h"

#include <gtest/gtest.h>

#include <fstream>

#include "linux/bounded_file.h"
#include "linux/temp_folder.h"

using namespace vantorel;
using Source = ExpectedC6Serial::Source;

TEST(ExpectedC6SerialTest, BundleWinsThenUserSetting) {
  const TempFolder temp;
  const std::string folder = temp.path / "config";
  const std::string prefs = folder + "/preferences.json";
  const Bundle withSerial{"/b", "F4"}, without{"/b", std::nullopt};
  EXPECT_EQ(expectedC6Serial(without, folder).source, Source::none);
  ASSERT_EQ(storeUserC6Serial(folder, "AA:01"), "");
  EXPECT_EQ(expectedC6Serial(withSerial, folder).source, Source::bundle);
  const ExpectedC6Serial user = expectedC6Serial(without, folder);
  EXPECT_EQ(std::make_tuple(*user.value, user.source, user.file),
            std::make_tuple(std::string("AA:01"), Source::user, prefs));
  std::ofstream(prefs) << R"({"desired": "RP boot", "BoardC6Serial": ""})";
  EXPECT_EQ(expectedC6Serial(without, folder).source, Source::none);
  ASSERT_EQ(storeUserC6Serial(folder, "AA:02"), "");
  ASSERT_EQ(storeUserC6Serial(folder, std::nullopt), "");
  EXPECT_EQ(*readJsonObject(prefs), nlohmann::json({{"desired", "RP boot"}}));
}

TEST(ExpectedC6SerialTest, AttentionFileBesideABundleOnlyBelowTheRoot) {
  for (const auto& [bundle, beside] : std::initializer_list<std::pair<const char*, const char*>>{
           {"/P/build/Vantorel", "/P/work/board-flash-attention.json"},
           {"/usr", nullptr},
           {"/opt/vantorel/", nullptr}}) {
    EXPECT_EQ(attentionFileBesideBundle(bundle), beside ? std::optional(beside) : std::nullopt);
  }
}
