#include "terminal/terminal_output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vantorel::terminal {

// Given an output into a one-page pipe that the test reads, we should see whole writes only, and
// never wait for the reader: not in a write, and no longer than asked in the last drain.
TEST(TerminalOutput, AReaderFallingBehindGetsWholeWritesNeverAPartOfOneAndNeverAWait) {
  int pipe[2];
  ASSERT_EQ(pipe2(pipe, O_CLOEXEC), 0);
  ASSERT_EQ(fcntl(pipe[1], F_SETPIPE_SZ, 4096), 4096);
  fcntl(pipe[0], F_SETFL, O_NONBLOCK);
  Output output(pipe[1]);
  bool drained = false;
  output.onDrained([&] { drained = true; });
  const std::string a(4000, 'a'), b = "\r\x1b[12A\x1b[J" + std::string(8 << 10, 'b'),
                                  c = "\r\x1b[12A\x1b[J" + std::string(300 << 10, 'c');
  output.write(a);
  output.write(b);  // begun, then waits for the reader
  EXPECT_TRUE(output.busy());
  output.write(c);
  output.drain(10);  // the last words wait no longer than asked
  std::string got(a.size() + b.size() + c.size() + 1, '\0');
  std::size_t size = 0;
  for (ssize_t n = 1; n > 0 || output.busy(); size += n > 0 ? static_cast<std::size_t>(n) : 0) {
    g_main_context_iteration(nullptr, FALSE);
    n = read(pipe[0], got.data() + size, got.size() - size);
  }
  EXPECT_TRUE(got.substr(0, size) == a + b + c);
  EXPECT_TRUE(drained);
  close(pipe[0]);
}

}  // namespace vantorel::terminal
