/* The one libudev monitor both floors listen on: whole USB devices, from udevd where it runs and
 * otherwise from the kernel's own events, as for the program. NULL when it cannot listen. */
#pragma once

#include <libudev.h>
#include <stddef.h>
#include <unistd.h>

static struct udev_monitor *open_usb_monitor(struct udev *udev) {
  const char *source = access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
  struct udev_monitor *monitor = udev ? udev_monitor_new_from_netlink(udev, source) : NULL;
  if (monitor != NULL &&
      (udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device") < 0 ||
       udev_monitor_enable_receiving(monitor) < 0)) {
    return udev_monitor_unref(monitor);
  }
  return monitor;
}
