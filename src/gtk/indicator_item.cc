#include "gtk/indicator_item.h"

#include <gdk/gdkx.h>

#include <string_view>
#include <utility>

namespace vantorel {
namespace {

constexpr const char* kIndicatorId = "vantorel";

// The widest title the status view produces. Hosts reserve this much room for the label, so the
// panel does not shift as the label changes.
constexpr std::string_view kLabelGuide = "Want C6 normal | Have C6 unknown mode";

// Where the indicator keeps its tray icon while it has fallen back to one.
constexpr const char* kTrayIconKey = "vantorel-tray-icon";

G_GNUC_BEGIN_IGNORE_DEPRECATIONS  // the tray icon is the library's, of a deprecated kind

    AppIndicatorClass* libraryClass = nullptr;

void showTooltip(GtkStatusIcon* icon, const char* tooltip) {
  gtk_status_icon_set_tooltip_text(icon, tooltip);
}

// The library's fallback, given the tooltip the library leaves out. A tray icon is an X11 window
// embedded in an X11 tray: on Wayland there is none to fall back to (GTK's tray icon there only
// logs criticals).
GtkStatusIcon* fallBack(AppIndicator* indicator) {
  if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) return nullptr;
  GtkStatusIcon* icon = libraryClass->fallback(indicator);
  g_object_set_data(G_OBJECT(indicator), kTrayIconKey, icon);
  if (icon != nullptr) showTooltip(icon, app_indicator_get_title(indicator));
  return icon;
}

void unFallBack(AppIndicator* indicator, GtkStatusIcon* icon) {
  g_object_set_data(G_OBJECT(indicator), kTrayIconKey, nullptr);
  if (icon != nullptr) libraryClass->unfallback(indicator, icon);
}

G_GNUC_END_IGNORE_DEPRECATIONS

// The library's indicator with the fallback above.
GType indicatorType() {
  static const GType type = g_type_register_static_simple(
      APP_INDICATOR_TYPE, "VantorelIndicator", sizeof(AppIndicatorClass),
      [](gpointer klass, gpointer) {
        libraryClass = static_cast<AppIndicatorClass*>(g_type_class_peek_parent(klass));
        static_cast<AppIndicatorClass*>(klass)->fallback = fallBack;
        static_cast<AppIndicatorClass*>(klass)->unfallback = unFallBack;
      },
      sizeof(AppIndicator), nullptr, static_cast<GTypeFlags>(0));
  return type;
}

}  // namespace

IndicatorItem::IndicatorItem(const std::string& iconTheme, std::function<void(Choice)> onChoice)
    : onChoice_(std::move(onChoice)),
      indicator_(APP_INDICATOR(g_object_new(indicatorType(), "id", kIndicatorId, "category",
                                            "Hardware", "icon-name", kIcon, "icon-theme-path",
                                            iconTheme.c_str(), nullptr))) {
  // Without a status area host the library falls back to a tray icon, and then adds the folder
  // to the icon theme's search path with a loop that reads past the end of the path list unless
  // the folder is on it already: so it is, from the start.
  GtkIconTheme* theme = gtk_icon_theme_get_default();
  gchar** path = nullptr;
  gtk_icon_theme_get_search_path(theme, &path, nullptr);
  bool listed = false;
  for (gchar** each = path; each != nullptr && *each != nullptr; ++each) {
    listed = listed || iconTheme == *each;
  }
  g_strfreev(path);
  if (!listed) gtk_icon_theme_append_search_path(theme, iconTheme.c_str());
}

GtkStatusIcon* IndicatorItem::trayIcon() const {
  return static_cast<GtkStatusIcon*>(g_object_get_data(G_OBJECT(indicator_.get()), kTrayIconKey));
}

void IndicatorItem::show(const StatusView& view) {
  const bool newLabel = !labelShown_ || view.title != *labelShown_;
  if (newLabel) {
    const std::string guide(view.title.size() > kLabelGuide.size() ? std::string_view(view.title)
                                                                   : kLabelGuide);
    app_indicator_set_label(indicator_.get(), view.title.c_str(), guide.c_str());
    labelShown_ = view.title;
  }
  if (!newLabel || !shown_) {
    rest_.reset();
    pending_.reset();
    showRest(view);
    return;
  }
  // Set in the same turn, the rest held the label's message back from the host by a fifth of
  // a millisecond on a busy machine (docs/benchmarks.md).
  pending_ = view;
  if (rest_) return;
  rest_ = addIdle([this] {
    rest_.release();  // GLib removes the source on return
    const StatusView latest = std::move(*pending_);
    pending_.reset();
    showRest(latest);
    return G_SOURCE_REMOVE;
  });
}

void IndicatorItem::showRest(const StatusView& view) {
  AppIndicator* item = indicator_.get();
  const bool first = !shown_;
  if (first || view.tooltip != shown_->tooltip) {
    app_indicator_set_title(item, view.tooltip.c_str());
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    if (GtkStatusIcon* icon = trayIcon()) showTooltip(icon, view.tooltip.c_str());
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
  const bool newDescription = first || view.accessibility != shown_->accessibility;
  const bool newTint = first || view.tinted != shown_->tinted;
  if (newDescription || newTint) {
    // Some hosts show the attention icon but never switch back on the status alone: the icon
    // name itself follows the tint too.
    const char* description = view.accessibility.c_str();
    app_indicator_set_icon_full(item, view.tinted ? kAttentionIcon : kIcon, description);
    if (newDescription) app_indicator_set_attention_icon_full(item, kAttentionIcon, description);
  }
  if (newTint) {
    // Never passive: hosts may hide a passive item, and this one is the whole interface.
    app_indicator_set_status(
        item, view.tinted ? APP_INDICATOR_STATUS_ATTENTION : APP_INDICATOR_STATUS_ACTIVE);
  }
  if (!menu_) {
    menu_ = std::make_unique<GtkStatusMenu>(view.menu, onChoice_);
    app_indicator_set_menu(item, menu_->widget());
  } else if (view.menu != shown_->menu) {
    menu_->update(view.menu);
  }
  shown_ = view;
}

}  // namespace vantorel
