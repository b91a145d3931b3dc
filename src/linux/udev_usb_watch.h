#pragma once

#include <functional>
#include <memory>

#include "ports/usb_watch.h"

namespace vantorel {

// The USB watch on libudev: whole USB devices ("usb" / "usb_device") from sysfs, and a monitor
// on the main loop. While watching, the device list is kept from the monitor's events and the
// bus is enumerated only when that list cannot be trusted (see UsbEventDrain). `daemonRunning` says
// whether udevd runs (the default looks for its control socket); without it the watch listens to
// the kernel's events instead. Never nullptr: without libudev the watch fails to start and to
// enumerate.
std::unique_ptr<UsbWatch> makeUdevUsbWatch(std::function<bool()> daemonRunning = {});

}  // namespace vantorel
