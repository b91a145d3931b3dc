#include "gtk/panel_windows.h"

#include <gdk/gdkx.h>

#include <algorithm>

#include "core/panel_label_text.h"
#include "core/visible_text.h"

namespace vantorel {
namespace {

// How many lines of `label`'s text fit in `height` pixels (at least one).
int linesIn(GtkWidget* label, int height) {
  PangoLayout* layout = gtk_widget_create_pango_layout(label, "Hg");
  pango_layout_set_attributes(layout, gtk_label_get_attributes(GTK_LABEL(label)));
  int lineHeight = 0;
  pango_layout_get_pixel_size(layout, nullptr, &lineHeight);
  g_object_unref(layout);
  return lineHeight > 0 ? std::max(1, height / lineHeight) : 1;
}

// A widget's place in its window's content, from the top-left corner, in GTK's logical pixels.
struct Frame {
  int x, y, width, height;
};

// The two layouts. Font sizes are in the same unit as the frames, so text keeps its proportions.
constexpr int kPanelWidth = 440;
constexpr int kPromptHeight = 150;
constexpr Frame kPromptText = {20, 20, 400, 70};
constexpr int kPromptTextSize = 15;
constexpr Frame kOkButton = {340, 105, 80, 30};
constexpr int kReadyHeight = 110;
constexpr Frame kReadyText = {20, 35, 400, 40};
constexpr int kReadyTextSize = 24;

constexpr const char* kGreenBackground = "vantorel-green-background";
constexpr const char* kWhiteText = "vantorel-white-text";
constexpr const char* kPushButton = "vantorel-push-button";
// How far a panel's centring has come, kept on its window under kCentring.
constexpr const char* kCentring = "vantorel-centring";
enum Centring : int { kUnmapped, kMapped, kCentred };

// The system green, white text, and push buttons at their frame's height (the theme's minimum
// height would make them taller).
constexpr const char* kStyleSheet =
    "window.vantorel-green-background { background-color: #34C759; }\n"
    "label.vantorel-white-text { color: #FFFFFF; }\n"
    "button.vantorel-push-button { min-height: 0; padding-top: 2px; padding-bottom: 2px; }\n";

void addStyleClass(GtkWidget* widget, const char* name) {
  gtk_style_context_add_class(gtk_widget_get_style_context(widget), name);
}

// A label in the system font's family at `size` pixels. Plain text, never markup.
GtkWidget* makeLabel(const std::string& text, int size, bool bold) {
  GtkWidget* label = gtk_label_new(nullptr);
  gtk_label_set_text(GTK_LABEL(label), panelLabelText(text).c_str());
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_size_new_absolute(size * PANGO_SCALE));
  if (bold) pango_attr_list_insert(attributes, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
  gtk_label_set_attributes(GTK_LABEL(label), attributes);
  pango_attr_list_unref(attributes);
  return label;
}

// What the window manager may offer: moving, and closing where `closable` (stored on the window).
// Told after realize, as the window manager reads it: a type hint alone still gets minimise and
// shade buttons from some window managers, and a minimised panel has no taskbar to return from.
void limitFunctions(GtkWidget* window, gpointer) {
  const bool closable = gtk_window_get_deletable(GTK_WINDOW(window));
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  gdk_window_set_functions(
      gdkWindow, static_cast<GdkWMFunction>(GDK_FUNC_MOVE | (closable ? GDK_FUNC_CLOSE : 0)));
  gdk_window_set_decorations(gdkWindow,
                             static_cast<GdkWMDecoration>(GDK_DECOR_BORDER | GDK_DECOR_TITLE));
}

// The monitor the person works on: the one under the pointer, or else the window's.
GdkMonitor* workingMonitor(GtkWidget* window) {
  GdkDisplay* display = gtk_widget_get_display(window);
  if (GdkSeat* seat = gdk_display_get_default_seat(display)) {
    if (GdkDevice* pointer = gdk_seat_get_pointer(seat)) {
      int x = 0, y = 0;
      gdk_device_get_position(pointer, nullptr, &x, &y);
      if (GdkMonitor* monitor = gdk_display_get_monitor_at_point(display, x, y)) return monitor;
    }
  }
  return gdk_display_get_monitor_at_window(display, gtk_widget_get_window(window));
}

// Centres the whole window, frame included, on the usable area of the monitor the person works
// on (the desktop's own panels left out) once the frame is known: the toolkit would centre the
// content alone, leaving the frame low and to one side. Done once, after the window is mapped (a
// move asked for earlier may lose to the window manager's placement): at once if the frame is
// known, or else at the next configure event, as under KWin, which frames the window only after
// mapping it.
gboolean centreFrame(GtkWidget* window, GdkEvent* event, gpointer) {
  GObject* object = G_OBJECT(window);
  int stage = GPOINTER_TO_INT(g_object_get_data(object, kCentring));
  if (event->type == GDK_MAP && stage == kUnmapped) {
    stage = kMapped;
    g_object_set_data(object, kCentring, GINT_TO_POINTER(stage));
  }
  if (stage != kMapped) return FALSE;
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  GdkRectangle frame, area;
  gdk_window_get_frame_extents(gdkWindow, &frame);
  if (frame.width <= 1) return FALSE;  // GDK's placeholder for a frame not yet known
  g_object_set_data(object, kCentring, GINT_TO_POINTER(kCentred));
  gdk_monitor_get_workarea(workingMonitor(window), &area);
  ignoringXErrors([&] {
    gtk_window_move(GTK_WINDOW(window), area.x + (area.width - frame.width) / 2,
                    area.y + (area.height - frame.height) / 2);
  });
  return FALSE;
}

// A panel is never left minimised, whatever the window manager allows: it would hide a request.
gboolean keepUnminimised(GtkWidget* window, GdkEventWindowState* event, gpointer) {
  if ((event->changed_mask & event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0) {
    ignoringXErrors([window] { gtk_window_deiconify(GTK_WINDOW(window)); });
  }
  return FALSE;
}

// A titled toplevel dialog of exactly width x height, kept above other windows, centred, offered
// only moving (and closing where `closable`), with an empty GtkFixed as its content (returned in
// `content`).
WindowPtr makeWindow(const char* title, int width, int height, bool closable, GtkFixed** content) {
  WindowPtr window(gtk_window_new(GTK_WINDOW_TOPLEVEL));
  GtkWindow* gtkWindow = GTK_WINDOW(window.get());
  gtk_window_set_title(gtkWindow, title);
  // A dialog, not a document window: window managers give it no minimise or maximise button.
  gtk_window_set_type_hint(gtkWindow, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_keep_above(gtkWindow, TRUE);
  gtk_window_set_deletable(gtkWindow, closable);
  gtk_window_set_position(gtkWindow, GTK_WIN_POS_CENTER);
  g_signal_connect(gtkWindow, "realize", G_CALLBACK(limitFunctions), nullptr);
  g_signal_connect(gtkWindow, "map-event", G_CALLBACK(centreFrame), nullptr);
  g_signal_connect(gtkWindow, "configure-event", G_CALLBACK(centreFrame), nullptr);
  g_signal_connect(gtkWindow, "window-state-event", G_CALLBACK(keepUnminimised), nullptr);
  // A fixed size that a wrapping label cannot stretch: resizable, with equal minimum and maximum.
  gtk_window_set_default_size(gtkWindow, width, height);
  GdkGeometry geometry{};
  geometry.min_width = geometry.max_width = width;
  geometry.min_height = geometry.max_height = height;
  gtk_window_set_geometry_hints(gtkWindow, nullptr, &geometry,
                                static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
  *content = GTK_FIXED(gtk_fixed_new());
  gtk_widget_set_size_request(GTK_WIDGET(*content), width, height);
  gtk_container_add(GTK_CONTAINER(gtkWindow), GTK_WIDGET(*content));
  return window;
}

void place(GtkFixed* content, GtkWidget* child, const Frame& frame) {
  gtk_fixed_put(content, child, frame.x, frame.y);
}

}  // namespace

void ignoringXErrors(const std::function<void()>& call) {
  GdkDisplay* display = gdk_display_get_default();
  if (!GDK_IS_X11_DISPLAY(display)) {
    call();
    return;
  }
  gdk_x11_display_error_trap_push(display);
  call();
  gdk_x11_display_error_trap_pop_ignored(display);
}

PanelStyle::PanelStyle() : provider_(gtk_css_provider_new()) {
  gtk_css_provider_load_from_data(provider_.get(), kStyleSheet, -1, nullptr);
  if (GdkScreen* screen = gdk_screen_get_default()) {
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider_.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
}

PanelStyle::~PanelStyle() {
  if (GdkScreen* screen = gdk_screen_get_default()) {
    gtk_style_context_remove_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider_.get()));
  }
}

WindowPtr promptWindow(const std::string& text, GtkWidget** button) {
  GtkFixed* content = nullptr;
  WindowPtr window = makeWindow("Board action needed", kPanelWidth, kPromptHeight, true, &content);

  // Wrapped at the frame's width from the top, in as many lines as the frame holds; a text that
  // needs more ends its last line with "…", and the whole text is the label's tooltip and its
  // accessible description, so nothing is cut unseen and the panel keeps its size. The tooltip
  // wraps too: it gets the text made ready for wrapping, as the label does, only longer.
  const std::string shown = panelLabelText(text, kMaxPanelTextBytes);
  GtkWidget* label = makeLabel(text, kPromptTextSize, false);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  gtk_label_set_lines(GTK_LABEL(label), linesIn(label, kPromptText.height));
  // Its natural width is then the size request's, never the whole text's on one line.
  gtk_label_set_max_width_chars(GTK_LABEL(label), 1);
  gtk_widget_set_size_request(label, kPromptText.width, -1);
  gtk_widget_set_tooltip_text(label, shown.c_str());
  atk_object_set_description(gtk_widget_get_accessible(label), shown.c_str());
  place(content, label, kPromptText);

  *button = gtk_button_new_with_label("OK");
  addStyleClass(*button, kPushButton);
  gtk_widget_set_size_request(*button, kOkButton.width, kOkButton.height);
  place(content, *button, kOkButton);
  // The default button, focused: Return presses it.
  gtk_widget_set_can_default(*button, TRUE);
  gtk_window_set_default(GTK_WINDOW(window.get()), *button);
  gtk_window_set_focus(GTK_WINDOW(window.get()), *button);
  gtk_widget_show_all(GTK_WIDGET(content));
  return window;
}

WindowPtr readyWindow() {
  GtkFixed* content = nullptr;
  WindowPtr window = makeWindow("Board ready", kPanelWidth, kReadyHeight, false, &content);
  addStyleClass(window.get(), kGreenBackground);

  // One line, vertically centred in its frame; a text too wide is cut, never widens the panel.
  GtkWidget* label = makeLabel("Ready", kReadyTextSize, true);
  gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
  gtk_label_set_xalign(GTK_LABEL(label), 0.5f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
  gtk_label_set_single_line_mode(GTK_LABEL(label), TRUE);
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  addStyleClass(label, kWhiteText);
  gtk_widget_set_size_request(label, kReadyText.width, kReadyText.height);
  place(content, label, kReadyText);
  gtk_widget_show_all(GTK_WIDGET(content));
  return window;
}

}  // namespace vantorel
