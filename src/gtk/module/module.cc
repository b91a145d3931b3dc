// The desktop module's one entry point (see ports/desktop_module.h): everything GTK in the
// program is behind it, so a terminal run never maps GTK.

#include <gdk/gdkx.h>
#include <gtk-layer-shell/gtk-layer-shell.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <type_traits>

#include "gtk/gtk_front_end.h"
#include "gtk/overlay.h"
#include "ports/desktop_module.h"

namespace {

// Opens GTK's display; true in `overlay` when the panels go on the compositor's overlay layer. On
// Wayland a client cannot place its windows, keep them above others or withhold minimising.
// Measured: a compositor whose layer-shell protocol is complete (version 4, as sway's) shows
// panels on its overlay layer, centred, above everything; GNOME (none) and KWin 5.27 (version 3:
// no keyboard on demand, centred on the whole screen) honour all three for X11 windows through
// XWayland, which they start for any X client. So: the overlay where it is complete, else XWayland
// where the session offers it (DISPLAY set), else GTK's Wayland backend. A backend the person
// chose with GDK_BACKEND is left alone.
bool openDisplay(bool& overlay) {
  overlay = false;
  const char* wayland = g_getenv("WAYLAND_DISPLAY");
  const char* x11 = g_getenv("DISPLAY");
  if (wayland != nullptr && *wayland != '\0' && g_getenv("GDK_BACKEND") == nullptr) {
    if (vantorel::layerShellVersion() >= vantorel::kOverlayLayerShellVersion) {
      gdk_set_allowed_backends("wayland");
      if (gtk_init_check(nullptr, nullptr)) {
        overlay = gtk_layer_is_supported();
        return true;
      }
    } else if (x11 != nullptr && *x11 != '\0') {
      gdk_set_allowed_backends("x11");
      if (gtk_init_check(nullptr, nullptr)) return true;
    }
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
  bool overlay = false;
  if (!openDisplay(overlay)) {
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
  auto* frontEnd = new vantorel::GtkFrontEnd(request);
  if (overlay) {
    frontEnd->panels().useOverlay();
  } else if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
    std::fputs(
        "vantorel: the panels are Wayland windows here (no XWayland, or GDK_BACKEND chose it): "
        "the compositor places them, and they may open off centre, be covered by other windows "
        "or be minimised\n",
        stderr);
  }
  return frontEnd;
}

static_assert(std::is_same_v<decltype(&vantorel_desktop_front_end), vantorel::DesktopEntryPoint>);
