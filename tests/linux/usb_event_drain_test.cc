// Given the events one wake-up reads from the monitor, we should report one change when devices
// came or went or events were lost, none for anything else, and hide what was removed last.

#include "linux/usb_event_drain.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <vector>

using namespace vantorel;

TEST(UsbEventDrainTest, OneChangePerWakeUpThatSawDevicesComeOrGoOrLostEvents) {
  const UsbEvent add{"add", "/1-1", true}, remove{"remove", "/1-1", true};
  std::vector<UsbEventRead> batch;
  std::size_t read = 0;
  bool endless = false;  // a socket that never runs dry
  int changes = 0;
  UsbEventDrain drain(
      [&] {
        if (read < batch.size()) return batch[read++];
        return endless ? UsbEventRead(add) : UsbEventRead(EAGAIN);
      },
      [&] { ++changes; });
  const UsbEvent bind{"bind", "/1-1", true}, unbind{"unbind", "/1-1", true};
  const std::tuple<std::vector<UsbEventRead>, int, bool> rows[] = {
      // events, changes, whether /1-1 is hidden as recently removed
      {{bind, UsbEvent{"change", "/1-1", true}, UsbEvent{"add", "/1-1:1.0", false}, EINTR},
       0,
       false},
      {{add, add, add}, 1, false},
      {{add, remove, EINTR}, 1, true},
      {{unbind}, 0, true},
      {{ENOBUFS, add, ENOBUFS, remove}, 1, true},
      {{ENOBUFS}, 1, false},
      {{remove, EIO, add}, 1, true},
  };
  for (int row = 0; const auto& [events, count, hidden] : rows) {
    SCOPED_TRACE(row++);
    batch = events, read = 0, changes = 0;
    drain.wake();
    EXPECT_EQ(changes, count);
    EXPECT_EQ(drain.recentlyRemoved("/1-1"), hidden);
  }
  batch = {}, endless = true, changes = 0;
  drain.wake();
  EXPECT_EQ(changes, 1);
}
