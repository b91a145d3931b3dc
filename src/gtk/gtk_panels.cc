#include "gtk/gtk_panels.h"

#include <gdk/gdkx.h>

#include <utility>

#include "gtk/overlay.h"

namespace vantorel {
namespace {

Instant monotonicNow() { return Instant(std::chrono::microseconds(g_get_monotonic_time())); }

// The keys down on the keyboard of an X display now, as hardware key codes; on other displays
// nothing (a Wayland client never sees presses that began before it had the focus).
std::vector<unsigned> keysDown(GtkWidget* window) {
  std::vector<unsigned> down;
  GdkDisplay* display = gtk_widget_get_display(window);
  if (!GDK_IS_X11_DISPLAY(display)) return down;
  char keys[32] = {};
  XQueryKeymap(GDK_DISPLAY_XDISPLAY(display), keys);
  for (unsigned code = 0; code < 256; ++code) {
    if ((keys[code / 8] & (1 << (code % 8))) != 0) down.push_back(code);
  }
  return down;
}

}  // namespace

GtkPanels::~GtkPanels() {
  close();
  destroyRetired_.reset();
  for (const WindowPtr& window : retired_) {
    if (window) g_signal_handlers_disconnect_by_data(window.get(), this);
  }
  retired_.clear();
}

void GtkPanels::prompt(const std::string& text, std::function<void()> onOk) {
  GtkWidget* button = nullptr;
  WindowPtr window = promptWindow(text, &button);
  present(std::move(window), true);
  button_ = button;
  onOk_ = std::move(onOk);
  g_signal_connect(button_, "clicked", G_CALLBACK(onClicked), this);
}

gboolean GtkPanels::onKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* self = static_cast<GtkPanels*>(data);
  // Connected before the window's own handler: a refused key never reaches the button.
  if (!self->keys_.press(event->hardware_keycode, monotonicNow())) return TRUE;
  if (event->keyval != GDK_KEY_Escape || self->button_ == nullptr) return FALSE;
  self->pressOk();  // Escape dismisses the prompt as "OK" does
  return TRUE;
}

gboolean GtkPanels::onKeyRelease(GtkWidget*, GdkEventKey* event, gpointer data) {
  static_cast<GtkPanels*>(data)->keys_.release(event->hardware_keycode);
  return FALSE;
}

gboolean GtkPanels::onMapped(GtkWidget* window, GdkEvent*, gpointer data) {
  static_cast<GtkPanels*>(data)->keys_.shown(monotonicNow(), keysDown(window));
  return FALSE;
}

void GtkPanels::ready() { present(readyWindow(), false); }

void GtkPanels::present(WindowPtr window, bool takesKeys) {
  close();
  window_ = std::move(window);
  keys_ = KeyGuard();
  if (overlay_) placeOnOverlay(GTK_WINDOW(window_.get()), takesKeys);
  // Connected for both panels: the prompt's close button acts as its "OK", and the ready panel
  // stays whatever the window manager offers.
  g_signal_connect(window_.get(), "delete-event", G_CALLBACK(onDeleteEvent), this);
  g_signal_connect(window_.get(), "key-press-event", G_CALLBACK(onKeyPress), this);
  g_signal_connect(window_.get(), "key-release-event", G_CALLBACK(onKeyRelease), this);
  g_signal_connect(window_.get(), "map-event", G_CALLBACK(onMapped), this);
  g_signal_connect(window_.get(), "destroy", G_CALLBACK(onDestroyed), this);
  // Presented with the X server's current time, not "no time": a shell that prevents focus
  // stealing then gives the panel focus rather than announcing it in a banner. The time is put on
  // the window by hand: GTK only copies it there when it realizes the window, which reading the
  // time has already done, and the window would otherwise carry the program's last input time.
  gtk_widget_realize(window_.get());
  GdkWindow* gdkWindow = gtk_widget_get_window(window_.get());
  guint32 now = GDK_CURRENT_TIME;
  if (GDK_IS_X11_WINDOW(gdkWindow)) {
    ignoringXErrors([&] {
      now = gdk_x11_get_server_time(gdkWindow);
      gdk_x11_window_set_user_time(gdkWindow, now);
    });
  }
  gtk_window_present_with_time(GTK_WINDOW(window_.get()), now);
}

void GtkPanels::close() {
  if (!window_) return;
  g_signal_handlers_disconnect_by_data(window_.get(), this);
  if (button_ != nullptr) g_signal_handlers_disconnect_by_data(button_, this);
  button_ = nullptr;
  onOk_ = nullptr;
  ignoringXErrors([this] { gtk_widget_hide(window_.get()); });
  // Still watched: a retired window destroyed from outside before the idle one is dropped too.
  g_signal_connect(window_.get(), "destroy", G_CALLBACK(onDestroyed), this);
  retired_.push_back(std::move(window_));
  if (!destroyRetired_) {
    destroyRetired_ = addIdle([this] {
      destroyRetired_.release();  // GLib removes the source once this returns
      std::vector<WindowPtr> windows = std::move(retired_);
      retired_.clear();
      for (const WindowPtr& each : windows) {
        if (each) g_signal_handlers_disconnect_by_data(each.get(), this);
      }
      ignoringXErrors([&windows] { windows.clear(); });
      return G_SOURCE_REMOVE;
    });
  }
}

void GtkPanels::onDestroyed(GtkWidget* window, gpointer data) {
  auto* self = static_cast<GtkPanels*>(data);
  for (WindowPtr& retired : self->retired_) {
    if (retired.get() == window) (void)retired.release();  // GTK is destroying it
  }
  if (self->window_.get() != window) return;
  (void)self->window_.release();
  self->button_ = nullptr;  // destroyed with it
  const std::function<void()> onOk = std::exchange(self->onOk_, nullptr);
  if (onOk) onOk();
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
