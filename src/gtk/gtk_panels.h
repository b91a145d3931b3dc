#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "gtk/panel_windows.h"
#include "linux/glib_handles.h"

namespace vantorel {

// The one floating panel at a time, as a GTK toplevel window. A panel taken off the screen is
// hidden at once and destroyed on an idle moment, since that may happen inside its own button's
// handler.
class GtkPanels {
 public:
  GtkPanels() = default;
  ~GtkPanels();
  GtkPanels(const GtkPanels&) = delete;
  GtkPanels& operator=(const GtkPanels&) = delete;

  // "Board action needed" with `text`, replacing any panel. Its "OK" button (also by Return),
  // Escape and its close button all take it off the screen, then run `onOk`.
  void prompt(const std::string& text, std::function<void()> onOk);
  // "Board ready", replacing any panel. The user cannot close it.
  void ready();
  // Takes the panel off the screen; nothing when none is shown.
  void close();

  // The panel's window, or nullptr when none is shown.
  GtkWindow* window() const { return window_ ? GTK_WINDOW(window_.get()) : nullptr; }

 private:
  void present(WindowPtr window);
  void pressOk();
  static gboolean onDeleteEvent(GtkWidget* window, GdkEvent* event, gpointer self);
  static void onClicked(GtkButton* button, gpointer self);
  static gboolean onKeyPress(GtkWidget* window, GdkEventKey* event, gpointer self);

  PanelStyle style_;
  WindowPtr window_;
  GtkWidget* button_ = nullptr;  // the prompt's "OK", owned by window_
  std::function<void()> onOk_;   // the prompt's only
  std::vector<WindowPtr> retired_;
  SourceHandle destroyRetired_;  // last: removed before the windows it destroys go
};

}  // namespace vantorel
