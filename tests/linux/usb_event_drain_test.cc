// Given the events each wake-up reads from the monitor, we should report one change when devices
// came, went or changed or events were lost, and keep the device list from the events alone,
// enumerating the bus only when the events cannot be trusted: that list must always be the one
// a fresh enumeration gives.

#include "linux/usb_event_drain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace vantorel;

namespace {

USBDevice named(const std::string& name) { return USBDevice(0x2e8a, 0x000f, name, "E0C9"); }

std::vector<std::string> namesOf(const std::optional<std::vector<USBDevice>>& devices) {
  std::vector<std::string> names;
  for (const USBDevice& device : devices.value_or(std::vector<USBDevice>{})) {
    names.push_back(device.name());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> namesOf(const UsbDeviceSet& set) {
  std::vector<USBDevice> devices;
  for (const auto& [syspath, device] : set) devices.push_back(device);
  return namesOf(devices);
}

UsbEvent event(const char* action, const char* syspath, std::optional<USBDevice> device = {}) {
  return UsbEvent{action, syspath, true, std::move(device)};
}

}  // namespace

TEST(UsbEventDrainTest, KeepsTheListFromTheEventsAndEnumeratesOnlyWhenItCannotTrustThem) {
  std::vector<UsbEventRead> batch;
  std::size_t read = 0;
  std::optional<UsbDeviceSet> sysfs = UsbDeviceSet{{"/k", named("keyboard")}};
  int changes = 0, enumerations = 0;
  UsbEventDrain drain([&] { return read < batch.size() ? batch[read++] : UsbEventRead(EAGAIN); },
                      [&] { return ++enumerations, sysfs; }, [&] { ++changes; });
  EXPECT_EQ(namesOf(drain.devices()), std::vector<std::string>{"keyboard"});
  const UsbDeviceSet bus = {{"/k", named("keyboard")}, {"/x", named("x")}};
  struct Row {
    std::vector<UsbEventRead> events;
    std::vector<std::string> devices;
    int changes, enumerations;  // enumerations so far, the first look's included
  } rows[] = {
      {{event("add", "/b", named("RP2350 Boot"))}, {"RP2350 Boot", "keyboard"}, 1, 1},
      // Re-enumerated under another name: the board's "change" carries it.
      {{event("change", "/b", named("Pico"))}, {"Pico", "keyboard"}, 1, 1},
      {{event("bind", "/b"), event("unbind", "/b"), UsbEvent{"add", "/b:1.0", false, {}}, EINTR},
       {"Pico", "keyboard"},
       0,
       1},
      {{event("remove", "/b"), event("add", "/c", named("c")), event("remove", "/c")},
       {"keyboard"},
       1,
       1},
      // Plugged and gone before its ids could be read: nothing to enumerate for.
      {{event("add", "/q"), event("remove", "/q")}, {"keyboard"}, 1, 1},
      // Ids not readable while it stays: sysfs decides.
      {{event("add", "/x")}, {"keyboard", "x"}, 1, 2},
      // The keyboard's removal is announced while its folder still exists.
      {{event("remove", "/k"), event("add", "/y")}, {"x"}, 1, 3},
      {{event("add", "/k", named("keyboard")), EIO, event("add", "/b", named("b"))},
       {"keyboard", "x"},
       1,
       4},
      {{event("move", "/b")}, {"keyboard", "x"}, 1, 5},
  };
  for (int number = 0; Row & row : rows) {
    SCOPED_TRACE(number++);
    sysfs = bus, batch = row.events, read = 0, changes = 0;
    drain.wake();
    EXPECT_EQ(changes, row.changes);
    EXPECT_EQ(namesOf(drain.devices()), row.devices);
    EXPECT_EQ(enumerations, row.enumerations);
  }
  // An enumeration that fails gives nothing, and the next look tries again.
  batch = {ENOBUFS}, read = 0, sysfs.reset();
  drain.wake();
  EXPECT_FALSE(drain.devices());
  sysfs = bus;
  EXPECT_EQ(namesOf(drain.devices()), namesOf(bus));
}

TEST(UsbEventDrainTest, AStormThatOverflowsTheSocketEndsWithWhatAFreshEnumerationGives) {
  // The bus behind a socket that holds kRoom events: one more is dropped, and the next read
  // says ENOBUFS before giving the rest, as netlink does. An event's device is read when the
  // event is taken, from what sysfs holds then.
  constexpr std::size_t kRoom = 8;
  UsbDeviceSet sysfs;
  std::deque<std::pair<std::string, std::string>> queued;  // action, syspath
  bool lost = false;
  int overflows = 0, enumerations = 0, changes = 0;
  auto send = [&](const char* action, const std::string& syspath) {
    if (queued.size() < kRoom) return queued.emplace_back(action, syspath), void();
    overflows += lost ? 0 : 1;
    lost = true;
  };
  UsbEventDrain drain(
      [&]() -> UsbEventRead {
        if (std::exchange(lost, false)) return ENOBUFS;
        if (queued.empty()) return EAGAIN;
        auto [action, syspath] = queued.front();
        queued.pop_front();
        const auto found = sysfs.find(syspath);
        return UsbEvent{action, syspath, true,
                        found != sysfs.end() && action != "remove"
                            ? std::optional<USBDevice>(found->second)
                            : std::nullopt};
      },
      [&] { return ++enumerations, std::optional<UsbDeviceSet>(sysfs); }, [&] { ++changes; });
  ASSERT_TRUE(drain.devices());

  std::mt19937 random(20);
  const char* names[] = {"RP2350 Boot", "Pico", "keyboard", "hub", "camera"};
  for (int step = 0; step < 3000; ++step) {
    const std::string port = "/1-" + std::to_string(random() % 12);
    const std::string name = names[random() % 5];
    if (!sysfs.contains(port)) {
      sysfs.insert_or_assign(port, named(name));
      send("add", port);
    } else if (random() % 3 == 0) {
      sysfs.insert_or_assign(port, named(name));  // renamed on re-enumeration
      send("change", port);
    } else {
      sysfs.erase(port);
      send("remove", port);
    }
    if (random() % 6 == 0) {
      drain.wake();
      drain.devices();  // looked at after each wake-up, as the program does
    }
  }
  // Last, the socket fills with one device's events, and the arrivals after them are lost.
  drain.wake();
  drain.devices();
  sysfs.insert_or_assign("/2-0", named("hub"));
  for (std::size_t i = 0; i < kRoom; ++i) send(i == 0 ? "add" : "change", "/2-0");
  for (const char* port : {"/2-1", "/2-2"}) {
    sysfs.insert_or_assign(port, named("late"));
    send("add", port);
  }
  drain.wake();
  EXPECT_GT(overflows, 0);
  EXPECT_GT(changes, 100);
  EXPECT_EQ(namesOf(drain.devices()), namesOf(sysfs));
  // One enumeration at the start and at most one per overflow, never one per event.
  EXPECT_LE(enumerations, 1 + overflows);
}
