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
