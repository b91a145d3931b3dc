// The desktop module's one entry point (see ports/desktop_module.h): everything GTK in the
// program is behind it, so a terminal run never maps GTK.

#include <gtk/gtk.h>

#include <string>
#include <type_traits>

#include "gtk/gtk_front_end.h"
#include "ports/desktop_module.h"

extern "C" __attribute__((visibility("default"))) vantorel::FrontEnd* vantorel_desktop_front_end(
    const vantorel::DesktopRequest& request, std::string& whyNot) {
  // GDK's OpenGL probe would load a software renderer for windows that never draw with it.
  g_setenv("GDK_GL", "disable", TRUE);
  if (!gtk_init_check(nullptr, nullptr)) {
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
  return new vantorel::GtkFrontEnd(request);
}

static_assert(std::is_same_v<decltype(&vantorel_desktop_front_end), vantorel::DesktopEntryPoint>);
