/* The floor for the desktop benchmark: the least a program on a GLib main loop can do to react
 * to a USB arrival. It opens one libudev monitor for USB devices, watches it on the main loop and
 * prints one line per event ("add /devices/..."), flushed at once. It prints "ready" once the
 * monitor is listening. */

#include <glib-unix.h>
#include <glib.h>
#include <libudev.h>
#include <stdio.h>
#include <unistd.h>

static gboolean on_events(gint fd, GIOCondition condition, gpointer data) {
  struct udev_monitor *monitor = data;
  struct udev_device *device;
  (void)fd;
  (void)condition;
  while ((device = udev_monitor_receive_device(monitor)) != NULL) {
    printf("%s %s\n", udev_device_get_action(device), udev_device_get_devpath(device));
    udev_device_unref(device);
  }
  fflush(stdout);
  return G_SOURCE_CONTINUE;
}

int main(void) {
  struct udev *udev = udev_new();
  /* Where no udev daemon runs, only the kernel's own events arrive, as for the program. */
  const char *source = access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
  struct udev_monitor *monitor = udev ? udev_monitor_new_from_netlink(udev, source) : NULL;
  if (monitor == NULL ||
      udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device") < 0 ||
      udev_monitor_enable_receiving(monitor) < 0) {
    fputs("floor: cannot watch USB devices\n", stderr);
    return 1;
  }
  g_unix_fd_add(udev_monitor_get_fd(monitor), G_IO_IN, on_events, monitor);
  puts("ready");
  fflush(stdout);
  g_main_loop_run(g_main_loop_new(NULL, FALSE));
  return 0;
}
