#pragma once

#include <functional>
#include <memory>

#include "platform/usb_registry.h"

namespace vantorel {

// True when the device manager daemon runs (its control socket exists). Only then does its event
// source deliver; otherwise ports listen to the kernel's events directly.
bool udevDaemonRunning();

// The system's USB registry through libudev; a registry that refuses to watch and to enumerate
// when libudev cannot be initialised.
std::unique_ptr<UsbRegistry> makeUsbRegistry();

// The same, with the daemon check replaced (empty: the real one); it is asked each time a port
// is created.
std::unique_ptr<UsbRegistry> makeUsbRegistry(std::function<bool()> daemonRunning);

}  // namespace vantorel
