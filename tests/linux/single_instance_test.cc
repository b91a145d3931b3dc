// Given a lock path, we should let one holder at a time claim it, name the holder's pid to others,
// free it when the holder goes even by SIGKILL, and refuse a folder others can write in.

#include "linux/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "linux/temp_folder.h"

using namespace vantorel;

TEST(SingleInstanceTest,
     OneHolderAtATimeNamedByItsPidFreedEvenBySigkillAndNoneInAFolderOthersWrite) {
  TempFolder temp;
  const std::string path = temp.path / "vantorel" / "instance.lock";
  EXPECT_EQ(runningInstancePid(path), std::nullopt);  // no folder yet
  {
    InstanceClaim first = claimInstance(path);
    ASSERT_TRUE(first.lock) << first.error;
    const InstanceClaim second = claimInstance(path);  // another open file: refused as a process
    EXPECT_EQ(std::make_tuple(!second.lock, second.runningPid, runningInstancePid(path)),
              std::make_tuple(true, std::optional<long>(getpid()), std::optional<long>(getpid())));
  }
  EXPECT_EQ(runningInstancePid(path), std::nullopt);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    const InstanceClaim held = claimInstance(path);  // held until killed
    (void)!write(ready[1], held.lock ? "y" : "n", 1), pause();
    _exit(0);
  }
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  EXPECT_EQ(std::make_pair(answer, runningInstancePid(path)),
            std::make_pair('y', std::optional<long>(child)));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]), close(ready[1]);
  EXPECT_TRUE(claimInstance(path).lock);
  const std::string folder = temp.path / "vantorel";
  chmod(folder.c_str(), 0777);
  const InstanceClaim claim = claimInstance(path);
  EXPECT_FALSE(claim.lock || claim.runningPid);
  EXPECT_EQ(claim.error, folder + " is not a private folder of this user");
}
