#pragma once

// Owning handles for libudev objects: each drops its reference when it goes out of scope.

#include <libudev.h>

#include <memory>

namespace vantorel {

template <auto Release>
struct UdevRelease {
  template <typename T>
  void operator()(T* handle) const {
    (void)Release(handle);
  }
};

using UdevPtr = std::unique_ptr<udev, UdevRelease<udev_unref>>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevRelease<udev_device_unref>>;
using UdevEnumeratePtr = std::unique_ptr<udev_enumerate, UdevRelease<udev_enumerate_unref>>;
using UdevMonitorPtr = std::unique_ptr<udev_monitor, UdevRelease<udev_monitor_unref>>;

}  // namespace vantorel
