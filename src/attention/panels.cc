// The two floating panels: the attention prompt and the self-closing success panel.

#include "monitor/monitor.h"

namespace vantorel {
namespace {

constexpr Seconds kSuccessPanelLifetime{3.0};

PanelSpec attentionPanelSpec(const std::string& actionText, std::function<void()> onOK) {
  PanelSpec layout;
  layout.width = 440;
  layout.height = 150;
  layout.styleMask = kPanelTitled | kPanelClosable;
  layout.title = "Board action needed";
  layout.level = kFloatingWindowLevel;
  LabelSpec label;
  label.text = actionText;
  label.frame = {20, 60, 400, 70};
  label.fontSize = 15;
  label.wraps = true;
  layout.labels.push_back(label);
  ButtonSpec button;
  button.title = "OK";
  button.frame = {340, 15, 80, 30};
  button.bezelStyle = kBezelRounded;
  button.action = std::move(onOK);
  layout.button = std::move(button);
  return layout;
}

PanelSpec successPanelSpec() {
  PanelSpec layout;
  layout.width = 440;
  layout.height = 110;
  layout.styleMask = kPanelTitled;
  layout.title = "Board ready";
  layout.level = kFloatingWindowLevel;
  layout.background = PanelColor::kSystemGreen;
  LabelSpec label;
  label.text = "Ready";
  label.frame = {20, 35, 400, 40};
  label.fontSize = 24;
  label.bold = true;
  label.textColor = PanelColor::kWhite;
  label.alignment = TextAlignment::kCenter;
  layout.labels.push_back(label);
  return layout;
}

}  // namespace

void Monitor::closePanel() {
  if (panel) panel->close();
  panel.reset();
}

void Monitor::showAttention(const std::string& actionText) {
  if (panel) panel->close();
  auto created =
      services_.panels.createPanel(attentionPanelSpec(actionText, [weak = weak_from_this()] {
        if (auto self = weak.lock()) self->dismissAttention();
      }));
  created->center();
  panel = std::move(created);
  services_.app.activateIgnoringOtherApps();
  panel->makeKeyAndOrderFront();
}

void Monitor::showSuccess(const std::string& successID) {
  if (panel) panel->close();
  auto created = services_.panels.createPanel(successPanelSpec());
  created->center();
  panel = std::move(created);
  successPanelID = successID;
  services_.app.activateIgnoringOtherApps();
  panel->makeKeyAndOrderFront();
  services_.scheduler.after(kSuccessPanelLifetime, [weak = weak_from_this(), successID] {
    if (auto self = weak.lock()) self->autoCloseSuccess(successID);
  });
}

void Monitor::autoCloseSuccess(const std::string& successID) {
  if (successPanelID != successID) return;
  closePanel();
  successPanelID.clear();
}

void Monitor::dismissAttention() { closePanel(); }

}  // namespace vantorel
