// Prints what the USB watch costs on real libudev over a simulated device tree: one full refresh
// (enumerate, read, classify) with 10, 100 and 1000 attached devices, and the time from an
// arrival event to the change callback's finished enumeration. Run under umockdev-wrapper.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/classification.h"
#include "linux/udev_usb_watch.h"
#include "usb_testbed.h"

namespace vantorel {
namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point start, Clock::time_point end) {
  return std::chrono::duration<double, std::milli>(end - start).count();
}

void print(const char* what, int devices, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  std::printf("%-18s %4d devices: median %8.3f ms  min %8.3f ms  max %8.3f ms  (%zu runs)\n", what,
              devices, samples[samples.size() / 2], samples.front(), samples.back(),
              samples.size());
}

// Unrelated devices with the usual attributes, attached before any monitor listens, so no event
// queues up.
void attachUnrelated(UsbTestbed& testbed, int count) {
  for (int i = 0; i < count; ++i) {
    char product[16];
    std::snprintf(product, sizeof product, "%04x", i);
    addUsbDevice(testbed, "d" + std::to_string(i),
                 {"046d", product, "Receiver " + std::to_string(i), "SN" + std::to_string(i)});
  }
}

Observed refresh(UsbWatch& watch) {
  const auto devices = watch.devices();
  return devices ? observed(*devices, std::nullopt) : Observed::multiple;
}

void benchRefresh(int devices, int rounds) {
  UsbTestbed testbed;
  attachUnrelated(testbed, devices - 1);
  addUsbDevice(testbed, "board", {"2e8a", "000f", "RP2350 Boot", "E0C9125B0D9B"});
  const auto watch = makeUdevUsbWatch();
  std::vector<double> samples;
  for (int i = 0; i < rounds; ++i) {
    const Clock::time_point start = Clock::now();
    const Observed seen = refresh(*watch);
    samples.push_back(millisecondsBetween(start, Clock::now()));
    if (seen != Observed::rpBoot) {
      std::printf("refresh with %4d devices: the board was not observed\n", devices);
      return;
    }
  }
  print("full refresh,", devices, samples);
}

// One event at a time, each handled before the next, so the event socket never fills up.
void benchArrival(int devices, int rounds) {
  UsbTestbed testbed;
  attachUnrelated(testbed, devices - 1);
  const auto watch = makeUdevUsbWatch();
  Observed seen = Observed::none;
  Clock::time_point refreshed;
  if (!watch->start([&] {
        seen = refresh(*watch);
        refreshed = Clock::now();
      })) {
    std::printf("arrival: the watch cannot start\n");
    return;
  }
  const std::string board = addUsbDevice(testbed, "board", {"2e8a", "0009", "Pico", "E0C9"});
  runLoopUntil([&] { return seen == Observed::rpNormal; });
  std::vector<double> samples;
  for (int i = 0; i < rounds; ++i) {
    umockdev_testbed_uevent(testbed.get(), board.c_str(),
                            "remove");  // the folder stays, so "add" brings the same board back
    runLoopUntil([&] { return seen == Observed::none; });
    const Clock::time_point start = Clock::now();
    umockdev_testbed_uevent(testbed.get(), board.c_str(), "add");
    runLoopUntil([&] { return seen == Observed::rpNormal; });
    if (seen != Observed::rpNormal) {
      std::printf("arrival with %4d devices: the board was not observed\n", devices);
      return;
    }
    samples.push_back(millisecondsBetween(start, refreshed));
  }
  print("arrival to refresh,", devices, samples);
}

}  // namespace
}  // namespace vantorel

int main() {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload == nullptr || std::strstr(preload, "umockdev") == nullptr) {
    std::fprintf(stderr, "run under umockdev-wrapper\n");
    return 1;
  }
  vantorel::benchRefresh(10, 200);
  vantorel::benchRefresh(100, 50);
  vantorel::benchRefresh(1000, 10);
  vantorel::benchArrival(10, 50);
  vantorel::benchArrival(100, 20);
  vantorel::benchArrival(1000, 10);
  return 0;
}
