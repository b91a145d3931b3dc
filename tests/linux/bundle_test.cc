// Given a bundle and its files on disk, we should take "BoardC6Serial" only as a string in a JSON
// object and never look for the attention file at the file-system root.

#include "linux/bundle.h"

#include <gtest/gtest.h>

#include <fstream>

#include "linux/temp_folder.h"

using namespace vantorel;
namespace fs = std::filesystem;

TEST(BundleTest, SerialComesOnlyFromAStringInAJsonObjectAndTheAttentionFileFromBelowTheRoot) {
  const TempFolder temp;
  fs::create_directories(temp.path / "share/vantorel");
  for (const auto& [text, serial] : std::initializer_list<std::pair<const char*, const char*>>{
           {R"({"BoardC6Serial": "F4")", nullptr},
           {R"([{"BoardC6Serial": "F4"}])", nullptr},
           {R"({"BoardC6Serial": 12345})", nullptr},
           {"\xEF\xBB\xBF{\"BoardC6Serial\": \" f4:12 \"}", " f4:12 "}}) {
    std::ofstream(temp.path / "share/vantorel/Info.json") << text;
    EXPECT_EQ(Bundle::at(temp.path).c6Serial, serial ? std::optional(serial) : std::nullopt);
  }
  for (const auto& [bundle, beside] : std::initializer_list<std::pair<const char*, const char*>>{
           {"/P/build/Vantorel", "/P/work/board-flash-attention.json"},
           {"/usr", nullptr},
           {"/opt/vantorel/", nullptr}}) {
    EXPECT_EQ(attentionFileBesideBundle(bundle), beside ? std::optional(beside) : std::nullopt);
  }
}
