/* The floor of the desktop program: a bare GTK 3 process with an Ayatana indicator shown (icon,
 * label, a menu of five entries), with GDK's OpenGL probe disabled as the program does. It prints
 * "ready" once the item is set up, and runs the main loop until it is ended. With --usb it also
 * watches USB devices with libudev, as floor.c does, and sets the label on each arrival and
 * removal: the least a status item can do to show a USB event on the session bus. */

#include <glib-unix.h>
#include <gtk/gtk.h>
#include <libayatana-appindicator/app-indicator.h>
#include <libudev.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "usb_monitor.h"

static const char *const guide = "Want C6 normal | Have C6 unknown mode";

static gboolean on_events(gint fd, GIOCondition condition, gpointer data) {
  struct udev_monitor *monitor = g_object_get_data(data, "monitor");
  struct udev_device *device;
  (void)fd;
  (void)condition;
  while ((device = udev_monitor_receive_device(monitor)) != NULL) {
    const char *action = udev_device_get_action(device);
    if (strcmp(action, "add") == 0) {
      app_indicator_set_label(data, "Want C6 boot | Have RP likely boot", guide);
    } else if (strcmp(action, "remove") == 0) {
      app_indicator_set_label(data, "Want C6 boot | Have none", guide);
    }
    udev_device_unref(device);
  }
  return G_SOURCE_CONTINUE;
}

static int watch_usb(AppIndicator *item) {
  struct udev *udev = udev_new();
  struct udev_monitor *monitor = open_usb_monitor(udev);
  if (monitor == NULL) return -1;
  g_object_set_data(G_OBJECT(item), "monitor", monitor);
  g_unix_fd_add(udev_monitor_get_fd(monitor), G_IO_IN, on_events, item);
  return 0;
}

int main(int argc, char **argv) {
  g_setenv("GDK_GL", "disable", TRUE);
  if (!gtk_init_check(&argc, &argv)) {
    fputs("bare_indicator: no display\n", stderr);
    return 1;
  }
  AppIndicator *item =
      app_indicator_new("bare-indicator", "dialog-information", APP_INDICATOR_CATEGORY_HARDWARE);
  GtkWidget *menu = gtk_menu_new();
  static const char *const entries[] = {"C6 boot", "C6 normal", "RP boot", "RP normal", "Quit"};
  for (size_t i = 0; i < G_N_ELEMENTS(entries); ++i) {
    GtkWidget *entry = gtk_menu_item_new_with_label(entries[i]);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
    gtk_widget_show(entry);
  }
  app_indicator_set_menu(item, GTK_MENU(menu));
  app_indicator_set_label(item, "Want C6 boot | Have none", guide);
  app_indicator_set_title(item, "Want C6 boot | Have none");
  app_indicator_set_status(item, APP_INDICATOR_STATUS_ACTIVE);
  if (argc > 1 && strcmp(argv[1], "--usb") == 0 && watch_usb(item) < 0) {
    fputs("bare_indicator: cannot watch USB devices\n", stderr);
    return 1;
  }
  puts("ready");
  fflush(stdout);
  gtk_main();
  return 0;
}
