#pragma once

#include <functional>
#include <string>
#include <utility>

#include "gtk/gtk_panels.h"
#include "gtk/indicator_item.h"
#include "gtk/status_area_check.h"
#include "ports/desktop_module.h"
#include "ports/front_end.h"

namespace vantorel {

// The desktop front end: the status item as an application indicator with the bundle's icons,
// and the panels as GTK windows. GTK must be initialised on an open display first.
class GtkFrontEnd final : public FrontEnd {
 public:
  explicit GtkFrontEnd(const DesktopRequest& request);

  void show(const StatusView& view) override { item_.show(view); }
  void prompt(const std::string& text, std::function<void()> onOk) override {
    panels_.prompt(text, std::move(onOk));
  }
  void ready() override { panels_.ready(); }
  void closePanel() override { panels_.close(); }

  IndicatorItem& item() { return item_; }
  GtkPanels& panels() { return panels_; }

 private:
  GtkPanels panels_;
  IndicatorItem item_;
  StatusAreaCheck statusArea_;
};

}  // namespace vantorel
