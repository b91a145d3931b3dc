#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "core/visible_text.h"
#include "glib/glib_handles.h"

namespace vantorel {

// Destroys a toplevel window, which GTK's list of toplevels otherwise keeps.
struct WindowDestroy {
  void operator()(GtkWidget* window) const {
    if (window != nullptr) gtk_widget_destroy(window);
  }
};
using WindowPtr = std::unique_ptr<GtkWidget, WindowDestroy>;

// Runs `call`, ignoring the X errors it causes on the default display: a window that another
// client has destroyed is still alive for GDK until the news arrives, and GDK's default answer to
// an X error is to end the program.
void ignoringXErrors(const std::function<void()>& call);

// The panels' style sheet (the green background, white text, buttons at their frame's height),
// installed on the default screen for the life of this object.
class PanelStyle {
 public:
  PanelStyle();
  ~PanelStyle();
  PanelStyle(const PanelStyle&) = delete;
  PanelStyle& operator=(const PanelStyle&) = delete;

 private:
  GObjectPtr<GtkCssProvider> provider_;
};

// "Board action needed": 440x150, `text` wrapped at 400 px in 15 px type, an "OK" button at the
// bottom right (returned in `button`). Closable. Not yet shown.
WindowPtr promptWindow(const std::string& text, GtkWidget** button);

// "Board ready": 440x110, green, a bold white centred "Ready" in 24 px type. The window manager
// is asked to offer no close button. Not yet shown.
WindowPtr readyWindow();

}  // namespace vantorel
