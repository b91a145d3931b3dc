// Given files other programs read while we write, we should never let a reader see a part of one
// nor write through a link. (Writers at once: preferences_test.cc.)

#include "linux/file_write.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "linux/file_read.h"
#include "linux/temp_folder.h"

using namespace vantorel;

namespace fs = std::filesystem;

TEST(FileWriteTest, AReaderRacingTheWriterSeesOnlyWholeFilesAndALinkIsLeftAsItIs) {
  const TempFolder temp;
  const std::string file = temp.path / "Vantorel" / "board-flash-attention.json";
  const std::string a(64 * 1024, 'a'), b = "{}\n";
  ASSERT_TRUE(writeFileSafely(file, a).ok());
  EXPECT_EQ(fs::status(temp.path / "Vantorel").permissions(), fs::perms::owner_all);
  int failures = 0;  // read once the writer is done
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
  const std::string link = temp.path / "attention.json";
  fs::create_symlink(file, link);
  EXPECT_NE(writeFileSafely(link, "{}").message().find(link + " is a symbolic link"),
            std::string::npos);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readRegularFile(file), a);
}
