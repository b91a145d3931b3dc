#include "platform/linux/indicator_status_item.h"

#include "platform/menu_dispatch.h"

namespace vantorel {
namespace {

constexpr const char* kIndicatorId = "vantorel";

// The widest title the status menu produces. Hosts reserve this much room for the label, so the
// panel does not shift as the label changes.
constexpr std::string_view kLabelGuide = "Want C6 normal | Have C6 unknown mode";

}  // namespace

IndicatorStatusItem::IndicatorStatusItem(Application& app, const std::string& iconFolder)
    : app_(app),
      indicator_(app_indicator_new_with_path(kIndicatorId, kIcon, APP_INDICATOR_CATEGORY_HARDWARE,
                                             iconFolder.c_str())) {
  app_indicator_set_attention_icon_full(indicator_.get(), kAttentionIcon, "");
  // Hosts may hide a passive item; this one is the application's whole interface.
  app_indicator_set_status(indicator_.get(), APP_INDICATOR_STATUS_ACTIVE);
}

IndicatorStatusItem::~IndicatorStatusItem() = default;

void IndicatorStatusItem::setMenu(Menu menu) {
  auto fresh = std::make_unique<GtkStatusMenu>(menu, [this](const MenuItem& chosen) {
    jobs_.post([&app = app_, chosen] { dispatchMenuItem(chosen, app); });
  });
  app_indicator_set_menu(indicator_.get(), fresh->widget());
  if (menu_) {
    retired_.push_back(std::move(menu_));
    // Lower than the dispatch above: a menu chosen from goes only after its choice has run.
    jobs_.post([this] { retired_.clear(); }, G_PRIORITY_LOW);
  }
  menu_ = std::move(fresh);
}

void IndicatorStatusItem::setTitle(const std::string& title) {
  if (title == title_) return;
  title_ = title;
  const std::string guide(title.size() > kLabelGuide.size() ? std::string_view(title)
                                                            : kLabelGuide);
  app_indicator_set_label(indicator_.get(), title.c_str(), guide.c_str());
}

void IndicatorStatusItem::setGreenTint(bool green) {
  if (green == green_) return;
  green_ = green;
  app_indicator_set_status(indicator_.get(),
                           green ? APP_INDICATOR_STATUS_ATTENTION : APP_INDICATOR_STATUS_ACTIVE);
}

void IndicatorStatusItem::setToolTip(const std::string& toolTip) {
  if (toolTip == toolTip_) return;
  toolTip_ = toolTip;
  app_indicator_set_title(indicator_.get(), toolTip.c_str());
}

void IndicatorStatusItem::setAccessibilityLabel(const std::string& label) {
  if (label == accessibilityLabel_) return;
  accessibilityLabel_ = label;
  app_indicator_set_icon_full(indicator_.get(), kIcon, label.c_str());
  app_indicator_set_attention_icon_full(indicator_.get(), kAttentionIcon, label.c_str());
}

std::unique_ptr<StatusItem> IndicatorStatusBar::createItem() {
  return std::make_unique<IndicatorStatusItem>(app_, iconFolder_);
}

}  // namespace vantorel
