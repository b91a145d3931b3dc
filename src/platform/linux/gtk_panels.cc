#include "platform/linux/gtk_panels.h"

#include <cmath>
#include <string>

namespace vantorel {
namespace {

// Panel geometry is in points; GTK's logical pixels are the same unit at scale 1, and fonts are
// sized in the same unit so that text keeps its proportions to the frames.
int px(double points) { return static_cast<int>(std::lround(points)); }

constexpr const char* kGreenBackground = "vantorel-green-background";
constexpr const char* kWhiteText = "vantorel-white-text";
constexpr const char* kPushButton = "vantorel-push-button";

// The system green, white text, and push buttons at their frame's height (the theme's minimum
// height would make them taller).
constexpr const char* kStyleSheet =
    "window.vantorel-green-background { background-color: #34C759; }\n"
    "label.vantorel-white-text { color: #FFFFFF; }\n"
    "button.vantorel-push-button { min-height: 0; padding-top: 2px; padding-bottom: 2px; }\n";

void installStyleSheet() {
  static bool installed = false;
  GdkScreen* screen = gdk_screen_get_default();
  if (installed || screen == nullptr) return;
  installed = true;
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kStyleSheet, -1, nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

void addStyleClass(GtkWidget* widget, const char* name) {
  gtk_style_context_add_class(gtk_widget_get_style_context(widget), name);
}

// The most text a label is given. The frame shows a few hundred characters; laying out a whole
// megabyte instead would stall the main loop for seconds on every prompt.
constexpr std::size_t kMaxLabelBytes = 4096;

// `text` cut to kMaxLabelBytes on a character boundary, with an ellipsis where it was cut.
std::string shownText(const std::string& text) {
  if (text.size() <= kMaxLabelBytes) return text;
  std::size_t end = kMaxLabelBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end) + "\xE2\x80\xA6";
}

// The system font's family at the label's size and weight. Plain text, never markup.
GtkWidget* makeLabel(const LabelSpec& layout) {
  GtkWidget* label = gtk_label_new(nullptr);
  gtk_label_set_text(GTK_LABEL(label), shownText(layout.text).c_str());
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes,
                         pango_attr_size_new_absolute(px(layout.fontSize) * PANGO_SCALE));
  if (layout.bold) pango_attr_list_insert(attributes, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
  gtk_label_set_attributes(GTK_LABEL(label), attributes);
  pango_attr_list_unref(attributes);

  const bool centred = layout.alignment == TextAlignment::kCenter;
  gtk_label_set_justify(GTK_LABEL(label), centred ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
  gtk_label_set_xalign(GTK_LABEL(label), centred ? 0.5f : 0.0f);
  if (layout.textColor == PanelColor::kWhite) addStyleClass(label, kWhiteText);
  if (!layout.wraps) {
    // One line, vertically centred in its frame; a text too wide is cut, never widens the panel.
    gtk_label_set_single_line_mode(GTK_LABEL(label), TRUE);
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
    gtk_widget_set_size_request(label, px(layout.frame.width), px(layout.frame.height));
    return label;
  }
  // Wrapped at the frame's width from the top; a text taller than the frame is clipped by a
  // scrolled window without scroll bars, so the panel keeps its size.
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  gtk_widget_set_size_request(label, px(layout.frame.width), -1);
  GtkWidget* clip = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(clip), GTK_POLICY_NEVER, GTK_POLICY_EXTERNAL);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(clip), GTK_SHADOW_NONE);
  gtk_container_add(GTK_CONTAINER(clip), label);
  GtkWidget* viewport = gtk_bin_get_child(GTK_BIN(clip));
  if (GTK_IS_VIEWPORT(viewport)) {
    gtk_viewport_set_shadow_type(GTK_VIEWPORT(viewport), GTK_SHADOW_NONE);
  }
  gtk_widget_set_size_request(clip, px(layout.frame.width), px(layout.frame.height));
  return clip;
}

// Places `child` at `frame`, converted from the bottom-left origin to GTK's top-left one.
void place(GtkFixed* content, double contentHeight, GtkWidget* child, const Rect& frame) {
  gtk_fixed_put(content, child, px(frame.x), px(contentHeight - frame.y - frame.height));
}

}  // namespace

GtkPanel::GtkPanel(GtkPanelFactory& factory, const PanelSpec& layout)
    : factory_(factory),
      window_(GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL))),
      closable_((layout.styleMask & kPanelClosable) != 0) {
  GtkWidget* window = GTK_WIDGET(window_);
  gtk_window_set_title(window_, layout.title.c_str());
  // A dialog, not a document window: window managers give it no minimise or maximise button.
  gtk_window_set_type_hint(window_, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_keep_above(window_, layout.level >= kFloatingWindowLevel);
  gtk_window_set_deletable(window_, closable_);
  // A fixed size that a wrapping label cannot stretch: resizable, with equal minimum and maximum.
  const int width = px(layout.width), height = px(layout.height);
  gtk_window_set_default_size(window_, width, height);
  GdkGeometry geometry{};
  geometry.min_width = geometry.max_width = width;
  geometry.min_height = geometry.max_height = height;
  gtk_window_set_geometry_hints(window_, nullptr, &geometry,
                                static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
  if (layout.background == PanelColor::kSystemGreen) addStyleClass(window, kGreenBackground);
  g_signal_connect(window, "delete-event", G_CALLBACK(onDeleteEvent), this);

  GtkFixed* content = GTK_FIXED(gtk_fixed_new());
  gtk_widget_set_size_request(GTK_WIDGET(content), width, height);
  for (const LabelSpec& label : layout.labels) {
    place(content, layout.height, makeLabel(label), label.frame);
  }
  if (layout.button) {
    button_ = gtk_button_new_with_label(layout.button->title.c_str());
    addStyleClass(button_, kPushButton);
    gtk_widget_set_size_request(button_, px(layout.button->frame.width),
                                px(layout.button->frame.height));
    action_ = layout.button->action;
    g_signal_connect(button_, "clicked", G_CALLBACK(onClicked), this);
    place(content, layout.height, button_, layout.button->frame);
  }
  gtk_container_add(GTK_CONTAINER(window_), GTK_WIDGET(content));
  gtk_widget_show_all(GTK_WIDGET(content));
}

GtkPanel::~GtkPanel() {
  g_signal_handlers_disconnect_by_data(window_, this);
  if (button_ != nullptr) g_signal_handlers_disconnect_by_data(button_, this);
  gtk_widget_hide(GTK_WIDGET(window_));
  factory_.retire(window_);
}

void GtkPanel::center() { gtk_window_set_position(window_, GTK_WIN_POS_CENTER); }

void GtkPanel::makeKeyAndOrderFront() { gtk_window_present(window_); }

void GtkPanel::close() {
  if (gtk_widget_get_visible(GTK_WIDGET(window_))) gtk_widget_hide(GTK_WIDGET(window_));
}

gboolean GtkPanel::onDeleteEvent(GtkWidget*, GdkEvent*, gpointer data) {
  // The window always outlives a close request: a closable panel only leaves the screen, and one
  // that is not closable stays, whatever the window manager offered.
  auto* self = static_cast<GtkPanel*>(data);
  if (self->closable_) self->close();
  return TRUE;
}

void GtkPanel::onClicked(GtkButton*, gpointer data) {
  // A copy: the action may drop this panel, and with it the stored action.
  const std::function<void()> action = static_cast<GtkPanel*>(data)->action_;
  if (action) action();
}

GtkPanelFactory::GtkPanelFactory() { installStyleSheet(); }

GtkPanelFactory::~GtkPanelFactory() { destroyRetired(); }

std::unique_ptr<Panel> GtkPanelFactory::createPanel(PanelSpec layout) {
  return std::make_unique<GtkPanel>(*this, layout);
}

void GtkPanelFactory::retire(GtkWindow* window) {
  retired_.push_back(window);
  if (retired_.size() == 1) jobs_.post([this] { destroyRetired(); });
}

void GtkPanelFactory::destroyRetired() {
  std::vector<GtkWindow*> windows;
  windows.swap(retired_);
  for (GtkWindow* window : windows) gtk_widget_destroy(GTK_WIDGET(window));
}

}  // namespace vantorel
