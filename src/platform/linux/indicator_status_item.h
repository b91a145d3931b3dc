#pragma once

#include <libayatana-appindicator/app-indicator.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/linux/gtk_status_menu.h"
#include "platform/linux/main_loop_jobs.h"
#include "platform/status_item.h"

namespace vantorel {

// The status item as an application indicator on the StatusNotifierItem protocol: the title is
// the indicator's label, the tooltip its title, the accessibility label its icon's description,
// and the green tint its attention state with the green icon. Hosts without label support show
// the icon, with the title as tooltip.
class IndicatorStatusItem final : public StatusItem, public StatusButton {
 public:
  static constexpr const char* kIcon = "vantorel";
  static constexpr const char* kAttentionIcon = "vantorel-attention";

  // `iconFolder` holds kIcon and kAttentionIcon as SVG files. Menu choices go to `app`.
  IndicatorStatusItem(Application& app, const std::string& iconFolder);
  ~IndicatorStatusItem() override;
  IndicatorStatusItem(const IndicatorStatusItem&) = delete;
  IndicatorStatusItem& operator=(const IndicatorStatusItem&) = delete;

  StatusButton* button() override { return this; }
  // Installs a menu drawn from `menu`. A chosen entry is dispatched on the next idle moment, and
  // a replaced menu is destroyed only after that, never inside its own signal.
  void setMenu(Menu menu) override;

  void setTitle(const std::string& title) override;
  void setGreenTint(bool green) override;
  void setToolTip(const std::string& toolTip) override;
  std::string toolTip() const override { return toolTip_; }
  void setAccessibilityLabel(const std::string& label) override;

  AppIndicator* indicator() const { return indicator_.get(); }
  // The menu currently installed, or nullptr before the first setMenu.
  GtkMenu* menu() const { return menu_ ? menu_->widget() : nullptr; }

 private:
  struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
  };

  Application& app_;
  std::unique_ptr<GtkStatusMenu> menu_;
  std::vector<std::unique_ptr<GtkStatusMenu>> retired_;
  // Declared after the menus, so it is released first and never shows a destroyed menu.
  std::unique_ptr<AppIndicator, Unref> indicator_;
  std::string title_;
  std::string toolTip_;
  std::string accessibilityLabel_;
  bool green_ = false;
  // Last, so pending jobs are removed before anything they touch goes.
  MainLoopJobs jobs_;
};

// Hands out indicator items whose icons come from one folder.
class IndicatorStatusBar final : public StatusBar {
 public:
  IndicatorStatusBar(Application& app, std::string iconFolder)
      : app_(app), iconFolder_(std::move(iconFolder)) {}
  std::unique_ptr<StatusItem> createItem() override;

 private:
  Application& app_;
  std::string iconFolder_;
};

}  // namespace vantorel
