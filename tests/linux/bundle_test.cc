// Given a bundle and its files on disk, we should read only regular files of at most 1 MiB, take
// "BoardC6Serial" only as a string in a JSON object, never look for the attention file at the
// file-system root, and never hand out the same fresh id twice.

#include "linux/bundle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <set>

#include "linux/attention_file_source.h"
#include "linux/bounded_file.h"
#include "linux/fresh_id.h"
#include "linux/temp_folder.h"

using namespace vantorel;
namespace fs = std::filesystem;

TEST(BundleTest, OnlyRegularFilesWithinTheBoundAreRead) {
  const TempFolder temp;
  const auto at = [&](const char* name) { return temp.path / name; };
  std::ofstream(at("exact")) << std::string(kMaxSmallFile, 'x');
  std::ofstream(at("over")) << std::string(kMaxSmallFile + 1, 'x');
  fs::create_directory(at("folder"));
  mkfifo(at("fifo").c_str(), 0600);
  fs::create_symlink("/dev/zero", at("zero"));
  fs::create_symlink(at("exact"), at("link"));
  for (const auto& [name, size] : {std::pair{"missing", 0ul},
                                   {"folder", 0ul},
                                   {"fifo", 0ul},
                                   {"zero", 0ul},
                                   {"over", 0ul},
                                   {"exact", kMaxSmallFile},
                                   {"link", kMaxSmallFile}}) {
    const auto content = makeAttentionFileSource(at(name))->read();
    EXPECT_EQ(content ? content->size() : 0, size) << name;
  }
}

TEST(BundleTest, SerialComesOnlyFromAStringInAJsonObject) {
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
}

TEST(BundleTest, AttentionFileBesideABundleOnlyBelowTheRootAndIdsAreFresh) {
  for (const auto& [bundle, beside] : std::initializer_list<std::pair<const char*, const char*>>{
           {"/P/build/Vantorel", "/P/work/board-flash-attention.json"},
           {"/usr", nullptr},
           {"/opt/vantorel/", nullptr}}) {
    EXPECT_EQ(attentionFileBesideBundle(bundle), beside ? std::optional(beside) : std::nullopt);
  }
  std::set<std::string> ids{""};
  for (int i = 0; i < 10000; ++i) ids.insert(freshId());
  EXPECT_EQ(ids.size(), 10001u);
}
