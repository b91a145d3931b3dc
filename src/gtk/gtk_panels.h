#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "core/attention_tracker.h"
#include "glib/glib_handles.h"
#include "gtk/panel_windows.h"

namespace vantorel {

// The one floating panel at a time, as a GTK toplevel window. A panel taken off the screen is
// hidden at once and destroyed on an idle moment, since that may happen inside its own button's
// handler. A panel destroyed by anyone else (the window manager, another client) is forgotten at
// once and never touched again; a prompt destroyed so counts as dismissed.
class GtkPanels {
 public:
  GtkPanels() = default;
  ~GtkPanels();
  GtkPanels(const GtkPanels&) = delete;
  GtkPanels& operator=(const GtkPanels&) = delete;

  // "Board action needed" with `text`, replacing any panel. Its "OK" button (also by Return or
  // Space), Escape and its close button all take it off the screen, then run `onOk`. Keys only
  // act once KeyGuard lets them: never in the panel's first second on screen, nor a key held
  // down from before. A click always acts.
  void prompt(const std::string& text, std::function<void()> onOk);
  // "Board ready", replacing any panel. The user cannot close it.
  void ready();
  // Takes the panel off the screen; nothing when none is shown.
  void close();
  // Shows the panels from now on on a Wayland compositor's overlay layer (see gtk/overlay.h).
  void useOverlay() { overlay_ = true; }

  // The panel's window, or nullptr when none is shown.
  GtkWindow* window() const { return window_ ? GTK_WINDOW(window_.get()) : nullptr; }

 private:
  void present(WindowPtr window, bool takesKeys);
  void pressOk();
  static gboolean onDeleteEvent(GtkWidget* window, GdkEvent* event, gpointer self);
  static void onClicked(GtkButton* button, gpointer self);
  static gboolean onKeyPress(GtkWidget* window, GdkEventKey* event, gpointer self);
  static gboolean onKeyRelease(GtkWidget* window, GdkEventKey* event, gpointer self);
  static gboolean onMapped(GtkWidget* window, GdkEvent* event, gpointer self);
  static void onDestroyed(GtkWidget* window, gpointer self);

  PanelStyle style_;
  WindowPtr window_;
  GtkWidget* button_ = nullptr;  // the prompt's "OK", owned by window_
  std::function<void()> onOk_;   // the prompt's only
  KeyGuard keys_;                // the current panel's
  bool overlay_ = false;
  std::vector<WindowPtr> retired_;
  SourceHandle destroyRetired_;  // last: removed before the windows it destroys go
};

}  // namespace vantorel
