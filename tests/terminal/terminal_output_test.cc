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
  const auto received = [&](const std::string& expected) {
    std::string got(expected.size() + 1, '\0');
    std::size_t size = 0;
    for (ssize_t n = 1; n > 0 || output.busy(); size += n > 0 ? static_cast<std::size_t>(n) : 0) {
      g_main_context_iteration(nullptr, FALSE);
      n = read(pipe[0], got.data() + size, got.size() - size);
    }
    return size == expected.size() && got.compare(0, size, expected) == 0;
  };
  const auto redraw = [](char c, std::size_t kib) {
    return "\r\x1b[12A\x1b[J" + std::string(kib * 1024, c);
  };

  output.write(std::string(4000, 'a'));
  output.write(redraw('b', 8));  // begun, then waits for the reader
  EXPECT_TRUE(output.busy());
  output.write(redraw('c', 300));
  output.drain(10);
  EXPECT_TRUE(received(std::string(4000, 'a') + redraw('b', 8) + redraw('c', 300)));
  EXPECT_TRUE(drained);
  close(pipe[0]);
}

}  // namespace vantorel::terminal
