#pragma once

#include <libayatana-appindicator/app-indicator.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/status_view.h"
#include "glib/glib_handles.h"
#include "gtk/gtk_status_menu.h"

namespace vantorel {

// The status item as an application indicator on the StatusNotifierItem protocol: the view's
// title is the indicator's label, its tooltip the indicator's title, its accessibility text the
// icon's description, and the tint the attention state with the green icon. Hosts without
// label support show the icon, with the tooltip; so does the plain tray icon the library falls
// back to where no status area host runs.
class IndicatorItem {
 public:
  // One colour, which hosts replace with their panel's text colour.
  static constexpr const char* kIcon = "vantorel-symbolic";
  static constexpr const char* kAttentionIcon = "vantorel-attention";
  static constexpr const char* kProgramIcon = "vantorel";

  // `iconTheme` is an icon theme folder (holding hicolor/) with kIcon, kAttentionIcon and
  // kProgramIcon. Menu choices go to `onChoice`, on the main loop. The item stays off the status
  // area until the first show().
  IndicatorItem(const std::string& iconTheme, std::function<void(Choice)> onChoice);
  IndicatorItem(const IndicatorItem&) = delete;
  IndicatorItem& operator=(const IndicatorItem&) = delete;

  // Draws `view`, changing only what differs from the view drawn last: the label first, since
  // that is what the user watches. After a new label the rest (title, icons, menu) follows once
  // the loop is idle, from the latest view; the first view is drawn whole at once.
  void show(const StatusView& view);

  AppIndicator* indicator() const { return indicator_.get(); }
  // The plain tray icon shown while no status area host runs, or nullptr.
  GtkStatusIcon* trayIcon() const;
  // The menu, or nullptr before the first show().
  GtkMenu* menu() const { return menu_ ? menu_->widget() : nullptr; }

 private:
  std::function<void(Choice)> onChoice_;
  std::unique_ptr<GtkStatusMenu> menu_;
  // After the menu: released first, so it never exports a destroyed menu.
  GObjectPtr<AppIndicator> indicator_;
  std::optional<StatusView> shown_;
  std::optional<std::string> labelShown_;
  std::optional<StatusView> pending_;  // the view the idle call draws the rest of
  SourceHandle rest_;                  // last: removed before anything it calls into

  void showRest(const StatusView& view);
};

}  // namespace vantorel
