// Given files other programs read while we write, we should never let a reader see a part of one
// nor write through a link. (Writers at once: preferences_test.cc.)

#include "linux/file_write.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "linux/file_read.h"
#include "linux/temp_folder.h"

using namespace vantorel;

namespace fs = std::filesystem;

TEST(FileWriteTest, AReaderRacingTheWriterSeesOnlyWholeFiles) {
  const TempFolder temp;
  const std::string file = temp.path / "Vantorel" / "board-flash-attention.json";
  const std::string a(64 * 1024, 'a'), b = "{}\n";
  ASSERT_TRUE(writeFileSafely(file, a).ok());
  EXPECT_EQ(fs::status(temp.path / "Vantorel").permissions(), fs::perms::owner_all);
  std::atomic<int> failures = 0;
  std::atomic<bool> finished = false;
  std::thread writer([&] {
    for (int i = 0; i < 1000; ++i) failures += !writeFileSafely(file, i % 2 ? a : b).ok();
    finished = true;
  });
  int reads = 0, partial = 0;
  for (; !finished; ++reads) {
    const std::string seen = readRegularFile(file).value_or("(none)");
    partial += seen != a && seen != b;
  }
  writer.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(partial, 0) << "of " << reads << " reads";
}

TEST(FileWriteTest, ALinkAtThePathIsLeftAsItIs) {
  const TempFolder temp;
  const std::string file = temp.path / "attention.json", target = temp.path / "target";
  std::ofstream(target) << "precious";
  fs::create_symlink(target, file);
  EXPECT_NE(writeFileSafely(file, "{}").message().find(file + " is a symbolic link"),
            std::string::npos);
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(readRegularFile(target), "precious");
}
