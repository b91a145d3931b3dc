// Given whatever sits at the attention file's path on a real file system, we should read a small
// regular file whole and refuse everything else at once, without blocking or eating memory.

#include "platform/linux/posix_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fakes/temp_folder.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

class PosixFilesTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return (folder / name).string(); }
  std::string write(const std::string& name, const std::string& content) {
    std::ofstream(path(name), std::ios::binary) << content;
    return path(name);
  }

  TempFolder temp{"vantorel-files"};
  const fs::path folder = temp.path();
  PosixFiles files;
};

TEST_F(PosixFilesTest, SmallRegularFileIsReadWhole) {
  const std::string content("{\"a\":1}\n\0tail", 13);
  EXPECT_EQ(files.readSmallFile(write("f.json", content)), content);
}

TEST_F(PosixFilesTest, EmptyFileReadsAsEmptyText) {
  EXPECT_EQ(files.readSmallFile(write("f.json", "")), "");
}

TEST_F(PosixFilesTest, MissingFileAndFolderAreRefused) {
  EXPECT_FALSE(files.readSmallFile(path("missing.json")));
  fs::create_directory(path("dir"));
  EXPECT_FALSE(files.readSmallFile(path("dir")));
  EXPECT_FALSE(files.readSmallFile(""));
}

TEST_F(PosixFilesTest, FifoWithoutWriterIsRefusedWithoutBlocking) {
  ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
  alarm(60);  // a read that blocks ends the run instead of hanging it
  EXPECT_FALSE(files.readSmallFile(path("fifo")));
  alarm(0);
}

TEST_F(PosixFilesTest, SymbolicLinkToDevZeroIsRefused) {
  fs::create_symlink("/dev/zero", path("zero"));
  EXPECT_FALSE(files.readSmallFile(path("zero")));
}

TEST_F(PosixFilesTest, SymbolicLinkToARegularFileIsFollowed) {
  write("real.json", "{}");
  fs::create_symlink(path("real.json"), path("link.json"));
  EXPECT_EQ(files.readSmallFile(path("link.json")), "{}");
}

TEST_F(PosixFilesTest, FileAtTheBoundIsReadAndOneByteMoreIsRefused) {
  const std::string atBound(PosixFiles::kMaxSmallFile, ' ');
  EXPECT_EQ(files.readSmallFile(write("bound.json", atBound))->size(), atBound.size());
  EXPECT_FALSE(files.readSmallFile(write("over.json", atBound + " ")));
  EXPECT_FALSE(files.readSmallFile(write("big.json", std::string(2u << 20, 'x'))));
}

TEST_F(PosixFilesTest, UnreadableFileIsRefused) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const std::string locked = write("locked.json", "{}");
  fs::permissions(locked, fs::perms::none);
  EXPECT_FALSE(files.readSmallFile(locked));
}

TEST_F(PosixFilesTest, ExistsSeesEveryKindOfEntry) {
  EXPECT_FALSE(files.exists(path("missing")));
  EXPECT_TRUE(files.exists(write("f", "")));
  fs::create_directory(path("dir"));
  EXPECT_TRUE(files.exists(path("dir")));
}

}  // namespace
}  // namespace vantorel
