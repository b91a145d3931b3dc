#pragma once

#include <gio/gio.h>

namespace vantorel {

// Says once on standard error when the desktop has nowhere to show the status item: no
// StatusNotifierItem host (no owner of org.kde.StatusNotifierWatcher on the session bus) and no
// XEmbed system tray (no owner of the X selection _NET_SYSTEM_TRAY_S<screen>). Asks without
// blocking; the answer comes on the main loop, and never after this object has gone.
class StatusAreaCheck {
 public:
  StatusAreaCheck();
  ~StatusAreaCheck();
  StatusAreaCheck(const StatusAreaCheck&) = delete;
  StatusAreaCheck& operator=(const StatusAreaCheck&) = delete;

 private:
  static void onWatcherFound(GDBusConnection*, const gchar*, const gchar*, gpointer self);
  static void onWatcherMissing(GDBusConnection*, const gchar*, gpointer self);

  guint watch_;
  bool answered_ = false;
};

}  // namespace vantorel
