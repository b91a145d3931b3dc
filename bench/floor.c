/* The floors the benchmarks set the program's figures beside: the least a program on a GLib main
 * loop can do to react to USB events. It opens one libudev monitor for whole USB devices, watches
 * it on the main loop and prints "ready" once it listens. Then, by mode:
 *   (none)       prints "<action> <devpath>" per event, flushed at once;
 *   --enumerate  also enumerates every attached USB device and reads the four attributes the
 *                program reads (what a reaction that enumerates on each event costs at least);
 *   --once       at the first "add" of a device whose ids it can read, prints it and returns
 *                from main (the floor of `vantorel wait`);
 *   --stamp      prints "<action> <CLOCK_MONOTONIC seconds>" for each event: the benchmarks'
 *                clock. The time is when the event was queued on its socket (the kernel's
 *                receive timestamp, taken as the sender hands it to every listener), not when
 *                this process got to run: its own wake-up would otherwise be subtracted from
 *                every figure. Its monitor takes descriptor 0, so that umockdev hands it each
 *                event before any measured process. */

#include <glib-unix.h>
#include <glib.h>
#include <libudev.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include "usb_monitor.h"

static const char *mode = "";
static GMainLoop *loop;

static int enumerate(struct udev *udev) {
  struct udev_enumerate *enumeration = udev_enumerate_new(udev);
  struct udev_list_entry *entry;
  int devices = 0;
  udev_enumerate_add_match_subsystem(enumeration, "usb");
  udev_enumerate_add_match_property(enumeration, "DEVTYPE", "usb_device");
  udev_enumerate_scan_devices(enumeration);
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration)) {
    struct udev_device *device =
        udev_device_new_from_syspath(udev, udev_list_entry_get_name(entry));
    if (device == NULL) continue;
    if (udev_device_get_sysattr_value(device, "idVendor") != NULL &&
        udev_device_get_sysattr_value(device, "idProduct") != NULL) {
      (void)udev_device_get_sysattr_value(device, "product");
      (void)udev_device_get_sysattr_value(device, "serial");
      ++devices;
    }
    udev_device_unref(device);
  }
  udev_enumerate_unref(enumeration);
  return devices;
}

static double seconds(struct timespec time) {
  return (double)time.tv_sec + (double)time.tv_nsec / 1e9;
}

static void set_timestamps(int fd, int on) {
  (void)setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
}

/* When the next pending message was queued, on CLOCK_MONOTONIC; now when the kernel gave no
 * timestamp. The message stays queued for libudev. The socket timestamps what is queued on it
 * while it waits; only while libudev receives are the timestamps off, since libudev refuses a
 * message whose control data it cannot hold. */
static double queued_at(int fd) {
  struct timespec now, real;
  clock_gettime(CLOCK_MONOTONIC, &now);
  clock_gettime(CLOCK_REALTIME, &real);
  char byte, control[CMSG_SPACE(sizeof(struct timespec)) + CMSG_SPACE(64)];
  struct sockaddr_storage sender; /* umockdev writes the simulated sender's address */
  struct iovec part = {&byte, 1};
  struct msghdr message = {.msg_name = &sender,
                           .msg_namelen = sizeof sender,
                           .msg_iov = &part,
                           .msg_iovlen = 1,
                           .msg_control = control,
                           .msg_controllen = sizeof control};
  double at = seconds(now);
  if (recvmsg(fd, &message, MSG_PEEK | MSG_DONTWAIT) >= 0) {
    for (struct cmsghdr *c = CMSG_FIRSTHDR(&message); c != NULL; c = CMSG_NXTHDR(&message, c)) {
      if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_TIMESTAMPNS) {
        struct timespec sent;
        memcpy(&sent, CMSG_DATA(c), sizeof sent);
        at = seconds(now) - (seconds(real) - seconds(sent)); /* the same age on either clock */
      }
    }
  }
  return at;
}

static gboolean on_events(gint fd, GIOCondition condition, gpointer data) {
  struct udev_monitor *monitor = data;
  struct udev_device *device;
  (void)condition;
  const int stamp = strcmp(mode, "--stamp") == 0;
  double at = stamp ? queued_at(fd) : 0;
  if (stamp) set_timestamps(fd, 0);
  while ((device = udev_monitor_receive_device(monitor)) != NULL) {
    const char *action = udev_device_get_action(device);
    if (stamp) {
      set_timestamps(fd, 1);
      printf("%s %.6f\n", action, at);
      at = queued_at(fd);
      set_timestamps(fd, 0);
    } else if (strcmp(mode, "--once") == 0) {
      const char *vendor = udev_device_get_sysattr_value(device, "idVendor");
      const char *product = udev_device_get_sysattr_value(device, "idProduct");
      if (strcmp(action, "add") == 0 && vendor != NULL && product != NULL) {
        printf("%s:%s\n", vendor, product);
        g_main_loop_quit(loop);
      }
    } else {
      if (strcmp(mode, "--enumerate") == 0) enumerate(udev_monitor_get_udev(monitor));
      printf("%s %s\n", action, udev_device_get_devpath(device));
    }
    udev_device_unref(device);
  }
  if (stamp) set_timestamps(fd, 1);
  fflush(stdout);
  return G_SOURCE_CONTINUE;
}

int main(int argc, char **argv) {
  if (argc > 1) mode = argv[1];
  /* umockdev names a simulated event socket after its descriptor and hands each event to the
   * sockets in the order of their names: the monitor on descriptor 0 ("event0") comes before
   * every other listener's, whose standard input holds theirs. */
  if (strcmp(mode, "--stamp") == 0) close(STDIN_FILENO);
  struct udev *udev = udev_new();
  struct udev_monitor *monitor = open_usb_monitor(udev);
  if (monitor == NULL) {
    fputs("floor: cannot watch USB devices\n", stderr);
    return 1;
  }
  if (strcmp(mode, "--stamp") == 0) set_timestamps(udev_monitor_get_fd(monitor), 1);
  g_unix_fd_add(udev_monitor_get_fd(monitor), G_IO_IN, on_events, monitor);
  if (strcmp(mode, "--enumerate") == 0) enumerate(udev);
  puts("ready");
  fflush(stdout);
  loop = g_main_loop_new(NULL, FALSE);
  g_main_loop_run(loop);
  return 0;
}
