// Given files of every kind at a path, we should read only regular files of at most 1 MiB.

#include "linux/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "linux/temp_folder.h"

using namespace vantorel;
namespace fs = std::filesystem;

TEST(FileReadTest, OnlyRegularFilesWithinTheBoundAreRead) {
  const TempFolder temp;
  const auto at = [&](const char* name) { return temp.path / name; };
  std::ofstream(at("exact")) << std::string(kMaxSmallFile, 'x');
  std::ofstream(at("over")) << std::string(kMaxSmallFile + 1, 'x');
  fs::create_directory(at("folder"));
  mkfifo(at("fifo").c_str(), 0600);
  fs::create_symlink("/dev/zero", at("zero"));
  fs::create_symlink(at("exact"), at("link"));
  const std::pair<const char*, std::size_t> sizes[] = {
      {"missing", 0},           {"folder", 0},          {"fifo", 0}, {"zero", 0}, {"over", 0},
      {"exact", kMaxSmallFile}, {"link", kMaxSmallFile}};
  for (const auto& [name, size] : sizes) {
    const auto content = makeAttentionFileSource(at(name))->read();
    EXPECT_EQ(content ? content->size() : 0, size) << name;
  }
}
