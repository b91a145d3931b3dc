#pragma once

#include <memory>

#include "platform/usb_registry.h"

namespace vantorel {

// The system's USB registry through libudev; a registry that refuses to watch when libudev is
// not usable.
std::unique_ptr<UsbRegistry> makeUsbRegistry();

}  // namespace vantorel
