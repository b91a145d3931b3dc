#include "gtk/gtk_panels.h"

#include <gdk/gdkx.h>

#include <utility>

namespace vantorel {

GtkPanels::~GtkPanels() {
  close();
  destroyRetired_.reset();
  retired_.clear();
}

void GtkPanels::prompt(const std::string& text, std::function<void()> onOk) {
  GtkWidget* button = nullptr;
  WindowPtr window = promptWindow(text, &button);
  present(std::move(window));
  button_ = button;
  onOk_ = std::move(onOk);
  g_signal_connect(button_, "clicked", G_CALLBACK(onClicked), this);
}

gboolean GtkPanels::onKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* self = static_cast<GtkPanels*>(data);
  if (event->keyval != GDK_KEY_Escape || self->button_ == nullptr) return FALSE;
  self->pressOk();  // Escape dismisses the prompt as "OK" does
  return TRUE;
}

void GtkPanels::ready() { present(readyWindow()); }

void GtkPanels::present(WindowPtr window) {
  close();
  window_ = std::move(window);
  // Connected for both panels: the prompt's close button acts as its "OK", and the ready panel
  // stays whatever the window manager offers.
  g_signal_connect(window_.get(), "delete-event", G_CALLBACK(onDeleteEvent), this);
  g_signal_connect(window_.get(), "key-press-event", G_CALLBACK(onKeyPress), this);
  // Presented with the X server's current time, not "no time": a shell that prevents focus
  // stealing then gives the panel focus rather than announcing it in a banner. The time is put on
  // the window by hand: GTK only copies it there when it realizes the window, which reading the
  // time has already done, and the window would otherwise carry the program's last input time.
  gtk_widget_realize(window_.get());
  GdkWindow* gdkWindow = gtk_widget_get_window(window_.get());
  guint32 now = GDK_CURRENT_TIME;
  if (GDK_IS_X11_WINDOW(gdkWindow)) {
    now = gdk_x11_get_server_time(gdkWindow);
    gdk_x11_window_set_user_time(gdkWindow, now);
  }
  gtk_window_present_with_time(GTK_WINDOW(window_.get()), now);
}

void GtkPanels::close() {
  if (!window_) return;
  g_signal_handlers_disconnect_by_data(window_.get(), this);
  if (button_ != nullptr) g_signal_handlers_disconnect_by_data(button_, this);
  button_ = nullptr;
  onOk_ = nullptr;
  gtk_widget_hide(window_.get());
  retired_.push_back(std::move(window_));
  if (!destroyRetired_) {
    destroyRetired_ = addIdle([this] {
      destroyRetired_.release();  // GLib removes the source once this returns
      retired_.clear();
      return G_SOURCE_REMOVE;
    });
  }
}

void GtkPanels::pressOk() {
  // Taken before closing, which forgets it; the handler may then replace or drop panels freely.
  const std::function<void()> onOk = std::move(onOk_);
  close();
  if (onOk) onOk();
}

gboolean GtkPanels::onDeleteEvent(GtkWidget*, GdkEvent*, gpointer data) {
  auto* self = static_cast<GtkPanels*>(data);
  if (self->button_ != nullptr) self->pressOk();
  return TRUE;  // the window is never destroyed by the window manager's request
}

void GtkPanels::onClicked(GtkButton*, gpointer data) { static_cast<GtkPanels*>(data)->pressOk(); }

}  // namespace vantorel
