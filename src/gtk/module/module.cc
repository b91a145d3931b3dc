// The desktop module's one entry point (see ports/desktop_module.h): everything GTK in the
// program is behind it, so a terminal run never maps GTK.

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <type_traits>

#include "gtk/gtk_front_end.h"
#include "ports/desktop_module.h"

namespace {

// Opens GTK's display. On Wayland a client cannot place its windows, keep them above others or
// withhold minimising: GNOME, KWin and sway each honour all three for X11 windows through
// XWayland, which they start for any X client. So the windows go there when the session offers
// it (DISPLAY set), unless the person chose a backend with GDK_BACKEND; otherwise, and when
// XWayland cannot be reached, GTK's Wayland backend.
bool openDisplay() {
  const char* wayland = g_getenv("WAYLAND_DISPLAY");
  const char* x11 = g_getenv("DISPLAY");
  if (wayland != nullptr && *wayland != '\0' && x11 != nullptr && *x11 != '\0' &&
      g_getenv("GDK_BACKEND") == nullptr) {
    gdk_set_allowed_backends("x11");
    if (gtk_init_check(nullptr, nullptr)) return true;
    gdk_set_allowed_backends("*");
  }
  return gtk_init_check(nullptr, nullptr);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) vantorel::FrontEnd* vantorel_desktop_front_end(
    const vantorel::DesktopRequest& request, std::string& whyNot) {
  // GDK's OpenGL probe would load a software renderer for windows that never draw with it.
  g_setenv("GDK_GL", "disable", TRUE);
  // The application id (X11 class, Wayland app id) names the desktop file, so task bars and
  // window switchers show the program's own name and icon.
  g_set_prgname("vantorel");
  if (!openDisplay()) {
    const char* display = gdk_get_display_arg_name();
    if (display == nullptr) display = g_getenv("WAYLAND_DISPLAY");
    if (display == nullptr) display = g_getenv("DISPLAY");
    whyNot = std::string("cannot open display ") + (display != nullptr ? display : "");
    return nullptr;
  }
  // The shared session bus connection exists before anything asks for it asynchronously: the
  // indicator library and the status-area check otherwise both start creating it, and the item
  // has been seen to end up with no connection and never register. Held for the process's life.
  static GDBusConnection* const sessionBus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  (void)sessionBus;
  if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
    std::fputs(
        "vantorel: the panels are Wayland windows here (no XWayland, or GDK_BACKEND chose it): "
        "the compositor places them, and they may open off centre, be covered by other windows "
        "or be minimised\n",
        stderr);
  }
  return new vantorel::GtkFrontEnd(request);
}

static_assert(std::is_same_v<decltype(&vantorel_desktop_front_end), vantorel::DesktopEntryPoint>);
