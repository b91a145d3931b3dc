// Given a bundle and its files on disk, we should read only regular files of at most 1 MiB and
// take "BoardC6Serial" only as a string in a JSON object. (Where the attention file is read from
// is seen by tests/e2e/terminal_test.py.)

#include "linux/bundle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "linux/attention_file_source.h"
#include "linux/bounded_file.h"
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
