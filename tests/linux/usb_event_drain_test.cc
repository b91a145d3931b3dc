// Given the events each wake-up reads, we should report one change and keep the device list from
// the events alone, enumerating only when they cannot be trusted: what a fresh enumeration gives.

#include "linux/usb_event_drain.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace vantorel;

static USBDevice dev(const std::string& name) { return USBDevice(0x2e8a, 0x000f, name, "E0C9"); }

// An event of a whole device, or of an interface when its syspath has a ':'.
static UsbEvent ev(const char* action, std::string path, std::optional<USBDevice> device = {}) {
  return UsbEvent{action, path, path.find(':') == std::string::npos, std::move(device)};
}

// The devices' names, space separated (they come by syspath).
static std::string namesOf(const std::optional<std::vector<USBDevice>>& devices) {
  std::string out;
  for (const USBDevice& each : devices.value_or(std::vector<USBDevice>{}))
    out += (out.empty() ? "" : " ") + each.name();
  return out;
}

TEST(UsbEventDrainTest, KeepsTheListFromTheEventsAndEnumeratesOnlyWhenItCannotTrustThem) {
  std::vector<UsbEventRead> batch;
  std::size_t read = 0;
  std::optional<UsbDeviceSet> sysfs = UsbDeviceSet{{"/k", dev("keyboard")}};
  int changes = 0, enumerations = 0;
  UsbEventDrain drain([&] { return read < batch.size() ? batch[read++] : UsbEventRead(EAGAIN); },
                      [&] { return ++enumerations, sysfs; }, [&] { ++changes; });
  EXPECT_EQ(namesOf(drain.devices()), "keyboard");
  const UsbDeviceSet bus = {{"/k", dev("keyboard")}, {"/x", dev("x")}};
  // The events read, the devices then, the changes reported, the enumerations so far (the first
  // look's included).
  const std::tuple<std::vector<UsbEventRead>, const char*, int, int> rows[] = {
      {{ev("add", "/b", dev("RP2350 Boot"))}, "RP2350 Boot keyboard", 1, 1},
      // Re-enumerated under another name: the board's "change" carries it.
      {{ev("change", "/b", dev("Pico"))}, "Pico keyboard", 1, 1},
      {{ev("bind", "/b"), ev("unbind", "/b"), ev("add", "/b:1.0"), EINTR}, "Pico keyboard", 0, 1},
      {{ev("remove", "/b"), ev("add", "/c", dev("c")), ev("remove", "/c")}, "keyboard", 1, 1},
      // Plugged and gone before its ids could be read: nothing to enumerate for.
      {{ev("add", "/q"), ev("remove", "/q")}, "keyboard", 1, 1},
      // Ids not readable while it stays: sysfs decides.
      {{ev("add", "/x")}, "keyboard x", 1, 2},
      // The keyboard's removal is announced while its folder still exists.
      {{ev("remove", "/k"), ev("add", "/y")}, "x", 1, 3},
      {{ev("add", "/k", dev("keyboard")), EIO, ev("add", "/b", dev("b"))}, "keyboard x", 1, 4},
      {{ev("move", "/b")}, "keyboard x", 1, 5},
      // Events lost to an overflow may have brought a removed device back: sysfs decides.
      {{ev("remove", "/k"), ENOBUFS, ev("add", "/b", dev("b"))}, "keyboard x", 1, 6},
  };
  for (int number = 0; const auto& [events, devices, changed, enumerated] : rows) {
    SCOPED_TRACE(number++);
    sysfs = bus, batch = events, read = 0, changes = 0;
    drain.wake();
    EXPECT_EQ(std::make_tuple(namesOf(drain.devices()), changes, enumerations),
              std::make_tuple(devices, changed, enumerated));
  }
  // An enumeration that fails gives nothing, and the next look tries again.
  batch = {ENOBUFS}, read = 0, sysfs.reset();
  drain.wake();
  EXPECT_FALSE(drain.devices());
  sysfs = bus;
  EXPECT_EQ(namesOf(drain.devices()), "keyboard x");
}
