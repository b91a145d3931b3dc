#include "gtk/status_area_check.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <cstdio>
#include <string>

namespace vantorel {
namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";

// What to add so that this desktop shows the item, by $XDG_CURRENT_DESKTOP.
std::string statusAreaHint() {
  const char* desktop = g_getenv("XDG_CURRENT_DESKTOP");
  const std::string name = desktop != nullptr ? desktop : "";
  if (name.find("GNOME") != std::string::npos) {
    return "install and enable gnome-shell-extension-appindicator, then log out and in";
  }
  if (name.find("XFCE") != std::string::npos) {
    return "add the Status Tray (notification area) plugin to a panel";
  }
  if (name.find("MATE") != std::string::npos) return "add the Notification Area applet to a panel";
  if (name.find("KDE") != std::string::npos) return "add the System Tray widget to a panel";
  return "run a panel with a system tray (StatusNotifierItem or XEmbed)";
}

// True when an XEmbed system tray manages the default screen of an X display.
bool hasSystemTray() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return false;
  const int screen = gdk_x11_screen_get_screen_number(gdk_display_get_default_screen(display));
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
  return XGetSelectionOwner(GDK_DISPLAY_XDISPLAY(display), gdk_x11_get_xatom_by_name_for_display(
                                                               display, selection.c_str())) != None;
}

}  // namespace

StatusAreaCheck::StatusAreaCheck()
    : watch_(g_bus_watch_name(G_BUS_TYPE_SESSION, kWatcher, G_BUS_NAME_WATCHER_FLAGS_NONE,
                              &StatusAreaCheck::onWatcherFound, &StatusAreaCheck::onWatcherMissing,
                              this, nullptr)) {}

StatusAreaCheck::~StatusAreaCheck() { g_bus_unwatch_name(watch_); }

void StatusAreaCheck::onWatcherFound(GDBusConnection*, const gchar*, const gchar*, gpointer data) {
  static_cast<StatusAreaCheck*>(data)->answered_ = true;
}

void StatusAreaCheck::onWatcherMissing(GDBusConnection*, const gchar*, gpointer data) {
  // Only the first answer counts: a host that leaves later is not this program's to report.
  auto* self = static_cast<StatusAreaCheck*>(data);
  if (self->answered_) return;
  self->answered_ = true;
  if (hasSystemTray()) return;
  std::fprintf(stderr,
               "vantorel: no status area on this desktop, so its item does not show; the prompts "
               "still do. To see the item, %s, or run 'vantorel --terminal' instead. "
               "'vantorel quit' ends this Vantorel.\n",
               statusAreaHint().c_str());
}

}  // namespace vantorel
