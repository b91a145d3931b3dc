// Prints what the USB watcher costs on the real libudev registry over a simulated device tree:
// one full refresh (enumerate, read, classify, render) with 10, 100 and 1000 attached devices,
// and the time from an arrival event to the finished render. Run under umockdev-wrapper.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/harness.h"
#include "platform/linux/udev_usb_registry.h"
#include "usb/usb_testbed.h"

namespace vantorel {
namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
  double median;
  double min;
  double max;
};

Figures figuresOf(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples.front(), samples.back()};
}

// The controller on the real registry, with the user interface faked.
struct Watched {
  Harness h;
  std::unique_ptr<UsbRegistry> registry = makeUsbRegistry();
  std::shared_ptr<Monitor> monitor;

  Watched() {
    monitor = Monitor::create(Services{h.app, h.clock, h.scheduler, h.preferences, h.bundle,
                                       h.files, h.statusBar, h.panels, *registry});
    h.app.setDelegate(monitor.get());
    h.app.run();
  }
  ~Watched() { h.app.terminate(); }
  std::size_t renders() { return h.item().menus.size(); }
};

// Unrelated devices with the usual attributes; the testbed is filled before any monitor listens,
// so no event queues up.
void attachUnrelated(UsbTestbed& testbed, int count) {
  for (int i = 0; i < count; ++i) {
    char product[16];
    std::snprintf(product, sizeof product, "%04x", i);
    testbed.addUsbDevice("d" + std::to_string(i), {"046d", product, "Receiver " + std::to_string(i),
                                                   "SN" + std::to_string(i)});
  }
}

void benchRefresh(int devices, int rounds) {
  UsbTestbed testbed;
  attachUnrelated(testbed, devices - 1);
  testbed.addUsbDevice("board", {"2e8a", "000f", "RP2350 Boot", "E0C9125B0D9B"});
  Watched watched;
  if (MonitorProbe::state(watched.monitor) != Observed::rpBoot) {
    std::printf("refresh with %4d devices: the board was not observed\n", devices);
    return;
  }
  std::vector<double> samples;
  for (int i = 0; i < rounds; ++i) {
    const Clock::time_point start = Clock::now();
    watched.monitor->refresh();
    samples.push_back(millisecondsSince(start));
  }
  const Figures f = figuresOf(samples);
  std::printf("refresh with %4d devices: median %8.3f ms  min %8.3f ms  max %8.3f ms  (%d runs)\n",
              devices, f.median, f.min, f.max, rounds);
}

// One event at a time, each handled before the next, so the event socket never fills up.
void benchArrivalToRender(int devices, int rounds) {
  UsbTestbed testbed;
  attachUnrelated(testbed, devices - 1);
  Watched watched;
  const std::string board = testbed.addUsbDevice("board", {"2e8a", "0009", "Pico", "E0C9"});
  runLoopUntil([&] { return MonitorProbe::state(watched.monitor) == Observed::rpNormal; });

  std::vector<double> samples;
  for (int i = 0; i < rounds; ++i) {
    testbed.uevent(board, "remove");  // the folder stays, so "add" brings the same board back
    runLoopUntil([&] { return MonitorProbe::state(watched.monitor) == Observed::none; });
    runLoopUntilIdle();
    const std::size_t before = watched.renders();
    const Clock::time_point start = Clock::now();
    testbed.uevent(board, "add");
    const bool rendered = runLoopUntil([&] { return watched.renders() > before; });
    const double elapsed = millisecondsSince(start);
    if (!rendered || watched.h.item().current.title != "Want C6 boot | Have RP likely app") {
      std::printf("arrival to render: no render of the board\n");
      return;
    }
    samples.push_back(elapsed);
  }
  const Figures f = figuresOf(samples);
  std::printf(
      "arrival to render, %4d devices: median %8.3f ms  min %8.3f ms  max %8.3f ms  (%d "
      "runs)\n",
      devices, f.median, f.min, f.max, rounds);
}

}  // namespace
}  // namespace vantorel

int main() {
  if (!vantorel::underUmockdev()) {
    std::fprintf(stderr, "run under umockdev-wrapper\n");
    return 1;
  }
  vantorel::benchRefresh(10, 200);
  vantorel::benchRefresh(100, 50);
  vantorel::benchRefresh(1000, 10);
  vantorel::benchArrivalToRender(10, 50);
  vantorel::benchArrivalToRender(1000, 10);
  return 0;
}
